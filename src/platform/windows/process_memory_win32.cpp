#include <atomic>

#include <windows.h>

#include "platform/process_memory.h"

namespace velmora::platform {
namespace {

class Win32ProcessMemory final : public ProcessMemory {
 public:
  Win32ProcessMemory(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
  ~Win32ProcessMemory() override { CloseHandle(process_); }
  Win32ProcessMemory(const Win32ProcessMemory&) = delete;
  Win32ProcessMemory& operator=(const Win32ProcessMemory&) = delete;

  bool Read(std::uint32_t address, std::span<std::byte> destination) override {
    if (destination.empty()) {
      return true;
    }
    if (address == 0) {
      return false;  // never mapped; spare the call
    }
    calls_.fetch_add(1, std::memory_order_relaxed);
    SIZE_T got = 0;
    const BOOL ok =
        ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)),
                          destination.data(), destination.size(), &got);
    // A read that stops part way (the end of a region) is a failure: half a value is no value.
    return ok != FALSE && got == destination.size();
  }

  // ReadProcessMemory takes one range per call, so a batch is a call per request; the callers that need
  // fewer calls read whole blocks. Each request fails on its own.
  void ReadMany(std::span<ReadRequest> requests) override {
    for (ReadRequest& request : requests) {
      request.ok = Read(request.address, request.destination);
    }
  }

  std::uint64_t SystemCalls() const override { return calls_.load(std::memory_order_relaxed); }

  std::uint32_t ProcessId() const override { return pid_; }

 private:
  HANDLE process_;
  DWORD pid_;
  std::atomic<std::uint64_t> calls_{0};
};

}  // namespace

std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId) {
  if (processId == 0) {
    return nullptr;
  }
  // The right to read memory, and to ask whether the process still runs: a process that has ended stays
  // open-able while anyone holds a handle to it, and would read as nothing but failures. Not inherited.
  HANDLE process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    return nullptr;
  }
  DWORD exit_code = 0;
  if (GetExitCodeProcess(process, &exit_code) == FALSE || exit_code != STILL_ACTIVE) {
    CloseHandle(process);
    return nullptr;
  }
  return std::make_unique<Win32ProcessMemory>(process, processId);
}

}  // namespace velmora::platform
