// velmora-cli record, sessions, laps --db and replay as whole programs: a real stand-in driven through
// its laps, a real file read back with sqlite3, a real replay served to fetch over loopback.
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "child_process.h"
#include "history_fixture.h"
#include "run_program.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSqlite = "/usr/bin/sqlite3";

std::string Sql(const std::filesystem::path& file, const std::string& query) {
  const test::Outcome run = test::RunProgram({kSqlite, file.string(), query});
  EXPECT_EQ(run.status, 0) << query << ": " << run.err;
  return run.out;
}

// The recorder's own words, with its standard error on the same pipe.
std::unique_ptr<test::ChildProcess> StartRecorder(const std::string& arguments) {
  return std::make_unique<test::ChildProcess>(std::vector<std::string>{
      "/bin/sh", "-c", std::string("exec '") + VELMORA_CLI_PATH + "' record " + arguments + " 2>&1"});
}

// Reads the recorder's output until a line holds `text`; false when it ends first.
bool WaitForLine(test::ChildProcess& recorder, const std::string& text, std::string& seen) {
  for (;;) {
    const std::string line = recorder.ReadLine(8000);
    if (line.empty()) {
      return false;
    }
    seen += line + "\n";
    if (line.find(text) != std::string::npos) {
      return true;
    }
  }
}

class RecordCommandTest : public test::X11DisplayTest {
 protected:
  void Ask(const std::string& command) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
    // Each point of a lap is held long enough for a few reads of the recorder.
    std::this_thread::sleep_for(300ms);
  }

  // The car as the stand-in is told to hold it, then three laps driven under a recorder.
  void RecordThreeLaps(const std::string& interval_ms = "100") {
    for (const char* command :
         {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40",
          "set FEau 363.5", "set FPneuAvantGauche.FPression 201.5", "set FRapportVitesse 3"}) {
      ASSERT_EQ(sim.Ask(command), "ok") << command;
    }
    auto recorder =
        StartRecorder("--db '" + file.string() + "' --interval " + interval_ms + " --laps 3 --timeout 5");
    std::string seen;
    ASSERT_TRUE(WaitForLine(*recorder, "session 1", seen)) << seen;
    std::this_thread::sleep_for(300ms);
    for (const auto& [sector1, sector2, line] :
         {std::tuple{"40.25", "81.5", "121.125"}, std::tuple{"30.5", "62.75", "93.5"},
          std::tuple{"29.25", "58.5", "87.75"}}) {
      Ask(std::string("sector 1 ") + sector1);
      Ask(std::string("sector 2 ") + sector2);
      Ask(std::string("line ") + line);
    }
    ASSERT_TRUE(WaitForLine(*recorder, "lap 3 of session 1", seen)) << seen;
    EXPECT_EQ(recorder->CloseAndWait(), 0) << seen;
  }

  test::RunningSim sim;
  history::test::HistoryFolder folder;
  std::filesystem::path file = folder / "history.sqlite";
};

TEST_F(RecordCommandTest, ThreeLapsOfTheStandInReadBackWithSqlite) {
  RecordThreeLaps();
  EXPECT_EQ(
      Sql(file,
          "SELECT lap, lap_time_s, intermediate1_s, sector3_s FROM laps WHERE session_id = 1 ORDER BY lap"),
      "1|121.125|40.25|39.625\n2|93.5|30.5|30.75\n3|87.75|29.25|29.25\n");
  EXPECT_EQ(Sql(file, "SELECT simulator, session_type, attached_mid_race FROM sessions"), "Race 07|1|0\n");
  // The values the stand-in was told to hold, in SI units.
  EXPECT_EQ(Sql(file, "SELECT DISTINCT water_k, fl_pressure_pa, gear, fuel_l, speed_m_s FROM samples"),
            "363.5|201500.0|3|40.0|40.0\n");
  // At the interval: 10 a second, within a tenth.
  const std::string rate = Sql(file, "SELECT (count(*) - 1) / (max(time_s) - min(time_s)) FROM samples");
  EXPECT_NEAR(std::stod(rate), 10.0, 1.0) << rate;
  EXPECT_GT(std::stoi(Sql(file, "SELECT count(*) FROM standings WHERE lap = 3")), 0);
}

