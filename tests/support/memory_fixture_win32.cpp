#include <atomic>
#include <cstdio>
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
  char address_text[16];
  std::snprintf(address_text, sizeof address_text, "0x%X", address);
  std::vector<std::string> argv{VELMORA_MEMORY_FIXTURE_PATH, name, address_text, std::to_string(size)};
  if (hole.size != 0) {
    argv.push_back(std::to_string(hole.offset));
    argv.push_back(std::to_string(hole.size));
  }
  std::string ready;
  try {
    process_ = std::make_unique<ChildProcess>(argv);
    ready = process_->ReadLine();
  } catch (...) {
    UnmapViewOfFile(bytes_);
    CloseHandle(mapping_);
    throw;
  }
  if (ready.rfind("ready ", 0) != 0) {
    UnmapViewOfFile(bytes_);
    CloseHandle(mapping_);
    throw std::runtime_error("the memory fixture did not start");
  }
}

MemoryFixture::~MemoryFixture() {
  process_.reset();
  UnmapViewOfFile(bytes_);
  CloseHandle(mapping_);
}

void MemoryFixture::Stop() {
  process_->CloseAndWait();
}

}  // namespace velmora::test
