#pragma once

#include <span>
#include <string_view>

#include "net/game_data.h"

namespace velmora::history {

// One column of the `samples` table: the record field it keeps and the factor from the record's unit to
// the file's SI unit. The record keeps kilopascals; everything else is already SI (or a plain count or
// fraction) as the simulator stores it.
struct SampleColumn {
  std::string_view name;
  std::string_view unit;  // as the README documents it
  TGameDataField field;   // where it lies in the record
  double scale = 1.0;
};

// Every sample column after `session_id` and `time_s`, in table order.
std::span<const SampleColumn> SampleColumns();

// The column's value from a record, in the file's unit.
double SampleValue(const TGameData& record, const SampleColumn& column);
// Writes the column's value (in the file's unit) into the record's field, converted back and narrowed to
// the field's type; integers are rounded to the nearest.
void SetSampleValue(TGameData& record, const SampleColumn& column, double value);

}  // namespace velmora::history
