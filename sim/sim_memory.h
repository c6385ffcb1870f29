#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace velmora::sim {

// [begin, end) rounded out to whole pages, as a mapping covers it.
struct PageRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::string text;  // "0x<first> - 0x<last>", for messages
};

// The pages of `page_size` bytes that cover [begin, end). Null, with `error` saying why, when no mapping
// can: an empty range, one that touches address 0, or one past 4 GiB.
std::optional<PageRange> PagesCovering(std::uint32_t begin, std::uint32_t end, std::uint64_t page_size,
                                       std::string& error);

// An address as messages write it: "0x" and upper-case hex digits.
std::string HexAddress(std::uint64_t value);

// Memory of this process at fixed low addresses, where a simulator executable keeps its data: one
// mapping that other processes read at exactly those addresses.
class SimMemory {
 public:
  // Maps [begin, end) rounded out to whole pages at exactly that place, read-write and zeroed. Null, with
  // `error` saying why, when the place cannot be had (for example because something else lies there).
  static std::unique_ptr<SimMemory> Reserve(std::uint32_t begin, std::uint32_t end, std::string& error);
  ~SimMemory();
  SimMemory(const SimMemory&) = delete;
  SimMemory& operator=(const SimMemory&) = delete;

  std::uint32_t Begin() const { return begin_; }
  std::uint32_t End() const { return end_; }

  // False, changing nothing, when any byte lies outside the mapping.
  bool Write(std::uint32_t address, std::span<const std::byte> bytes);
  bool Read(std::uint32_t address, std::span<std::byte> bytes) const;

 private:
  SimMemory(std::byte* base, std::uint32_t begin, std::uint32_t end);
  bool Contains(std::uint32_t address, std::size_t size) const;

  std::byte* base_;
  std::uint32_t begin_;
  std::uint32_t end_;
};

}  // namespace velmora::sim
