#pragma once

#include <string>
#include <string_view>

namespace velmora::platform {

// The wide text of the W-functions and the UTF-8 of the rest of the program.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace velmora::platform
