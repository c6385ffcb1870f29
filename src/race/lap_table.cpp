#include "race/lap_table.h"

#include <algorithm>
#include <utility>

#include "values/rounding.h"

namespace velmora {
namespace {

constexpr std::array<std::string_view, kLapFieldCount> kFieldNames = {
    "Lap",           "Sector 1", "Sector 2",    "Final",       "Average Speed",
    "Maximum Speed", "Fuel",     "BestSector1", "BestSector2", "BestSector3"};

// The grid's columns as the window is designed: intermediates shown, sector splits hidden.
constexpr std::array<TLapColumn, kLapColumnCount> kDesignColumns = {{
    {TLapField::Lap, "Lap", TLapAlignment::Centre, 59, true},
    {TLapField::Sector1, "Intermediate 1", TLapAlignment::Right, 115, true},
    {TLapField::Sector2, "Intermediate 2", TLapAlignment::Right, 115, true},
    {TLapField::Final, "Final Time", TLapAlignment::Right, 115, true},
    {TLapField::BestSector1, "Sector 1", TLapAlignment::Right, 0, false},
    {TLapField::BestSector2, "Sector 2", TLapAlignment::Right, 0, false},
    {TLapField::BestSector3, "Sector 3", TLapAlignment::Right, 0, false},
    {TLapField::AverageSpeed, "Ave. Spd.", TLapAlignment::Centre, 59, true},
    {TLapField::MaximumSpeed, "Max. Spd.", TLapAlignment::Centre, 59, true},
    {TLapField::Fuel, "Fuel", TLapAlignment::Centre, 52, true},
}};

std::string NumberCell(const std::optional<double>& value, int decimals) {
  if (!value) {
    return {};
  }
  return PatternNumberText(*value, 1, decimals).value_or(std::string());
}

void Cut(std::optional<std::string>& text) {
  if (text && text->size() > TLapTable::kTextLength) {
    text->resize(TLapTable::kTextLength);
  }
}

}  // namespace

std::string_view LapFieldName(TLapField field) {
  return kFieldNames.at(static_cast<std::size_t>(field));
}

std::string LapCellText(const TLapRow& row, TLapField field) {
  switch (field) {
    case TLapField::Lap:
      return WholeNumberText(row.Lap);
    case TLapField::Sector1:
      return row.Sector1.value_or(std::string());
    case TLapField::Sector2:
      return row.Sector2.value_or(std::string());
    case TLapField::Final:
      return row.Final.value_or(std::string());
    case TLapField::AverageSpeed:
      return NumberCell(row.AverageSpeed, 1);
    case TLapField::MaximumSpeed:
      return NumberCell(row.MaximumSpeed, 1);
    case TLapField::Fuel:
      return NumberCell(row.Fuel, 2);
    case TLapField::BestSector1:
      return row.BestSector1.value_or(std::string());
    case TLapField::BestSector2:
      return row.BestSector2.value_or(std::string());
    case TLapField::BestSector3:
      return row.BestSector3.value_or(std::string());
  }
  return {};
}

TLapTable::TLapTable() : columns_(kDesignColumns) {}

std::size_t TLapTable::FindOrAppend(int lap) {
  const auto found = std::ranges::find(rows_, lap, &TLapRow::Lap);
  if (found != rows_.end()) {
    return static_cast<std::size_t>(found - rows_.begin());
  }
  TLapRow row;
  row.Lap = lap;
  rows_.push_back(std::move(row));
  const std::size_t index = rows_.size() - 1;
  for (LapTableListener* listener : listeners_) {
    listener->RowAppended(index);
  }
  return index;
}

void TLapTable::Post(std::size_t row, TLapRow edited) {
  TLapRow& stored = rows_.at(row);
  edited.Lap = stored.Lap;
  for (auto* text : {&edited.Sector1, &edited.Sector2, &edited.Final, &edited.BestSector1,
                     &edited.BestSector2, &edited.BestSector3}) {
    Cut(*text);
  }
  const bool changed[kLapFieldCount] = {
      false,
      edited.Sector1 != stored.Sector1,
      edited.Sector2 != stored.Sector2,
      edited.Final != stored.Final,
      edited.AverageSpeed != stored.AverageSpeed,
      edited.MaximumSpeed != stored.MaximumSpeed,
      edited.Fuel != stored.Fuel,
      edited.BestSector1 != stored.BestSector1,
      edited.BestSector2 != stored.BestSector2,
      edited.BestSector3 != stored.BestSector3,
  };
  stored = std::move(edited);
  // Report each run of changed fields once, so a view repaints only what changed.
  std::size_t field = 0;
  while (field < kLapFieldCount) {
    if (!changed[field]) {
      ++field;
      continue;
    }
    const std::size_t first = field;
    while (field + 1 < kLapFieldCount && changed[field + 1]) {
      ++field;
    }
    for (LapTableListener* listener : listeners_) {
      listener->CellsChanged(row, static_cast<TLapField>(first), static_cast<TLapField>(field));
    }
    ++field;
  }
}

void TLapTable::Clear() {
  rows_.clear();
  current_row_.reset();
  for (LapTableListener* listener : listeners_) {
    listener->RowsCleared();
  }
}

void TLapTable::SetCurrentRow(std::size_t row) {
  if (current_row_ == row || row >= rows_.size()) {
    return;
  }
  current_row_ = row;
  for (LapTableListener* listener : listeners_) {
    listener->CurrentRowChanged(row);
  }
}

void TLapTable::SetColumnLayout(bool sector_splits, std::optional<int> client_width) {
  // Columns 1 to 3 hold the intermediates, 4 to 6 the sector splits; the other four keep their place.
  for (std::size_t column = 1; column <= 6; ++column) {
    const bool splits_column = column >= 4;
    columns_[column].visible = splits_column == sector_splits;
  }
  if (client_width) {
    const auto share = [width = *client_width](double fraction) {
      return ClampToInt(RoundHalfEven(width * fraction).value_or(0));
    };
    columns_[0].width = share(0.101);
    for (std::size_t column = sector_splits ? 4 : 1, last = column + 2; column <= last; ++column) {
      columns_[column].width = share(0.1979);
    }
    columns_[7].width = share(0.101);
    columns_[8].width = share(0.101);
    columns_[9].width = share(0.0895);
  }
  for (LapTableListener* listener : listeners_) {
    listener->ColumnsChanged();
  }
}

void TLapTable::NotifyHighlightsChanged() {
  for (LapTableListener* listener : listeners_) {
    listener->HighlightsChanged();
  }
}

void TLapTable::AddListener(LapTableListener* listener) {
  if (listener != nullptr && std::ranges::find(listeners_, listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void TLapTable::RemoveListener(LapTableListener* listener) {
  std::erase(listeners_, listener);
}

}  // namespace velmora
