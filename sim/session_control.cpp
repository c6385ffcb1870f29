// The commanded moments of the race, kept apart from how the session plays out on its own.
#include "session_model.h"

namespace velmora::sim {

void SessionModel::PlayerEndsSector(int sector, double intermediate_s) {
  cars_[player_slot_].EndSectorNow(state_.drivers[player_slot_], sector, intermediate_s, Time());
}

void SessionModel::PlayerCrossesLine(double lap_s) {
  DriverState& driver = state_.drivers[player_slot_];
  cars_[player_slot_].CrossLineNow(driver, lap_s, Time(), random_);
  player_model_.LapCompleted(state_.player);
  RankField();
}

void SessionModel::RestartSession(std::int32_t type, double length_s, std::int16_t laps) {
  session_start_s_ = Time();
  state_.session.type = type;
  state_.session.length_s = static_cast<float>(length_s);
  state_.session.elapsed_s = 0.0F;
  state_.session.laps = laps;
  state_.session.green_flag_s = 0.0F;
  for (std::size_t slot = 0; slot < cars_.size(); ++slot) {
    cars_[slot].RestartLaps(state_.drivers[slot], Time());
  }
  RankField();
}

}  // namespace velmora::sim
