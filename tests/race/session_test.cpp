#include "race/session.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"
#include "recording_targets.h"

namespace velmora {
namespace {

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.FEtiquette = &name;
    session.FEtiquetteTemps = &clock_text;
  }

  // A client record arriving a refresh period after the last one.
  void Receive(std::int32_t type, float elapsed, float length, std::int16_t laps) {
    clock.Advance(TSessionGTR::kRefresh_ms);
    session.WriteAndDisplayClient(game, type, elapsed, length, 0.0F, laps);
  }

  test::ManualClock clock{1000};
  TGame game{nullptr, clock};
  TSessionGTR& session = game.FSession;
  test::RecordingLabel name;
  test::RecordingLabel clock_text;
};

TEST_F(SessionTest, NamesAndClockTexts) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::int32_t type;
    float elapsed;
    float length;
    std::int16_t laps;
    std::uint8_t in_car;
    const char* name;
    const char* text;
  };
  const std::vector<Case> cases{
      {3, 754.6F, 1800.0F, -1, 0, "Qualifying", "17:25"},
      {1, 100.0F, 7300.0F, -1, 0, "Practice 1", "120:00"},
      {2, 1900.0F, 1800.0F, -1, 1, "Practice 2", "00:00"},
      {5, 0.0F, 9.0F, 0, 0, "Warmup", "00:09"},
      {8, nan, 60.0F, 0, 0, "Event Result", "N/A"},
      {8, 0.0F, 3.0e30F, 0, 0, "Event Result", "N/A"},  // beyond 64 bits
      {6, 10.0F, 2700.0F, 12, 0, "Race 1", "12 laps"},
      {7, 10.0F, 2700.0F, 0, 1, "Race 2", "0 laps"},
      {6, 700.0F, 1800.0F, -1, 1, "Race 1", "18:20"},
      {6, 700.0F, 1800.0F, -1, 0, "Race 1", "N/A"},
      {7, 1900.0F, 1800.0F, -1, 1, "Race 2", "00:00"},
      {4, 0.0F, 1800.0F, 10, 1, "N/A", "N/A"},
      {9, 0.0F, 1800.0F, 10, 1, "N/A", "N/A"},
      {0, 0.0F, 0.0F, 0, 1, "N/A", "N/A"},
      {-3, 0.0F, 1800.0F, 10, 1, "N/A", "N/A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " elapsed " << c.elapsed << " laps " << c.laps);
    game.FInCokpit.FValue = c.in_car;
    Receive(c.type, c.elapsed, c.length, c.laps);
    EXPECT_EQ(name.Text(), c.name);
    EXPECT_EQ(clock_text.Text(), c.text);
  }
}

TEST_F(SessionTest, MinutesAndSecondsTruncateTowardZero) {
  EXPECT_EQ(TSessionGTR::CalculMinute(1045.4F), 17);
  EXPECT_EQ(TSessionGTR::CalculSeconde(1045.4F), 25);
  EXPECT_EQ(TSessionGTR::CalculMinute(-75.9F), -1);
  EXPECT_EQ(TSessionGTR::CalculSeconde(-75.9F), -15);
}

TEST_F(SessionTest, RefreshesAtMostOnceEveryNineHundredMilliseconds) {
  // Not before 900 ms after creation.
  clock.Advance(899);
  session.WriteAndDisplayClient(game, 3, 0.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(name.Writes(), 0);
  clock.Advance(1);
  session.WriteAndDisplayClient(game, 3, 0.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(clock_text.Text(), "10:00");

  // A record 500 ms later is dropped whole, values too.
  clock.Advance(500);
  session.WriteAndDisplayClient(game, 1, 60.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(name.Text(), "Qualifying");
  EXPECT_EQ(session.FTypeSession.FValue, 3);
  EXPECT_EQ(session.FTimerSession.FValue, 0.0F);

  clock.Advance(400);
  session.WriteAndDisplayClient(game, 1, 60.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(name.Text(), "Practice 1");
  EXPECT_EQ(clock_text.Text(), "09:00");
}

TEST_F(SessionTest, ThrottleSurvivesTheWrapOfTheTickCount) {
  clock.Set(0xFFFFFF00U);
  session.FTimer = 0xFFFFFF00U;
  clock.Advance(0x100 + 643);  // past zero, 899 ms on
  session.WriteAndDisplayClient(game, 3, 0.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(name.Writes(), 0);
  clock.Advance(1);
  session.WriteAndDisplayClient(game, 3, 0.0F, 600.0F, 0.0F, -1);
  EXPECT_EQ(name.Writes(), 1);
}

TEST_F(SessionTest, AnInactiveSessionShowsNotAvailable) {
  clock.Advance(1000);
  session.ReadAndDisplay(game);
  EXPECT_EQ(name.Text(), "N/A");
  EXPECT_EQ(clock_text.Text(), "N/A");
}

}  // namespace
}  // namespace velmora
