#pragma once

#include <string>
#include <string_view>

#include "web/view_state.h"

namespace velmora::web {

// A JSON string, quotes included, of any bytes: control characters are left out and a byte that is not
// part of valid UTF-8 becomes U+FFFD, so that every message parses whatever a server's record holds.
std::string JsonString(std::string_view text);

// The page's first message: every key, {"full":1,"v":{...}}.
std::string FullMessage(const ViewState& state);

// What changed from `before` to `after`, {"v":{...}}, a key that `after` no longer has as null; empty when
// nothing did.
std::string ChangeMessage(const ViewState& before, const ViewState& after);

}  // namespace velmora::web
