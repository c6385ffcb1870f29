#pragma once

#include <string>
#include <string_view>

namespace velmora::web {

// The value of `name` in a URL's query ("a=1&token=x%20y"), percent-decoded, "+" read as a space; empty
// when the query does not hold it.
std::string QueryValue(std::string_view query, std::string_view name);

}  // namespace velmora::web
