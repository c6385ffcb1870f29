#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lap grid's data, `mda_time`: one row per lap of the driven car, in the order the rows were made.
// The dashboard's grid `grd_time`, the export writers and the command line's lap logger all read it here;
// only the lap timing (TTemps, TSecteurValue, TNombreTourValue) writes it.
namespace velmora {

// The table's fields, in their order. Despite their names the three "BestSector" fields hold the sector
// splits of the row's own lap; the best one is only marked by colour.
enum class TLapField : int {
  Lap = 0,
  Sector1,  // intermediate 1: from the line to the end of sector 1, as a lap-time text
  Sector2,  // intermediate 2
  Final,    // the lap time
  AverageSpeed,
  MaximumSpeed,
  Fuel,
  BestSector1,  // sector 1 split
  BestSector2,
  BestSector3,
};
inline constexpr std::size_t kLapFieldCount = 10;

// The field's name in the table ("Lap", "Sector 1", ..., "BestSector3").
std::string_view LapFieldName(TLapField field);

// One row. An empty optional is an empty cell: a row is made by whichever writer first needs it and the
// others fill in their cells later.
struct TLapRow {
  int Lap = 0;
  std::optional<std::string> Sector1;
  std::optional<std::string> Sector2;
  std::optional<std::string> Final;
  std::optional<double> AverageSpeed;  // in the unit chosen when it was written (km/h or mph)
  std::optional<double> MaximumSpeed;
  std::optional<double> Fuel;  // litres
  std::optional<std::string> BestSector1;
  std::optional<std::string> BestSector2;
  std::optional<std::string> BestSector3;

  bool operator==(const TLapRow&) const = default;
};

// A cell as the grid shows it: texts as stored, speeds with one decimal, fuel with two, "" when empty.
std::string LapCellText(const TLapRow& row, TLapField field);

enum class TLapAlignment { Centre, Right };

// One column of the grid view over the table.
struct TLapColumn {
  TLapField field;
  std::string_view title;
  TLapAlignment alignment;
  int width;  // pixels; 0 where the width was never set (the view's default)
  bool visible;

  bool operator==(const TLapColumn&) const = default;
};
inline constexpr std::size_t kLapColumnCount = 10;

// What a view of the table hears about. Every call comes after the change, on the thread that writes the
// table (the main thread).
class LapTableListener {
 public:
  virtual ~LapTableListener() = default;
  virtual void RowsCleared() = 0;
  virtual void RowAppended(std::size_t row) = 0;
  // Cells `first` to `last` of `row` took new values; cells whose value stayed are not reported.
  virtual void CellsChanged(std::size_t row, TLapField first, TLapField last) = 0;
  virtual void CurrentRowChanged(std::size_t row) = 0;
  virtual void ColumnsChanged() = 0;
  // A best time changed, so any cell may have gained or lost its highlight.
  virtual void HighlightsChanged() = 0;
};

class TLapTable final {
 public:
  // Texts longer than this are cut, as the table's text fields hold no more.
  static constexpr std::size_t kTextLength = 10;

  TLapTable();

  const std::vector<TLapRow>& Rows() const { return rows_; }
  std::optional<std::size_t> CurrentRow() const { return current_row_; }
  // The grid's ten columns, in the grid's order (which differs from the field order).
  const std::array<TLapColumn, kLapColumnCount>& Columns() const { return columns_; }

  // The row whose "Lap" is `lap`, the first if there are several; a new one with only "Lap" set when
  // there is none.
  std::size_t FindOrAppend(int lap);
  // Lets `change` edit the row, then cuts its texts and reports the cells that changed. "Lap" stays.
  template <typename Change>
  void EditRow(std::size_t row, Change&& change) {
    TLapRow edited = rows_.at(row);
    change(edited);
    Post(row, std::move(edited));
  }
  void Clear();
  void SetCurrentRow(std::size_t row);

  // The two column sets: the intermediates ("Display Laps") or the sector splits ("Display Sector"),
  // with widths in proportion to `client_width`; without a width only the visibility changes.
  void SetColumnLayout(bool sector_splits, std::optional<int> client_width);

  void NotifyHighlightsChanged();

  // Listeners are not owned; one must be removed before it is destroyed.
  void AddListener(LapTableListener* listener);
  void RemoveListener(LapTableListener* listener);

 private:
  void Post(std::size_t row, TLapRow edited);

  std::vector<TLapRow> rows_;
  std::optional<std::size_t> current_row_;
  std::array<TLapColumn, kLapColumnCount> columns_;
  std::vector<LapTableListener*> listeners_;
};

}  // namespace velmora
