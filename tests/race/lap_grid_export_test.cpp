// The lap grid export files, written to real files and read back by real programs.
#include "race/lap_grid_export.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <span>
#include <sstream>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include "run_program.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Row = std::vector<TExportValue>;

struct GridColumn {
  int index;
  const char* title;
  TExportFieldType type;
  TExportAlignment alignment;
};

constexpr GridColumn kLapColumns[] = {
    {0, "Lap", TExportFieldType::Integer, TExportAlignment::Center},
    {1, "Intermediate 1", TExportFieldType::String, TExportAlignment::Right},
    {2, "Intermediate 2", TExportFieldType::String, TExportAlignment::Right},
    {3, "Final Time", TExportFieldType::String, TExportAlignment::Right},
    {7, "Ave. Spd.", TExportFieldType::Float, TExportAlignment::Center},
    {8, "Max. Spd.", TExportFieldType::Float, TExportAlignment::Center},
    {9, "Fuel", TExportFieldType::Float, TExportAlignment::Center},
};

constexpr GridColumn kSectorColumns[] = {
    {0, "Lap", TExportFieldType::Integer, TExportAlignment::Center},
    {4, "Sector 1", TExportFieldType::String, TExportAlignment::Right},
    {5, "Sector 2", TExportFieldType::String, TExportAlignment::Right},
    {6, "Sector 3", TExportFieldType::String, TExportAlignment::Right},
    {7, "Ave. Spd.", TExportFieldType::Float, TExportAlignment::Center},
    {8, "Max. Spd.", TExportFieldType::Float, TExportAlignment::Center},
    {9, "Fuel", TExportFieldType::Float, TExportAlignment::Center},
};

TExportTable Grid(std::span<const GridColumn> columns, std::vector<Row> rows = {}) {
  TExportTable table;
  for (const GridColumn& column : columns) {
    TExportColumn exported;
    exported.GridIndex = column.index;
    exported.Title = column.title;
    exported.FieldType = column.type;
    exported.Alignment = column.alignment;
    exported.WidthPx = column.index == 0 ? 59 : 115;
    exported.TitleFont.SizePt = 8;
    table.Columns.push_back(exported);
  }
  table.Rows = std::move(rows);
  return table;
}

// Lap 1 complete; lap 2 crossed the line before its fuel was settled.
const std::vector<Row> kTwoLaps = {
    Row{std::int64_t{1}, "0:28.100", "0:55.300", "1:23.456", 144.0, 180.5, 2.5},
    Row{std::int64_t{2}, "0:27.900", "0:54.800", "1:22.950", 144.7, 181.25, TExportValue{}},
};

class ExportFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("velmora_export_" + std::to_string(::getpid()));
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Write(TExportFormat format, const TExportTable& table, const std::string& name) {
    fs::create_directories(folder_);
    const std::string path = (folder_ / name).string();
    const auto error = WriteExportFile(path, ExportText(format, table));
    EXPECT_FALSE(error) << *error;
    return path;
  }

  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
};

TEST_F(ExportFileTest, AnEmptyGridGivesTheTitlesOnly) {
  const TExportTable empty = Grid(kLapColumns);
  EXPECT_EQ(Read(Write(TExportFormat::efCSV, empty, "empty.csv")),
            "Lap\tIntermediate 1\tIntermediate 2\tFinal Time\tAve. Spd.\tMax. Spd.\tFuel\r\n");

  const std::string html = Read(Write(TExportFormat::efHTML, empty, "empty.htm"));
  EXPECT_EQ(html.substr(0, html.find(".Column1")),
            "<html><head><title>Grid to HTML Export</title>\r\n<style type=text/css>\r\n"
            ".Column0 {FONT-FAMILY: Arial; FONT-SIZE: 12pt;  TEXT-ALIGN: center; COLOR: #000000; "
            "BACKGROUND: #ffffff;}\r\n");
  const std::string after_style = html.substr(html.find("</style>"));
  EXPECT_EQ(
      after_style,
      "</style>\r\n</head><body>\r\n"
      "<table width=\"90%\" border=\"1\" cellspacing=\"0\" cellpadding=\"0\">\r\n<tr>"
      "<th bgcolor=\"#f0f0f0\" align=\"center\"><font face=\"Arial\" color=\"#000000\" "
      "size=\"1\">Lap</font></th>"
      "<th bgcolor=\"#f0f0f0\" align=\"right\"><font face=\"Arial\" color=\"#000000\" "
      "size=\"1\">Intermediate 1"
      "</font></th><th bgcolor=\"#f0f0f0\" align=\"right\"><font face=\"Arial\" color=\"#000000\" size=\"1\">"
      "Intermediate 2</font></th><th bgcolor=\"#f0f0f0\" align=\"right\"><font face=\"Arial\" "
      "color=\"#000000\" "
      "size=\"1\">Final Time</font></th><th bgcolor=\"#f0f0f0\" align=\"center\"><font face=\"Arial\" "
      "color=\"#000000\" size=\"1\">Ave. Spd.</font></th><th bgcolor=\"#f0f0f0\" align=\"center\"><font "
      "face=\"Arial\" color=\"#000000\" size=\"1\">Max. Spd.</font></th><th bgcolor=\"#f0f0f0\" "
      "align=\"center\"><font face=\"Arial\" color=\"#000000\" size=\"1\">Fuel</font></th></tr>\r\n"
      "</table>\r\n</body></html>\r\n");

  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_file(Write(TExportFormat::efXML, empty, "empty.xml").c_str()));
  const pugi::xml_node packet = xml.child("DATAPACKET");
  EXPECT_STREQ(packet.attribute("Version").value(), "1.0");
  EXPECT_EQ(std::distance(packet.child("METADATA").child("FIELDS").begin(),
                          packet.child("METADATA").child("FIELDS").end()),
            7);
  ASSERT_TRUE(packet.child("ROWDATA"));
  EXPECT_FALSE(packet.child("ROWDATA").first_child());
}

