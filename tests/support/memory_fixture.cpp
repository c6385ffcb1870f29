#include "memory_fixture.h"

#include <cstdio>
#include <stdexcept>

namespace velmora::test {

std::string AddressText(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", address);
  return text;
}

void MemoryFixture::StartProcess(std::vector<std::string> arguments, MemoryHole hole) {
  arguments.insert(arguments.begin(), VELMORA_MEMORY_FIXTURE_PATH);
  if (hole.size != 0) {
    arguments.push_back(std::to_string(hole.offset));
    arguments.push_back(std::to_string(hole.size));
  }
  process_ = std::make_unique<ChildProcess>(arguments);
  if (process_->ReadLine().rfind("ready ", 0) != 0) {
    process_.reset();
    throw std::runtime_error("the memory fixture did not start");
  }
}

void MemoryFixture::Stop() {
  process_->CloseAndWait();
}

}  // namespace velmora::test
