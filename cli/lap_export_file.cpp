#include "lap_export_file.h"

#include <utility>

#include "race/lap_grid_export_table.h"

namespace velmora::cli {
namespace {

// The grid's width in the window as designed; it gives every column the width the window gives it.
constexpr int kDesignGridWidth = 582;

bool SameLetters(std::string_view name, std::string_view lower_case) {
  if (name.size() != lower_case.size()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
    if (c != lower_case[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<TExportFormat> ExportFormatNamed(std::string_view name) {
  const std::pair<const char*, TExportFormat> formats[] = {
      {"csv", TExportFormat::efCSV}, {"html", TExportFormat::efHTML}, {"xml", TExportFormat::efXML}};
  for (const auto& [known, format] : formats) {
    if (SameLetters(name, known)) {
      return format;
    }
  }
  return std::nullopt;
}

TLapExportFile::TLapExportFile(TExportFormat format, std::string path, bool sector_splits)
    : format_(format), path_(std::move(path)) {
  layout_.SetColumnLayout(sector_splits, kDesignGridWidth);
}

std::optional<std::string> TLapExportFile::Write(std::span<const TLapRow> rows) const {
  return WriteExportFile(path_, ExportText(format_, LapGridExportTable(layout_, rows)));
}

}  // namespace velmora::cli
