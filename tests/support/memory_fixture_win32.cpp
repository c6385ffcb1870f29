#include <atomic>
#include <stdexcept>

#include <windows.h>

#include "memory_fixture.h"

namespace velmora::test {

std::size_t PageSize() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwAllocationGranularity;
}

// Shared memory with a name that only lives while a handle to it is open: nothing is left behind, even by
// a test that crashes.
MemoryFixture::MemoryFixture(std::uint32_t address, std::size_t size, MemoryHole hole)
    : address_(address), size_(size) {
  static std::atomic<int> fixtures = 0;
  const std::string name =
      "velmora-fixture-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(fixtures++);
  const auto size64 = static_cast<std::uint64_t>(size);
  mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                static_cast<DWORD>(size64 >> 32), static_cast<DWORD>(size64), name.c_str());
  if (mapping_ == nullptr) {
    throw std::runtime_error("cannot make the shared memory");
  }
  bytes_ = static_cast<std::byte*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, size));
  if (bytes_ == nullptr) {
    CloseHandle(mapping_);
    throw std::runtime_error("cannot map the shared memory");
  }
  try {
    StartProcess({name, AddressText(address), std::to_string(size)}, hole);
  } catch (...) {
    UnmapViewOfFile(bytes_);
    CloseHandle(mapping_);
    throw;
  }
}

MemoryFixture::~MemoryFixture() {
  process_.reset();
  UnmapViewOfFile(bytes_);
  CloseHandle(mapping_);
}

}  // namespace velmora::test
