// Detection and attachment against real stand-ins: a separate process with a real window on the X display,
// its executable image mapped, its data at the table addresses.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "recording_targets.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

// A game model and its link with the real X11 finder, on this thread as main thread.
class DetectionTest : public test::X11DisplayTest {
 protected:
  void SetUp() override {
    test::X11DisplayTest::SetUp();
    finder_ = platform::CreateWindowFinder();
    ASSERT_NE(finder_, nullptr);
    game_ = std::make_unique<TGame>(nullptr, clock_);
    link_ = std::make_unique<TGameLink>(*game_, *finder_, hand_over_, timer_);
    link_->lbl_application = &status_text_;
    link_->img_application = &status_picture_;
    game_->FEau.FPanel = &water_;
    game_->FMetrique = true;
    timer_.SetEnabled(true);
  }

  void TearDown() override {
    link_.reset();
    game_.reset();
  }

  // Runs detection attempts until it attaches, as the one-second timer would; false after five seconds.
  bool AttachWithin5s() {
    return Within5s([&] {
      link_->TimerProgramTimer();
      return !timer_.Enabled();
    });
  }

  // Pumps the scan thread's hand-over until `done`; false after five seconds.
  bool Within5s(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      hand_over_.WaitAndRun(50);
    }
    return true;
  }

  platform::SystemTickClock clock_;
  std::unique_ptr<platform::WindowFinder> finder_;
  QueuedHandOver hand_over_;
  FlagDetectionTimer timer_;
  test::RecordingLabel status_text_;
  test::RecordingPicture status_picture_{0};
  test::RecordingPanel water_;
  std::unique_ptr<TGame> game_;
  std::unique_ptr<TGameLink> link_;
};

TEST_F(DetectionTest, FindsEveryTitleWithBothClasses) {
  for (const char* title : GameTitles) {
    for (const char* class_name : GameWindowClasses) {
      SCOPED_TRACE(std::string(title) + " / " + class_name);
      // Each title with the version its table accepts, so that every attach is a supported one.
      const std::string version = std::string(title) == "Real-Time Racing" ? "1, 0, 0, 0" : "1, 2, 0, 13";
      test::RunningSim sim({"--title", title, "--class", class_name, "--version", version});
      timer_.SetEnabled(true);
      ASSERT_TRUE(AttachWithin5s());
      EXPECT_EQ(link_->ProgramNameWindows(), title);
      EXPECT_EQ(link_->ProgrammeWindowsType(), class_name);
      EXPECT_EQ(link_->ProgramProcessId, sim.Pid());
      EXPECT_EQ(link_->ProgramVersion, version);
      EXPECT_TRUE(link_->ProgramSupported);
      EXPECT_EQ(status_text_.Text(), title);
      EXPECT_EQ(status_picture_.Picture(), 2);
      EXPECT_TRUE(link_->ScanThreadRunning());
      link_->StopScanThread();
    }
  }
}

// With several candidate windows, the order of the title list decides, then the order of the classes.
TEST_F(DetectionTest, TheFirstTitleOfTheListWinsThenTheFirstClass) {
  test::RunningSim sim({"--title", "GTR Evolution", "--class", "CUBEApp"});
  test::X11TestWindow earlier_class({.title = "GTR Evolution", .class_name = "CUBERealtime"});
  ASSERT_TRUE(AttachWithin5s());
  EXPECT_EQ(link_->ProgrammeWindowsType(), "CUBERealtime");

  test::X11TestWindow earlier_title({.title = "Race 07", .class_name = "CUBEApp"});
  timer_.SetEnabled(true);
  ASSERT_TRUE(AttachWithin5s());
  EXPECT_EQ(link_->ProgramNameWindows(), "Race 07");
  EXPECT_EQ(link_->ProgrammeWindowsType(), "CUBEApp");
}

// Any X client may write any pid into its window. A window of this test process that names the running
// stand-in is attached as what it is, this process, whose executable no table knows; the stand-in's
// memory is not read on its word.
TEST_F(DetectionTest, AWindowThatNamesAnotherProcessIsNotAttachedToIt) {
  test::RunningSim sim({"--title", "GTR Evolution"});
  test::X11TestWindow liar({.title = "Race 07", .class_name = "CUBERealtime", .pid = sim.Pid()});
  ASSERT_TRUE(AttachWithin5s());
  EXPECT_EQ(link_->ProgramNameWindows(), "Race 07");
  EXPECT_EQ(link_->ProgramProcessId, static_cast<std::uint32_t>(getpid()));
  ASSERT_NE(game_->FProgramHandleProcess, nullptr);
  EXPECT_EQ(game_->FProgramHandleProcess->ProcessId(), static_cast<std::uint32_t>(getpid()));
  EXPECT_FALSE(link_->ProgramSupported);
  EXPECT_EQ(status_picture_.Picture(), 0);
}

