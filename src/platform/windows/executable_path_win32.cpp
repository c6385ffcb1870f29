#include <cwchar>

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "platform/executable_path.h"
#include "platform/windows/win32_text.h"

namespace velmora::platform {

// The entry size the call checks is the one of this build's architecture: 1064 bytes for 32-bit
// programs, 1080 for 64-bit ones.
static_assert(sizeof(void*) == 8 ? sizeof(MODULEENTRY32W) == 1080 : sizeof(MODULEENTRY32W) == 1064);

std::string ExecutablePathOfProcess(std::uint32_t pid) {
  if (pid == 0) {
    return {};
  }
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return {};
  }
  // The first module of a process is its executable.
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::string path;
  if (Module32FirstW(snapshot, &entry) != FALSE) {
    path = Narrow(std::wstring_view(entry.szExePath, wcsnlen(entry.szExePath, MAX_PATH)));
  }
  CloseHandle(snapshot);
  return path;
}

}  // namespace velmora::platform
