#pragma once

#include <string>

#include "web/view_state.h"

namespace velmora::web {

// The page's first message: every key, {"full":1,"v":{...}}.
std::string FullMessage(const ViewState& state);

// What changed from `before` to `after` (keys are never removed), {"v":{...}}; empty when nothing did.
std::string ChangeMessage(const ViewState& before, const ViewState& after);

}  // namespace velmora::web
