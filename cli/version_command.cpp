// velmora-cli version: the product version text of a Windows executable, as detection reads it.
#include <ostream>
#include <string>

#include "game/game_link.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

int RunVersion(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 1) {
    err << "velmora-cli version: usage: velmora-cli version <file>\n";
    return kExitUsage;
  }
  const std::string version = TGameLink::GetFileInfo2(arguments[0]);
  if (version.empty()) {
    err << "no product version in " << arguments[0] << "\n";
    return 1;
  }
  out << version << "\n";
  return out ? 0 : 1;
}

}  // namespace

const Subcommand kVersionCommand{
    "version", "<file>",
    "Prints the product version text of a Windows executable exactly as Velmora reads it to choose\n"
    "an address table (for example \"1, 2, 1, 9\"). When the file has none, or is no executable, it\n"
    "says \"no product version in <file>\" on standard error and exits with status 1.",
    RunVersion};

}  // namespace velmora::cli
