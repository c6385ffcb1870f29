#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora::platform {

// Little-endian fields of Windows file formats. Readers take offsets the caller has already checked.
inline std::uint16_t LoadLe16(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                    (std::to_integer<unsigned>(bytes[at + 1]) << 8));
}

inline std::uint32_t LoadLe32(std::span<const std::byte> bytes, std::size_t at) {
  return LoadLe16(bytes, at) | (static_cast<std::uint32_t>(LoadLe16(bytes, at + 2)) << 16);
}

inline void StoreLe16(std::span<std::byte> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::byte>(value & 0xFF);
  bytes[at + 1] = static_cast<std::byte>(value >> 8);
}

inline void StoreLe32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value) {
  StoreLe16(bytes, at, static_cast<std::uint16_t>(value));
  StoreLe16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void AppendLe16(std::vector<std::byte>& bytes, std::uint16_t value) {
  bytes.resize(bytes.size() + 2);
  StoreLe16(bytes, bytes.size() - 2, value);
}

inline void AppendLe32(std::vector<std::byte>& bytes, std::uint32_t value) {
  bytes.resize(bytes.size() + 4);
  StoreLe32(bytes, bytes.size() - 4, value);
}

}  // namespace velmora::platform
