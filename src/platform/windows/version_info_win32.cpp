#include "platform/windows/version_info_win32.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include <windows.h>

#include "platform/windows/win32_text.h"

namespace velmora::platform {

std::optional<Win32VersionInfo> Win32VersionInfo::Load(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) {
    return std::nullopt;
  }
  std::vector<std::byte> buffer(size);
  if (GetFileVersionInfoW(file.c_str(), 0, size, buffer.data()) == FALSE) {
    return std::nullopt;
  }
  return Win32VersionInfo(std::move(buffer));
}

std::optional<std::span<const std::byte>> Win32VersionInfo::Query(const std::wstring& sub_block) const {
  void* value = nullptr;
  UINT length = 0;
  // The service takes a non-const buffer but does not write to it.
  if (VerQueryValueW(const_cast<std::byte*>(buffer_.data()), sub_block.c_str(), &value, &length) == FALSE ||
      value == nullptr) {
    return std::nullopt;
  }
  const auto* begin = static_cast<const std::byte*>(value);
  const std::byte* end = buffer_.data() + buffer_.size();
  if (begin < buffer_.data() || begin > end) {
    return std::nullopt;
  }
  return std::span<const std::byte>(begin, end);
}

std::optional<std::string> Win32VersionInfo::QueryText(const std::wstring& sub_block) const {
  const auto value = Query(sub_block);
  if (!value) {
    return std::nullopt;
  }
  // The service's length is in characters and not always right; the text runs to its zero, and never past
  // the resource.
  std::wstring text;
  const std::size_t units = value->size() / sizeof(wchar_t);
  text.resize(units);
  std::memcpy(text.data(), value->data(), units * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), units));
  return Narrow(text);
}

}  // namespace velmora::platform
