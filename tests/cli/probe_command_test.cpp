// velmora-cli probe and version, run as their own processes against a real stand-in and real files.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "cli_test_support.h"
#include "platform/pe_image_writer.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

using test::HasLine;
using test::RunCli;

class ProbeCommandTest : public test::X11DisplayTest {};

TEST_F(ProbeCommandTest, ValuesSetInTheSimulatorComeBackInItsOwnUnits) {
  test::RunningSim sim(test::StccSimArguments());
  ASSERT_NO_FATAL_FAILURE(test::SetPlayerValues(sim));
  const test::Outcome run = RunCli({"probe", "--timeout", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& json = run.out;
  test::ExpectProbeOfPlayerValues(json, sim);
  EXPECT_NE(json.find("\"exe\": \"/"), std::string::npos);
  EXPECT_NE(json.find(".exe\","), std::string::npos);
}

TEST_F(ProbeCommandTest, PrintsTheStandingsInPositionOrderAndTheWeather) {
  test::RunningSim sim({"--drivers", "20"});
  ASSERT_EQ(sim.Ask("pause"), "ok");
  // Positions run backwards through the slots; slot 3 has a lap and sits in the pits.
  for (int slot = 0; slot < 20; ++slot) {
    const std::string at = "@" + std::to_string(slot);
    ASSERT_EQ(sim.Ask("set FPosition" + at + " " + std::to_string(20 - slot)), "ok");
    ASSERT_EQ(sim.Ask("set FDistance" + at + " " + std::to_string(1000 + slot)), "ok");
    ASSERT_EQ(sim.Ask("set FTemps.MeilleurTour" + at + " -1"), "ok");
    ASSERT_EQ(sim.Ask("set FInPIT" + at + " 0"), "ok");
  }
  for (const char* command :
       {"set FNomPilote@3 Ada Lovelace", "set FInPIT@3 1", "set FTemps.MeilleurTour@3 91.5",
        "set FTemperatureAir 21.5", "set FTemperaturePiste 30.25", "set FHumidityRainfall 0.5",
        "set FHumidityOnPath 0.25", "set FHumidityOffPath 0.75", "set FPrevisionMeteo 1"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const test::Outcome run = RunCli({"probe", "--timeout", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& json = run.out;
  EXPECT_TRUE(HasLine(json, "  \"standings\": [")) << json;
  // Position 17 is slot 3. This layout keeps no car names.
  const auto ada = json.find(
      "      \"position\": 17,\n      \"slot\": 3,\n      \"name\": \"Ada Lovelace\",\n"
      "      \"car\": \"\",\n      \"in_pits\": true,\n      \"best_lap\": 91.5\n");
  EXPECT_NE(ada, std::string::npos) << json;
  EXPECT_NE(json.find("      \"position\": 1,\n      \"slot\": 19,"), std::string::npos);
  EXPECT_NE(json.find("\"in_pits\": false,\n      \"best_lap\": null\n"), std::string::npos);
  std::size_t last = 0;
  for (int position = 1; position <= 20; ++position) {
    const auto at = json.find("\"position\": " + std::to_string(position) + ",");
    ASSERT_NE(at, std::string::npos) << position;
    EXPECT_GT(at, last) << position;
    last = at;
  }
  EXPECT_EQ(json.find("\"position\": 21,"), std::string::npos);
  for (const char* line :
       {"  \"weather\": {", "    \"air_c\": 21.5,", "    \"track_c\": 30.25,", "    \"rainfall\": 0.5,",
        "    \"wet_on_path\": 0.25,", "    \"wet_off_path\": 0.75,", "    \"forecast\": 1"}) {
    EXPECT_TRUE(HasLine(json, line)) << line << "\n" << json;
  }
}

TEST_F(ProbeCommandTest, AnUnsupportedVersionIsReportedAsSuch) {
  test::RunningSim sim({"--title", "RACE On", "--version", "1, 2, 0, 8"});
  const test::Outcome run = RunCli({"probe", "--timeout", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  test::ExpectProbeOfUnsupported(run.out);
  EXPECT_TRUE(HasLine(run.out, "    \"air_c\": null,")) << run.out;
}

TEST_F(ProbeCommandTest, NoSimulatorWithinTheTimeout) {
  const test::Outcome run = RunCli({"probe", "--timeout", "0.5"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "no simulator found\n");
  EXPECT_EQ(run.out, "");
}

// Root reads every process, so the prober gives up root for this one: as nobody it finds the stand-in's
// window but may not read the memory of a process of root's.
TEST_F(ProbeCommandTest, AProcessThatMayNotBeReadIsReportedAndNotAttached) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "needs root, to run the stand-in as root and the prober as nobody";
  }
  constexpr const char* kSetpriv = "/usr/bin/setpriv";
  if (access(kSetpriv, X_OK) != 0) {
    GTEST_SKIP() << kSetpriv << " is missing";
  }
  test::RunningSim sim({"--title", "RACE On"});
  const test::Outcome run = test::RunProgram({kSetpriv, "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                              "--", VELMORA_CLI_PATH, "probe", "--timeout", "1"});
  if (run.status == 127 || run.status == 126) {
    GTEST_SKIP() << "nobody cannot run " << VELMORA_CLI_PATH << ": " << run.err;
  }
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.out, "");
  const std::string expected = "cannot read the memory of process " + std::to_string(sim.Pid()) + ": ";
  EXPECT_EQ(run.err.rfind(expected, 0), 0U) << run.err;
  EXPECT_NE(run.err.find("another user"), std::string::npos) << run.err;
}

TEST(ProbeCommandArgumentsTest, BadTimeoutsAreRefused) {
  for (const char* timeout : {"-1", "soon", "", "1e9"}) {
    const test::Outcome run = RunCli({"probe", "--timeout", timeout});
    EXPECT_EQ(run.status, 2) << timeout;
    EXPECT_NE(run.err.find("--timeout"), std::string::npos) << run.err;
  }
}

TEST(VersionCommandTest, PrintsTheProductVersionOrSaysThereIsNone) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("velmora_version_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  platform::VersionResourceContents contents;
  contents.strings = {{"ProductVersion", "1, 2, 0, 13"}};
  const auto with_version = folder / "game.exe";
  ASSERT_TRUE(platform::WritePeImage(with_version, platform::BuildPeImage(contents)));
  contents.strings = {{"FileVersion", "1, 2, 0, 13"}};
  const auto without_version = folder / "other.exe";
  ASSERT_TRUE(platform::WritePeImage(without_version, platform::BuildPeImage(contents)));

  test::Outcome run = RunCli({"version", with_version.string()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1, 2, 0, 13\n");

  for (const auto& file : {without_version, folder / "missing.exe", folder}) {
    run = RunCli({"version", file.string()});
    EXPECT_EQ(run.status, 1) << file;
    EXPECT_EQ(run.err, "no product version in " + file.string() + "\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(RunCli({"version"}).status, 2);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace velmora
