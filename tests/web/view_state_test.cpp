#include "web/view_state.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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

  // A new session starts its laps again: the old rows are taken off, and the viewers told once, the
  // average starts afresh.
  const ViewState before = builder.State();
  record.NombreTour = 0;
  builder.Apply(record);
  const std::string change = ChangeMessage(before, builder.State());
  for (const char* key : {"L1", "L2", "lf1"}) {
    EXPECT_FALSE(builder.State().contains(key)) << key;
    EXPECT_NE(change.find("\"" + std::string(key) + "\":null"), std::string::npos) << key << " " << change;
  }
  EXPECT_EQ(builder.State().at("ll"), "null");
}

// Every key's value parses as JSON on its own and the whole state as one message, strings as valid UTF-8.
void ExpectValidJson(const ViewState& state, const std::string& what) {
  for (const auto& [key, value] : state) {
    EXPECT_TRUE(nlohmann::json::accept(value)) << what << ": " << key << " = " << value;
  }
  EXPECT_TRUE(nlohmann::json::accept(FullMessage(state))) << what;
}

TEST(ViewStateTest, AbsurdFiguresFromAServerShowAsNoneAndEveryValueIsJson) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  struct Hostile {
    const char* what;
    // Applied in turn, from a record of zeros.
    std::vector<std::function<void(TGameData&)>> records;
    const char* key;
    const char* shown;
  };
  const Hostile cases[] = {
      {"a full tank over a lap that used almost nothing",
       {[](TGameData& r) { r.Fuel = 1e-45; }, [](TGameData& r) { r.NombreTour = 1; },
        [](TGameData& r) {
          r.NombreTour = 1;
          r.Fuel = 3.4e38;
        }},
       "ll",
       "null"},
      {"fuel beyond any tank", {[](TGameData& r) { r.Fuel = 3.4e38; }}, "fu", "null"},
      {"fuel not a number", {[](TGameData& r) { r.Fuel = kNan; }}, "fu", "null"},
      {"fuel infinite", {[](TGameData& r) { r.Fuel = -kInfinity; }}, "fu", "null"},
      {"speed infinite",
       {[](TGameData& r) { r.Vitesse = std::numeric_limits<float>::infinity(); }},
       "sp",
       "null"},
      {"speed beyond any car", {[](TGameData& r) { r.Vitesse = 3.0e38F; }}, "sp", "null"},
      {"lap time of a lifetime", {[](TGameData& r) { r.TempsMeilleurTour = 3.0e38F; }}, "bt", "null"},
      {"lap time not a number", {[](TGameData& r) { r.TempsDernierTour = std::nanf(""); }}, "lt", "null"},
      {"a negative lap count", {[](TGameData& r) { r.NombreTour = -7; }}, "lap", "null"},
      {"a lap count no session reaches", {[](TGameData& r) { r.NombreTour = 32000; }}, "lap", "null"},
      {"the largest plausible lap count", {[](TGameData& r) { r.NombreTour = 9999; }}, "lap", "9999"},
      {"a lap that used an absurd amount",
       {[](TGameData& r) { r.Fuel = 3.0e38; },
        [](TGameData& r) {
          r.NombreTour = 1;
          r.Fuel = -3.0e38;
        }},
       "ll",
       "null"},
  };
  for (const Hostile& c : cases) {
    ViewBuilder builder;
    for (const auto& set : c.records) {
      TGameData record{};
      set(record);
      const ViewState before = builder.State();
      builder.Apply(record);
      EXPECT_TRUE(nlohmann::json::accept(ChangeMessage(before, builder.State()))) << c.what;
    }
    ASSERT_TRUE(builder.State().contains(c.key)) << c.what;
    EXPECT_EQ(builder.State().at(c.key), c.shown) << c.what;
    ExpectValidJson(builder.State(), c.what);
  }
}

TEST(ViewStateTest, LapsRisingAtEveryPollKeepTheStateBounded) {
  // The charts' history, bounded on its own, takes no point past the first while this runs.
  constexpr double kNoChartPoints_s = 1e9;
  ViewBuilder builder(kNoChartPoints_s);
  TGameData record{};
  record.TempsDernierTour = 61.0F;
  ViewState before;
  std::size_t largest_state = 0;
  std::size_t largest_full = 0;
  for (int poll = 0; poll < 100000; ++poll) {
    // An int16 lap count wraps: the relay sees every lap number, including the absurd ones, many times.
    record.NombreTour = static_cast<std::int16_t>(poll);
    record.Fuel = 100.0 - (poll % 1000) * 0.05;
    const ViewState& state = builder.Apply(record);
    largest_state = std::max(largest_state, state.size());
    if (poll % 997 == 0) {
      largest_full = std::max(largest_full, FullMessage(state).size());
    }
  }
  // The fixed keys and two per kept lap.
  const std::size_t fixed_keys = ViewBuilder(kNoChartPoints_s).Apply(TGameData{}).size();
  EXPECT_LE(largest_state, fixed_keys + 2 * ViewBuilder::kKeptLaps);
  EXPECT_LT(largest_full, 8u * 1024u);
  std::size_t rows = 0;
  for (const auto& [key, value] : builder.State()) {
    rows += key.starts_with("L") ? 1 : 0;
  }
  EXPECT_EQ(rows, static_cast<std::size_t>(ViewBuilder::kKeptLaps));
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

TEST(StateMessageTest, RemovedKeysAreSentOnceAsNull) {
  const ViewState before{{"L1", "[1]"}, {"L2", "[2]"}, {"ll", "3.0"}, {"x", "1"}};
  const ViewState after{{"L2", "[2]"}, {"ll", "3.0"}};
  EXPECT_EQ(ChangeMessage(before, after), R"({"v":{"L1":null,"x":null}})");
  EXPECT_EQ(ChangeMessage(after, after), "");
}

TEST(StateMessageTest, AnyBytesBecomeAValidJsonString) {
  struct TextCase {
    std::string bytes;
    const char* json;
  };
  const TextCase cases[] = {
      {"4", R"("4")"},
      {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
      {"tab\tend\n", R"("tabend")"},
      {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},
      {"\xF0\x9F\x8F\x81", "\"\xF0\x9F\x8F\x81\""},
      {"a\xFF"
       "b",
       R"("a\uFFFDb")"},
      {"\xC3", R"("\uFFFD")"},                                // cut short
      {"\xC0\xAF", R"("\uFFFD\uFFFD")"},                      // overlong
      {"\xED\xA0\x80", R"("\uFFFD\uFFFD\uFFFD")"},            // a surrogate
      {"\xF4\x90\x80\x80", R"("\uFFFD\uFFFD\uFFFD\uFFFD")"},  // past U+10FFFF
  };
  for (const TextCase& c : cases) {
    const std::string json = JsonString(c.bytes);
    EXPECT_EQ(json, c.json) << c.bytes;
    EXPECT_TRUE(nlohmann::json::accept(json)) << c.bytes;
  }
}

}  // namespace
}  // namespace velmora::web
