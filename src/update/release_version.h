#pragma once

#include <string_view>

namespace velmora::update {

// Orders two versions written as dot-separated numbers ("2.9.0.220"). Parts are compared as integers
// from the left; a missing or non-numeric part counts as -1, so "2.9.0" is older than "2.9.0.0".
// Negative when `left` is older, 0 when equal, positive when newer.
int CompareVersions(std::string_view left, std::string_view right);

}  // namespace velmora::update
