// The Linux dashboard attached to the Windows build's stand-in run under Wine, as a racer on Linux runs a
// simulator. Runs where VELMORA_WINE_SIM names velmora-sim.exe (the Windows stage of the test command).
#include <QLabel>

#include <gtest/gtest.h>

#include "app/display_widgets.h"
#include "app/main_window.h"
#include "running_sim.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

class WineStandInTest : public test::WindowTest {};

TEST_F(WineStandInTest, TheDashboardShowsAWindowsSimulatorUnderWineAndSearchesAgainWhenItQuits) {
  if (!test::RunningSim::WindowsBuildNamed()) {
    GTEST_SKIP() << "VELMORA_WINE_SIM names no Windows velmora-sim.exe";
  }
  test::RunningSim sim({"--title", "GTR Evolution", "--version", "1, 2, 0, 13"},
                       test::RunningSim::Build::kWindowsUnderWine);
  for (const char* command : {"pause", "set FInCokpit 1", "set FEau 363.5"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }

  const std::unique_ptr<TForm1> opened = Open();
  TForm1& window = *opened;
  auto* status = Find<QLabel>(window, "lbl_application");
  auto* status_picture = Find<StateImage>(window, "img_application");
  auto* water = Find<PanelWidget>(window, "pnl_eau");
  ASSERT_TRUE(test::Within(20000, [&] { return status->text() == "GTR Evolution (Wine)"; }))
      << status->text().toStdString();
  EXPECT_EQ(status_picture->Picture(), 2);
  ASSERT_TRUE(test::Within(8000, [&] { return water->Text() == "90"; })) << water->Text().toStdString();

  ASSERT_EQ(sim.Ask("quit"), "ok");
  ASSERT_TRUE(test::Within(20000, [&] { return status->text() == "Unknown Game"; }))
      << status->text().toStdString();
  EXPECT_EQ(status_picture->Picture(), 1);
}

}  // namespace
}  // namespace velmora::app
