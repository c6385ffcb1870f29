#include "history/recording_worker.h"

#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "history_fixture.h"

namespace velmora::history {
namespace {

using namespace std::chrono_literals;

// Far more cycles than the queue holds, posted at once: plain samples may give way, laps and the new
// source never do, and all that is queued is in the file once the worker is gone.
TEST(RecordingWorkerTest, KeepsEveryLapAndSourceWhenTheQueueOverflows) {
  const test::HistoryFolder folder;
  const auto file = folder / "nested" / "h.sqlite";
  std::atomic<int> failures{0};
  long long dropped = 0;
  {
    RecordingWorker worker(file, 100ms, [&](const std::string&) { ++failures; });
    const auto start = Recorder::Clock::now();
    RecordingItem item;
    for (int i = 0; i < 5000; ++i) {
      item.time = start + i * 100ms;
      item.record.NombreTour = static_cast<std::int16_t>(i / 1000);
      if (i == 0 || i == 2500) {
        item.attach = RecorderSource{"simulator", i == 0 ? "Race 07" : "GTR Evolution", "1, 2, 1, 9"};
      }
      if (i % 1000 == 0 && i > 0) {
        LapRecord lap;
        lap.lap = i / 1000;
        lap.lap_time_s = 100.0;
        item.laps.push_back(lap);
      }
      worker.Post(item);
      EXPECT_FALSE(item.attach) << "the item is left empty for the next cycle";
      EXPECT_TRUE(item.laps.empty());
    }
    dropped = worker.Dropped();
  }
  EXPECT_EQ(failures, 0);
  HistoryStore store(file, HistoryStore::Access::kRead);
  const auto sessions = store.Sessions();
  ASSERT_EQ(sessions.size(), 2U);
  EXPECT_EQ(sessions[0].info.simulator, "Race 07");
  EXPECT_EQ(sessions[1].info.simulator, "GTR Evolution");
  EXPECT_EQ(store.Laps(1).size() + store.Laps(2).size(), 4U);
  int samples = 0;
  for (const auto& session : sessions) {
    store.ForEachSample(session.id, 0.0, 1e9, [&](double, const TGameData&) {
      ++samples;
      return true;
    });
  }
  EXPECT_EQ(samples + dropped, 5000);
}

TEST(RecordingWorkerTest, AFileThatCannotBeOpenedIsReportedOnceAndNothingMore) {
  std::atomic<int> failures{0};
  std::string message;
  {
    RecordingWorker worker("/proc/velmora/h.sqlite", 100ms, [&](const std::string& what) {
      message = what;
      ++failures;
    });
    RecordingItem item;
    for (int i = 0; i < 10; ++i) {
      item.time = Recorder::Clock::now();
      worker.Post(item);
    }
  }
  EXPECT_EQ(failures, 1);
  EXPECT_NE(message.find("cannot open /proc/velmora/h.sqlite"), std::string::npos) << message;
}

}  // namespace
}  // namespace velmora::history
