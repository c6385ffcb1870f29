#include <cerrno>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#include "sim_memory.h"

namespace velmora::sim {

std::unique_ptr<SimMemory> SimMemory::Reserve(std::uint32_t begin, std::uint32_t end, std::string& error) {
  const auto pages = PagesCovering(begin, end, static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)), error);
  if (!pages) {
    return nullptr;
  }
  const auto [first, last, range] = *pages;
  // NOREPLACE: an address taken by anything else (our own code, a library, the heap) must never be
  // overwritten; the mapping then fails instead.
  void* wanted = reinterpret_cast<void*>(static_cast<std::uintptr_t>(first));
  void* got = mmap(wanted, last - first, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  if (got == MAP_FAILED) {
    error = errno == EEXIST ? "address range " + range + " is already in use"
                            : "address range " + range + " cannot be mapped: " + std::strerror(errno);
    return nullptr;
  }
  if (got != wanted) {
    // A kernel older than 4.17 takes NOREPLACE as a mere hint and may put the mapping elsewhere.
    munmap(got, last - first);
    error = "address range " + range + " is already in use";
    return nullptr;
  }
  return std::unique_ptr<SimMemory>(new SimMemory(
      static_cast<std::byte*>(got), static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)));
}

SimMemory::~SimMemory() {
  munmap(base_, end_ - begin_);
}

}  // namespace velmora::sim
