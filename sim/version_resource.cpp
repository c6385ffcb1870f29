#include "version_resource.h"

#include "platform/pe_version.h"

namespace velmora::sim {

platform::VersionResourceContents VersionResourceOf(const std::string& title, const std::string& version) {
  platform::VersionResourceContents contents;
  // The fixed block wants numbers; the text, which is what is read, may be anything.
  const platform::VersionParts parts =
      platform::ParseVersionParts(version).value_or(platform::VersionParts{});
  contents.file_version = parts;
  contents.product_version = parts;
  contents.strings = {{"ProductName", title}, {"FileVersion", version}, {"ProductVersion", version}};
  return contents;
}

}  // namespace velmora::sim
