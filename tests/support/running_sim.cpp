#include "running_sim.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>

namespace velmora::test {

RunningSim::RunningSim(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{VELMORA_SIM_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  process_ = std::make_unique<ChildProcess>(argv);
  const std::string ready = process_->ReadLine();
  constexpr std::string_view kReady = "ready pid=";
  std::uint32_t named = 0;
  const char* digits = ready.data() + std::min(ready.size(), kReady.size());
  const auto [end, error] = std::from_chars(digits, ready.data() + ready.size(), named);
  // On Windows the stand-in runs the session as a copy of itself, so the pid it names is not its own.
#ifdef _WIN32
  const bool named_itself = true;
#else
  const bool named_itself = named == static_cast<std::uint32_t>(process_->Pid());
#endif
  if (!ready.starts_with(kReady) || error != std::errc() || end != ready.data() + ready.size() ||
      named == 0 || !named_itself) {
    throw std::runtime_error("velmora-sim did not get ready: \"" + ready + "\"");
  }
  pid_ = named;
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
