#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace velmora::platform {

// Random access to the bytes of a file image, so that a large executable on disk is read only where its
// headers and its version resource lie.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies `out.size()` bytes from `offset`; false when any of them lies outside the image or cannot be
  // read.
  virtual bool Read(std::uint64_t offset, std::span<std::byte> out) = 0;
};

std::unique_ptr<ByteSource> MemoryByteSource(std::span<const std::byte> image);
// Null when the file cannot be opened or is not a regular file.
std::unique_ptr<ByteSource> FileByteSource(const std::filesystem::path& file);

// Follows a PE image from its DOS header to the data of its version resource and returns a copy of that
// data (at most 64 KiB, the most a VS_VERSIONINFO block can describe). Nullopt for anything malformed.
std::optional<std::vector<std::byte>> FindVersionResourceData(ByteSource& source);

}  // namespace velmora::platform
