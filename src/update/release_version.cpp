#include "update/release_version.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace velmora::update {
namespace {

constexpr std::int64_t kNoPart = -1;

std::int64_t PartValue(std::string_view part) {
  std::int64_t value = 0;
  const char* const end = part.data() + part.size();
  const auto [stop, error] = std::from_chars(part.data(), end, value);
  // A sign, trailing text or a number too large for any real version make the part non-numeric.
  if (part.empty() || part.front() == '-' || error != std::errc{} || stop != end) {
    return kNoPart;
  }
  return value;
}

std::vector<std::int64_t> Parts(std::string_view version) {
  std::vector<std::int64_t> parts;
  while (true) {
    const auto dot = version.find('.');
    parts.push_back(PartValue(version.substr(0, dot)));
    if (dot == std::string_view::npos) {
      return parts;
    }
    version.remove_prefix(dot + 1);
  }
}

}  // namespace

int CompareVersions(std::string_view left, std::string_view right) {
  const std::vector<std::int64_t> a = Parts(left);
  const std::vector<std::int64_t> b = Parts(right);
  const std::size_t count = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t x = i < a.size() ? a[i] : kNoPart;
    const std::int64_t y = i < b.size() ? b[i] : kNoPart;
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  return 0;
}

}  // namespace velmora::update
