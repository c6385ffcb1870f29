#pragma once

#include <set>
#include <vector>

#include "history/history_store.h"
#include "race/lap_table.h"

namespace velmora::history {

// Watches the lap grid and hands out each row once its lap is over (the lap counter has moved past it),
// converted to SI units. A new session empties the grid, and the count starts again.
class CompletedLaps final : public LapTableListener {
 public:
  explicit CompletedLaps(TLapTable& table);
  ~CompletedLaps() override;
  CompletedLaps(const CompletedLaps&) = delete;
  CompletedLaps& operator=(const CompletedLaps&) = delete;

  // The rows completed since the last call. `metric`: the grid's speeds are km/h, else mph.
  std::vector<LapRecord> TakeNew(int lap_counter, bool metric);

 private:
  void RowsCleared() override { taken_.clear(); }
  void RowAppended(std::size_t) override {}
  void CellsChanged(std::size_t, TLapField, TLapField) override {}
  void CurrentRowChanged(std::size_t) override {}
  void ColumnsChanged() override {}
  void HighlightsChanged() override {}

  TLapTable& table_;
  std::set<int> taken_;
};

// A grid row in SI units; the times of day of the lap are left for the recorder.
LapRecord LapRecordOfRow(const TLapRow& row, bool metric);
// The grid row of a recorded lap, as the grid would hold it: times as texts, speeds in km/h (or mph)
// with one decimal, fuel with two.
TLapRow LapRowOfRecord(const LapRecord& lap, bool metric);

}  // namespace velmora::history
