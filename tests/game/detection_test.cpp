// One detection attempt against a fake window list and real processes: what happens when the window
// names a process that cannot be read, and what the server role leaves out.
#include <cstdint>

#include <gtest/gtest.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "recording_targets.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5D000000;
constexpr char kTitle[] = "GTR Evolution";
constexpr char kClass[] = "CUBEApp";

class DetectionAttemptTest : public ::testing::Test {
 protected:
  DetectionAttemptTest() {
    link_.lbl_application = &status_text_;
    link_.img_application = &status_picture_;
  }

  test::ManualClock clock_{5000};
  TGame game_{nullptr, clock_};
  test::FakeWindowFinder windows_;
  QueuedHandOver hand_over_;
  FlagDetectionTimer timer_{true};
  TGameLink link_{game_, windows_, hand_over_, timer_};
  test::RecordingLabel status_text_;
  test::RecordingPicture status_picture_{0};
};

TEST_F(DetectionAttemptTest, AWindowWhoseProcessIsGoneLeavesTheStatusAndIsTriedAgain) {
  std::uint32_t dead_pid = 0;
  {
    test::MemoryFixture gone(kBase, 4096);
    dead_pid = gone.Pid();
    gone.Stop();
  }
  link_.LedApplication("Race 07", 1);  // shown by an earlier attach
  const int writes = status_text_.Writes();
  const int changes = status_picture_.Changes();
  windows_.Open(kClass, kTitle, dead_pid);

  for (int attempt = 0; attempt < 2; ++attempt) {
    link_.TimerProgramTimer();
    EXPECT_EQ(game_.FProgramHandleProcess, nullptr);
    EXPECT_TRUE(timer_.Enabled());
    EXPECT_FALSE(link_.ScanThreadRunning());
    EXPECT_EQ(status_text_.Writes(), writes);
    EXPECT_EQ(status_picture_.Changes(), changes);
    EXPECT_EQ(status_text_.Text(), "Race 07");
    EXPECT_EQ(link_.ProgramProcessId, dead_pid);
    ASSERT_TRUE(link_.LastOpenFailure.has_value());
    EXPECT_EQ(link_.LastOpenFailure->reason, "no such process");
  }
  // What was found is kept, so the window counts as present while nothing can be read.
  EXPECT_EQ(link_.ProgramNameWindows(), kTitle);
  EXPECT_TRUE(link_.TestProgramActif());

  // Once the window has gone too, the reason no longer stands.
  windows_.Close(kClass, kTitle);
  link_.TimerProgramTimer();
  EXPECT_FALSE(link_.LastOpenFailure.has_value());
  EXPECT_EQ(status_text_.Text(), "Unknown Game");

  // The window again, now owned by a process that can be read, attaches on the next tick.
  test::MemoryFixture live(kBase, 4096);
  windows_.Open(kClass, kTitle, live.Pid());
  link_.TimerProgramTimer();
  ASSERT_NE(game_.FProgramHandleProcess, nullptr);
  EXPECT_EQ(game_.FProgramHandleProcess->ProcessId(), live.Pid());
  EXPECT_FALSE(link_.LastOpenFailure.has_value());
  EXPECT_FALSE(timer_.Enabled());
  EXPECT_EQ(status_text_.Text(), kTitle);
  EXPECT_TRUE(link_.ScanThreadRunning());
  link_.StopScanThread();
}

TEST_F(DetectionAttemptTest, AWindowThatNamesNoProcessIsNotOpened) {
  windows_.Open(kClass, kTitle, 0);
  link_.TimerProgramTimer();
  EXPECT_EQ(game_.FProgramHandleProcess, nullptr);
  EXPECT_TRUE(timer_.Enabled());
  EXPECT_EQ(status_text_.Writes(), 0);
  EXPECT_TRUE(link_.LastOpenFailure.has_value());
}

TEST_F(DetectionAttemptTest, TheServerRoleAttachesWithoutAScanThread) {
  test::MemoryFixture process(kBase, 4096);
  windows_.Open(kClass, kTitle, process.Pid());
  game_.FNetwork.SetNetworkType(TNetworkType::ntServer);
  link_.TimerProgramTimer();
  ASSERT_NE(game_.FProgramHandleProcess, nullptr);
  EXPECT_EQ(link_.ProgramProcessId, process.Pid());
  EXPECT_FALSE(timer_.Enabled());
  EXPECT_FALSE(link_.ScanThreadRunning());
  // The fixture is no simulator executable: found, but no table knows it.
  EXPECT_EQ(status_text_.Text(), kTitle);
  EXPECT_EQ(status_picture_.Picture(), 0);
  EXPECT_FALSE(link_.ProgramSupported);
}

}  // namespace
}  // namespace velmora
