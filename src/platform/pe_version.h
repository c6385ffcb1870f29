#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// A four-part version number as the fixed block of a version resource holds it.
struct VersionParts {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t release = 0;
  std::uint16_t build = 0;

  bool operator==(const VersionParts&) const = default;
};

// "2.9.0.220": the four parts in decimal, joined by dots.
std::string FormatVersionParts(const VersionParts& parts);

// Reads one to four decimal numbers separated by dots, commas and spaces ("1, 2, 1, 9", "2.9.0.220");
// missing parts are 0. Nullopt for anything else or a number above 65535.
std::optional<VersionParts> ParseVersionParts(std::string_view text);

// One entry of the "\VarFileInfo\Translation" table.
struct VersionTranslation {
  std::uint16_t language = 0;
  std::uint16_t code_page = 0;

  bool operator==(const VersionTranslation&) const = default;
};

// The VS_VERSIONINFO block of a Windows executable, copied out of the file, and the look-ups on it.
// Every input is treated as hostile: a malformed file gives nullopt or empty results, never a read outside
// the bytes given.
class VersionResource final {
 public:
  // Finds the version resource in a PE (PE32 or PE32+) file image as stored on disk.
  static std::optional<VersionResource> FromImage(std::span<const std::byte> image);
  // The same, reading only the parts of the file it needs.
  static std::optional<VersionResource> FromFile(const std::filesystem::path& file);
  // A bare VS_VERSIONINFO block, for example a resource extracted by other means.
  static std::optional<VersionResource> FromBlock(std::span<const std::byte> block);

  // The value stored at a sub-block path such as "\" (the fixed file information),
  // "\VarFileInfo\Translation" or "\StringFileInfo\040904b0\ProductVersion". Keys compare without regard
  // to ASCII case. Nullopt when the path does not exist.
  std::optional<std::span<const std::byte>> QueryValue(std::string_view sub_block) const;
  // A text value at a sub-block path, up to its terminating zero within its block, as UTF-8.
  std::optional<std::string> QueryText(std::string_view sub_block) const;

  // The translation table; empty when there is none.
  std::vector<VersionTranslation> Translations() const;
  // The text of `key` ("ProductVersion", "FileVersion", "ProductName") for the first translation, as
  // "\StringFileInfo\<language><code page>\<key>" with four lower-case hex digits each. Without a
  // translation table the bare key is queried, which names no sub-block, so the result is empty. Empty
  // text when nothing is found.
  std::string VersionString(std::string_view key) const;
  std::string ProductVersion() const { return VersionString("ProductVersion"); }

  // The file and product versions of the fixed file information block; nullopt when the block is missing
  // or lacks its signature.
  std::optional<VersionParts> FixedFileVersion() const;
  std::optional<VersionParts> FixedProductVersion() const;

  std::span<const std::byte> Bytes() const { return block_; }

 private:
  explicit VersionResource(std::vector<std::byte> block);

  std::vector<std::byte> block_;
};

// Shortcuts that give empty text (or nullopt) on any problem: no file, not a PE image, no version
// resource, no such text.
std::string VersionStringOfImage(std::span<const std::byte> image, std::string_view key);
std::string ProductVersionOfImage(std::span<const std::byte> image);
std::string VersionStringOfFile(const std::filesystem::path& file, std::string_view key);
std::string ProductVersionOfFile(const std::filesystem::path& file);
std::optional<VersionParts> FixedFileVersionOfFile(const std::filesystem::path& file);

}  // namespace velmora::platform
