#include "memory_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

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
  char address_text[16];
  std::snprintf(address_text, sizeof address_text, "0x%X", address);
  std::vector<std::string> argv{VELMORA_MEMORY_FIXTURE_PATH, path, address_text};
  if (hole.size != 0) {
    argv.push_back(std::to_string(hole.offset));
    argv.push_back(std::to_string(hole.size));
  }
  // Once both processes have mapped it the file needs no name: nothing is left behind, even by a test that
  // crashes.
  std::string ready;
  try {
    process_ = std::make_unique<ChildProcess>(argv);
    ready = process_->ReadLine();
  } catch (...) {
    unlink(path);
    munmap(bytes_, size_);
    throw;
  }
  unlink(path);
  if (ready.rfind("ready ", 0) != 0) {
    munmap(bytes_, size_);
    throw std::runtime_error("the memory fixture did not start");
  }
}

MemoryFixture::~MemoryFixture() {
  process_.reset();
  munmap(bytes_, size_);
}

void MemoryFixture::Stop() {
  process_->CloseAndWait();
}

}  // namespace velmora::test