// A window that only looks like a Windows program's, by the class a compatibility layer would give it, is
// attached as what its process is: this test's, which maps no Windows executable and so has no version.
TEST_F(DetectionTest, AWindowsProgramsClassWithoutAWindowsExecutableHasNoVersion) {
  for (const char* class_name : {"race07.exe", "steam_app_8600"}) {
    SCOPED_TRACE(class_name);
    test::X11TestWindow window({.title = "Race 07", .class_name = class_name});
    timer_.SetEnabled(true);
    ASSERT_TRUE(AttachWithin5s());
    EXPECT_EQ(link_->ProgramRuntime, platform::WindowRuntime::kWine);
    EXPECT_EQ(link_->ProgramProcessId, static_cast<std::uint32_t>(getpid()));
    EXPECT_EQ(link_->ProgramExeName, "");
    EXPECT_EQ(link_->ProgramVersion, "");
    EXPECT_FALSE(link_->ProgramSupported);
    EXPECT_EQ(status_text_.Text(), "Race 07 (Wine)");
    EXPECT_EQ(status_picture_.Picture(), 0);
    EXPECT_FALSE(game_->FInCokpit.FActive);
    link_->StopScanThread();
  }
}

TEST_F(DetectionTest, AListedTitleWithAnUnlistedClassIsNotFound) {
  test::RunningSim sim({"--title", "Race 07", "--class", "CUBEWindow"});
  for (int attempt = 0; attempt < 3; ++attempt) {
    link_->TimerProgramTimer();
  }
  EXPECT_TRUE(timer_.Enabled());
  EXPECT_EQ(status_text_.Text(), "Unknown Game");
  EXPECT_EQ(status_picture_.Picture(), 1);
  EXPECT_EQ(game_->FProgramHandleProcess, nullptr);
}

// An executable whose version no table accepts is attached all the same, with no status picture; with no
// table applied before, nothing is read.
TEST_F(DetectionTest, AnUnsupportedVersionAttachesWithLevelTwo) {
  test::RunningSim sim({"--version", "1.2.1.9", "--layout", "1, 2, 1, 9"});
  ASSERT_TRUE(AttachWithin5s());
  EXPECT_EQ(link_->ProgramVersion, "1.2.1.9");
  EXPECT_FALSE(link_->ProgramSupported);
  EXPECT_EQ(status_text_.Text(), "Race 07");
  EXPECT_EQ(status_picture_.Picture(), 0);
  EXPECT_FALSE(game_->FInCokpit.FActive);
  EXPECT_TRUE(link_->ScanThreadRunning());
}

TEST_F(DetectionTest, ClosingTheWindowEndsTheScanAndDetectionFindsItAgain) {
  test::RunningSim sim;
  ASSERT_EQ(sim.Ask("pause"), "ok");
  ASSERT_EQ(sim.Ask("set FInCokpit 1"), "ok");
  ASSERT_EQ(sim.Ask("set FEau 368.65"), "ok");
  ASSERT_TRUE(AttachWithin5s());
  ASSERT_TRUE(Within5s([&] { return water_.Text() == "95"; })) << water_.Text();

  ASSERT_EQ(sim.Ask("close"), "ok");
  ASSERT_TRUE(Within5s([&] { return !link_->ScanThreadRunning(); }));
  EXPECT_EQ(status_text_.Text(), "Unknown Game");
  EXPECT_EQ(status_picture_.Picture(), 1);
  EXPECT_TRUE(timer_.Enabled());
  link_->TimerProgramTimer();
  EXPECT_TRUE(timer_.Enabled());

  ASSERT_EQ(sim.Ask("open"), "ok");
  ASSERT_EQ(sim.Ask("set FEau 372.65"), "ok");
  ASSERT_TRUE(AttachWithin5s());
  ASSERT_TRUE(Within5s([&] { return water_.Text() == "99"; }));
}

// Activating the dashboard runs detection again while attached: the new attach must replace the scan
// thread, not add a second one.
TEST_F(DetectionTest, ANewAttachReplacesTheOldOneCleanly) {
  test::RunningSim sim;
  ASSERT_EQ(sim.Ask("pause"), "ok");
  ASSERT_EQ(sim.Ask("set FInCokpit 1"), "ok");
  ASSERT_TRUE(AttachWithin5s());
  for (int again = 0; again < 5; ++again) {
    hand_over_.WaitAndRun(300);
    timer_.SetEnabled(true);
    ASSERT_TRUE(AttachWithin5s());
    EXPECT_TRUE(link_->ScanThreadRunning());
    EXPECT_EQ(status_text_.Text(), "Race 07");
  }
  ASSERT_EQ(sim.Ask("set FEau 368.65"), "ok");
  ASSERT_TRUE(Within5s([&] { return water_.Text() == "95"; })) << water_.Text();
}

}  // namespace
}  // namespace velmora
