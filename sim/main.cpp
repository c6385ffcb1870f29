#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "sim_app.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto parsed = velmora::sim::ParseOptions(arguments);
  if (std::holds_alternative<velmora::sim::HelpRequested>(parsed)) {
    std::fputs(velmora::sim::HelpText().c_str(), stdout);
    return 0;
  }
  if (const auto* reason = std::get_if<std::string>(&parsed)) {
    std::fprintf(stderr, "velmora-sim: %s\n", reason->c_str());
    return 2;
  }
  return velmora::sim::RunSimulator(std::get<velmora::sim::SimOptions>(parsed));
}
