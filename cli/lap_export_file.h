#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "race/lap_grid_export.h"
#include "race/lap_table.h"

namespace velmora::cli {

// "csv", "html" or "xml", in any case; nothing for any other name.
std::optional<TExportFormat> ExportFormatNamed(std::string_view name);

// The file `velmora-cli laps --export` keeps: the rows logged so far under the grid's columns and
// titles, in the "Display Laps" or the "Display Sector" set, written by the dashboard's own writers.
class TLapExportFile final {
 public:
  TLapExportFile(TExportFormat format, std::string path, bool sector_splits);

  const std::string& Path() const { return path_; }
  // Replaces the file with one holding `rows`: the old file stays whole until the new one is. The
  // operating system's message when it could not be written.
  std::optional<std::string> Write(std::span<const TLapRow> rows) const;

 private:
  TExportFormat format_;
  std::string path_;
  TLapTable layout_;  // only its columns: which are visible and how wide
};

}  // namespace velmora::cli
