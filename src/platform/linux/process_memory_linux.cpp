#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>

#include <signal.h>
#include <sys/uio.h>

#include "platform/process_memory.h"

namespace velmora::platform {
namespace {

// Requests per call; well under IOV_MAX and enough for a whole read cycle.
constexpr std::size_t kBatch = 256;

class LinuxProcessMemory final : public ProcessMemory {
 public:
  explicit LinuxProcessMemory(pid_t pid) : pid_(pid) {}

  bool Read(std::uint32_t address, std::span<std::byte> destination) override {
    if (destination.empty()) {
      return true;
    }
    if (address == 0) {
      return false;  // never mapped; spare the system call
    }
    iovec local{destination.data(), destination.size()};
    iovec remote{reinterpret_cast<void*>(static_cast<std::uintptr_t>(address)), destination.size()};
    calls_.fetch_add(1, std::memory_order_relaxed);
    const ssize_t got = process_vm_readv(pid_, &local, 1, &remote, 1, 0);
    return got == static_cast<ssize_t>(destination.size());
  }

  void ReadMany(std::span<ReadRequest> requests) override {
    std::array<iovec, kBatch> local{};
    std::array<iovec, kBatch> remote{};
    std::size_t next = 0;
    while (next < requests.size()) {
      // Gather a run of requests worth one call. Address 0 fails on its own without a call.
      std::size_t count = 0;
      std::size_t first = next;
      while (next < requests.size() && count < kBatch) {
        ReadRequest& request = requests[next];
        request.ok = false;
        if (request.address == 0 || request.destination.empty()) {
          request.ok = request.destination.empty();
          if (count == 0) {
            first = next + 1;
          } else {
            break;
          }
          ++next;
          continue;
        }
        local[count] = {request.destination.data(), request.destination.size()};
        remote[count] = {reinterpret_cast<void*>(static_cast<std::uintptr_t>(request.address)),
                         request.destination.size()};
        ++count;
        ++next;
      }
      if (count == 0) {
        continue;
      }
      calls_.fetch_add(1, std::memory_order_relaxed);
      const ssize_t got = process_vm_readv(pid_, local.data(), count, remote.data(), count, 0);
      // The kernel stops at the first request it cannot complete; those before it are whole.
      std::size_t done_bytes = got > 0 ? static_cast<std::size_t>(got) : 0;
      std::size_t index = first;
      for (std::size_t i = 0; i < count; ++i, ++index) {
        const std::size_t size = local[i].iov_len;
        if (done_bytes < size) {
          break;
        }
        done_bytes -= size;
        requests[index].ok = true;
      }
      // Resume right after the request that failed: it alone reads as a failure, retried on its own so
      // that a request split at a page boundary still gets its chance.
      if (index < first + count) {
        ReadRequest& failed = requests[index];
        failed.ok = Read(failed.address, failed.destination);
        next = index + 1;
      }
    }
  }

  std::uint64_t SystemCalls() const override { return calls_.load(std::memory_order_relaxed); }

  std::uint32_t ProcessId() const override { return static_cast<std::uint32_t>(pid_); }

 private:
  pid_t pid_;
  std::atomic<std::uint64_t> calls_{0};
};

}  // namespace

std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId) {
  if (processId == 0 || processId > static_cast<std::uint32_t>(INT32_MAX)) {
    return nullptr;
  }
  const auto pid = static_cast<pid_t>(processId);
  if (kill(pid, 0) != 0 && errno == ESRCH) {
    return nullptr;
  }
  return std::make_unique<LinuxProcessMemory>(pid);
}

}  // namespace velmora::platform
