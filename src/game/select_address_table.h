#pragma once

#include <string_view>

#include "game/address_tables.h"

namespace velmora {

class TGame;

// Gives every member the table lists its address and switches it on, clearing its value; members the
// table does not list keep what they had.
void ApplyAddressTable(const AddressTable& table, TGame& game);

// Applies the table of the first rule that accepts the window title and the product version text, and
// tells whether one did; with none, the game is left as it was.
bool SelectAddressTable(std::string_view title, std::string_view version, TGame& game);

}  // namespace velmora
