#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace velmora::test {

// The unit in which a fixture's memory is mapped and left out: the page on Linux, the allocation
// granularity (64 KiB) on Windows, where views of shared memory start only at such boundaries.
std::size_t PageSize();

// "0x" and the upper-case hex digits of `address`, as the fixture program takes it.
std::string AddressText(std::uint32_t address);

// Part of a fixture's mapping left unmapped, so that reads there fail.
struct MemoryHole {
  std::size_t offset = 0;
  std::size_t size = 0;
};

// A running second process whose memory at a fixed low address the test can read across the process
// boundary and change at will: both map the same file.
class MemoryFixture {
 public:
  MemoryFixture(std::uint32_t address, std::size_t size, MemoryHole hole = {});
  ~MemoryFixture();
  MemoryFixture(const MemoryFixture&) = delete;
  MemoryFixture& operator=(const MemoryFixture&) = delete;

  std::uint32_t Pid() const { return static_cast<std::uint32_t>(process_->Pid()); }
  std::uint32_t Address() const { return address_; }
  std::byte* Bytes() { return bytes_; }

  // Writes `value` at the fixture's own address `address`, as the process sees it.
  template <typename T>
  void Put(std::uint32_t address, const T& value) {
    std::memcpy(bytes_ + (address - address_), &value, sizeof value);
  }
  void PutText(std::uint32_t address, const std::string& text) {
    std::memcpy(bytes_ + (address - address_), text.c_str(), text.size() + 1);
  }

  // Ends the process; reads at its addresses fail from then on.
  void Stop();

 private:
  // Runs the fixture program with `arguments` (which name the shared memory and give the address) and
  // `hole`, and waits until it says it is ready. Throws when it does not start; the memory is then still
  // the caller's to release.
  void StartProcess(std::vector<std::string> arguments, MemoryHole hole);

  std::uint32_t address_;
  std::size_t size_;
  std::byte* bytes_ = nullptr;
  std::unique_ptr<ChildProcess> process_;
#ifdef _WIN32
  void* mapping_ = nullptr;
#endif
};

}  // namespace velmora::test