TEST_F(ExportFileTest, AnEmptyFuelIsTwoTabsNbspAndAnEmptyAttribute) {
  const TExportTable table = Grid(kLapColumns, kTwoLaps);
  const std::string csv = Read(Write(TExportFormat::efCSV, table, "laps.csv"));
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2),
            "\"1\"\t\"0:28.100\"\t\"0:55.300\"\t\"1:23.456\"\t\"144\"\t\"180.5\"\t\"2.5\"\t\r\n"
            "\"2\"\t\"0:27.900\"\t\"0:54.800\"\t\"1:22.950\"\t\"144.7\"\t\"181.25\"\t\t\r\n");

  const std::string html = Read(Write(TExportFormat::efHTML, table, "laps.htm"));
  EXPECT_NE(
      html.find("<tr><td class=\"column0\">2</td><td class=\"column1\">0:27.900</td><td class=\"column2\">"
                "0:54.800</td><td class=\"column3\">1:22.950</td><td class=\"column7\">144.7</td>"
                "<td class=\"column8\">181.25</td><td class=\"column9\">&nbsp;</td></tr>\r\n</table>"),
      std::string::npos)
      << html;

  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_file(Write(TExportFormat::efXML, table, "laps.xml").c_str()));
  const pugi::xml_node second = *std::next(xml.child("DATAPACKET").child("ROWDATA").children("ROW").begin());
  ASSERT_TRUE(second.attribute("Fuel"));
  EXPECT_STREQ(second.attribute("Fuel").value(), "");
  EXPECT_STREQ(second.attribute("Ave._Spd.").value(), "144.7");
  EXPECT_STREQ(second.attribute("Intermediate_1").value(), "0:27.900");
}

TEST_F(ExportFileTest, TheSectorColumnSetNamesTheSplitsAndTheirGridPositions) {
  const TExportTable table =
      Grid(kSectorColumns, {Row{std::int64_t{1}, "0:28.100", "0:27.200", "0:28.156", 144.0, 180.5, 2.5}});
  const std::string csv = Read(Write(TExportFormat::efCSV, table, "sectors.csv"));
  EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "Lap\tSector 1\tSector 2\tSector 3\tAve. Spd.\tMax. Spd.\tFuel");
  const std::string html = Read(Write(TExportFormat::efHTML, table, "sectors.htm"));
  for (const char* part : {".Column4 {", ".Column6 {", "<td class=\"column5\">0:27.200</td>"}) {
    EXPECT_NE(html.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(html.find(".Column1 {"), std::string::npos);
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_file(Write(TExportFormat::efXML, table, "sectors.xml").c_str()));
  const pugi::xml_node field =
      *std::next(xml.child("DATAPACKET").child("METADATA").child("FIELDS").begin(), 3);
  EXPECT_STREQ(field.attribute("ATTRNAME").value(), "Sector_3");
  EXPECT_STREQ(field.attribute("FIELDTYPE").value(), "String");
  EXPECT_EQ(field.attribute("WIDTH").as_int(), 115);
}

// German number habits for both C and C++ formatting: the C locale built from the system's definition,
// and a C++ global locale whose decimal point is a comma.
class GermanNumbers final {
 public:
  GermanNumbers() : previous_(std::setlocale(LC_ALL, nullptr)) {
    ::setenv("LOCPATH", VELMORA_TEST_LOCALES, 1);
    c_locale_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    previous_global_ = std::locale::global(std::locale(std::locale::classic(), new Comma));
  }
  ~GermanNumbers() {
    std::locale::global(previous_global_);
    std::setlocale(LC_ALL, previous_.c_str());
    ::unsetenv("LOCPATH");
  }
  bool HasCLocale() const { return c_locale_; }

