#include "race/lap_grid_export.h"

#include <cstdio>
#include <set>
#include <sstream>

#include <pugixml.hpp>

#include "platform/replace_file.h"
#include "values/rounding.h"

namespace velmora {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Format(const char* pattern, auto... arguments) {
  const int size = std::snprintf(nullptr, 0, pattern, arguments...);
  std::string text(static_cast<std::size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, arguments...);
  return text;
}

std::string Hex(Rgb color) {
  return Format("%.2x%.2x%.2x", unsigned{color.red}, unsigned{color.green}, unsigned{color.blue});
}

const char* AlignmentText(TExportAlignment alignment) {
  switch (alignment) {
    case TExportAlignment::Left:
      return "left";
    case TExportAlignment::Right:
      return "right";
    case TExportAlignment::Center:
      return "center";
  }
  return "left";
}

std::string FontStyleText(const TExportFont& font) {
  std::string style;
  if (font.Bold) {
    style += "FONT-WEIGHT: bold; ";
  }
  if (font.Italic) {
    style += "FONT-STYLE: italic; ";
  }
  if (font.Underline && font.StrikeOut) {
    style += "TEXT-DECORATION: underline line-through; ";
  } else if (font.Underline) {
    style += "TEXT-DECORATION: underline; ";
  } else if (font.StrikeOut) {
    style += "TEXT-DECORATION: line-through; ";
  }
  return style;
}

int HtmlFontSize(int points) {
  if (points <= 8)
    return 1;
  if (points <= 10)
    return 2;
  if (points <= 12)
    return 3;
  if (points <= 17)
    return 4;
  if (points <= 23)
    return 5;
  if (points <= 35)
    return 6;
  return 7;
}

// Lap texts are plain ASCII, but a value must never be able to open markup of its own.
std::string HtmlEscaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string HeaderCell(const TExportColumn& column) {
  std::string title = HtmlEscaped(column.Title);
  const TExportFont& font = column.TitleFont;
  const std::pair<bool, const char*> tags[] = {
      {font.Bold, "b"}, {font.Italic, "i"}, {font.Underline, "u"}, {font.StrikeOut, "s"}};
  for (const auto& [on, tag] : tags) {
    if (on) {
      title = std::string("<") + tag + ">" + title + "</" + tag + ">";
    }
  }
  title = Format("<font face=\"%s\" color=\"#%s\" size=\"%d\">%s</font>", HtmlEscaped(font.Family).c_str(),
                 Hex(font.Color).c_str(), HtmlFontSize(font.SizePt), title.c_str());
  return Format("<th bgcolor=\"#%s\" align=\"%s\">%s</th>", Hex(column.TitleBackground).c_str(),
                AlignmentText(column.Alignment), title.c_str());
}

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

const char* FieldTypeText(TExportFieldType type) {
  switch (type) {
    case TExportFieldType::Integer:
      return "Integer";
    case TExportFieldType::String:
      return "String";
    case TExportFieldType::Float:
      return "Float";
  }
  return "String";
}

}  // namespace

std::string RawValueText(const TExportValue& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    return WholeNumberText(*integer);
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    return *text;
  }
  if (const auto* number = std::get_if<double>(&value)) {
    return GeneralNumberText(*number);
  }
  return {};
}

std::string XmlAttributeName(std::string_view title) {
  std::string name;
  for (const char c : title) {
    name += IsNameChar(c) ? c : '_';
  }
  if (name.empty() || !IsNameStart(name.front())) {
    name.insert(name.begin(), '_');
  }
  return name;
}

std::string CsvText(const TExportTable& table) {
  std::string text;
  for (std::size_t i = 0; i < table.Columns.size(); ++i) {
    text += (i == 0 ? "" : "\t") + table.Columns[i].Title;
  }
  text += kLineEnd;
  for (const auto& row : table.Rows) {
    for (const TExportValue& value : row) {
      if (!std::holds_alternative<std::monostate>(value)) {
        text += '"';
        for (const char c : RawValueText(value)) {
          text += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        text += '"';
      }
      text += '\t';
    }
    text += kLineEnd;
  }
  return text;
}

std::string HtmlText(const TExportTable& table) {
  std::string text;
  auto line = [&text](const std::string& content) {
    text += content;
    text += kLineEnd;
  };
  line("<html><head><title>Grid to HTML Export</title>");
  line("<style type=text/css>");
  for (const TExportColumn& column : table.Columns) {
    line(Format(
        ".Column%d {FONT-FAMILY: %s; FONT-SIZE: %dpt; %s TEXT-ALIGN: %s; COLOR: #%s; BACKGROUND: #%s;}",
        column.GridIndex, column.Font.Family.c_str(), column.Font.SizePt, FontStyleText(column.Font).c_str(),
        AlignmentText(column.Alignment), Hex(column.Font.Color).c_str(), Hex(column.Background).c_str()));
  }
  line("</style>");
  line("</head><body>");
  line("<table width=\"90%\" border=\"1\" cellspacing=\"0\" cellpadding=\"0\">");
  std::string header = "<tr>";
  for (const TExportColumn& column : table.Columns) {
    header += HeaderCell(column);
  }
  line(header + "</tr>");
  for (const auto& row : table.Rows) {
    std::string cells = "<tr>";
    for (std::size_t i = 0; i < row.size() && i < table.Columns.size(); ++i) {
      const std::string value = RawValueText(row[i]);
      cells += Format("<td class=\"column%d\">%s</td>", table.Columns[i].GridIndex,
                      value.empty() ? "&nbsp;" : HtmlEscaped(value).c_str());
    }
    line(cells + "</tr>");
  }
  line("</table>");
  line("</body></html>");
  return text;
}

std::string XmlText(const TExportTable& table) {
  // Two titles that map to one name would make an attribute twice, which no parser accepts.
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const TExportColumn& column : table.Columns) {
    std::string name = XmlAttributeName(column.Title);
    for (int n = 2; taken.count(name) != 0; ++n) {
      name = XmlAttributeName(column.Title) + "_" + std::to_string(n);
    }
    taken.insert(name);
    names.push_back(name);
  }

  pugi::xml_document document;
  pugi::xml_node packet = document.append_child("DATAPACKET");
  packet.append_attribute("Version") = "1.0";
  pugi::xml_node fields = packet.append_child("METADATA").append_child("FIELDS");
  for (std::size_t i = 0; i < table.Columns.size(); ++i) {
    pugi::xml_node field = fields.append_child("FIELD");
    field.append_attribute("ATTRNAME") = names[i].c_str();
    field.append_attribute("FIELDTYPE") = FieldTypeText(table.Columns[i].FieldType);
    field.append_attribute("WIDTH") = table.Columns[i].WidthPx;
  }
  pugi::xml_node rows = packet.append_child("ROWDATA");
  for (const auto& row : table.Rows) {
    pugi::xml_node element = rows.append_child("ROW");
    for (std::size_t i = 0; i < row.size() && i < names.size(); ++i) {
      element.append_attribute(names[i].c_str()) = RawValueText(row[i]).c_str();
    }
  }
  std::ostringstream text;
  document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  return text.str();
}

std::string ExportText(TExportFormat format, const TExportTable& table) {
  switch (format) {
    case TExportFormat::efHTML:
      return HtmlText(table);
    case TExportFormat::efCSV:
      return CsvText(table);
    case TExportFormat::efXML:
      return XmlText(table);
  }
  return {};
}

std::optional<std::string> WriteExportFile(const std::string& path, std::string_view bytes) {
  return platform::ReplaceFileContents(path, bytes);
}

}  // namespace velmora
