#include "game/scan_thread.h"

#include <chrono>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "recording_targets.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5C000000;
constexpr std::uint32_t kCockpit = kBase;
constexpr std::uint32_t kWater = kBase + 0x10;
constexpr std::uint32_t kIgnition = kBase + 0x20;
constexpr std::uint32_t kAirTemperature = kBase + 0x30;
constexpr char kTitle[] = "Race 07";
constexpr char kClass[] = "CUBERealtime";

// A game attached to a real second process, with a scan thread the test drives by pumping the
// main-thread hand-over.
class ScanThreadTest : public ::testing::Test {
 protected:
  ScanThreadTest() : fixture_(kBase, 4096) {
    game_ = std::make_unique<TGame>(nullptr, clock_);
    game_->FProgramHandleProcess = platform::OpenProcessMemory(fixture_.Pid());
    game_->FEau.Affectation(kWater, true);
    game_->FEau.FPanel = &water_;
    game_->FContact.Affectation(kIgnition, true);
    game_->FContact.FLed = &ignition_;
    game_->FTemperatureAir.Affectation(kAirTemperature, true);
    game_->FTemperatureAir.FEtiquette = &air_;
    game_->FMetrique = true;
    fixture_.Put<double>(kWater, 363.15 + 10.5);
    fixture_.Put<std::uint8_t>(kIgnition, 1);
    fixture_.Put<float>(kAirTemperature, 21.5F);

    link_ = std::make_unique<TGameLink>(*game_, windows_, hand_over_, timer_);
    link_->lbl_application = &status_text_;
    link_->img_application = &status_picture_;
    windows_.Open(kClass, kTitle, fixture_.Pid());
    link_->SetProgramWindow(kTitle, kClass);
  }

  void AttachCockpitFlag() { game_->FInCokpit.Affectation(kCockpit, true); }

  // Runs the thread's steps on this thread until `done` holds; false after five seconds.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      hand_over_.WaitAndRun(20);
    }
    return true;
  }

  // Pumps until the scan thread has completed `passes` more passes.
  void PumpPasses(int passes) {
    for (int i = 0; i < passes; ++i) {
      ASSERT_TRUE(hand_over_.WaitAndRun(2000));
    }
  }

  test::MemoryFixture fixture_;
  test::ManualClock clock_{100000};
  test::FakeWindowFinder windows_;
  FlagDetectionTimer timer_;
  QueuedHandOver hand_over_;
  test::RecordingPanel water_;
  test::RecordingPicture ignition_;
  class TemperatureGauge final : public TemperatureGaugeTarget {
   public:
    void SetMetrique(bool) override {}
    void SetValue(double value) override {
      last = value;
      ++writes;
    }
    double last = 0;
    int writes = 0;
  } air_;
  test::RecordingLabel status_text_;
  test::RecordingPicture status_picture_{0};
  std::unique_ptr<TGame> game_;
  std::unique_ptr<TGameLink> link_;
};

TEST_F(ScanThreadTest, TheCockpitFlagChoosesTheCycleOnEveryPass) {
  AttachCockpitFlag();
  link_->StartScanThread();

  // In the garage: weather only.
  PumpPasses(2);
  EXPECT_EQ(water_.TextWrites(), 0);
  EXPECT_EQ(air_.writes, 1);
  EXPECT_EQ(air_.last, 21.5);

  // In the car: the full cycle shows the engine values, read anew on every pass.
  fixture_.Put<std::uint8_t>(kCockpit, 1);
  ASSERT_TRUE(PumpUntil([&] { return water_.Text() == "100"; }));
  EXPECT_EQ(ignition_.Picture(), 2);
  fixture_.Put<double>(kWater, 273.15 + 95.5);
  ASSERT_TRUE(PumpUntil([&] { return water_.Text() == "95"; }));

  // Out again: the ignition lamp goes back to rest though its value stays, and the engine values are
  // no longer read.
  fixture_.Put<std::uint8_t>(kCockpit, 0);
  ASSERT_TRUE(PumpUntil([&] { return ignition_.Picture() == 1; }));
  EXPECT_EQ(game_->FContact.FValue, 1);
  const int writes = water_.TextWrites();
  fixture_.Put<double>(kWater, 300.0);
  PumpPasses(2);
  EXPECT_EQ(water_.TextWrites(), writes);
  EXPECT_TRUE(link_->ScanThreadRunning());
}

TEST_F(ScanThreadTest, WithoutACockpitFlagEveryPassIsReduced) {
  fixture_.Put<std::uint8_t>(kCockpit, 1);  // there, but no table said where
  link_->StartScanThread();
  PumpPasses(3);
  EXPECT_EQ(game_->FInCokpit.FValue, 0);
  EXPECT_EQ(water_.TextWrites(), 0);
}

TEST_F(ScanThreadTest, TheThreadEndsAndDetectionRestartsWhenTheWindowGoes) {
  AttachCockpitFlag();
  link_->StartScanThread();
  PumpPasses(1);
  windows_.Close(kClass, kTitle);
  ASSERT_TRUE(PumpUntil([&] { return !link_->ScanThreadRunning(); }));
  EXPECT_TRUE(timer_.Enabled());
  EXPECT_EQ(status_text_.Text(), "Unknown Game");
  EXPECT_EQ(status_picture_.Picture(), 1);
  EXPECT_EQ(game_->FProgramHandleProcess, nullptr);
}

