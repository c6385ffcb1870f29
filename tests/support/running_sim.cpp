#include "running_sim.h"

#include <stdexcept>

namespace velmora::test {

RunningSim::RunningSim(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{VELMORA_SIM_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  process_ = std::make_unique<ChildProcess>(argv);
  const std::string ready = process_->ReadLine();
  if (ready != "ready pid=" + std::to_string(process_->Pid())) {
    throw std::runtime_error("velmora-sim did not get ready: \"" + ready + "\"");
  }
}

RunningSim::~RunningSim() {
  // Asked to quit, it removes its executable image; killed, it could not.
  try {
    process_->WriteLine("quit");
  } catch (const std::exception&) {
  }
  process_->CloseAndWait();
}

std::string RunningSim::Ask(const std::string& line) {
  process_->WriteLine(line);
  return process_->ReadLine();
}

}  // namespace velmora::test
