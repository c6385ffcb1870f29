#include "race/lap_values.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"

namespace velmora {
namespace {

class FixedWidthGrid final : public LapGridTarget {
 public:
  int ClientWidth() const override { return 585; }
};

class LapValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.FTemps.SetData(&table);
    game.FLongueurCircuit.FValue = 4000.0F;
    game.FMetrique = true;
  }

  // One cycle as the client applies it: fuel, sector, times, lap counter.
  void Cycle(std::int16_t sector, float int1, float int2, float last, std::int16_t laps) {
    game.FSecteur.WriteAndDisplayClient(game, sector);
    game.FTemps.WriteAndDisplayClient(game.FTemps.MeilleurTour(), game.FTemps.MeilleurTourSecteur1(),
                                      game.FTemps.MeilleurTourSecteur2(), last, int1, int2);
    game.FNombreTour.WriteAndDisplayClient(game, laps);
  }

  std::string Cell(std::size_t row, TLapField field) const {
    return LapCellText(table.Rows().at(row), field);
  }

  test::ManualClock clock{5000};
  TGame game{nullptr, clock};
  TLapTable table;
};

TEST_F(LapValuesTest, BestSplitTakesSmallerTimesAndRestartsAfterNoTime) {
  struct Case {
    float stored;
    float split;
    float best;
  };
  const std::vector<Case> cases{
      {-1.0F, 31.2F, 31.2F}, {0.0F, 31.2F, 31.2F}, {31.2F, 32.0F, 31.2F},
      {31.2F, 30.9F, 30.9F}, {31.2F, 0.0F, 0.0F},  {31.2F, -1.0F, -1.0F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stored << " then " << c.split);
    game.FTemps.FMeilleurSecteur2 = c.stored;
    game.FTemps.SetMeilleurSecteur2(c.split);
    EXPECT_EQ(game.FTemps.MeilleurSecteur2(), c.best);
  }
}

TEST_F(LapValuesTest, BestLapOfNoTimeResetsTheMatchingSplit) {
  game.FTemps.FMeilleurSecteur1 = 30.0F;
  game.FTemps.FMeilleurSecteur2 = 31.0F;
  game.FTemps.FMeilleurSecteur3 = 32.0F;
  game.FTemps.SetMeilleurTour(-1.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur3(), -1.0F);
  game.FTemps.SetMeilleurTourSecteur1(-1.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur1(), -1.0F);
  game.FTemps.SetMeilleurTourSecteur2(-1.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur2(), -1.0F);
}

TEST_F(LapValuesTest, ALapFillsOneRowWithItsTimesSplitsAndSpeed) {
  game.FNombreTour.WriteAndDisplayClient(game, 2);
  Cycle(1, 30.5F, 0.0F, 0.0F, 2);
  Cycle(2, 30.5F, 63.25F, 0.0F, 2);
  ASSERT_EQ(table.Rows().size(), 1U);
  EXPECT_EQ(Cell(0, TLapField::Lap), "3");
  EXPECT_EQ(Cell(0, TLapField::Final), "");  // not yet: the car has not crossed the line
  game.FMetrique = false;
  Cycle(0, 30.5F, 63.25F, 100.0F, 3);

  ASSERT_EQ(table.Rows().size(), 1U);
  struct Case {
    TLapField field;
    const char* text;
  };
  for (const Case& c : {Case{TLapField::Sector1, "0:30.500"}, Case{TLapField::Sector2, "1:03.250"},
                        Case{TLapField::Final, "1:40.000"}, Case{TLapField::BestSector1, "0:30.500"},
                        Case{TLapField::BestSector2, "0:32.750"}, Case{TLapField::BestSector3, "0:36.750"},
                        Case{TLapField::AverageSpeed, "89.5"}}) {
    SCOPED_TRACE(LapFieldName(c.field));
    EXPECT_EQ(Cell(0, c.field), c.text);
  }
  EXPECT_EQ(table.CurrentRow(), 0U);
  EXPECT_EQ(game.FTemps.MeilleurSecteur3(), 36.75F);

  // The next lap's intermediate opens the next row; the written speed stays in the old unit.
  game.FMetrique = true;
  Cycle(1, 29.0F, 63.25F, 100.0F, 3);
  ASSERT_EQ(table.Rows().size(), 2U);
  EXPECT_EQ(Cell(1, TLapField::Lap), "4");
  EXPECT_EQ(Cell(0, TLapField::AverageSpeed), "89.5");
  EXPECT_EQ(table.CurrentRow(), 1U);
}

