#include <algorithm>
#include <atomic>
#include <string>

#include "platform/replace_file.h"
#include "platform/windows/win32_text.h"

// Last: the Win32 declarations.
#include <windows.h>

namespace velmora::platform {
namespace {

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(error) : Narrow(message);
}

}  // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path, std::string_view bytes) {
  static std::atomic<unsigned> attempts{0};
  const std::wstring target = Widen(path);
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  // A new name beside the target, never an existing file's.
  for (int tries = 0; tries < 100 && file == INVALID_HANDLE_VALUE; ++tries) {
    temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempts++);
    file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
      return SystemMessage(GetLastError());
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    return SystemMessage(ERROR_FILE_EXISTS);
  }
  DWORD error = ERROR_SUCCESS;
  for (std::size_t written = 0; error == ERROR_SUCCESS && written < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1U << 30));
    DWORD count = 0;
    if (WriteFile(file, bytes.data() + written, chunk, &count, nullptr) == FALSE) {
      error = GetLastError();
    }
    written += count;
  }
  if (error == ERROR_SUCCESS && FlushFileBuffers(file) == FALSE) {
    error = GetLastError();
  }
  if (CloseHandle(file) == FALSE && error == ERROR_SUCCESS) {
    error = GetLastError();
  }
  if (error == ERROR_SUCCESS && MoveFileExW(temporary.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temporary.c_str());
    return SystemMessage(error);
  }
  return std::nullopt;
}

}  // namespace velmora::platform
