#include "memory_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

namespace velmora::test {

MemoryFixture::MemoryFixture(std::uint32_t address, std::size_t size, MemoryHole hole)
    : address_(address), size_(size) {
  char path[] = "/tmp/velmora-fixture-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
    throw std::runtime_error("cannot make the shared file");
  }
  path_ = path;
  void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) {
    throw std::runtime_error("cannot map the shared file");
  }
  bytes_ = static_cast<std::byte*>(mapped);
  char address_text[16];
  std::snprintf(address_text, sizeof address_text, "0x%X", address);
  std::vector<std::string> argv{VELMORA_MEMORY_FIXTURE_PATH, path_, address_text};
  if (hole.size != 0) {
    argv.push_back(std::to_string(hole.offset));
    argv.push_back(std::to_string(hole.size));
  }
  process_ = std::make_unique<ChildProcess>(argv);
  if (process_->ReadLine().rfind("ready ", 0) != 0) {
    throw std::runtime_error("the memory fixture did not start");
  }
}

MemoryFixture::~MemoryFixture() {
  process_.reset();
  munmap(bytes_, size_);
  unlink(path_.c_str());
}

void MemoryFixture::Stop() {
  process_->CloseAndWait();
}

}  // namespace velmora::test
