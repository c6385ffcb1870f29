#pragma once

#include <string>
#include <string_view>

namespace velmora::platform {

// Conversions between the UTF-16 of Windows files and the UTF-8 used everywhere else. Malformed input
// (unpaired surrogates, invalid UTF-8) becomes U+FFFD instead of failing, so a damaged file still shows
// the readable part of its text.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace velmora::platform
