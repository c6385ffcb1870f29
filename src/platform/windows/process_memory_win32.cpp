#include <atomic>
#include <string>

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "platform/process_memory.h"
#include "platform/windows/process_memory_win32.h"

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

// The first module of the process, its executable image, is mapped and readable in any running process.
bool ProveReadable(HANDLE process, DWORD pid, DWORD& error) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const bool listed = Module32FirstW(snapshot, &entry) != FALSE;
  error = listed ? ERROR_SUCCESS : GetLastError();
  CloseHandle(snapshot);
  if (!listed) {
    return false;
  }
  std::byte byte{};
  SIZE_T got = 0;
  if (ReadProcessMemory(process, entry.modBaseAddr, &byte, 1, &got) == FALSE || got != 1) {
    error = GetLastError();
    return false;
  }
  return true;
}

}  // namespace

OpenFailure ExplainWin32OpenFailure(unsigned long error) {
  switch (error) {
    case ERROR_INVALID_PARAMETER:
      return {"no such process", {}};
    case ERROR_ACCESS_DENIED:
      return {"access denied (error 5)",
              "the simulator runs as another user or with administrator rights: run velmora the same way",
              true};
    case ERROR_PARTIAL_COPY:
      return {"its memory cannot be read (error 299; it may be starting or ending)", {}};
    default:
      return {"error " + std::to_string(error), {}};
  }
}

std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId, OpenFailure* failure) {
  const auto fail = [failure](DWORD error) -> std::unique_ptr<ProcessMemory> {
    if (failure != nullptr) {
      *failure = ExplainWin32OpenFailure(error);
    }
    return nullptr;
  };
  if (processId == 0) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  // The right to read memory, and to ask whether the process still runs: a process that has ended stays
  // open-able while anyone holds a handle to it. Not inherited by children.
  HANDLE process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    return fail(GetLastError());
  }
  DWORD exit_code = 0;
  if (GetExitCodeProcess(process, &exit_code) == FALSE || exit_code != STILL_ACTIVE) {
    CloseHandle(process);
    return fail(ERROR_INVALID_PARAMETER);
  }
  DWORD error = ERROR_SUCCESS;
  if (!ProveReadable(process, processId, error)) {
    CloseHandle(process);
    return fail(error);
  }
  return std::make_unique<Win32ProcessMemory>(process, processId);
}

}  // namespace velmora::platform
