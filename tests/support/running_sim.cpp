#include "running_sim.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace velmora::test {

namespace {

std::string Environment(const char* name, const char* otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : otherwise;
}

// A Windows program ends its lines with CR LF.
std::string WithoutCarriageReturn(std::string line) {
  if (line.ends_with('\r')) {
    line.pop_back();
  }
  return line;
}

}  // namespace

bool RunningSim::WindowsBuildNamed() {
  return !Environment("VELMORA_WINE_SIM", "").empty();
}

RunningSim::RunningSim(const std::vector<std::string>& arguments, Build build) {
  std::vector<std::string> argv{VELMORA_SIM_PATH};
  if (build == Build::kWindowsUnderWine) {
    if (!WindowsBuildNamed()) {
      throw std::runtime_error("VELMORA_WINE_SIM names no Windows velmora-sim.exe");
    }
    argv = {Environment("VELMORA_WINE", "wine"), Environment("VELMORA_WINE_SIM", "")};
  }
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  process_ = std::make_unique<ChildProcess>(argv);
  // Wine starts slowly the first time a prefix is used.
  const std::string ready =
      WithoutCarriageReturn(process_->ReadLine(build == Build::kThisBuild ? 10000 : 60000));
  constexpr std::string_view kReady = "ready pid=";
  std::uint32_t named = 0;
  const char* digits = ready.data() + std::min(ready.size(), kReady.size());
  const auto [end, error] = std::from_chars(digits, ready.data() + ready.size(), named);
  // On Windows the stand-in runs the session as a copy of itself, so the pid it names is not its own.
#ifdef _WIN32
  const bool named_itself = true;
#else
  const bool named_itself =
      build == Build::kWindowsUnderWine || named == static_cast<std::uint32_t>(process_->Pid());
#endif
  if (!ready.starts_with(kReady) || error != std::errc() || end != ready.data() + ready.size() ||
      named == 0 || !named_itself) {
    throw std::runtime_error("velmora-sim did not get ready: \"" + ready + "\"");
  }
  pid_ = named;
  if (build == Build::kWindowsUnderWine) {
    return;  // Windows' pid, which names no process here
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
  return WithoutCarriageReturn(process_->ReadLine());
}

std::string RunningSim::TextAt(std::uint32_t address) {
  std::array<char, 32> bytes{};
  EXPECT_TRUE(memory_ != nullptr && memory_->Read(address, std::as_writable_bytes(std::span(bytes))));
  return std::string(bytes.data(), strnlen(bytes.data(), bytes.size()));
}

}  // namespace velmora::test
