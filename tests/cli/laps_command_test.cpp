// velmora-cli laps, run as its own process against a real stand-in whose laps the test drives.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

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
