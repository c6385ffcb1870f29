#include "league/league_state.h"

#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "web/state_message.h"

namespace velmora::league {
namespace {

using Json = nlohmann::json;

// What a viewer's page receives, parsed as a browser would; fails the test when it is not JSON.
Json Received(const web::ViewState& state) {
  const std::string text = web::FullMessage(state);
  Json parsed = Json::parse(text, nullptr, false);
  EXPECT_FALSE(parsed.is_discarded()) << text;
  return parsed.is_discarded() ? Json::object() : parsed["v"];
}

std::string Key(const std::string& car, const std::string& key) {
  return "~" + car + "\u0001" + key;
}

TEST(LeagueStateTest, CarsComeFromTheirTopicsAndStayApart) {
  LeagueState league("velmora");
  EXPECT_TRUE(league.Apply("velmora/one/status", "online"));
  EXPECT_TRUE(league.Apply("velmora/one/state",
                           R"({"t":17,"v":{"wa":"90|194","pos":3,"L1":[1,81.5,null,null,null]}})"));
  EXPECT_TRUE(league.Apply("velmora/two/state", R"({"t":18,"v":{"wa":"95|203","pos":1}})"));
  EXPECT_TRUE(league.Apply("velmora/one/delta", R"({"t":19,"v":{"pos":2}})"));
  EXPECT_FALSE(league.Apply("velmora/one/delta", R"({"t":20,"v":{"pos":2}})"));  // nothing new
  EXPECT_FALSE(league.Apply("velmora/one/laps", R"({"lap":1})"));
  EXPECT_FALSE(league.Apply("elsewhere/three/state", R"({"v":{"pos":9}})"));

  const Json v = Received(league.State());
  EXPECT_EQ(v["league"], 1);
  EXPECT_EQ(v[Key("one", "on")], "online");
  EXPECT_EQ(v[Key("one", "pos")], 2);
  EXPECT_EQ(v[Key("one", "t")], 20);
  EXPECT_EQ(v[Key("one", "wa")], "90|194");
  EXPECT_EQ(v[Key("one", "L1")][1], 81.5);
  EXPECT_EQ(v[Key("two", "pos")], 1);
  EXPECT_FALSE(v.contains(Key("two", "on")));
  EXPECT_EQ(league.Cars(), 2U);

  // A whole state takes the place of the last: what it no longer holds goes blank.
  EXPECT_TRUE(league.Apply("velmora/one/state", R"({"t":21,"v":{"pos":2}})"));
  EXPECT_TRUE(Received(league.State())[Key("one", "wa")].is_null());
  EXPECT_TRUE(league.Apply("velmora/one/status", "offline"));
  EXPECT_EQ(Received(league.State())[Key("one", "on")], "offline");
}

// Publishers are anyone with the broker's password: what they send must never reach a viewer as
// anything but plain JSON values, nor grow the relay without end.
TEST(LeagueStateTest, HostilePayloadsStayOutAndTheStateStaysBounded) {
  LeagueState league("velmora");
  const char* const hostile[] = {
      "not json",
      R"({"v":[1,2]})",
      R"({"v":{"wa":{"nested":{"deep":1}}}})",
      R"({"v":{"a\"b":1,"<script>":2,"toolongkeytoolongkey":3}})",
      R"({"v":{"wa":[[1]]}})",
      "{\"v\":{\"wa\":\"\xff\xfe bytes\"}}",
      R"({"v":{"L0":[0],"L-1":[1],"L999999999":[1],"Lx":[1]}})",
      R"({"v":{"wa":1e999}})",
  };
  for (const char* payload : hostile) {
    league.Apply("velmora/bad\"car\\/state", payload);
    league.Apply("velmora/evil/state", payload);
  }
  const Json v = Received(league.State());
  for (const auto& [key, value] : v.items()) {
    EXPECT_FALSE(value.is_object()) << key;
    EXPECT_TRUE(key == "league" || key.starts_with("~")) << key;
    EXPECT_EQ(key.find("script"), std::string::npos) << key;
    EXPECT_EQ(key.find("999999999"), std::string::npos) << key;
  }

  // Twenty thousand laps, and more cars than a league has, leave the state as large as it was.
  for (int lap = 1; lap <= 20000; ++lap) {
    league.Apply("velmora/endless/delta", "{\"v\":{\"lap\":" + std::to_string(lap) + ",\"L" +
                                              std::to_string(lap) + "\":[" + std::to_string(lap) +
                                              ",90.5,null,null,null]}}");
  }
  const std::size_t after_laps = league.State().size();
  EXPECT_LE(after_laps, 2U + 3U * LeagueState::kMaxKeysPerCar);
  int rows = 0;
  const Json after = Received(league.State());
  for (const auto& [key, value] : after.items()) {
    rows += key.starts_with(Key("endless", "L")) ? 1 : 0;
  }
  EXPECT_EQ(rows, LeagueState::kLapsKept);
  for (int car = 0; car < 500; ++car) {
    league.Apply("velmora/car" + std::to_string(car) + "/status", "online");
  }
  EXPECT_EQ(league.Cars(), LeagueState::kMaxCars);
}

}  // namespace
}  // namespace velmora::league
