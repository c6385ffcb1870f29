#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/file_version.h"
#include "platform/windows/version_info_win32.h"
#include "platform/windows/win32_text.h"

namespace velmora::platform {

std::string FileProductVersion(const std::string& file) {
  if (file.empty()) {
    return {};
  }
  const auto info = Win32VersionInfo::Load(Widen(file));
  if (!info) {
    return {};
  }
  // Without a translation table the bare key is asked for; it names no sub-block, so the text is empty.
  std::wstring key = L"ProductVersion";
  const auto translation = info->Query(L"\\VarFileInfo\\Translation");
  if (translation && translation->size() >= 4) {
    std::uint16_t language = 0;
    std::uint16_t code_page = 0;
    std::memcpy(&language, translation->data(), 2);
    std::memcpy(&code_page, translation->data() + 2, 2);
    wchar_t path[64];
    std::swprintf(path, std::size(path), L"\\StringFileInfo\\%04x%04x\\ProductVersion", language, code_page);
    key = path;
  }
  return info->QueryText(key).value_or(std::string());
}

}  // namespace velmora::platform