TEST_F(RecordCommandTest, SessionsAndRecordedLapsAreListedAndExported) {
  RecordThreeLaps();
  const test::Outcome sessions =
      test::RunProgram({VELMORA_CLI_PATH, "sessions", "--db", file.string(), "--json"});
  ASSERT_EQ(sessions.status, 0) << sessions.err;
  for (const char* member : {"\"id\": 1", "\"simulator\": \"Race 07\"", "\"laps\": 3",
                             "\"best_lap_s\": 87.75", "\"session_type_name\": "}) {
    EXPECT_NE(sessions.out.find(member), std::string::npos) << member << " in " << sessions.out;
  }
  const test::Outcome laps = test::RunProgram({VELMORA_CLI_PATH, "laps", "--db", file.string(), "--session",
                                               "1", "--export", (folder / "laps.csv").string()});
  ASSERT_EQ(laps.status, 0) << laps.err;
  const auto lines = test::Lines(laps.out);
  ASSERT_EQ(lines.size(), 3U) << laps.out;
  EXPECT_EQ(lines[0].rfind("{\"lap\":1,\"intermediate1\":40.25,\"intermediate2\":81.5,\"final\":121.125,", 0),
            0U)
      << lines[0];
  const test::Outcome csv = test::RunProgram({"/bin/cat", (folder / "laps.csv").string()});
  EXPECT_EQ(csv.out.rfind("Lap\tIntermediate 1\tIntermediate 2\tFinal Time\tAve. Spd.\tMax. Spd.\tFuel\r\n"
                          "\"1\"\t\"0:40.250\"\t\"1:21.500\"\t\"2:01.125\"\t",
                          0),
            0U)
      << csv.out;

  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  };
  const Case refusals[] = {
      {{"laps", "--db", file.string(), "--session", "9"}, 7, "holds no session 9"},
      {{"laps", "--db", file.string()}, 2, "--db FILE and --session N go together"},
      {{"laps", "--db", (folder / "none.sqlite").string(), "--session", "1"}, 7, "there is no history file"},
      {{"sessions", "--db", (folder / "none.sqlite").string()}, 7, "there is no history file"},
      {{"sessions", "--json", "--db"}, 2, "usage: velmora-cli sessions"},
  };
  for (const Case& c : refusals) {
    std::vector<std::string> argv{VELMORA_CLI_PATH};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const test::Outcome run = test::RunProgram(argv);
    EXPECT_EQ(run.status, c.status) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

TEST_F(RecordCommandTest, AReplayFeedsFetchTheRecordedValues) {
  RecordThreeLaps();
  test::ChildProcess replay({"/bin/sh", "-c",
                             std::string("exec '") + VELMORA_CLI_PATH + "' replay --db '" + file.string() +
                                 "' --session 1 --port 0 --speed 10"});
  const std::string listening = replay.ReadLine(8000);
  ASSERT_EQ(listening.rfind("listening on port ", 0), 0U) << listening;
  const std::string port = listening.substr(std::string("listening on port ").size());
  const test::Outcome fetch =
      test::RunProgram({VELMORA_CLI_PATH, "fetch", "127.0.0.1:" + port, "--count", "2", "--interval", "50"});
  ASSERT_EQ(fetch.status, 0) << fetch.err;
  for (const char* field : {"\"Eau\":363.5", "\"PneuAvantGauchePression\":201.5", "\"RapportVitesse\":3",
                            "\"Fuel\":40", "\"InCockpit\":1", "\"Vitesse\":40"}) {
    EXPECT_NE(fetch.out.find(field), std::string::npos) << field << " in " << fetch.out;
  }
  kill(replay.Pid(), SIGTERM);
  EXPECT_EQ(replay.CloseAndWait(), 0);
}

// Killed while it writes ten samples a second: the file is whole and holds every lap that was over more
// than a second before.
TEST_F(RecordCommandTest, AKilledRecorderLeavesAWholeFileWithItsLaps) {
  for (const char* command :
       {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  auto recorder = StartRecorder("--db '" + file.string() + "' --interval 10 --timeout 5");
  std::string seen;
  ASSERT_TRUE(WaitForLine(*recorder, "session 1", seen)) << seen;
  std::this_thread::sleep_for(300ms);
  Ask("line 121.125");
  Ask("line 93.5");
  ASSERT_TRUE(WaitForLine(*recorder, "lap 2 of session 1", seen)) << seen;
  std::this_thread::sleep_for(1200ms);
  ASSERT_EQ(kill(recorder->Pid(), SIGKILL), 0);
  recorder->CloseAndWait();
  EXPECT_EQ(Sql(file, "PRAGMA integrity_check"), "ok\n");
  EXPECT_EQ(Sql(file, "SELECT lap, lap_time_s FROM laps ORDER BY lap"), "1|121.125\n2|93.5\n");
  EXPECT_GT(std::stoi(Sql(file, "SELECT count(*) FROM samples")), 100);
}

// A file that fills (here: the size limit of the process) ends the recorder with a reason, not a crash,
// and what it had committed stays readable.
TEST_F(RecordCommandTest, AFileThatCannotGrowEndsTheRecorderWithAReason) {
  for (const char* command : {"pause", "set FInCokpit 1"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  test::ChildProcess recorder({"/bin/sh", "-c",
                               "trap '' XFSZ; ulimit -f 400; exec '" + std::string(VELMORA_CLI_PATH) +
                                   "' record --db '" + file.string() + "' --interval 10 --timeout 5 2>&1"});
  std::string seen;
  EXPECT_TRUE(WaitForLine(recorder, "cannot write", seen)) << seen;
  EXPECT_EQ(recorder.CloseAndWait(), 7) << seen;
  EXPECT_EQ(Sql(file, "PRAGMA integrity_check"), "ok\n");
  EXPECT_GT(std::stoi(Sql(file, "SELECT count(*) FROM samples")), 0);
}

TEST(RecordCommandLineTest, BadArgumentsAndLockedFilesAreRefusedWithAReason) {
  const history::test::HistoryFolder folder;
  const std::string locked = (folder / "locked.sqlite").string();
  // Another program holds the file's write lock for as long as this test runs.
  test::ChildProcess holder({kSqlite, locked});
  holder.WriteLine(
      "PRAGMA journal_mode = WAL; CREATE TABLE t (x); BEGIN EXCLUSIVE; INSERT INTO t VALUES (1); "
      "SELECT 'held';");
  std::string line;
  do {
    line = holder.ReadLine(5000);
  } while (!line.empty() && line != "held");
  ASSERT_EQ(line, "held");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"record", "--interval", "5"}, 2, "--interval takes milliseconds from 10 to 60000"},
      {{"record", "--from", "host:0"}, 2, "--from takes HOST or HOST:PORT"},
      {{"record", "--db"}, 2, "--db needs a value"},
      {{"record", "--db", locked, "--timeout", "0"}, 7, "another program holds the file locked"},
      {{"record", "--db", "/proc/velmora/history.sqlite", "--timeout", "0"}, 7, "cannot make the folder"},
      {{"record", "--db", (folder / "h.sqlite").string(), "--from", "127.0.0.1:1"},
       4,
       "Impossible connection"},
      {{"replay", "--db", (folder / "h.sqlite").string(), "--session", "1", "--port", "0"},
       7,
       "no session 1"},
      {{"replay", "--session", "1"}, 2, "--db FILE and --session N choose the session"},
      {{"replay", "--db", locked, "--session", "1", "--speed", "0"}, 2, "--speed takes a factor"},
      {{"web", "--db", (folder / "h.sqlite").string(), "--session", "3", "--http", "0"},
       7,
       "holds no session 3"},
      {{"web", "--db", (folder / "h.sqlite").string()}, 2, "usage: velmora-cli web"},
      {{"web", "--db", (folder / "h.sqlite").string(), "--session", "1", "--from", "127.0.0.1"},
       2,
       "usage: velmora-cli web"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv{VELMORA_CLI_PATH};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const test::Outcome run = test::RunProgram(argv);
    EXPECT_EQ(run.status, c.status) << c.says << ": " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  holder.WriteLine("ROLLBACK;");
  holder.CloseAndWait();
}

}  // namespace
}  // namespace velmora
