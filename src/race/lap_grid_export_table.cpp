#include "race/lap_grid_export_table.h"

#include <string>

namespace velmora {
namespace {

constexpr int kDefaultColumnWidth = 64;

TExportValue Text(const std::optional<std::string>& text) {
  return text ? TExportValue(*text) : TExportValue();
}

TExportValue Number(const std::optional<double>& number) {
  return number ? TExportValue(*number) : TExportValue();
}

TExportValue Value(const TLapRow& row, TLapField field) {
  switch (field) {
    case TLapField::Lap:
      return std::int64_t{row.Lap};
    case TLapField::Sector1:
      return Text(row.Sector1);
    case TLapField::Sector2:
      return Text(row.Sector2);
    case TLapField::Final:
      return Text(row.Final);
    case TLapField::AverageSpeed:
      return Number(row.AverageSpeed);
    case TLapField::MaximumSpeed:
      return Number(row.MaximumSpeed);
    case TLapField::Fuel:
      return Number(row.Fuel);
    case TLapField::BestSector1:
      return Text(row.BestSector1);
    case TLapField::BestSector2:
      return Text(row.BestSector2);
    case TLapField::BestSector3:
      return Text(row.BestSector3);
  }
  return {};
}

TExportFieldType FieldType(TLapField field) {
  switch (field) {
    case TLapField::Lap:
      return TExportFieldType::Integer;
    case TLapField::AverageSpeed:
    case TLapField::MaximumSpeed:
    case TLapField::Fuel:
      return TExportFieldType::Float;
    default:
      return TExportFieldType::String;
  }
}

}  // namespace

TExportTable LapGridExportTable(const TLapTable& table, std::span<const TLapRow> rows,
                                const std::function<int(std::size_t)>& width_of, const TLapGridLooks& looks) {
  TExportTable exported;
  std::vector<TLapField> fields;
  for (std::size_t i = 0; i < table.Columns().size(); ++i) {
    const TLapColumn& column = table.Columns()[i];
    if (!column.visible) {
      continue;
    }
    TExportColumn out;
    out.GridIndex = static_cast<int>(i);
    // A column without a title of its own is known by its field's name.
    out.Title = std::string(column.title.empty() ? LapFieldName(column.field) : column.title);
    out.FieldType = FieldType(column.field);
    out.WidthPx = width_of ? width_of(i) : (column.width > 0 ? column.width : kDefaultColumnWidth);
    out.Alignment =
        column.alignment == TLapAlignment::Centre ? TExportAlignment::Center : TExportAlignment::Right;
    out.Font = looks.CellFont;
    out.Background = looks.CellBackground;
    out.TitleFont = looks.TitleFont;
    out.TitleBackground = looks.TitleBackground;
    exported.Columns.push_back(std::move(out));
    fields.push_back(column.field);
  }
  for (const TLapRow& row : rows) {
    std::vector<TExportValue> values;
    values.reserve(fields.size());
    for (const TLapField field : fields) {
      values.push_back(Value(row, field));
    }
    exported.Rows.push_back(std::move(values));
  }
  return exported;
}

}  // namespace velmora
