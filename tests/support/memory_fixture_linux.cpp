#include <cstdlib>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

#include "memory_fixture.h"

namespace velmora::test {

std::size_t PageSize() {
  return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

MemoryFixture::MemoryFixture(std::uint32_t address, std::size_t size, MemoryHole hole)
    : address_(address), size_(size) {
  char path[] = "/tmp/velmora-fixture-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    throw std::runtime_error("cannot make the shared file");
  }
  void* mapped = ftruncate(fd, static_cast<off_t>(size)) == 0
                     ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
  close(fd);
  if (mapped == MAP_FAILED) {
    unlink(path);
    throw std::runtime_error("cannot map the shared file");
  }
  bytes_ = static_cast<std::byte*>(mapped);
  // Once both processes have mapped it the file needs no name: nothing is left behind, even by a test that
  // crashes.
  try {
    StartProcess({path, AddressText(address)}, hole);
  } catch (...) {
    unlink(path);
    munmap(bytes_, size_);
    throw;
  }
  unlink(path);
}

MemoryFixture::~MemoryFixture() {
  process_.reset();
  munmap(bytes_, size_);
}

}  // namespace velmora::test
