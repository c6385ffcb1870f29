#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::web {

// The value of `name` in a URL's query ("a=1&token=x%20y"), percent-decoded, "+" read as a space; empty
// when the query does not hold it.
std::string QueryValue(std::string_view query, std::string_view name);

// `text` with its %XX escapes decoded ("+" stays as it is); none when an escape is not two hexadecimal
// digits.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace velmora::web
