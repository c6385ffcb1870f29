#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/process_memory.h"

namespace velmora {

// The bytes of a read cycle, fetched before the cycle in a few block reads instead of one system call per
// datum. Addresses close to each other share a block; a block that cannot be read leaves its data to the
// datum's own read, so a failed datum still fails alone.
class MemorySnapshot final {
 public:
  // Data further apart than this start a new block: reading the gap costs less than another iovec
  // (velmora_read_cycle_bench measures the driver records at several gaps).
  static constexpr std::uint32_t kMaxGap = 4096;

  explicit MemorySnapshot(std::uint32_t max_gap = kMaxGap) : max_gap_(max_gap) {}

  // Collecting: the ranges the next cycle will read. Capacity is kept between cycles.
  void Reset();
  void Want(std::uint32_t address, std::uint32_t size);

  // Reads the wanted ranges' blocks; lookups answer from them until Clear.
  void Capture(platform::ProcessMemory& memory);
  void Clear();

  // Copies the datum when the snapshot holds every byte of it.
  bool Lookup(std::uint32_t address, std::span<std::byte> destination) const;

  std::size_t BlockCount() const { return blocks_.size(); }

 private:
  struct Range {
    std::uint32_t begin;
    std::uint32_t end;
  };
  struct Block {
    std::uint32_t begin;
    std::uint32_t end;
    std::size_t offset;  // into bytes_
    bool ok;
  };

  std::uint32_t max_gap_;
  std::vector<Range> wanted_;
  std::vector<Block> blocks_;
  std::vector<platform::ReadRequest> requests_;
  std::vector<std::byte> bytes_;
  bool captured_ = false;
};

}  // namespace velmora
