#pragma once

#include <cstddef>
#include <optional>

#include "net/game_data.h"
#include "web/view_state.h"

namespace velmora::web {

// The rolling history the page's tyre and engine charts draw: every period, one point of the four
// tyres' mean tread temperatures and the water and oil temperatures (kelvin), as
// "h<slot>": [time_s, fl, fr, rl, rr, water, oil]. The slots are reused in turn, so the state stays
// bounded however long the race, and a viewer who arrives late finds the whole window in its first
// message. Lap times and fuel per lap need no history of their own: the lap rows already hold them.
class ChartHistory final {
 public:
  static constexpr std::size_t kSlots = 600;
  // Ten minutes at one point a second.
  static constexpr double kLivePeriod_s = 1.0;

  explicit ChartHistory(double period_s = kLivePeriod_s) : period_s_(period_s) {}

  // Adds a point when `time_s` has reached the next one; a time that goes back starts the history again.
  void Add(double time_s, const TGameData& record, ViewState& state);

 private:
  double period_s_;
  std::optional<double> next_s_;
  double last_s_ = 0.0;
  std::size_t points_ = 0;
};

}  // namespace velmora::web
