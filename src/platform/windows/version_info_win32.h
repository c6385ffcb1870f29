#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::platform {

// The version resource of a file as the Windows version service hands it out, and look-ups in it.
class Win32VersionInfo final {
 public:
  // Nullopt when the file has no version resource or it cannot be read.
  static std::optional<Win32VersionInfo> Load(const std::wstring& file);

  // The value at a sub-block path ("\", "\VarFileInfo\Translation", "\StringFileInfo\...\Key"), limited to
  // the bytes of the resource; nullopt when the path does not exist.
  std::optional<std::span<const std::byte>> Query(const std::wstring& sub_block) const;
  // A text value up to its terminating zero, or the end of the resource, as UTF-8.
  std::optional<std::string> QueryText(const std::wstring& sub_block) const;

 private:
  explicit Win32VersionInfo(std::vector<std::byte> buffer) : buffer_(std::move(buffer)) {}

  std::vector<std::byte> buffer_;
};

}  // namespace velmora::platform
