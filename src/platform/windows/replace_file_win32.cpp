#include <algorithm>
#include <string>

#include <windows.h>

#include "platform/replace_file.h"
#include "platform/utf16_text.h"

namespace velmora::platform {
namespace {

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  return Utf16ToUtf8(message);
}

std::wstring Wide(const std::string& text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::wstring target = Wide(path);
  const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return SystemMessage(GetLastError());
  }
  DWORD error = 0;
  for (std::size_t written = 0; error == 0 && written < bytes.size();) {
    DWORD count = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
    if (!WriteFile(file, bytes.data() + written, chunk, &count, nullptr)) {
      error = GetLastError();
    }
    written += count;
  }
  if (error == 0 && !FlushFileBuffers(file)) {
    error = GetLastError();
  }
  CloseHandle(file);
  if (error == 0 &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != 0) {
    DeleteFileW(temporary.c_str());
    return SystemMessage(error);
  }
  return std::nullopt;
}

}  // namespace velmora::platform
