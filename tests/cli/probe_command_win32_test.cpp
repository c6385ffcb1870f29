// velmora-cli.exe probe and version against a real velmora-sim.exe: the Win32 window, process, module
// and version calls, run as separate processes.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "platform/file_version.h"
#include "platform/pe_version.h"
#include "platform/windows/win32_text.h"

namespace velmora {
namespace {

using test::HasLine;
using test::RunCli;

// The "exe" line's path, unescaped.
std::string ExePath(const std::string& json) {
  for (const std::string& line : test::Lines(json)) {
    constexpr std::string_view kKey = "  \"exe\": \"";
    if (line.starts_with(kKey) && line.ends_with("\",")) {
      std::string path;
      for (std::size_t i = kKey.size(); i + 2 < line.size(); ++i) {
        if (line[i] == '\\') {
          ++i;
        }
        path.push_back(line[i]);
      }
      return path;
    }
  }
  return {};
}

TEST(WindowsProbeTest, AttachesByTitleAndClassAndReadsTheValuesTheStandInWasToldToSet) {
  test::RunningSim sim(test::StccSimArguments());
  ASSERT_NO_FATAL_FAILURE(test::SetPlayerValues(sim));
  const test::Outcome run = RunCli({"probe", "--timeout", "10"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& json = run.out;
  test::ExpectProbeOfPlayerValues(json, sim);
  // The executable of the process is the stand-in's copy named after the title.
  const std::string exe = ExePath(json);
  EXPECT_TRUE(exe.ends_with("\\STCCTheGame.exe")) << json;

  // The version command reads the same file with the Windows version service; our own reader of the
  // resource agrees with it.
  const test::Outcome version = RunCli({"version", exe});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "1, 2, 0, 8\n");
  EXPECT_EQ(platform::ProductVersionOfFile(std::filesystem::path(platform::Widen(exe))), "1, 2, 0, 8");
}

TEST(WindowsProbeTest, AnUnsupportedVersionIsReportedAsSuch) {
  // A supported version written with dots instead of a comma and a space matches no table.
  test::RunningSim sim({"--title", "RACE On", "--version", "1.2.1.9"});
  const test::Outcome run = RunCli({"probe", "--timeout", "10"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "  \"title\": \"RACE On\",")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "  \"version\": \"1.2.1.9\",")) << run.out;
  test::ExpectProbeOfUnsupported(run.out);
}

TEST(WindowsProbeTest, WithTheStandInClosedNoSimulatorIsFound) {
  {
    test::RunningSim sim({"--title", "GTR Evolution"});
    ASSERT_EQ(sim.Ask("close"), "ok");
    const test::Outcome run = RunCli({"probe", "--timeout", "0"});
    EXPECT_EQ(run.status, 3) << run.out;
    EXPECT_TRUE(HasLine(run.err, "no simulator found")) << run.err;
  }
  // And with the stand-in gone altogether.
  const test::Outcome run = RunCli({"probe", "--timeout", "0"});
  EXPECT_EQ(run.status, 3) << run.out;
  EXPECT_TRUE(HasLine(run.err, "no simulator found")) << run.err;
}

}  // namespace
}  // namespace velmora
