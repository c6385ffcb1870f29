#include "sim_memory.h"

#include <cstring>

namespace velmora::sim {

SimMemory::SimMemory(std::byte* base, std::uint32_t begin, std::uint32_t end)
    : base_(base), begin_(begin), end_(end) {}

bool SimMemory::Contains(std::uint32_t address, std::size_t size) const {
  return address >= begin_ && address <= end_ && size <= end_ - address;
}

bool SimMemory::Write(std::uint32_t address, std::span<const std::byte> bytes) {
  if (!Contains(address, bytes.size())) {
    return false;
  }
  std::memcpy(base_ + (address - begin_), bytes.data(), bytes.size());
  return true;
}

bool SimMemory::Read(std::uint32_t address, std::span<std::byte> bytes) const {
  if (!Contains(address, bytes.size())) {
    return false;
  }
  std::memcpy(bytes.data(), base_ + (address - begin_), bytes.size());
  return true;
}

}  // namespace velmora::sim
