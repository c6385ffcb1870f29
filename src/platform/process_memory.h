#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

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

// Why a process could not be opened, in words for the user.
struct OpenFailure {
  std::string reason;        // what the system said, and why when that can be told
  std::string hint;          // what the user can change so that it works, or empty
  bool not_allowed = false;  // the process is there, but this one may not read it
};

// Opens process `processId` for reading. The open proves itself with one real read of the process's
// memory, so a process that exists but may not be read (another user's, or one the kernel's ptrace
// policy protects) fails here instead of reading zeros for ever. Null on failure, with the reason in
// `failure` when one is given.
std::unique_ptr<ProcessMemory> OpenProcessMemory(std::uint32_t processId, OpenFailure* failure = nullptr);

}  // namespace velmora::platform
