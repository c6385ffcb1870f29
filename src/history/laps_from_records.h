#pragma once

#include <span>
#include <vector>

#include "game/game.h"
#include "history/completed_laps.h"
#include "history/history_store.h"
#include "platform/tick_clock.h"
#include "race/display_players.h"
#include "race/lap_table.h"

namespace velmora::history {

// A game model in the client's place: records applied to it fill a lap grid exactly as they fill a
// client dashboard's, and the laps they complete come out in SI units. Records from the simulator or
// from a server go through it alike.
class LapsFromRecords final {
 public:
  explicit LapsFromRecords(const platform::TickClock& clock);

  // Applies the record; the laps it completed.
  std::vector<LapRecord> Apply(const TGameData& record);

 private:
  TGame game_;
  TLapTable table_;
  CompletedLaps completed_;
};

// The standings as the command line reads them, for the file.
std::vector<StandingRecord> StandingRecords(std::span<const Standing> standings);

}  // namespace velmora::history
