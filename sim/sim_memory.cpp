#include "sim_memory.h"

#include <cstdio>
#include <cstring>

namespace velmora::sim {

std::string HexAddress(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::optional<PageRange> PagesCovering(std::uint32_t begin, std::uint32_t end, std::uint64_t page_size,
                                       std::string& error) {
  PageRange pages;
  pages.first = begin / page_size * page_size;
  pages.last = (static_cast<std::uint64_t>(end) + page_size - 1) / page_size * page_size;
  pages.text = HexAddress(pages.first) + " - " + HexAddress(pages.last);
  if (end <= begin || pages.first == 0 || pages.last > UINT32_MAX) {
    error = "address range " + pages.text + " cannot be mapped";
    return std::nullopt;
  }
  return pages;
}

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
