#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace velmora::platform {

// One value to fetch from the attached process. `ok` tells, after a read, whether every byte arrived.
struct ReadRequest {
  std::uint32_t address = 0;
  std::span<std::byte> destination;
  bool ok = false;
};

// Read access to another process's memory at its own (32-bit) virtual addresses.
class ProcessMemory {
 public:
  virtual ~ProcessMemory() = default;

  // Fills `destination` from `address`; false when any byte could not be read.
  virtual bool Read(std::uint32_t address, std::span<std::byte> destination) = 0;

  // Reads many requests in as few system calls as possible. Each request succeeds or fails on its own:
  // an unreadable one never spoils the others.
  virtual void ReadMany(std::span<ReadRequest> requests) = 0;

  // System calls made so far, for benchmarks and tests that check batching.
  virtual std::uint64_t SystemCalls() const = 0;

  virtual std::uint32_t ProcessId() const = 0;
};

// Opens process `processId` for reading, or returns null when it does not exist.
std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId);

}  // namespace velmora::platform
