#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace velmora::sim {

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
