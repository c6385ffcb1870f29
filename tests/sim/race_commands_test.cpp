// The commands that put the player's lap and the session at an exact point, parsed and run against the
// stand-in's real memory.
#include <gtest/gtest.h>

#include "commands.h"
#include "controller_fixture.h"
#include "sim_controller.h"

namespace velmora::sim {
namespace {

TEST(ParseRaceCommandTest, ReadsTheRaceCommandsAndSaysWhatIsWrong) {
  struct Case {
    const char* line;
    const char* error;  // null when the line is a command
  };
  const Case cases[] = {
      {"sector 1 30.5", nullptr},
      {"sector 2 61.25 ", nullptr},
      {"line 93.125", nullptr},
      {"session 3 1800 -1", nullptr},
      {"session 6 0 12", nullptr},
      {"sector 3 30", "sector needs the sector ended (1 or 2) and its intermediate time in seconds"},
      {"sector 1 0", "sector needs the sector ended (1 or 2) and its intermediate time in seconds"},
      {"sector 1", "sector needs the sector ended (1 or 2) and its intermediate time in seconds"},
      {"line", "line needs the lap time in seconds, above 0"},
      {"line nan", "line needs the lap time in seconds, above 0"},
      {"line 90 91", "line needs the lap time in seconds, above 0"},
      {"session 3 1800",
       "session needs a type code, a length in seconds (0 to 86400) and the laps of a race (-1 on time)"},
      {"session 3 -5 -1",
       "session needs a type code, a length in seconds (0 to 86400) and the laps of a race (-1 on time)"},
      {"session 6 1800 -2",
       "session needs a type code, a length in seconds (0 to 86400) and the laps of a race (-1 on time)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto parsed = ParseCommand(c.line);
    if (c.error == nullptr) {
      EXPECT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<std::string>(parsed);
    } else {
      ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
      EXPECT_EQ(std::get<std::string>(parsed), c.error);
    }
  }
  const auto line = std::get<Command>(ParseCommand("session 7 2700.5 -1"));
  EXPECT_EQ(line.verb, Command::Verb::Session);
  EXPECT_EQ(line.number, 7);
  EXPECT_EQ(line.seconds, 2700.5);
  EXPECT_EQ(line.laps, -1);
}

class RaceCommandsTest : public ControllerFixture {
 protected:
  RaceCommandsTest() : ControllerFixture(5, 'H', 6, 2) {}
};

TEST_F(RaceCommandsTest, ALapDrivenByCommandsShowsInThePlayersRecord) {
  ASSERT_EQ(Run("pause"), "ok");
  ASSERT_EQ(Run("set FInPIT 1"), "ok");
  ASSERT_EQ(Run("sector 1 30.5"), "ok");
  EXPECT_EQ(Run("get FSecteur"), "1");
  EXPECT_EQ(Run("get FInPIT"), "0");
  EXPECT_EQ(Run("get FTemps.DernierTourSecteur1"), "30.5");
  ASSERT_EQ(Run("sector 2 62.25"), "ok");
  EXPECT_EQ(Run("get FSecteur"), "2");
  ASSERT_EQ(Run("line 95"), "ok");
  for (const auto& [member, value] : {std::pair{"FSecteur", "0"},
                                      {"FNombreTour", "1"},
                                      {"FTemps.DernierTour", "95"},
                                      {"FTemps.MeilleurTour", "95"},
                                      {"FTemps.MeilleurTourSecteur1", "30.5"},
                                      {"FTemps.MeilleurTourSecteur2", "62.25"}}) {
    EXPECT_EQ(Run(std::string("get ") + member), value) << member;
  }

  // A slower lap leaves the best lap; a faster one takes it with its intermediates.
  Run("sector 1 31");
  Run("sector 2 63");
  Run("line 96");
  EXPECT_EQ(Run("get FTemps.MeilleurTour"), "95");
  Run("sector 1 29.75");
  Run("sector 2 60");
  Run("line 90.5");
  EXPECT_EQ(Run("get FNombreTour"), "3");
  EXPECT_EQ(Run("get FTemps.MeilleurTour"), "90.5");
  EXPECT_EQ(Run("get FTemps.MeilleurTourSecteur1"), "29.75");
  EXPECT_EQ(Run("get FTemps.DernierTourSecteur2"), "60");
}

TEST_F(RaceCommandsTest, ANewSessionClearsLapsAndRestartsTheClock) {
  Run("pause");
  Run("step 30");
  Run("sector 1 30");
  Run("sector 2 60");
  Run("line 90");
  ASSERT_EQ(Run("session 3 1800 -1"), "ok");
  for (const auto& [member, value] : {std::pair{"FSession.TypeSession", "3"},
                                      {"FSession.TempsSession", "1800"},
                                      {"FSession.TimerSession", "0"},
                                      {"FSession.NbToursSession", "-1"},
                                      {"FNombreTour", "0"},
                                      {"FNombreTour@0", "0"},
                                      {"FTemps.MeilleurTour", "-1"},
                                      {"FTemps.DernierTour", "-1"}}) {
    EXPECT_EQ(Run(std::string("get ") + member), value) << member;
  }
  Run("step 10");
  EXPECT_EQ(Run("get FSession.TimerSession"), "10");
}

}  // namespace
}  // namespace velmora::sim
