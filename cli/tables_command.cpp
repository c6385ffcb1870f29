#include <ostream>

#include "game/address_tables.h"
#include "game/game.h"
#include "game/game_member.h"
#include "game/select_address_table.h"
#include "platform/tick_clock.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

int RunTables(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 2) {
    err << "usage: velmora-cli tables <title> <version>\n";
    return kExitUsage;
  }
  const std::string& title = arguments[0];
  const std::string& version = arguments[1];
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  if (!SelectAddressTable(title, version, game)) {
    err << "no address table for " << title << " " << version << "\n";
    return kExitUsage;
  }
  // The table gives the order only; each line is read back from the game, so it shows what an attach
  // really does to the model.
  for (const AddressTableEntry& entry : FindAddressTable(title, version)->entries) {
    out << DescribeAssignment(game, entry.member) << "\n";
  }
  out.flush();
  return out.good() ? 0 : 1;
}

}  // namespace

const Subcommand kTablesCommand{
    "tables",
    "<title> <version>",
    "Applies the address table that a simulator window title and executable product version select\n"
    "(for example \"Race 07\" \"1, 2, 1, 9\") to a fresh game model and prints one line per entry, in the\n"
    "table's order, as the game model holds it:\n"
    "  <member> address <addr>          <member> base <addr>\n"
    "  <member> address <addr> delta 8  FTemps base <addr> deltas 4 8 188 192 196\n"
    "  FSession session <type> <timer> <time> <green flag time> <laps>\n"
    "  FMoyenneFuel active              FRecLongueur length <bytes>\n"
    "Addresses are hexadecimal with 0x, other numbers decimal. Letter case does not matter; spaces,\n"
    "separators and leading zeros do. When no table accepts the pair it says so on standard error\n"
    "and exits with status 2.",
    RunTables,
};

}  // namespace velmora::cli