 private:
  struct Comma final : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
  };
  std::string previous_;
  std::locale previous_global_;
  bool c_locale_ = false;
};

TEST_F(ExportFileTest, NumbersKeepTheirPointUnderAGermanLocale) {
  const TExportTable table = Grid(kLapColumns, {Row{std::int64_t{1}, "", "", "", 144.0, 1234567.125, 2.5}});
  std::string csv;
  std::string xml;
  bool c_locale = false;
  {
    const GermanNumbers german;
    c_locale = german.HasCLocale();
    csv = CsvText(table);
    xml = XmlText(table);
  }
  EXPECT_NE(csv.find("\"144\"\t\"1234567.125\"\t\"2.5\"\t\r\n"), std::string::npos) << csv;
  EXPECT_NE(xml.find("Ave._Spd.=\"144\" Max._Spd.=\"1234567.125\" Fuel=\"2.5\""), std::string::npos) << xml;
  if (!c_locale) {
    GTEST_SKIP() << "localedef could not build de_DE.UTF-8 at build time; only the C++ locale was German";
  }
}

TEST_F(ExportFileTest, ExportingTwiceReplacesTheFileAndAFailureSaysWhy) {
  const std::string path = Write(TExportFormat::efCSV, Grid(kLapColumns, kTwoLaps), "twice.csv");
  const std::string second = Read(Write(TExportFormat::efCSV, Grid(kLapColumns), "twice.csv"));
  EXPECT_EQ(second, CsvText(Grid(kLapColumns)));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);

  // A folder that is a file: the system's own words, and nothing written anywhere.
  const auto error = WriteExportFile(path + "/inside.csv", "x");
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "Not a directory");
  EXPECT_EQ(Read(path), second);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST(XmlAttributeNameTest, EveryTitleBecomesANameAParserAccepts) {
  const std::pair<const char*, const char*> cases[] = {{"Lap", "Lap"},
                                                       {"Ave. Spd.", "Ave._Spd."},
                                                       {"Intermediate 1", "Intermediate_1"},
                                                       {"1st", "_1st"},
                                                       {"", "_"},
                                                       {"-x", "_-x"},
                                                       {"a:b", "a_b"},
                                                       {"\xc3\xa9t\xc3\xa9", "__t__"}};
  for (const auto& [title, name] : cases) {
    EXPECT_EQ(XmlAttributeName(title), name) << title;
  }
}

TEST_F(ExportFileTest, XmlLintAcceptsTheFileAndASpreadsheetReadsBackTheSameCells) {
  TExportTable table = Grid(kLapColumns, kTwoLaps);
  table.Rows.push_back(Row{std::int64_t{3}, "say \"<&>\"", TExportValue{}, TExportValue{}, 0.1, 1e-5, 12.0});
  const std::string xml = Write(TExportFormat::efXML, table, "lint.xml");
  const test::Outcome lint = test::RunProgram({"/usr/bin/xmllint", "--noout", xml});
  EXPECT_EQ(lint.status, 0) << lint.err;

  if (!fs::exists("/usr/bin/ssconvert")) {
    GTEST_SKIP() << "no spreadsheet program here (Debian's gnumeric provides ssconvert)";
  }
  // Gnumeric chooses the TAB separator for a .txt file; the CSV file's bytes are the same.
  const std::string csv = Write(TExportFormat::efCSV, table, "sheet.txt");
  const std::string html = Write(TExportFormat::efHTML, table, "sheet.htm");
  auto convert = [&](const std::vector<std::string>& import, const std::string& source,
                     const std::string& target) {
    std::vector<std::string> argv{"/usr/bin/ssconvert"};
    argv.insert(argv.end(), import.begin(), import.end());
    argv.insert(argv.end(), {source, (folder_ / target).string()});
    const test::Outcome run = test::RunProgram(argv);
    EXPECT_EQ(run.status, 0) << run.err;
    return Read((folder_ / target).string());
  };
  const std::string from_csv = convert({"--import-type=Gnumeric_stf:stf_csvtab"}, csv, "from_csv.csv");
  const std::string from_html = convert({}, html, "from_html.csv");
  EXPECT_EQ(from_csv, from_html);
  // A spreadsheet reads lap times as times of day and writes them back in its own form.
  EXPECT_EQ(from_csv,
            "Lap,\"Intermediate 1\",\"Intermediate 2\",\"Final Time\",\"Ave. Spd.\",\"Max. Spd.\",Fuel\n"
            "1,00:00:28.100,00:00:55.300,00:01:23.456,144,180.5,2.5\n"
            "2,00:00:27.900,00:00:54.800,00:01:22.950,144.7,181.25,\n"
            "3,\"say \"\"<&>\"\"\",,,0.1,1E-05,12\n");
}

}  // namespace
}  // namespace velmora
