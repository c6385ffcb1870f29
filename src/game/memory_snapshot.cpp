#include "game/memory_snapshot.h"

#include <algorithm>
#include <cstring>

namespace velmora {

void MemorySnapshot::Reset() {
  wanted_.clear();
  Clear();
}

void MemorySnapshot::Want(std::uint32_t address, std::uint32_t size) {
  // Address 0 is never mapped, and a range that wraps the address space is no datum.
  if (address == 0 || size == 0 || address > UINT32_MAX - size) {
    return;
  }
  wanted_.push_back({address, address + size});
}

void MemorySnapshot::Capture(platform::ProcessMemory& memory) {
  blocks_.clear();
  std::sort(wanted_.begin(), wanted_.end(), [](const Range& a, const Range& b) { return a.begin < b.begin; });
  std::size_t total = 0;
  for (const Range& range : wanted_) {
    // Compared as a distance, so that a block ending near 4 GiB cannot wrap the sum.
    if (!blocks_.empty() &&
        (range.begin <= blocks_.back().end || range.begin - blocks_.back().end <= max_gap_)) {
      Block& last = blocks_.back();
      if (range.end > last.end) {
        total += range.end - last.end;
        last.end = range.end;
      }
      continue;
    }
    blocks_.push_back({range.begin, range.end, total, false});
    total += range.end - range.begin;
  }
  bytes_.resize(total);
  requests_.clear();
  for (Block& block : blocks_) {
    requests_.push_back({block.begin, std::span(bytes_).subspan(block.offset, block.end - block.begin)});
  }
  memory.ReadMany(requests_);
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    blocks_[i].ok = requests_[i].ok;
  }
  captured_ = true;
}

void MemorySnapshot::Clear() {
  captured_ = false;
}

bool MemorySnapshot::Lookup(std::uint32_t address, std::span<std::byte> destination) const {
  if (!captured_ || address > UINT32_MAX - destination.size()) {
    return false;
  }
  const auto end = address + static_cast<std::uint32_t>(destination.size());
  // Blocks are sorted and disjoint: the candidate is the last block that begins at or before the address.
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), address,
                                [](std::uint32_t value, const Block& block) { return value < block.begin; });
  if (after == blocks_.begin()) {
    return false;
  }
  const Block& block = *std::prev(after);
  if (!block.ok || end > block.end) {
    return false;
  }
  std::memcpy(destination.data(), bytes_.data() + block.offset + (address - block.begin), destination.size());
  return true;
}

}  // namespace velmora
