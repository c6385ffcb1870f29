#include <string>

#include <windows.h>

#include "platform/launched_command.h"
#include "platform/windows/win32_text.h"

namespace velmora::platform {
namespace {

// One argument as the C runtime of the started program splits its command line again: quoted when it
// holds a space, a tab or a quote or is empty, a quote escaped with a backslash, and the backslashes
// before a quote or the closing quote doubled.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

class Win32LaunchedCommand final : public LaunchedCommand {
 public:
  Win32LaunchedCommand(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
  ~Win32LaunchedCommand() override { CloseHandle(process_); }
  Win32LaunchedCommand(const Win32LaunchedCommand&) = delete;
  Win32LaunchedCommand& operator=(const Win32LaunchedCommand&) = delete;

  std::uint32_t ProcessId() const override { return pid_; }

  std::optional<int> ExitStatus() override {
    DWORD code = 0;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0 || GetExitCodeProcess(process_, &code) == FALSE) {
      return std::nullopt;
    }
    return static_cast<int>(code);
  }

  std::intptr_t EndNotifier() const override { return reinterpret_cast<std::intptr_t>(process_); }

 private:
  const HANDLE process_;
  const DWORD pid_;
};

}  // namespace

std::unique_ptr<LaunchedCommand> LaunchedCommand::Start(std::span<const std::string> arguments,
                                                        std::string* error) {
  if (arguments.empty() || arguments.front().empty()) {
    if (error != nullptr) {
      *error = "no command given";
    }
    return nullptr;
  }
  std::wstring line;
  for (const auto& argument : arguments) {
    if (!line.empty()) {
      line += L' ';
    }
    AppendQuoted(line, Widen(argument));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The program is looked up as the command line's first word, in the folders Windows searches; its
  // standard handles are this process's, inherited.
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started) ==
      FALSE) {
    if (error != nullptr) {
      *error = "cannot start it (error " + std::to_string(GetLastError()) + ")";
    }
    return nullptr;
  }
  CloseHandle(started.hThread);
  return std::make_unique<Win32LaunchedCommand>(started.hProcess, started.dwProcessId);
}

}  // namespace velmora::platform
