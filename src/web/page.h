#pragma once

#include <string_view>

namespace velmora::web {

// The whole page a viewer loads: HTML with its styles, script and pictures inside, nothing fetched from
// elsewhere. Built from src/web/page/ when the program is built.
std::string_view Page();

}  // namespace velmora::web
