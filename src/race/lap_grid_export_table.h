#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "race/lap_grid_export.h"
#include "race/lap_table.h"

namespace velmora {

// How the lap grid looks, for the HTML file's styles: Arial at 16 pixels (12 points) black on white for
// the cells, Arial at 11 pixels (8 points) black for the titles on the header colour.
struct TLapGridLooks {
  TExportFont CellFont{"Arial", 12, false, false, false, false, Rgb{0, 0, 0}};
  Rgb CellBackground{255, 255, 255};
  TExportFont TitleFont{"Arial", 8, false, false, false, false, Rgb{0, 0, 0}};
  Rgb TitleBackground{240, 240, 240};
};

// The grid's visible columns, in grid order and with their titles, over `rows`. `width_of` gives a
// column's width in pixels by its position among all grid columns; without it the table's own widths
// serve, and the toolkit's default of 64 where none was ever set.
TExportTable LapGridExportTable(const TLapTable& table, std::span<const TLapRow> rows,
                                const std::function<int(std::size_t)>& width_of = {},
                                const TLapGridLooks& looks = {});

}  // namespace velmora
