// One detection attempt against a fake window list and real processes: what happens when the window
// names a process that cannot be read, and what the server role leaves out.
#include <cstdint>
#include <string>

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

// The status shows the red sign for no simulator, the green tick for one that is read.
constexpr int kRedSign = 1;
constexpr int kGreenTick = 2;

std::uint32_t EndedProcess() {
  test::MemoryFixture gone(kBase, 4096);
  const std::uint32_t pid = gone.Pid();
  gone.Stop();
  return pid;
}

TEST_F(DetectionAttemptTest, AWindowWhoseProcessCannotBeReadSaysWhyAndIsTriedAgain) {
  const std::uint32_t dead_pid = EndedProcess();
  link_.LedApplication("Race 07", 1);  // shown by an earlier attach
  windows_.Open(kClass, kTitle, dead_pid);

  for (int attempt = 0; attempt < 2; ++attempt) {
    link_.TimerProgramTimer();
    EXPECT_EQ(game_.FProgramHandleProcess, nullptr);
    EXPECT_TRUE(timer_.Enabled());
    EXPECT_FALSE(link_.ScanThreadRunning());
    EXPECT_EQ(status_text_.Text(), std::string(kTitle) + ": cannot read its memory");
    EXPECT_EQ(status_picture_.Picture(), kRedSign);
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

// Detection runs again while attached whenever the window is activated. When that attempt cannot read
// the process, the title and tick of the earlier attach must not stay on screen over values nobody reads.
TEST_F(DetectionAttemptTest, AFailedReattachShowsWhatAFailedAttachShows) {
  test::MemoryFixture live(kBase, 4096);
  windows_.Open(kClass, kTitle, live.Pid());
  link_.TimerProgramTimer();
  ASSERT_NE(game_.FProgramHandleProcess, nullptr);
  link_.LedApplication(kTitle, 1);  // as a supported version shows it
  ASSERT_EQ(status_picture_.Picture(), kGreenTick);
  ASSERT_TRUE(link_.ScanThreadRunning());

  windows_.Close(kClass, kTitle);
  windows_.Open(kClass, kTitle, EndedProcess());
  timer_.SetEnabled(true);  // as activating the window does
  link_.TimerProgramTimer();
  EXPECT_EQ(game_.FProgramHandleProcess, nullptr);
  EXPECT_FALSE(link_.ScanThreadRunning());
  EXPECT_FALSE(link_.ProgramSupported);
  EXPECT_TRUE(timer_.Enabled());
  EXPECT_EQ(status_text_.Text(), std::string(kTitle) + ": cannot read its memory");
  EXPECT_EQ(status_picture_.Picture(), kRedSign);
}

TEST_F(DetectionAttemptTest, AWindowThatNamesNoProcessIsNotOpened) {
  windows_.Open(kClass, kTitle, 0);
  link_.TimerProgramTimer();
  EXPECT_EQ(game_.FProgramHandleProcess, nullptr);
  EXPECT_TRUE(timer_.Enabled());
  EXPECT_EQ(status_text_.Text(), std::string(kTitle) + ": cannot tell which process it is");
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
