#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "net/game_data.h"
#include "values/engine_values.h"
#include "values/tyre_values.h"

namespace velmora::web {

// What a viewer's page shows, as short keys and the JSON text of their values. Values are already rounded
// as shown, so that a key changes only when the page would change: that keeps the updates small.
using ViewState = std::map<std::string, std::string>;

// Where the relay's data stands: "ok" while records arrive, "nodata" while the server has no simulator
// ("501 No data"), "lost" while the relay cannot reach the server, "recorded" for a session read from a
// history file.
enum class FeedStatus : std::uint8_t { kOk, kNoData, kLost, kRecorded };

class ChartHistory;

// Turns the server's records into the page's state. Panels that the dashboard colours and words in its
// own way (tread, brake, pressure, water, oil, engine wear, gear) are worded and coloured by the
// dashboard's own value objects, in both unit systems, so the page matches the dashboard. It also keeps
// the rows of the latest laps as they complete and the laps that the fuel left should last. Whatever the
// server sends, every value is valid JSON and the state stays within a bounded number of keys.
class ViewBuilder final {
 public:
  // Lap rows kept: the page shows these, the newest first.
  static constexpr int kKeptLaps = 50;
  // A lap count above this is taken for a broken record: it shows as none and leaves the rows alone.
  static constexpr int kMaxLapNumber = 9999;

  // The charts' history takes a point every `chart_period_s` (see ChartHistory).
  explicit ViewBuilder(double chart_period_s = 1.0);
  ~ViewBuilder();
  ViewBuilder(const ViewBuilder&) = delete;
  ViewBuilder& operator=(const ViewBuilder&) = delete;

  // Applies one record and returns the whole state after it.
  const ViewState& Apply(const TGameData& record);
  // The same for a record of `time_s` on a time line of its own (a recorded session's).
  const ViewState& ApplyAt(const TGameData& record, double time_s);
  // Only the status changes; the last values stay on the page, marked stale by it.
  const ViewState& SetStatus(FeedStatus status);
  const ViewState& State() const { return state_; }

 private:
  struct Wheel {
    TTemperaturePneuValue outer, middle, inner;
    TPressionPneuValue pressure;
    TDisqueFreinValue brake;
    TUsurePneuValue wear;
  };

  void AddLap(const TGameData& record);
  // Takes a lap's row off the state: the change to the next state tells the viewers it went.
  void EraseRow(int lap);

  ViewState state_;
  Wheel wheels_[4];
  TEauValue water_, oil_;
  TUsureMoteurValue engine_wear_;
  TRapportVitesseValue gear_;
  // Lap accounting: the lap count and fuel when the current lap started, and the fuel each lap used.
  int lap_count_ = -1;
  double fuel_at_lap_start_ = -1.0;
  double fuel_used_total_ = 0.0;
  int laps_with_fuel_ = 0;
  // The laps that have a row or a fuel figure in the state.
  std::set<int> rows_;
  std::unique_ptr<ChartHistory> charts_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace velmora::web
