#include <fstream>
#include <string>

#include "app/debugger_presence.h"

namespace velmora::app {

bool DebuggerAttached() {
  // A traced process names its tracer; "TracerPid:\t0" means none.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("TracerPid:", 0) == 0) {
      return std::stoi(line.substr(10)) != 0;
    }
  }
  return false;
}

}  // namespace velmora::app
