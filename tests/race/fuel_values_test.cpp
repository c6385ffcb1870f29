#include "race/fuel_values.h"

#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"

namespace velmora {
namespace {

class FuelValuesTest : public ::testing::Test {
 protected:
  test::ManualClock clock{10000};
  TGame game{nullptr, clock};
};

TEST_F(FuelValuesTest, ARiseOfTheLevelReplacesTheMemorisedFuel) {
  struct Case {
    double level;
    double memorised;
  };
  // Start, falling, refuelled by a little, falling, read as 0 (a failed read), back again.
  const std::vector<Case> cases{{40.0, 40.0},    {37.5, 40.0},   {37.5001, 37.5001},
                                {30.0, 37.5001}, {0.0, 37.5001}, {29.0, 29.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    game.FFuel.WriteAndDisplayClient(game, c.level);
    EXPECT_EQ(game.FFuel.Value(), c.level);
    EXPECT_EQ(game.FMemoFuel.FValue, c.memorised);
  }
}

TEST_F(FuelValuesTest, AverageIsTheMeanOfAllSamplesSinceTheLastClear) {
  for (double sample : {2.5, 2.7, 2.6}) {
    game.FMoyenneFuel.AddValue(sample);
  }
  EXPECT_NEAR(game.FMoyenneFuel.Value(), 2.6, 1e-12);
  game.FMoyenneFuel.Clear();
  game.FMoyenneFuel.AddValue(3.0);
  EXPECT_EQ(game.FMoyenneFuel.Value(), 3.0);
  game.FMoyenneFuel.Affectation(true);
  EXPECT_EQ(game.FMoyenneFuel.Value(), 0.0);
}

TEST_F(FuelValuesTest, LapsRemainingAndTheWarningStrictlyBelowThree) {
  struct Case {
    double fuel;
    double average;
    double laps;
    bool warning;
  };
  const std::vector<Case> cases{
      {13.0, 2.6, 5.0, false}, {7.5, 2.6, 7.5 / 2.6, true}, {7.8, 2.6, 7.8 / 2.6, false},
      {9.0, 3.0, 3.0, false},  {2.0, 2.5, 0.8, true},       {10.0, 0.0, 0.0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fuel << " / " << c.average);
    game.FFuel.FValue = c.fuel;
    game.FMoyenneFuel.FValue = c.average;
    clock.Advance(17);
    game.FTourRestant.ReadAndDisplay(game);
    EXPECT_DOUBLE_EQ(game.FTourRestant.Value(), c.laps);
    EXPECT_EQ(game.FTourRestant.BlinkOn(), c.warning);
  }
}

TEST_F(FuelValuesTest, TheWarningTimeIsTakenOnlyWhenTheWarningChanges) {
  game.FMoyenneFuel.FValue = 2.6;
  game.FFuel.FValue = 7.5;
  clock.Set(20000);
  game.FTourRestant.ReadAndDisplay(game);
  EXPECT_TRUE(game.FTourRestant.BlinkOn());
  EXPECT_EQ(game.FTourRestant.BlinkTime, 20000U);

  game.FFuel.FValue = 7.0;
  clock.Set(20250);
  game.FTourRestant.ReadAndDisplay(game);
  EXPECT_EQ(game.FTourRestant.BlinkTime, 20000U);

  game.FFuel.FValue = 13.0;
  clock.Set(20500);
  game.FTourRestant.ReadAndDisplay(game);
  EXPECT_FALSE(game.FTourRestant.BlinkOn());
  EXPECT_EQ(game.FTourRestant.BlinkTime, 20500U);
}

}  // namespace
}  // namespace velmora
