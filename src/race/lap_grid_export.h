#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "values/display_targets.h"

// The lap grid written as a file a spreadsheet opens. The writers see the grid only through this
// description, so the dashboard and the command line export the same file from the same rows.
namespace velmora {

enum class TExportFormat { efHTML, efCSV, efXML };
enum class TExportFieldType { Integer, String, Float };
enum class TExportAlignment { Left, Right, Center };

struct TExportFont {
  std::string Family = "Arial";
  int SizePt = 12;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  Rgb Color{};
};

// One exported column: a visible grid column with what the HTML file needs of its looks.
struct TExportColumn {
  int GridIndex = 0;  // position among all grid columns, visible or not
  std::string Title;
  TExportFieldType FieldType = TExportFieldType::String;
  int WidthPx = 0;
  TExportAlignment Alignment = TExportAlignment::Left;
  TExportFont Font;
  Rgb Background{255, 255, 255};
  TExportFont TitleFont;
  Rgb TitleBackground{240, 240, 240};
};

// An empty field, an integer, a text or a floating value.
using TExportValue = std::variant<std::monostate, std::int64_t, std::string, double>;

struct TExportTable {
  std::vector<TExportColumn> Columns;
  std::vector<std::vector<TExportValue>> Rows;  // one value per column, in column order
};

// The value as written in every format: integers in decimal, texts as they are, floating values in the
// shortest general form with up to 15 significant digits and a "." separator; empty for an empty field.
std::string RawValueText(const TExportValue& value);

// A title as an XML attribute name: every character that may not stand in a name becomes "_", and a
// name that could not start with its first character gets a "_" in front ("Ave. Spd." -> "Ave._Spd.").
std::string XmlAttributeName(std::string_view title);

std::string CsvText(const TExportTable& table);
std::string HtmlText(const TExportTable& table);
std::string XmlText(const TExportTable& table);
std::string ExportText(TExportFormat format, const TExportTable& table);

// Replaces `path` with `bytes` all at once: a failure leaves an existing file as it was and no partial
// file under the name. Returns the operating system's message on failure.
std::optional<std::string> WriteExportFile(const std::string& path, std::string_view bytes);

}  // namespace velmora
