#include "history/game_data_from_values.h"

#include <gtest/gtest.h>

#include "manual_clock.h"

namespace velmora::history {
namespace {

// No simulator is attached: whatever the record holds can only come from the values themselves.
TEST(GameDataFromValuesTest, TheRecordIsWhatTheValuesHoldWithoutAnyRead) {
  test::ManualClock clock;
  TGame game(nullptr, clock);
  ASSERT_EQ(game.FProgramHandleProcess, nullptr);
  game.FInCokpit.FValue = 1;
  game.FPneuAvantGauche.FTempExterieure.FValue = 363.15;
  game.FPneuArriereDroit.FPression.FValue = 180.0;
  game.FPneuArriereGauche.FUsure.FValue = 0.25;
  game.FEau.FValue = 368.65;
  game.FFuel.FValue = 37.35;
  game.FRapportVitesse.FValue = -1;
  game.FAcceleration.FValue = 0.75F;
  game.FUsureMoteur.FValue = 2500.0;
  game.FUsureMoteur.FUsureReference = 5000.0;
  game.FSession.FTypeSession.FValue = 3;
  game.FSession.FTimerSession.FValue = 1799.5F;
  game.FNombreTour.FValue = 4;
  game.FLongueurCircuit.FValue = 4112.0F;
  const TGameData record = GameDataFromValues(game);
  EXPECT_EQ(record.InCockpit, 1);
  EXPECT_EQ(record.PneuAvantGaucheTempExterieure, 363.15);
  EXPECT_EQ(record.PneuArriereDroitPression, 180.0);
  EXPECT_EQ(record.PneuArriereGaucheUsure, 0.25);
  EXPECT_EQ(record.Eau, 368.65);
  EXPECT_EQ(record.Fuel, 37.35);
  EXPECT_EQ(record.RapportVitesse, -1);
  EXPECT_EQ(record.Acceleration, 0.75F);
  EXPECT_EQ(record.UsureMoteur, 2500.0);
  EXPECT_EQ(record.UsureMoteurReference, 5000.0);
  EXPECT_EQ(record.TypeSession, 3);
  EXPECT_EQ(record.TimerSession, 1799.5F);
  EXPECT_EQ(record.NombreTour, 4);
  EXPECT_EQ(record.LongueurCircuit, 4112.0F);

  // A client's record is the one it received, whole.
  game.FNetwork.SetNetworkType(TNetworkType::ntClient);
  game.GameData.Vitesse = 55.5F;
  game.GameData.Eau = 350.0;
  const TGameData received = GameDataFromValues(game);
  EXPECT_EQ(received.Vitesse, 55.5F);
  EXPECT_EQ(received.Eau, 350.0);
}

}  // namespace
}  // namespace velmora::history
