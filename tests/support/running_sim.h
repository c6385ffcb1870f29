#pragma once

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "platform/process_memory.h"

namespace velmora::test {

// A running velmora-sim that has said it is ready, driven through its command language and read from
// outside as the dashboard reads it.
class RunningSim {
 public:
  // Which stand-in runs: this build's, or the Windows build's velmora-sim.exe under Wine, as a racer on
  // Linux runs a simulator. VELMORA_WINE_SIM names that executable and VELMORA_WINE the wine program
  // ("wine" when unset).
  enum class Build { kThisBuild, kWindowsUnderWine };
  // Whether the Windows build's stand-in was named, so that Build::kWindowsUnderWine can run.
  static bool WindowsBuildNamed();

  // Starts velmora-sim with `arguments`; throws when it does not get ready.
  explicit RunningSim(const std::vector<std::string>& arguments = {}, Build build = Build::kThisBuild);
  // Asks it to quit, so that it removes its executable image, and waits for it.
  ~RunningSim();
  RunningSim(const RunningSim&) = delete;
  RunningSim& operator=(const RunningSim&) = delete;

  std::uint32_t Pid() const { return pid_; }
  ChildProcess& Process() { return *process_; }

  // Sends one command and returns its one-line answer.
  std::string Ask(const std::string& line);

  // The datum at `address` of its memory, read with the platform's process reads. Not for a stand-in
  // under Wine, whose pid is Windows' own.
  template <typename T>
  T ReadAt(std::uint32_t address) {
    std::array<std::byte, sizeof(T)> bytes{};
    EXPECT_TRUE(memory_ != nullptr && memory_->Read(address, bytes)) << "address 0x" << std::hex << address;
    T value;
    std::memcpy(&value, bytes.data(), sizeof(T));
    return value;
  }
  std::string TextAt(std::uint32_t address);

 private:
  std::unique_ptr<ChildProcess> process_;
  std::unique_ptr<platform::ProcessMemory> memory_;
  std::uint32_t pid_ = 0;
};

}  // namespace velmora::test
