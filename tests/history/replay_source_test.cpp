#include "history/replay_source.h"

#include <string>

#include <gtest/gtest.h>

#include "history_fixture.h"

namespace velmora::history {
namespace {

TGameData CarAt(double time_s) {
  TGameData record{};
  record.TimerSession = static_cast<float>(time_s);
  record.Eau = 350.0 + time_s;
  return record;
}

// Samples every 0.1 s for 30 s (longer than what the replay holds at once), in session 2 of a file that
// also holds another.
void WriteSessions(const std::filesystem::path& file) {
  HistoryStore store(file, HistoryStore::Access::kWrite);
  store.Begin();
  const auto other = store.AddSession({});
  store.AddSample(other, 0.0, CarAt(1000.0));
  const auto session = store.AddSession({});
  for (int i = 0; i <= 300; ++i) {
    store.AddSample(session, i / 10.0, CarAt(i / 10.0));
  }
  store.Commit();
}

TEST(ReplaySourceTest, EachMomentGetsTheLastSampleRecordedAtOrBeforeIt) {
  const test::HistoryFolder folder;
  WriteSessions(folder / "h.sqlite");
  ReplaySource replay(folder / "h.sqlite", 2, 1.0);
  EXPECT_DOUBLE_EQ(replay.Duration(), 30.0);
  struct Case {
    double time_s;
    float recorded_at;
    bool finished;
  };
  // Forwards, across the held windows, back again, and past the end.
  for (const Case& c : {Case{0.0, 0.0F, false}, Case{0.15, 0.1F, false}, Case{9.99, 9.9F, false},
                        Case{12.34, 12.3F, false}, Case{25.0, 25.0F, false}, Case{3.05, 3.0F, false},
                        Case{30.0, 30.0F, true}, Case{400.0, 30.0F, true}}) {
    SCOPED_TRACE(c.time_s);
    const TGameData& record = replay.RecordAt(c.time_s);
    EXPECT_FLOAT_EQ(record.TimerSession, c.recorded_at);
    EXPECT_NEAR(record.Eau, 350.0 + c.recorded_at, 1e-4);
    EXPECT_EQ(replay.Finished(), c.finished);
  }
}

TEST(ReplaySourceTest, ASessionThatIsNotThereIsRefusedWithItsNumber) {
  const test::HistoryFolder folder;
  WriteSessions(folder / "h.sqlite");
  for (const std::int64_t session : {3, 0}) {
    try {
      ReplaySource replay(folder / "h.sqlite", session, 1.0);
      ADD_FAILURE() << "replayed session " << session;
    } catch (const SqliteError& error) {
      EXPECT_NE(std::string(error.what()).find("no session " + std::to_string(session)), std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace velmora::history
