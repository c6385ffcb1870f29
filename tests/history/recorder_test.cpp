// The recorder on a real file, driven by a hand-made time line of read cycles.
#include "history/recorder.h"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history_fixture.h"

namespace velmora::history {
namespace {

using namespace std::chrono_literals;
using Clock = Recorder::Clock;

TGameData Car(int lap_count, int session_type = 1) {
  TGameData record{};
  record.NombreTour = static_cast<std::int16_t>(lap_count);
  record.TypeSession = session_type;
  record.LongueurCircuit = 4112.0F;
  record.Fuel = 40.0;
  return record;
}

class RecorderTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return folder / "h.sqlite"; }
  std::vector<double> SampleTimes(std::int64_t session) {
    HistoryStore reader(File(), HistoryStore::Access::kRead);
    std::vector<double> times;
    reader.ForEachSample(session, 0.0, 1e9, [&](double time_s, const TGameData&) {
      times.push_back(time_s);
      return true;
    });
    return times;
  }

  test::HistoryFolder folder;
  HistoryStore store{File(), HistoryStore::Access::kWrite};
  Clock::time_point start = Clock::now();
};

TEST_F(RecorderTest, SamplesFollowTheIntervalWhateverTheCyclesPace) {
  struct Case {
    std::chrono::milliseconds interval;
    std::chrono::milliseconds cycle;
    std::chrono::milliseconds jitter;  // every other cycle comes this much early
    int samples_in_two_seconds;
  };
  std::int64_t session = 0;
  for (const Case& c : {Case{100ms, 100ms, 0ms, 20}, Case{100ms, 100ms, 3ms, 20}, Case{100ms, 50ms, 0ms, 20},
                        Case{100ms, 250ms, 0ms, 8}, Case{1000ms, 300ms, 0ms, 2}}) {
    SCOPED_TRACE(std::to_string(c.interval.count()) + " ms interval, cycles every " +
                 std::to_string(c.cycle.count()) + " ms");
    Recorder recorder(store, c.interval);
    recorder.Attach({});
    for (auto t = 0ms; t < 2000ms; t += c.cycle) {
      const auto early = (t / c.cycle) % 2 == 1 ? c.jitter : 0ms;
      recorder.Cycle(start + t - early, Car(0), {}, {});
    }
    recorder.Flush();
    EXPECT_EQ(SampleTimes(++session).size(), static_cast<std::size_t>(c.samples_in_two_seconds));
  }
}

// What a killed recorder leaves: everything older than a second is committed and seen by another reader.
TEST_F(RecorderTest, CommitsOnceASecondSoOthersSeeAllButTheLastSecond) {
  Recorder recorder(store, 100ms);
  recorder.Attach({"simulator", "Race 07", "1, 2, 1, 9"});
  for (auto t = 0ms; t <= 3500ms; t += 100ms) {
    recorder.Cycle(start + t, Car(0), {}, {});
    const std::vector<double> seen = SampleTimes(1);
    const double lost_s = std::chrono::duration<double>(t).count() - (seen.empty() ? -0.1 : seen.back());
    EXPECT_LE(lost_s, 1.0 + 1e-9) << t.count() << " ms";
    EXPECT_LE(seen.size(), static_cast<std::size_t>(t / 100ms + 1));
  }
}

TEST_F(RecorderTest, OpensASessionForEachAttachAndEachNewSessionItSees) {
  struct Step {
    const char* what;
    bool attach;
    int lap_count;
    int session_type;
    std::int64_t session;
  };
  const Step steps[] = {
      {"first attach", true, 0, 1, 1},
      {"same session", false, 1, 1, 1},
      {"next session of the weekend", false, 1, 2, 2},
      {"restart: the lap count goes back", false, 0, 2, 3},
      {"laps go on", false, 2, 2, 3},
      {"the simulator comes back", true, 2, 2, 4},
  };
  Recorder recorder(store, 100ms);
  auto t = 0ms;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.attach) {
      recorder.Attach({"simulator", "Race 07", "1, 2, 1, 9"});
    }
    recorder.Cycle(start + t, Car(step.lap_count, step.session_type), {}, {});
    EXPECT_EQ(recorder.SessionId(), step.session);
    t += 100ms;
  }
  recorder.Flush();
  const auto sessions = store.Sessions();
  ASSERT_EQ(sessions.size(), 4U);
  EXPECT_EQ(sessions[1].info.session_type, 2);
  EXPECT_EQ(sessions[3].info.attached_mid_race, true);
  EXPECT_EQ(sessions[0].info.attached_mid_race, false);
  EXPECT_EQ(sessions[0].info.simulator, "Race 07");
  EXPECT_EQ(sessions[0].info.track_length_m, 4112.0);
}

// Joined with two laps done: the third is recorded as joined under way, the fourth whole; each lap is
// placed on the session's time line, and the standings are kept at each lap.
TEST_F(RecorderTest, LapsArePlacedOnTheTimeLineAndMarkedWhenJoinedUnderWay) {
  Recorder recorder(store, 100ms);
  recorder.Attach({});
  const std::vector<StandingRecord> standings{{1, 0, "Player", "BMW 320si", false, 88.0}};
  recorder.Cycle(start, Car(2), {}, {});
  LapRecord third;
  third.lap = 3;
  third.lap_time_s = 88.0;
  recorder.Cycle(start + 30s, Car(3), std::vector{third}, standings);
  LapRecord fourth;
  fourth.lap = 4;
  fourth.lap_time_s = 87.5;
  recorder.Cycle(start + 117500ms, Car(4), std::vector{fourth}, standings);
  recorder.Flush();
  const auto laps = store.Laps(1);
  ASSERT_EQ(laps.size(), 2U);
  EXPECT_EQ(laps[0].lap, 3);
  EXPECT_TRUE(laps[0].attached_mid_race);
  EXPECT_EQ(laps[0].started_s, 0.0);
  EXPECT_EQ(laps[0].ended_s, 30.0);
  EXPECT_FALSE(laps[1].attached_mid_race);
  EXPECT_EQ(laps[1].started_s, 30.0);
  EXPECT_EQ(laps[1].ended_s, 117.5);
  EXPECT_EQ(store.Standings(1, 3), standings);
  EXPECT_EQ(store.Standings(1, 4), standings);
  EXPECT_EQ(recorder.LapsWritten(), 2);
}

TEST(UtcTimestampTest, MillisecondsAndTheZoneAreWritten) {
  const auto time = std::chrono::sys_days{std::chrono::year{2026} / 5 / 1} + 14h + 3min + 7s + 250ms;
  EXPECT_EQ(UtcTimestamp(time), "2026-05-01T14:03:07.250Z");
}

}  // namespace
}  // namespace velmora::history
