#include "web/view_state.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "web/state_message.h"

namespace velmora::web {
namespace {

// A record as the stand-in sends it from the garage: every datum 0 but those a case sets.
struct Case {
  const char* what;
  std::function<void(TGameData&)> set;
  const char* key;
  const char* shown;
  const char* colour = nullptr;  // of a panel, under key + "c"
};

TEST(ViewStateTest, PanelsAreWordedAndColouredAsTheDashboardShowsThem) {
  const Case cases[] = {
      {"tread in the band, both unit systems", [](TGameData& r) { r.PneuAvantGaucheTempMilieu = 353.15; },
       "flm", R"("80|176")", R"("00ff80")"},
      {"tread above the band", [](TGameData& r) { r.PneuArriereDroitTempInterieure = 373.15; }, "rri",
       R"("100|212")", R"("ff4040")"},
      {"tread below the band", [](TGameData& r) { r.PneuAvantDroitTempExterieure = 300.0; }, "fro",
       R"("27|80")", R"("0080ff")"},
      {"a flat tyre", [](TGameData& r) { r.PneuArriereGauchePression = 30.0; }, "rlp", R"("XXX|XXX")",
       R"("ff4040")"},
      {"pressure in kPa and psi", [](TGameData& r) { r.PneuAvantGauchePression = 200.0; }, "flp",
       R"("200|29")", R"("00ff80")"},
      {"brake disc truncated", [](TGameData& r) { r.PneuAvantGaucheDisqueFrein = 374.0; }, "flb",
       R"("100|213")", R"("0080ff")"},
      {"water on the hot edge", [](TGameData& r) { r.Eau = 373.15; }, "wa", R"("99|211")", R"("ff4040")"},
      {"engine wear, low",
       [](TGameData& r) {
         r.UsureMoteur = 40.0;
         r.UsureMoteurReference = 100.0;
       },
       "ew", R"(["40%","ff8000"])"},
      {"reverse gear", [](TGameData& r) { r.RapportVitesse = -1; }, "g", R"("R")"},
      {"tread gauge of a used tyre", [](TGameData& r) { r.PneuAvantGaucheUsure = 0.9; }, "flw", "50"},
      {"speed in km/h", [](TGameData& r) { r.Vitesse = 50.0F; }, "sp", "180"},
      {"throttle in percent", [](TGameData& r) { r.Acceleration = 0.456F; }, "th", "46"},
      {"stability lamp from its low byte", [](TGameData& r) { r.Stabilite = 0x0101; }, "stb", "1"},
      {"timed session",
       [](TGameData& r) {
         r.TypeSession = 3;
         r.TempsSession = 1800.0F;
         r.TimerSession = 754.6F;
       },
       "sc", R"("17:25")"},
      {"session name", [](TGameData& r) { r.TypeSession = 3; }, "ses", R"("Qualifying")"},
      {"race on laps",
       [](TGameData& r) {
         r.TypeSession = 6;
         r.NbDeToursSession = 12;
       },
       "sc", R"("12 laps")"},
      {"race on time, out of the car",
       [](TGameData& r) {
         r.TypeSession = 7;
         r.NbDeToursSession = -1;
       },
       "sc", R"("N/A")"},
      {"no lap time yet", [](TGameData& r) { r.TempsDernierTour = -1.0F; }, "lt", "null"},
      {"best lap", [](TGameData& r) { r.TempsMeilleurTour = 91.25F; }, "bt", "91.250"},
  };
  for (const Case& c : cases) {
    ViewBuilder builder;
    TGameData record{};
    c.set(record);
    const ViewState& state = builder.Apply(record);
    ASSERT_TRUE(state.contains(c.key)) << c.what;
    EXPECT_EQ(state.at(c.key), c.shown) << c.what;
    if (c.colour != nullptr) {
      EXPECT_EQ(state.at(std::string(c.key) + "c"), c.colour) << c.what;
    }
  }
}

TEST(ViewStateTest, StatusFollowsTheFeedAndKeepsTheLastValues) {
  ViewBuilder builder;
  EXPECT_EQ(builder.State().at("st"), R"("lost")");
  TGameData record{};
  record.RapportVitesse = 3;
  EXPECT_EQ(builder.Apply(record).at("st"), R"("ok")");
  EXPECT_EQ(builder.SetStatus(FeedStatus::kNoData).at("st"), R"("nodata")");
  EXPECT_EQ(builder.State().at("g"), R"("3")");
  EXPECT_EQ(builder.SetStatus(FeedStatus::kLost).at("st"), R"("lost")");
}

TEST(ViewStateTest, CompletedLapsBecomeRowsAndTheirFuelGivesTheLapsLeft) {
  ViewBuilder builder;
  TGameData record{};
  record.NombreTour = 0;
  record.Fuel = 50.0;
  builder.Apply(record);
  EXPECT_FALSE(builder.State().contains("L1"));
  EXPECT_EQ(builder.State().at("ll"), "null");

  // The lap is counted a record before its times arrive; the row follows the times.
  record.NombreTour = 1;
  record.Fuel = 47.5;
  builder.Apply(record);
  EXPECT_FALSE(builder.State().contains("L1"));
  record.TempsDernierTour = 90.5F;
  record.TempsDernierTourSecteur1 = 30.0F;
  record.TempsDernierTourSecteur2 = 60.0F;
  builder.Apply(record);
  EXPECT_EQ(builder.State().at("L1"), "[1,90.500,30.000,30.000,30.500]");
  EXPECT_EQ(builder.State().at("lf1"), "2.50");
  EXPECT_EQ(builder.State().at("ll"), "19.0");

  // A refuelled lap tells nothing about consumption: no fuel for its row, the average stays. A lap whose
  // intermediates do not fit its time gets no sectors.
  record.NombreTour = 2;
  record.Fuel = 80.0;
  record.TempsDernierTour = 120.0F;
  record.TempsDernierTourSecteur2 = 20.0F;
  builder.Apply(record);
  EXPECT_EQ(builder.State().at("L2"), "[2,120.000,null,null,null]");
  EXPECT_FALSE(builder.State().contains("lf2"));
  EXPECT_EQ(builder.State().at("ll"), "32.0");

  // A new session starts its laps again: the old rows are taken off, the average starts afresh.
  record.NombreTour = 0;
  builder.Apply(record);
  for (const char* key : {"L1", "L2", "lf1"}) {
    EXPECT_EQ(builder.State().at(key), "null") << key;
  }
  EXPECT_EQ(builder.State().at("ll"), "null");
}

TEST(StateMessageTest, ChangesCarryOnlyWhatChanged) {
  const ViewState before{{"a", "1"}, {"b", R"("x")"}, {"c", "[1,2]"}};
  struct MessageCase {
    const char* what;
    ViewState after;
    const char* message;
  };
  const MessageCase cases[] = {
      {"nothing changed", before, ""},
      {"one value", {{"a", "1"}, {"b", R"("y")"}, {"c", "[1,2]"}}, R"({"v":{"b":"y"}})"},
      {"a new key between",
       {{"a", "1"}, {"ab", "null"}, {"b", R"("x")"}, {"c", "[1,2]"}},
       R"({"v":{"ab":null}})"},
      {"first and last", {{"a", "2"}, {"b", R"("x")"}, {"c", "[1,3]"}}, R"({"v":{"a":2,"c":[1,3]}})"},
  };
  for (const MessageCase& c : cases) {
    EXPECT_EQ(ChangeMessage(before, c.after), c.message) << c.what;
  }
  EXPECT_EQ(FullMessage(before), R"({"full":1,"v":{"a":1,"b":"x","c":[1,2]}})");
}

}  // namespace
}  // namespace velmora::web
