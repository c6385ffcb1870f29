// "Record sessions" on the real dashboard attached to the stand-in: off by default, kept in the
// settings, and writing the laps and values the dashboard shows into the history file.
#include "app/session_recording.h"

#include <QAction>
#include <QLabel>
#include <QTableView>
#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "four_laps.h"
#include "history/history_store.h"
#include "running_sim.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

using test::Within;

class SessionRecordingTest : public test::WindowTest {
 protected:
  // The default history file lives in the data folder: here, one of this test's own.
  void SetUp() override {
    WindowTest::SetUp();
    if (const char* old = std::getenv("XDG_DATA_HOME")) {
      old_data_home_ = old;
    }
    setenv("XDG_DATA_HOME", folder_.filePath(QStringLiteral("data")).toStdString().c_str(), 1);
  }
  void TearDown() override {
    old_data_home_ ? setenv("XDG_DATA_HOME", old_data_home_->c_str(), 1) : unsetenv("XDG_DATA_HOME");
  }
  std::string HistoryFile() const {
    return folder_.filePath(QStringLiteral("data/Velmora/history.sqlite")).toStdString();
  }

  std::optional<std::string> old_data_home_;
};

TEST_F(SessionRecordingTest, OffByDefaultKeptInTheSettingsAndRecordsWhatTheDashboardShows) {
  test::RunningSim sim;
  for (const char* command : {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40",
                              "set FVitesse 40", "set FEau 363.5", "set FRapportVitesse 3"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  {
    const auto window = Open();
    auto* record = Find<QAction>(*window, "RecordSessions1");
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->isChecked()) << "off by default";
    auto* status = Find<QLabel>(*window, "lbl_application");
    ASSERT_TRUE(Within(8000, [&] { return status->text() == "Race 07"; })) << status->text().toStdString();
    EXPECT_FALSE(std::filesystem::exists(HistoryFile())) << "nothing is recorded unless asked";

    record->trigger();
    EXPECT_TRUE(record->isChecked());
    test::DriveFourLaps(sim, *Find<QTableView>(*window, "grd_time")->model());
    window->close();
  }
  history::HistoryStore store(HistoryFile(), history::HistoryStore::Access::kRead);
  const auto sessions = store.Sessions();
  ASSERT_EQ(sessions.size(), 1U);
  EXPECT_EQ(sessions[0].info.simulator, "Race 07");
  const auto laps = store.Laps(sessions[0].id);
  ASSERT_EQ(laps.size(), 4U);
  EXPECT_EQ(laps[1].lap, 2);
  EXPECT_NEAR(laps[1].lap_time_s.value_or(0.0), 94.5, 1e-3);
  EXPECT_FALSE(store.Standings(sessions[0].id, 4).empty());
  // The values the dashboard showed, from its own read cycles.
  int samples = 0;
  int as_set = 0;
  store.ForEachSample(sessions[0].id, 0.0, 1e9, [&](double, const TGameData& record) {
    ++samples;
    as_set += record.Eau == 363.5 && record.RapportVitesse == 3 && record.InCockpit == 1 ? 1 : 0;
    return true;
  });
  EXPECT_GT(samples, 10);
  EXPECT_EQ(as_set, samples);

  // The choice stays for the next start.
  const auto reopened = Open();
  EXPECT_TRUE(Find<QAction>(*reopened, "RecordSessions1")->isChecked());
  reopened->close();
}

}  // namespace
}  // namespace velmora::app
