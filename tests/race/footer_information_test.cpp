#include "race/footer_information.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"

namespace velmora {
namespace {

constexpr Rgb kYellow{255, 245, 179};
constexpr Rgb kOrange{255, 128, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kTimeGreen{164, 238, 210};

class CountingRow final : public FooterTarget {
 public:
  void RepaintRow() override { ++repaints; }
  int repaints = 0;
};

class FooterInformationTest : public ::testing::Test {
 protected:
  void SetUp() override { footer.SetVirtualTree(&row); }

  // The fuel left and the average, as a cycle leaves them, then the cycle's laps-left estimate.
  void LapsLeft(double fuel, double average) {
    game.FFuel.FValue = fuel;
    game.FMoyenneFuel.FValue = average;
    game.FTourRestant.ReadAndDisplay(game);
  }

  test::ManualClock clock{50000};
  TGame game{nullptr, clock};
  TFooterInformation& footer = game.FFooterInformation;
  CountingRow row;
};

TEST_F(FooterInformationTest, ColumnsShowTheirSlotsInTheirColours) {
  game.FTemps.WriteAndDisplayClient(83.456F, 30.1F, 61.25F, 0.0F, 0.0F, 0.0F);
  game.FFuel.WriteAndDisplayClient(game, 37.5);
  game.FMoyenneFuel.AddValue(2.634);
  game.FMoyenneFuel.Display();
  const std::vector<std::string> texts{"0:30.100", "1:01.250", "1:23.456", "37.5", "2.63", ""};
  const std::vector<Rgb> colors{kTimeGreen, kTimeGreen, kTimeGreen, kYellow, kYellow, kYellow};
  for (std::size_t column = 0; column < texts.size(); ++column) {
    EXPECT_EQ(footer.GetText(column), texts[column]) << "column " << column;
    EXPECT_EQ(footer.ColumnColor(column), colors[column]) << "column " << column;
  }
  game.FTemps.SetMeilleurTour(-1.0F);
  EXPECT_EQ(footer.GetText(2), "--:--.---");
}

TEST_F(FooterInformationTest, FuelTextsAreRoundedAndRepaintedOnlyWhenTheyChange) {
  struct Case {
    double fuel;
    const char* text;
    bool repainted;
  };
  const std::vector<Case> cases{
      {12.34, "12.3", true}, {12.31, "12.3", false}, {40.0, "40", true},
      {39.96, "40", false},  {0.0, "0", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fuel);
    const int before = row.repaints;
    footer.AddInformationFuel(c.fuel);
    EXPECT_EQ(footer.GetText(3), c.text);
    EXPECT_EQ(row.repaints > before, c.repainted);
  }
}

TEST_F(FooterInformationTest, LapsLeftBlinksAtMostEveryThreeHundredMilliseconds) {
  LapsLeft(7.5, 2.6);  // 2.88 laps
  EXPECT_EQ(footer.GetText(5), "2.9");
  EXPECT_EQ(footer.ColumnColor(5), kYellow);

  struct Step {
    std::uint32_t after_ms;
    Rgb color;
  };
  // 300 ms after the last step is not yet "above 300".
  const std::vector<Step> steps{{300, kYellow}, {1, kOrange},   {299, kOrange},
                                {2, kYellow},   {150, kYellow}, {151, kOrange}};
  for (const auto& step : steps) {
    clock.Advance(step.after_ms);
    footer.GetText(5);
    EXPECT_EQ(footer.ColumnColor(5), step.color) << "at " << clock.Now();
  }

  // While the warning is on, the row is drawn at every cycle even though the text stays.
  const int before = row.repaints;
  LapsLeft(7.5, 2.6);
  LapsLeft(7.5, 2.6);
  EXPECT_EQ(row.repaints, before + 2);
}

TEST_F(FooterInformationTest, UnderOneLapTheWarningIsRed) {
  LapsLeft(2.0, 2.5);
  EXPECT_EQ(footer.GetText(5), "0.8");
  clock.Advance(301);
  footer.GetText(5);
  EXPECT_EQ(footer.ColumnColor(5), kRed);
}

TEST_F(FooterInformationTest, NoAverageEmptiesLapsLeftAndStopsTheWarning) {
  LapsLeft(7.5, 2.6);
  clock.Advance(301);
  footer.GetText(5);
  ASSERT_EQ(footer.ColumnColor(5), kOrange);

  // The average is cleared (a new session): the next cycle shows nothing and the cell rests.
  LapsLeft(7.5, 0.0);
  EXPECT_FALSE(game.FTourRestant.BlinkOn());
  EXPECT_EQ(footer.GetText(5), "");
  EXPECT_EQ(footer.ColumnColor(5), kYellow);

  const int before = row.repaints;
  LapsLeft(7.5, 0.0);
  EXPECT_EQ(row.repaints, before);
}

TEST_F(FooterInformationTest, NothingChangesInTheServerRoleOrWithoutAWidget) {
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  game.FTemps.WriteAndDisplayClient(83.0F, 30.0F, 60.0F, 0.0F, 0.0F, 0.0F);
  footer.AddInformationFuel(30.0);
  footer.AddInformationMoyenneFuel(2.5);
  LapsLeft(7.5, 2.6);
  for (std::size_t column = 0; column < TFooterInformation::kColumnCount; ++column) {
    EXPECT_EQ(footer.GetText(column), "") << "column " << column;
  }
  EXPECT_EQ(row.repaints, 0);

  game.FNetwork.SetNetworkType(TNetworkType::ntStandalone);
  footer.SetVirtualTree(nullptr);
  footer.AddInformationFuel(30.0);
  EXPECT_EQ(footer.GetText(3), "");
}

}  // namespace
}  // namespace velmora