TEST_F(LapValuesTest, AverageSpeedInBothUnits) {
  struct Case {
    bool metric;
    float lap_s;
    const char* text;
  };
  const std::vector<Case> cases{{true, 100.0F, "144.0"}, {false, 100.0F, "89.5"}, {true, -1.0F, "0.0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lap_s);
    table.Clear();
    game.FMetrique = c.metric;
    game.FTemps.FDernierTour = 0.5F;
    game.FTemps.SetDernierTour(c.lap_s);
    ASSERT_EQ(table.Rows().size(), 1U);
    EXPECT_EQ(Cell(0, TLapField::AverageSpeed), c.text);
  }
}

TEST_F(LapValuesTest, PitsAndSectorsDecideWhatIsWritten) {
  // Intermediates in the pit lane update the best splits but not the grid.
  game.FInPIT.FValue = 1;
  game.FSecteur.FValue = 1;
  game.FTemps.SetDernierTourSecteur1(40.0F);
  game.FTemps.SetDernierTourSecteur2(75.0F);
  EXPECT_TRUE(table.Rows().empty());
  EXPECT_EQ(game.FTemps.MeilleurSecteur1(), 40.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur2(), 35.0F);

  // A last lap that changes away from sector 0 is kept but not written.
  game.FInPIT.FValue = 0;
  game.FTemps.SetDernierTour(110.0F);
  EXPECT_TRUE(table.Rows().empty());
  EXPECT_EQ(game.FTemps.DernierTour(), 110.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur3(), 35.0F);
}

TEST_F(LapValuesTest, LineCrossingsAccountFuelAndMaximumSpeed) {
  game.FFuel.WriteAndDisplayClient(game, 40.0);
  game.FMemoFuel.FValue = -1.0;  // just got into the car
  game.FVitesse.WriteAndDisplayClient(game, 50.0F);

  Cycle(1, 30.0F, 0.0F, 0.0F, 0);
  Cycle(0, 30.0F, 60.0F, 90.0F, 1);  // first crossing: only the reference
  EXPECT_EQ(game.FMemoFuel.FValue, 40.0);
  EXPECT_EQ(Cell(0, TLapField::Fuel), "");
  EXPECT_EQ(Cell(0, TLapField::MaximumSpeed), "");

  game.FVitesse.WriteAndDisplayClient(game, 55.0F);
  game.FFuel.WriteAndDisplayClient(game, 37.5);
  Cycle(1, 29.0F, 60.0F, 90.0F, 1);
  Cycle(0, 29.0F, 59.0F, 89.0F, 2);
  ASSERT_EQ(table.Rows().size(), 2U);
  EXPECT_EQ(Cell(1, TLapField::Lap), "2");
  EXPECT_EQ(Cell(1, TLapField::Fuel), "2.50");
  EXPECT_EQ(Cell(1, TLapField::MaximumSpeed), "198.0");
  EXPECT_EQ(Cell(1, TLapField::Final), "1:29.000");
  EXPECT_EQ(game.FConsommationFuel.FValue, 2.5);
  EXPECT_EQ(game.FMemoFuel.FValue, 37.5);
  EXPECT_EQ(game.FMoyenneFuel.Value(), 2.5);
  EXPECT_EQ(game.FVitesse.FVitesseMaxi, 0.0F);
  // Completing a lap does not move the grid's current row back.
  EXPECT_EQ(table.CurrentRow(), 1U);
}

TEST_F(LapValuesTest, LapCounterFallingToZeroEmptiesTheGridAndTheAverage) {
  game.FMoyenneFuel.AddValue(2.5);
  Cycle(1, 30.0F, 0.0F, 0.0F, 5);
  ASSERT_EQ(table.Rows().size(), 1U);
  game.FNombreTour.WriteAndDisplayClient(game, 0);
  EXPECT_TRUE(table.Rows().empty());
  EXPECT_EQ(game.FMoyenneFuel.Value(), 0.0);
  EXPECT_TRUE(game.FMoyenneFuel.FArrayFuel.empty());
  Cycle(1, 31.0F, 0.0F, 0.0F, 0);
  EXPECT_EQ(Cell(0, TLapField::Lap), "1");
}

TEST_F(LapValuesTest, ServerKeepsTheTimesButLeavesTheGrid) {
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  game.FFuel.WriteAndDisplayClient(game, 40.0);
  game.FMemoFuel.FValue = 42.0;
  Cycle(1, 30.0F, 0.0F, 0.0F, 0);
  Cycle(0, 30.0F, 60.0F, 90.0F, 1);
  game.FTemps.WriteAndDisplayClient(90.0F, 30.0F, 60.0F, 90.0F, 30.0F, 60.0F);
  EXPECT_TRUE(table.Rows().empty());
  EXPECT_EQ(game.FTemps.DernierTour(), 90.0F);
  EXPECT_EQ(game.FTemps.MeilleurTour(), 90.0F);
  EXPECT_EQ(game.FMoyenneFuel.Value(), 2.0);
}

TEST_F(LapValuesTest, CellsShowingABestTimeAreHighlighted) {
  game.FTemps.WriteAndDisplayClient(83.456F, 30.0F, 60.0F, 83.456F, 30.0F, 60.0F);
  game.FTemps.FMeilleurSecteur2 = 30.0F;
  struct Case {
    TLapField field;
    const char* text;
    bool highlighted;
  };
  const std::vector<Case> cases{
      {TLapField::Final, "1:23.456", true},
      {TLapField::Final, "1:23.457", false},
      {TLapField::Sector1, "0:30.000", true},
      {TLapField::Sector2, "1:00.000", true},
      {TLapField::BestSector2, "0:30.000", true},
      {TLapField::BestSector1, "0:30.000", true},
      {TLapField::Fuel, "0:30.000", false},
      {TLapField::Lap, "1", false},
      // No best split 3 yet: cells without a time are not marked as best.
      {TLapField::BestSector3, "--:--.---", false},
  };
  game.FTemps.FMeilleurSecteur3 = 0.0F;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << LapFieldName(c.field) << " " << c.text);
    const auto color = game.FTemps.CellColor(c.field, c.text);
    EXPECT_EQ(color.has_value(), c.highlighted);
    if (color) {
      EXPECT_EQ(*color, (Rgb{0, 255, 128}));
    }
  }
}

TEST_F(LapValuesTest, SectorDisplayRecomputesWidthsOnlyOnAChange) {
  FixedWidthGrid grid;
  game.FTemps.SetGrid(&grid);
  game.FTemps.SetSecteurTime(true);
  EXPECT_TRUE(game.FTemps.SecteurTime());
  EXPECT_TRUE(table.Columns()[4].visible);
  EXPECT_FALSE(table.Columns()[1].visible);
  EXPECT_EQ(table.Columns()[4].width, 116);

  // Widths set by hand survive a second "Display Sector", which changes nothing.
  table.SetColumnLayout(true, 1200);
  game.FTemps.SetSecteurTime(true);
  EXPECT_EQ(table.Columns()[4].width, 237);

  game.FTemps.SetSecteurTime(false);
  EXPECT_TRUE(table.Columns()[1].visible);
  EXPECT_FALSE(table.Columns()[4].visible);
  EXPECT_EQ(table.Columns()[1].width, 116);
}

}  // namespace
}  // namespace velmora
