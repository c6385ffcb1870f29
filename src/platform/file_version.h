#pragma once

#include <string>

namespace velmora::platform {

// The "ProductVersion" text of a file's version resource for its first translation, exactly as stored
// ("1, 2, 1, 9"), or empty text when the file has none. Read by the platform's own version service where
// it has one.
std::string FileProductVersion(const std::string& file);

}  // namespace velmora::platform