TEST_F(ScanThreadTest, LeavingTheStandAloneRoleEndsTheThread) {
  link_->StartScanThread();
  PumpPasses(1);
  game_->FNetwork.SetNetworkType(TNetworkType::ntServer);
  ASSERT_TRUE(PumpUntil([&] { return !link_->ScanThreadRunning(); }));
  EXPECT_EQ(status_text_.Text(), "Unknown Game");
  EXPECT_TRUE(timer_.Enabled());
}

// The owner frees the game while the thread waits for a hand-over that nobody will run: stopping must
// neither hang nor run the lost-game step on a game that is going away.
TEST_F(ScanThreadTest, StoppingMidRunJoinsWithoutRunningAnotherStep) {
  AttachCockpitFlag();
  fixture_.Put<std::uint8_t>(kCockpit, 1);
  link_->StartScanThread();
  PumpPasses(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the next step is now waiting
  link_.reset();
  game_.reset();
  EXPECT_EQ(hand_over_.RunPending(), 0);
  EXPECT_FALSE(timer_.Enabled());
  EXPECT_EQ(status_text_.Writes(), 0);
}

TEST_F(ScanThreadTest, StartingAgainReplacesTheRunningThread) {
  link_->StartScanThread();
  PumpPasses(1);
  link_->StartScanThread();
  PumpPasses(1);
  EXPECT_TRUE(link_->ScanThreadRunning());
  EXPECT_EQ(status_text_.Writes(), 0);  // the replaced thread did not report the game lost
}

TEST_F(ScanThreadTest, TheDriverListRefreshesOnlyWhenCheckedAndMoreThanASecondPassed) {
  link_->ShowPlayerGrid1 = false;
  link_->StartScanThread();
  PumpPasses(1);
  const std::uint32_t start = link_->ScanThreadStart();
  EXPECT_EQ(start, 100000U);
  clock_.Advance(5000);
  PumpPasses(1);
  EXPECT_EQ(link_->ScanThreadStart(), start);

  link_->ShowPlayerGrid1 = true;
  clock_.Set(start + 1000);  // exactly the interval: not yet
  PumpPasses(1);
  EXPECT_EQ(link_->ScanThreadStart(), start);
  clock_.Set(start + 1001);
  PumpPasses(1);
  EXPECT_EQ(link_->ScanThreadStart(), start + 1001);
}

// A game link with nothing around it but a clock and windows opened by hand.
struct LinkOnItsOwn {
  test::ManualClock clock;
  TGame game{nullptr, clock};
  test::FakeWindowFinder windows;
  FlagDetectionTimer timer;
  QueuedHandOver hand_over;
  TGameLink link{game, windows, hand_over, timer};
};

TEST(GameLinkTest, NoWindowCountsAsPresentBeforeTheFirstAttach) {
  LinkOnItsOwn parts;
  test::FakeWindowFinder& windows = parts.windows;
  TGameLink& link = parts.link;
  windows.Open(kClass, kTitle, 1);
  EXPECT_FALSE(link.TestProgramActif());
  link.SetProgramWindow(kTitle, kClass);
  EXPECT_TRUE(link.TestProgramActif());
  link.SetProgramWindow(kTitle, "CUBEApp");
  EXPECT_FALSE(link.TestProgramActif());
}

// The simulator may close its window and open another with the same title and class, as it does when it
// changes its display mode: the link follows the new one.
TEST(GameLinkTest, AWindowReplacedByOneWithTheSameNamesStillCountsAsPresent) {
  LinkOnItsOwn parts;
  test::FakeWindowFinder& windows = parts.windows;
  TGameLink& link = parts.link;
  const platform::WindowHandle first = windows.Open(kClass, kTitle, 1);
  link.SetProgramWindow(kTitle, kClass, first);
  EXPECT_TRUE(link.TestProgramActif());

  windows.Close(kClass, kTitle);
  EXPECT_FALSE(link.TestProgramActif());
  windows.Open(kClass, kTitle, 1);
  EXPECT_TRUE(link.TestProgramActif());
  EXPECT_TRUE(link.TestProgramActif());
  windows.Close(kClass, kTitle);
  EXPECT_FALSE(link.TestProgramActif());
}

TEST(GameLinkTest, TheStatusPictureFollowsTheLevel) {
  LinkOnItsOwn parts;
  TGameLink& link = parts.link;
  test::RecordingLabel text;
  test::RecordingPicture picture{0};
  link.lbl_application = &text;
  link.img_application = &picture;
  struct Case {
    int level;
    int picture;
  };
  for (const Case c : {Case{0, 1}, Case{1, 2}, Case{2, 0}, Case{5, 2}}) {
    link.LedApplication("Race 07", c.level);
    EXPECT_EQ(picture.Picture(), c.picture) << "level " << c.level;
    EXPECT_EQ(text.Text(), "Race 07");
  }
}

}  // namespace
}  // namespace velmora
