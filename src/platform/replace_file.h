#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// Puts `bytes` under `path` in one step: they go to a new file beside it first, reach the disk, and only
// then take the name, so a failure leaves an existing file as it was and never a partial one under the
// name. Returns the operating system's message on failure.
std::optional<std::string> ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace velmora::platform
