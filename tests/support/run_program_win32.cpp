#include <atomic>
#include <fstream>
#include <iterator>

#include "child_process.h"
#include "platform/windows/win32_text.h"
#include "run_program.h"

// Last: the Win32 declarations.
#include <windows.h>

namespace velmora::test {
namespace {

std::string ReadFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // Standard streams in text mode end their lines with CR LF.
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      lines.push_back(text[i]);
    }
  }
  return lines;
}

HANDLE OpenForChild(const std::wstring& path, bool write) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inheritable, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Outcome RunProgram(const std::vector<std::string>& argv) {
  static std::atomic<int> runs = 0;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring stem = std::wstring(folder) + L"velmora_run_" + std::to_wstring(GetCurrentProcessId()) +
                            L"_" + std::to_wstring(runs++);
  const std::wstring out_path = stem + L".out";
  const std::wstring err_path = stem + L".err";
  HANDLE in = OpenForChild(L"NUL", false);
  HANDLE out = OpenForChild(out_path, true);
  HANDLE err = OpenForChild(err_path, true);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info{};
  std::wstring command_line = CommandLineOf(argv);
  Outcome run;
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info) != FALSE) {
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code) != FALSE) {
      run.status = static_cast<int>(code);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  DeleteFileW(out_path.c_str());
  DeleteFileW(err_path.c_str());
  return run;
}

}  // namespace velmora::test
