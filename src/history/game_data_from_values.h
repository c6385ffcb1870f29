#pragma once

#include "game/game.h"
#include "net/game_data.h"

namespace velmora::history {

// The record of the player's car as the model holds it after a cycle: in the client role the record it
// received, otherwise what the value objects last read. No memory is read.
TGameData GameDataFromValues(const TGame& game);

}  // namespace velmora::history
