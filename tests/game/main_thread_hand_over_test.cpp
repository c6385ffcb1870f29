#include "game/main_thread_hand_over.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace std::chrono_literals;

TEST(MainThreadHandOverTest, RunsStepsOnTheMainThreadInOrder) {
  QueuedHandOver hand_over;
  const auto main_id = std::this_thread::get_id();
  std::vector<int> order;
  std::vector<std::thread::id> ran_on;
  std::jthread worker([&] {
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(hand_over.RunAndWait(
          [&, i] {
            order.push_back(i);
            ran_on.push_back(std::this_thread::get_id());
          },
          {}));
    }
  });
  while (order.size() < 3) {
    hand_over.WaitAndRun(1000);
  }
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  for (const auto id : ran_on) {
    EXPECT_EQ(id, main_id);
  }
}

// Waiting on itself, the main thread would never return.
TEST(MainThreadHandOverTest, RefusesTheMainThreadItself) {
  QueuedHandOver hand_over;
  bool ran = false;
  EXPECT_FALSE(hand_over.RunAndWait([&] { ran = true; }, {}));
  EXPECT_FALSE(ran);
}

TEST(MainThreadHandOverTest, CloseReleasesWaitersAndRefusesLaterSteps) {
  QueuedHandOver hand_over;
  std::atomic<bool> ran = false;
  auto waiting =
      std::async(std::launch::async, [&] { return hand_over.RunAndWait([&] { ran = true; }, {}); });
  std::this_thread::sleep_for(50ms);
  hand_over.Close();
  EXPECT_FALSE(waiting.get());
  EXPECT_EQ(hand_over.RunPending(), 0);
  EXPECT_FALSE(ran);
  auto later = std::async(std::launch::async, [&] { return hand_over.RunAndWait([&] { ran = true; }, {}); });
  EXPECT_FALSE(later.get());
  EXPECT_FALSE(ran);
}

TEST(MainThreadHandOverTest, AStoppedThreadGivesUpItsWaitingStep) {
  QueuedHandOver hand_over;
  std::atomic<bool> ran = false;
  std::stop_source stop;
  auto waiting = std::async(std::launch::async,
                            [&] { return hand_over.RunAndWait([&] { ran = true; }, stop.get_token()); });
  std::this_thread::sleep_for(50ms);
  stop.request_stop();
  EXPECT_FALSE(waiting.get());
  // The abandoned step is gone from the queue: the main thread never runs it.
  EXPECT_EQ(hand_over.RunPending(), 0);
  EXPECT_FALSE(ran);
}

// A thread hands its step over and goes on; finishing the step later takes it back, ready to be handed
// again.
TEST(MainThreadHandOverTest, HandingDoesNotWaitAndFinishingTakesTheStepBack) {
  QueuedHandOver hand_over;
  std::atomic<int> runs = 0;
  std::atomic<int> handed_passes = 0;
  std::atomic<int> allowed_passes = 0;  // the worker hands a pass only once the main thread is ready for it
  const std::function<void()> step = [&] { ++runs; };
  HandedStep handed(step);
  std::jthread worker([&] {
    for (int pass = 1; pass <= 2; ++pass) {
      while (allowed_passes < pass) {
        std::this_thread::sleep_for(1ms);
      }
      const bool queued = hand_over.Hand(handed, {});
      EXPECT_TRUE(queued);
      handed_passes = pass;  // went on while the step waits
      if (!queued) {
        return;
      }
      EXPECT_TRUE(hand_over.Finish(handed, {}));
      EXPECT_EQ(runs, pass);
    }
    EXPECT_FALSE(hand_over.Finish(handed, {}));  // nothing handed
  });
  for (int pass = 1; pass <= 2; ++pass) {
    allowed_passes = pass;
    while (handed_passes < pass) {
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(runs, pass - 1);
    EXPECT_EQ(hand_over.RunPending(), 1);
  }
  worker.join();
  EXPECT_EQ(runs, 2);
}

TEST(MainThreadHandOverTest, WaitAndRunTimesOutWithoutWork) {
  QueuedHandOver hand_over;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(hand_over.WaitAndRun(30));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

}  // namespace
}  // namespace velmora
