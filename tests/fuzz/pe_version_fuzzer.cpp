// Feeds arbitrary bytes to the version resource reader, both as a whole PE image and as a bare
// VS_VERSIONINFO block, and runs every query on whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pe_version.h"

namespace {

void Exercise(const velmora::platform::VersionResource& resource) {
  for (const char* key : {"ProductVersion", "FileVersion", "ProductName"}) {
    resource.VersionString(key);
  }
  resource.Translations();
  resource.FixedFileVersion();
  resource.FixedProductVersion();
  resource.QueryText("\\StringFileInfo\\040904b0\\ProductVersion");
  resource.QueryValue("\\VarFileInfo\\Translation");
  resource.QueryValue("ProductVersion");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto bytes = std::as_bytes(std::span(data, size));
  if (const auto resource = velmora::platform::VersionResource::FromImage(bytes)) {
    Exercise(*resource);
  }
  if (const auto resource = velmora::platform::VersionResource::FromBlock(bytes)) {
    Exercise(*resource);
  }
  return 0;
}
