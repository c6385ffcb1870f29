#include "running_sim.h"

#include <stdexcept>

namespace velmora::test {

RunningSim::RunningSim(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{VELMORA_SIM_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  process_ = std::make_unique<ChildProcess>(argv);
  pid_ = static_cast<std::uint32_t>(process_->Pid());
  const std::string ready = process_->ReadLine();
  if (ready != "ready pid=" + std::to_string(pid_)) {
    throw std::runtime_error("velmora-sim did not get ready: \"" + ready + "\"");
  }
  memory_ = platform::OpenProcessMemory(pid_);
  if (!memory_) {
    throw std::runtime_error("cannot open velmora-sim's memory");
  }
}

RunningSim::~RunningSim() {
  // The end of its input is a quit too, and it cannot fail where a last command could.
  process_->CloseAndWait();
}

std::string RunningSim::Ask(const std::string& line) {
  process_->WriteLine(line);
  return process_->ReadLine();
}

std::string RunningSim::TextAt(std::uint32_t address) {
  std::array<char, 32> bytes{};
  EXPECT_TRUE(memory_->Read(address, std::as_writable_bytes(std::span(bytes))));
  return std::string(bytes.data(), strnlen(bytes.data(), bytes.size()));
}

}  // namespace velmora::test
