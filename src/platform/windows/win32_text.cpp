#include "platform/windows/win32_text.h"

#include "platform/utf16_text.h"

namespace velmora::platform {

// wchar_t is UTF-16 on Windows, so the portable conversions serve as they are.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Widen(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace velmora::platform
