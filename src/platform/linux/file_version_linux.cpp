#include "platform/file_version.h"
#include "platform/pe_version.h"

namespace velmora::platform {

// Linux has no version service; our own reader of the resource stands in for it.
std::string FileProductVersion(const std::string& file) {
  return file.empty() ? std::string() : ProductVersionOfFile(file);
}

}  // namespace velmora::platform
