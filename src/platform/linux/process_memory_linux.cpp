#include "platform/linux/process_memory_linux.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

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

namespace {

// Readable mappings tried before giving up: the first is nearly always the executable, but a special
// mapping ([vvar]) refuses remote reads although it is marked readable.
constexpr int kProbeMappings = 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// 0 when one byte of a readable mapping of `pid` can be read, else the error that stopped it.
int ProveReadable(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/maps";
  std::unique_ptr<std::FILE, FileCloser> maps(std::fopen(path.c_str(), "re"));
  if (maps == nullptr) {
    return errno == ENOENT ? ESRCH : errno;
  }
  char* line = nullptr;
  std::size_t capacity = 0;
  int tried = 0;
  int error = ENOMEM;  // nothing mapped that could be read: a zombie, or a kernel thread
  while (tried < kProbeMappings && getline(&line, &capacity, maps.get()) > 0) {
    const std::string_view text(line);
    const auto dash = text.find('-');
    const auto space = text.find(' ');
    if (dash == std::string_view::npos || space == std::string_view::npos || space + 1 >= text.size() ||
        text[space + 1] != 'r') {
      continue;
    }
    std::uintptr_t start = 0;
    if (std::from_chars(text.data(), text.data() + dash, start, 16).ec != std::errc{}) {
      continue;
    }
    ++tried;
    std::byte byte{};
    iovec local{&byte, 1};
    iovec remote{reinterpret_cast<void*>(start), 1};
    if (process_vm_readv(pid, &local, 1, &remote, 1, 0) == 1) {
      error = 0;
      break;
    }
    error = errno;
    if (error != EFAULT && error != EIO) {
      break;  // a refusal for the whole process, not for this mapping
    }
  }
  std::free(line);
  return error;
}

int ReadNumber(const char* path) {
  std::ifstream file(path);
  int number = -1;
  file >> number;
  return file ? number : -1;
}

OpenFailure Explain(pid_t pid, int error) {
  struct stat owner {};
  const std::string proc = "/proc/" + std::to_string(pid);
  const bool another_user = geteuid() != 0 && stat(proc.c_str(), &owner) == 0 && owner.st_uid != geteuid();
  return ExplainOpenFailure(error, another_user, ReadNumber("/proc/sys/kernel/yama/ptrace_scope"));
}

}  // namespace

OpenFailure ExplainOpenFailure(int error, bool another_user, int ptrace_scope) {
  if (error == ESRCH) {
    return {"no such process", {}};
  }
  if (error == ENOMEM) {
    return {"it has no memory that can be read (it may be ending)", {}};
  }
  OpenFailure failure{std::strerror(error), {}};
  if (error != EPERM && error != EACCES) {
    return failure;
  }
  failure.not_allowed = true;
  if (another_user) {
    failure.reason += " (it belongs to another user)";
    failure.hint = "run velmora as the user who started the simulator";
  } else if (ptrace_scope >= 1) {
    failure.reason += " (kernel.yama.ptrace_scope is " + std::to_string(ptrace_scope) + ")";
    if (ptrace_scope == 1) {
      failure.hint =
          "kernel.yama.ptrace_scope 1 lets a process read only the memory of its own descendants: "
          "start the simulator through velmora ('velmora -- COMMAND', in a game launcher's options "
          "'velmora -- %command%'), or set it to 0 with 'sysctl kernel.yama.ptrace_scope=0'";
    } else if (ptrace_scope == 2) {
      failure.hint =
          "kernel.yama.ptrace_scope 2 lets only a process with CAP_SYS_PTRACE read another's memory: "
          "run velmora as root, or set it to 0 with 'sysctl kernel.yama.ptrace_scope=0'";
    } else {
      failure.hint =
          "kernel.yama.ptrace_scope 3 forbids reading another process's memory until the next reboot";
    }
  }
  return failure;
}

std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId, OpenFailure* failure) {
  if (processId == 0 || processId > static_cast<std::uint32_t>(INT32_MAX)) {
    if (failure != nullptr) {
      *failure = {"no such process", {}};
    }
    return nullptr;
  }
  const auto pid = static_cast<pid_t>(processId);
  if (const int error = ProveReadable(pid); error != 0) {
    if (failure != nullptr) {
      *failure = Explain(pid, error);
    }
    return nullptr;
  }
  return std::make_unique<LinuxProcessMemory>(pid);
}

}  // namespace velmora::platform
