// velmora-cli laps, run as its own process against a real stand-in whose laps the test drives.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include "child_process.h"
#include "run_program.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

// The logger says nothing until a lap ends, so each point of a lap is held for two scan passes (250 ms
// each) before the car moves on.
constexpr auto kTwoScanPasses = std::chrono::milliseconds(600);

class LapsCommandTest : public test::X11DisplayTest {
 protected:
  void Ask(const std::string& command) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
    std::this_thread::sleep_for(kTwoScanPasses);
  }

  // The next line of the logger's output that is a lap, skipping what it says on standard error.
  std::string NextLap(test::ChildProcess& logger) {
    for (;;) {
      std::string line = logger.ReadLine(8000);
      if (line.empty() || line.front() == '{') {
        return line;
      }
    }
  }

  test::RunningSim sim;
};

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A folder of its own for the export files, gone with the test.
class ExportFolder final {
 public:
  ExportFolder() : path_(fs::temp_directory_path() / ("velmora_laps_export_" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~ExportFolder() { fs::remove_all(path_); }
  fs::path operator/(const char* name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::unique_ptr<test::ChildProcess> StartLogger(const std::string& arguments) {
  return std::make_unique<test::ChildProcess>(std::vector<std::string>{
      "/bin/sh", "-c",
      std::string("exec '") + VELMORA_CLI_PATH + "' laps --laps 1 --timeout 5 " + arguments + " 2>&1"});
}

TEST_F(LapsCommandTest, TwoLapsComeOutAsTheStandInReportsThem) {
  for (const char* command :
       {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  test::ChildProcess logger(
      {"/bin/sh", "-c", std::string("exec '") + VELMORA_CLI_PATH + "' laps --laps 2 --timeout 5 2>&1"});
  const std::string attached = logger.ReadLine(8000);
  ASSERT_NE(attached.find("attached to \"Race 07\""), std::string::npos) << attached;
  std::this_thread::sleep_for(kTwoScanPasses);

  // Out of the pits: the first crossing only takes the fuel reference.
  Ask("sector 1 40.25");
  Ask("sector 2 81.5");
  Ask("line 121.125");
  EXPECT_EQ(NextLap(logger),
            "{\"lap\":1,\"intermediate1\":40.25,\"intermediate2\":81.5,\"final\":121.125,\"sector1\":40.25,"
            "\"sector2\":41.25,\"sector3\":39.625,\"average_speed\":122.2,\"max_speed\":null,\"fuel\":null}");

  Ask("set FVitesse 55.5");
  Ask("sector 1 30.5");
  Ask("sector 2 62.75");
  ASSERT_EQ(sim.Ask("set FFuel 37.35"), "ok");
  ASSERT_EQ(sim.Ask("line 93.5"), "ok");
  EXPECT_EQ(NextLap(logger),
            "{\"lap\":2,\"intermediate1\":" + sim.Ask("get FTemps.DernierTourSecteur1") +
                ",\"intermediate2\":" + sim.Ask("get FTemps.DernierTourSecteur2") +
                ",\"final\":" + sim.Ask("get FTemps.DernierTour") +
                ",\"sector1\":30.5,\"sector2\":32.25,\"sector3\":30.75,\"average_speed\":158.3,"
                "\"max_speed\":199.8,\"fuel\":2.65}");
  EXPECT_EQ(sim.Ask("get FNombreTour"), "2");
  EXPECT_EQ(logger.CloseAndWait(), 0);
}

// Started after the game, two laps into the race and halfway round the third: the lap in progress comes
// out whole, under its own number. (Attaching at the start is the test above: its first row is lap 1.)
TEST_F(LapsCommandTest, AttachingMidRaceFilesTheLapInProgressUnderItsNumber) {
  for (const char* command :
       {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40", "sector 1 40.25",
        "sector 2 81.5", "line 121.125", "sector 1 30.5", "sector 2 62.75", "line 93.5", "sector 1 29.25",
        "sector 2 58.5"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  ASSERT_EQ(sim.Ask("get FNombreTour"), "2");
  test::ChildProcess logger(
      {"/bin/sh", "-c", std::string("exec '") + VELMORA_CLI_PATH + "' laps --laps 1 --timeout 5 2>&1"});
  const std::string attached = logger.ReadLine(8000);
  ASSERT_NE(attached.find("attached to \"Race 07\""), std::string::npos) << attached;
  std::this_thread::sleep_for(kTwoScanPasses);

  Ask("line 87.75");
  const std::string lap = NextLap(logger);
  EXPECT_EQ(lap.rfind("{\"lap\":3,\"intermediate1\":29.25,\"intermediate2\":58.5,\"final\":87.75,", 0), 0U)
      << lap;
  EXPECT_EQ(logger.CloseAndWait(), 0);
}

TEST_F(LapsCommandTest, ImperialSpeeds) {
  for (const char* command : {"pause", "set FInCokpit 1", "set FVitesse 40"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  test::ChildProcess logger(
      {"/bin/sh", "-c", std::string("exec '") + VELMORA_CLI_PATH + "' laps --laps 1 --imperial 2>&1"});
  ASSERT_NE(logger.ReadLine(8000).find("attached"), std::string::npos);
  std::this_thread::sleep_for(kTwoScanPasses);
  Ask("sector 1 40");
  Ask("sector 2 80");
  Ask("line 100");
  // 4112 m in 100 s is 41.12 m/s, 91.98 mph.
  const std::string lap = NextLap(logger);
  EXPECT_NE(lap.find("\"average_speed\":92,"), std::string::npos) << lap;
  EXPECT_EQ(logger.CloseAndWait(), 0);
}

TEST_F(LapsCommandTest, ExportKeepsAFileOfTheLoggedLapsInEachFormatAndColumnSet) {
  for (const char* command :
       {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const ExportFolder folder;
  // An earlier export of that name is replaced.
  std::ofstream(folder / "laps.csv") << "an older export";
  struct Logger {
    const char* file;
    std::string arguments;
    std::unique_ptr<test::ChildProcess> process;
  };
  std::vector<Logger> loggers;
  for (const auto& [file, arguments] :
       std::vector<std::pair<const char*, const char*>>{{"laps.csv", "--export csv"},
                                                        {"sectors.csv", "--export CSV"},
                                                        {"laps.htm", "--export html"},
                                                        {"sectors.xml", "--export xml"}}) {
    const std::string sectors = std::string(file).starts_with("sectors") ? " --sectors" : "";
    loggers.push_back(
        {file, std::string(arguments) + " '" + (folder / file).string() + "'" + sectors, nullptr});
  }
  for (Logger& logger : loggers) {
    logger.process = StartLogger(logger.arguments);
    const std::string attached = logger.process->ReadLine(8000);
    ASSERT_NE(attached.find("attached to \"Race 07\""), std::string::npos) << attached;
  }
  const std::string lap_titles =
      "Lap\tIntermediate 1\tIntermediate 2\tFinal Time\tAve. Spd.\tMax. Spd.\tFuel\r\n";
  EXPECT_EQ(FileText(folder / "laps.csv"), lap_titles) << "written as soon as attached";
  std::this_thread::sleep_for(kTwoScanPasses);

  Ask("sector 1 40.25");
  Ask("sector 2 81.5");
  Ask("line 121.125");
  for (Logger& logger : loggers) {
    const std::string lap = NextLap(*logger.process);
    EXPECT_TRUE(lap.starts_with("{\"lap\":1,\"intermediate1\":40.25,")) << logger.file << ": " << lap;
    EXPECT_EQ(logger.process->CloseAndWait(), 0) << logger.file;
  }

  // The grid's own values: lap times as shown, the speed raw, the fuel and top speed not yet known.
  EXPECT_EQ(FileText(folder / "laps.csv"),
            lap_titles + "\"1\"\t\"0:40.250\"\t\"1:21.500\"\t\"2:01.125\"\t\"122.2\"\t\t\t\r\n");
  EXPECT_EQ(FileText(folder / "sectors.csv"),
            "Lap\tSector 1\tSector 2\tSector 3\tAve. Spd.\tMax. Spd.\tFuel\r\n"
            "\"1\"\t\"0:40.250\"\t\"0:41.250\"\t\"0:39.625\"\t\"122.2\"\t\t\t\r\n");

  const std::string html = FileText(folder / "laps.htm");
  EXPECT_TRUE(html.starts_with("<html><head><title>Grid to HTML Export</title>\r\n")) << html;
  EXPECT_NE(html.find("<tr><td class=\"column0\">1</td><td class=\"column1\">0:40.250</td>"
                      "<td class=\"column2\">1:21.500</td><td class=\"column3\">2:01.125</td>"
                      "<td class=\"column7\">122.2</td><td class=\"column8\">&nbsp;</td>"
                      "<td class=\"column9\">&nbsp;</td></tr>\r\n</table>\r\n</body></html>\r\n"),
            std::string::npos)
      << html;

  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_file((folder / "sectors.xml").c_str()));
  std::vector<std::string> fields;
  for (const pugi::xml_node& field : xml.child("DATAPACKET").child("METADATA").child("FIELDS").children()) {
    fields.push_back(std::string(field.attribute("ATTRNAME").value()) + "/" +
                     field.attribute("WIDTH").value());
  }
  // The widths are the grid's as the window is designed.
  EXPECT_EQ(fields, (std::vector<std::string>{"Lap/59", "Sector_1/115", "Sector_2/115", "Sector_3/115",
                                              "Ave._Spd./59", "Max._Spd./59", "Fuel/52"}));
  const pugi::xml_node row = xml.child("DATAPACKET").child("ROWDATA").child("ROW");
  EXPECT_STREQ(row.attribute("Sector_3").value(), "0:39.625");
  EXPECT_STREQ(row.attribute("Ave._Spd.").value(), "122.2");
  ASSERT_TRUE(row.attribute("Fuel"));
  EXPECT_STREQ(row.attribute("Fuel").value(), "");
  EXPECT_FALSE(row.next_sibling("ROW"));
}

TEST_F(LapsCommandTest, AnExportFileThatCannotBeWrittenSaysWhyAtOnce) {
  const ExportFolder folder;
  std::ofstream(folder / "plain") << "a file, not a folder";
  const test::Outcome run = test::RunProgram({VELMORA_CLI_PATH, "laps", "--timeout", "5", "--export", "xml",
                                              (folder / "plain").string() + "/laps.xml"});
  EXPECT_EQ(run.status, 6);
  EXPECT_NE(run.err.find("cannot write \"" + (folder / "plain").string() + "/laps.xml\": Not a directory"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(FileText(folder / "plain"), "a file, not a folder");
}

}  // namespace

// Among the display tests, so that no other test's stand-in is running when it looks for none.
TEST(LapsCommandLineTest, RefusesBadArgumentsAndSaysWhenNoSimulatorRuns) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* message;
  };
  const std::vector<Case> cases{
      {{"laps", "--laps", "0"}, 2, "--laps takes a whole number of laps from 1 to 100000"},
      {{"laps", "--laps"}, 2, "--laps needs a value"},
      {{"laps", "--fast"}, 2, "unknown argument \"--fast\""},
      {{"laps", "--export", "pdf", "laps.pdf"}, 2, "--export takes the format csv, html or xml, not \"pdf\""},
      {{"laps", "--export", "csv"}, 2, "--export needs a format (csv, html or xml) and a file name"},
      {{"laps", "--sectors"}, 2, "--sectors chooses the columns of an --export file and goes only with it"},
      {{"laps", "--timeout", "0"}, 3, "no simulator found"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{VELMORA_CLI_PATH};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const test::Outcome run = test::RunProgram(argv);
    EXPECT_EQ(run.status, c.status) << c.arguments.back();
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace velmora
