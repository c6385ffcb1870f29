#include "sim_session.h"

#include <string>

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

// Standard output as the session writes it; `broken` stands for a reader that has gone away.
std::string g_output;
bool g_output_broken = false;

bool WriteToOutput(const std::string& text) {
  if (g_output_broken) {
    return false;
  }
  g_output += text;
  return true;
}

struct CountingWindow final : SimWindowHost {
  int closed = 0;
  int opened = 0;
  void CloseWindow() override { ++closed; }
  bool OpenWindow() override {
    ++opened;
    return true;
  }
};

// A session over real memory at the addresses of table H, fed as standard input would feed it.
class SimSessionTest : public ::testing::Test {
 protected:
  SimSessionTest() {
    g_output.clear();
    g_output_broken = false;
    options_.table = AddressTableNamed('H');
    options_.drivers = 6;
    session_ = SimSession::Start(options_, SimSession::Slots::kSession, window_, WriteToOutput);
    if (session_ == nullptr) {
      throw std::runtime_error("the memory of table H cannot be had");
    }
  }

  SimOptions options_;
  CountingWindow window_;
  std::unique_ptr<SimSession> session_;
};

TEST_F(SimSessionTest, EveryLineGetsOneAnswerHoweverTheInputIsCut) {
  session_->TakeInput("set FEau 36", false);
  EXPECT_EQ(g_output, "");
  session_->TakeInput("3.15\r\nget FE", false);
  session_->TakeInput("au\nclose\nopen\n", false);
  EXPECT_EQ(g_output, "ok\n363.15\nok\nok\n");
  EXPECT_EQ(window_.closed, 1);
  EXPECT_EQ(window_.opened, 1);
  EXPECT_FALSE(session_->Over());
}

TEST_F(SimSessionTest, EndOfInputAnswersTheLastLineWithoutNewlineAndEnds) {
  session_->TakeInput("pause\nresu", false);
  session_->TakeInput("me", true);
  EXPECT_EQ(g_output, "ok\nok\n");
  EXPECT_TRUE(session_->Over());
}

TEST_F(SimSessionTest, OverlongLineIsAnsweredOnceWhenItEnds) {
  const std::string garbage(70000, 'x');
  session_->TakeInput(garbage, false);
  session_->TakeInput(garbage, false);
  EXPECT_EQ(g_output, "");
  session_->TakeInput("xx\npause\n", false);
  EXPECT_EQ(g_output, "error: line too long\nok\n");
  EXPECT_FALSE(session_->Over());
}

TEST_F(SimSessionTest, QuitLeavesTheLinesAfterItUnanswered) {
  session_->TakeInput("pause\nquit\nresume\n", false);
  EXPECT_EQ(g_output, "ok\nok\n");
  EXPECT_FALSE(session_->TimeToNextTick().has_value());
  EXPECT_TRUE(session_->Over());
}

TEST_F(SimSessionTest, OutputGoneEndsTheSession) {
  g_output_broken = true;
  session_->TakeInput("pause\n", false);
  EXPECT_TRUE(session_->Over());
}

TEST_F(SimSessionTest, PauseStopsTheClockAndResumeStartsIt) {
  session_->StartClock();
  ASSERT_TRUE(session_->TimeToNextTick().has_value());
  EXPECT_LE(*session_->TimeToNextTick(), std::chrono::milliseconds(20));
  session_->TakeInput("pause\n", false);
  EXPECT_FALSE(session_->TimeToNextTick().has_value());
  session_->TakeInput("resume\n", false);
  EXPECT_TRUE(session_->TimeToNextTick().has_value());
}

}  // namespace
}  // namespace velmora::sim
