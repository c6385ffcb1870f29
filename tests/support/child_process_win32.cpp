#include <stdexcept>

#include <windows.h>

#include "child_process.h"
#include "platform/windows/win32_text.h"

namespace velmora::test {
namespace {

// One argument as the C runtime of the child splits its command line again.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

}  // namespace

std::wstring CommandLineOf(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const auto& argument : argv) {
    if (!line.empty()) {
      line.push_back(L' ');
    }
    line += Quoted(platform::Widen(argument));
  }
  return line;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE child_in = nullptr;
  HANDLE to_child = nullptr;
  HANDLE from_child = nullptr;
  HANDLE child_out = nullptr;
  if (CreatePipe(&child_in, &to_child, &inheritable, 0) == FALSE) {
    throw std::runtime_error("pipe failed");
  }
  if (CreatePipe(&from_child, &child_out, &inheritable, 0) == FALSE) {
    CloseHandle(child_in);
    CloseHandle(to_child);
    throw std::runtime_error("pipe failed");
  }
  // Only the child's ends are inherited.
  SetHandleInformation(to_child, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(from_child, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_in;
  startup.hStdOutput = child_out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring command_line = CommandLineOf(argv);
  const BOOL started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  CloseHandle(child_in);
  CloseHandle(child_out);
  to_child_ = to_child;
  from_child_ = from_child;
  if (started == FALSE) {
    CloseHandle(to_child);
    CloseHandle(from_child);
    to_child_ = from_child_ = nullptr;
    throw std::runtime_error("cannot start " + argv.front());
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = static_cast<pid_t>(info.dwProcessId);
  reader_ = std::thread([this] { ReadOutput(); });
}

ChildProcess::~ChildProcess() {
  if (process_ != nullptr) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
  }
  if (to_child_ != nullptr) {
    CloseHandle(to_child_);
  }
  // The child's end of the output pipe went with it, so the reader sees the end of its output.
  if (reader_.joinable()) {
    reader_.join();
  }
  if (from_child_ != nullptr) {
    CloseHandle(from_child_);
  }
}

void ChildProcess::ReadOutput() {
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(from_child_, buffer, sizeof buffer, &got, nullptr) != FALSE && got > 0) {
    const std::lock_guard lock(mutex_);
    received_.append(buffer, got);
    arrived_.notify_all();
  }
  const std::lock_guard lock(mutex_);
  output_ended_ = true;
  arrived_.notify_all();
}

std::string ChildProcess::ReadLine(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_lock lock(mutex_);
  for (;;) {
    pending_ += received_;
    received_.clear();
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      return line;
    }
    if (output_ended_ ||
        !arrived_.wait_until(lock, deadline, [this] { return !received_.empty() || output_ended_; })) {
      return {};
    }
  }
}

void ChildProcess::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  DWORD wrote = 0;
  if (to_child_ == nullptr ||
      WriteFile(to_child_, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) == FALSE ||
      wrote != text.size()) {
    throw std::runtime_error("child closed its input");
  }
}

int ChildProcess::CloseAndWait() {
  if (to_child_ != nullptr) {
    CloseHandle(to_child_);
    to_child_ = nullptr;
  }
  if (process_ == nullptr || WaitForSingleObject(process_, INFINITE) != WAIT_OBJECT_0) {
    return -1;
  }
  DWORD code = 0;
  const BOOL ok = GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = -1;
  return ok != FALSE ? static_cast<int>(code) : -1;
}

}  // namespace velmora::test
