#include "sim_controller.h"

#include <gtest/gtest.h>

#include "controller_fixture.h"

namespace velmora::sim {
namespace {

// A controller over table H's memory, or another table's.
class SimControllerTest : public ControllerFixture {
 protected:
  explicit SimControllerTest(char table = 'H', int drivers = 6, int player_slot = 2)
      : ControllerFixture(11, table, drivers, player_slot) {}
};

TEST_F(SimControllerTest, SetValuesReadBackFromMemory) {
  struct Case {
    const char* set;
    const char* get;
    const char* answer;
  };
  const Case cases[] = {
      {"set FEau 363.15", "get FEau", "363.15"},
      {"set FPneuAvantGauche.FTempExterieure 353.14", "get FPneuAvantGauche.FTempExterieure", "353.14"},
      {"set FUsureMoteur.Reference 100", "get FUsureMoteur.Reference", "100"},
      {"set FSession.TypeSession 3", "get FSession.TypeSession", "3"},
      {"set FSession.NbToursSession -1", "get FSession.NbToursSession", "-1"},
      {"set FSession.TimerSession nan", "get FSession.TimerSession", "nan"},
      {"set FRapportVitesse -1", "get FRapportVitesse", "-1"},
      {"set FAcceleration 0.125", "get FAcceleration", "0.125"},
      {"set FTemps.MeilleurTour@4 90.5", "get FTemps.MeilleurTour@4", "90.5"},
      {"set FNomPilote@1 Zo\xC3\xAB  Example", "get FNomPilote@1", "Zo\xC3\xAB  Example"},
      {"set FNomPilote@1 ", "get FNomPilote@1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    EXPECT_EQ(Run(c.set), "ok");
    EXPECT_EQ(Run(c.get), c.answer);
  }
}

TEST_F(SimControllerTest, PerDriverDataWithoutASlotAreThePublishedPlayersOwn) {
  const int slot = model_.State().player_slot;
  EXPECT_EQ(Run("set FNombreTour 7"), "ok");
  EXPECT_EQ(Run("get FNombreTour@" + std::to_string(slot)), "7");
  // A reader follows the published slot, so the command line does too.
  EXPECT_EQ(Run("set FSlotJoueur 4"), "ok");
  EXPECT_EQ(Run("set FNombreTour 9"), "ok");
  EXPECT_EQ(Run("get FNombreTour@4"), "9");
  EXPECT_EQ(Run("get FNombreTour@" + std::to_string(slot)), "7");
  EXPECT_EQ(Run("set FSlotJoueur 200"), "ok");
  EXPECT_EQ(Run("get FNombreTour"), "error: slot 200 has no record (slots 0 to 5)");
}

TEST_F(SimControllerTest, SaysWhyASetOrGetCannotBeDone) {
  struct Case {
    const char* line;
    const char* answer;
  };
  const Case cases[] = {
      {"get FNothing", "error: unknown member \"FNothing\""},
      {"set FNomVoiture x", "error: FNomVoiture is not in the layout of table H"},
      {"get FRecLongueur", "error: unknown member \"FRecLongueur\""},
      {"set FEau@2 1", "error: FEau is not kept per driver"},
      {"get FPosition@6", "error: slot 6 has no record (slots 0 to 5)"},
      {"set FABS 40000", "error: 40000 is out of range for SmallInt (-32768 to 32767)"},
      {"set FEau warm", "error: \"warm\" is not a number"},
      {"set FEau", "error: missing value"},
      {"set FNomPilote@0 0123456789012345678901234567890123", "error: text is longer than 31 characters"},
      {"fly", "error: unknown command \"fly\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Run(c.line), c.answer);
  }
}

TEST_F(SimControllerTest, PauseKeepsSetValuesAndStepMovesThePausedSessionOn) {
  EXPECT_EQ(Run("step 1"), "error: step needs a paused session (send pause first)");
  EXPECT_EQ(Run("pause"), "ok");
  EXPECT_EQ(Run("set FEau 300"), "ok");
  controller_->Advance(30.0);
  EXPECT_EQ(model_.Time(), 0.0);
  EXPECT_EQ(Run("get FEau"), "300");
  EXPECT_EQ(Run("get FSession.TimerSession"), "0");

  EXPECT_EQ(Run("step 12.5"), "ok");
  EXPECT_NEAR(model_.Time(), 12.5, 1e-9);
  EXPECT_EQ(Run("get FSession.TimerSession"), "12.5");
  EXPECT_EQ(Run("get FInCokpit"), "1");

  EXPECT_EQ(Run("resume"), "ok");
  controller_->Advance(2.0);
  EXPECT_NEAR(model_.Time(), 14.5, 1e-9);
  EXPECT_EQ(Run("get FSession.TimerSession"), "14.5");
}

TEST_F(SimControllerTest, WindowAndQuitGoToTheHost) {
  EXPECT_EQ(Run("close"), "ok");
  EXPECT_EQ(Run("open"), "ok");
  EXPECT_EQ(Run("quit"), "ok");
  EXPECT_EQ(host_.closed, 1);
  EXPECT_EQ(host_.opened, 1);
  EXPECT_EQ(host_.quit, 1);
  host_.display = false;
  EXPECT_EQ(Run("open"), "error: the window cannot be shown");
}

class SimControllerTableATest : public SimControllerTest {
 protected:
  SimControllerTableATest() : SimControllerTest('A', 6, 0) {}
};

TEST_F(SimControllerTableATest, ATableWithoutRecordsHasThePlayersRecordOnly) {
  EXPECT_EQ(Run("set FNomVoiture Coupe"), "ok");
  EXPECT_EQ(Run("get FNomVoiture@0"), "Coupe");
  EXPECT_EQ(Run("get FPhares@1"), "error: slot 1 has no record (slots 0 to 0)");
  EXPECT_EQ(Run("get FFuel"), "error: FFuel is not in the layout of table A");
}

}  // namespace
}  // namespace velmora::sim
