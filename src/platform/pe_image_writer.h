#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/pe_version.h"

namespace velmora::platform {

// What the version resource of a written image says.
struct VersionResourceContents {
  VersionParts file_version;
  VersionParts product_version;
  std::uint16_t language = 0x0409;   // U.S. English
  std::uint16_t code_page = 0x04B0;  // Unicode
  // Key and value texts (UTF-8) of the string table, in file order: "ProductVersion", "FileVersion", ...
  std::vector<std::pair<std::string, std::string>> strings;
  bool with_string_table = true;
  bool with_translation = true;
};

// A VS_VERSIONINFO block: the fixed file information, a StringFileInfo with one string table named after
// the language and code page, and a VarFileInfo with the translation table. Throws std::length_error when
// a block would exceed the 64 KiB that its 16-bit length can describe.
std::vector<std::byte> BuildVersionInfoBlock(const VersionResourceContents& contents);

// A small but complete 32-bit Windows executable (i386, fixed image base 0x400000, file alignment 0x200,
// section alignment 0x1000): a `.text` section whose entry point returns 0 at once and a `.rsrc` section
// holding the version resource, with a correct header checksum. Throws like BuildVersionInfoBlock.
std::vector<std::byte> BuildPeImage(const VersionResourceContents& contents);

// Writes `image` to `file` through a temporary file beside it that is then renamed, so that a reader never
// sees half a file. False on any failure, leaving no temporary file behind.
bool WritePeImage(const std::filesystem::path& file, std::span<const std::byte> image);

}  // namespace velmora::platform
