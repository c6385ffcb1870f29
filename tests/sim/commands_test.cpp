#include "commands.h"

#include <cmath>

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

using Verb = Command::Verb;

Command Make(Verb verb, std::string member = {}, std::optional<int> slot = {}, std::string value = {},
             double seconds = 0.0) {
  return Command{verb, std::move(member), slot, std::move(value), seconds};
}

TEST(ParseCommandTest, ReadsEachCommand) {
  struct Case {
    const char* line;
    Command command;
  };
  const Case cases[] = {
      {"set FEau 363.15", Make(Verb::Set, "FEau", {}, "363.15")},
      {"set  FTemps.MeilleurTour@3   90.5", Make(Verb::Set, "FTemps.MeilleurTour", 3, "  90.5")},
      {"set FNomPilote@12 Ann  Example ", Make(Verb::Set, "FNomPilote", 12, "Ann  Example ")},
      {"set FNomPilote@0", Make(Verb::Set, "FNomPilote", 0, "")},
      {"get FSession.TypeSession", Make(Verb::Get, "FSession.TypeSession")},
      {"get FPosition@0\r", Make(Verb::Get, "FPosition", 0)},
      {"pause", Make(Verb::Pause)},
      {"  resume  ", Make(Verb::Resume)},
      {"step 2.5", Make(Verb::Step, {}, {}, {}, 2.5)},
      {"step 0", Make(Verb::Step)},
      {"close", Make(Verb::Close)},
      {"open", Make(Verb::Open)},
      {"quit", Make(Verb::Quit)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto parsed = ParseCommand(c.line);
    ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << std::get<std::string>(parsed);
    EXPECT_EQ(std::get<Command>(parsed), c.command);
  }
}

TEST(ParseCommandTest, SaysWhatIsWrongWithALine) {
  struct Case {
    const char* line;
    const char* reason;
  };
  const Case cases[] = {
      {"", "empty command"},
      {"   ", "empty command"},
      {"jump FEau", "unknown command \"jump\""},
      {"SET FEau 1", "unknown command \"SET\""},
      {"set", "set needs a member and a value"},
      {"get", "get needs a member"},
      {"get FEau 3", "get takes only a member"},
      {"get FPosition@x", "\"x\" is not a driver slot"},
      {"get FPosition@-1", "\"-1\" is not a driver slot"},
      {"get FPosition@+1", "\"+1\" is not a driver slot"},
      {"get FPosition@", "\"\" is not a driver slot"},
      {"step", "step needs a number of seconds from 0 to 86400"},
      {"step -1", "step needs a number of seconds from 0 to 86400"},
      {"step nan", "step needs a number of seconds from 0 to 86400"},
      {"step 90000", "step needs a number of seconds from 0 to 86400"},
      {"step 1s", "step needs a number of seconds from 0 to 86400"},
      {"pause now", "pause takes no argument"},
      {"quit 0", "quit takes no argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto parsed = ParseCommand(c.line);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_EQ(std::get<std::string>(parsed), c.reason);
  }
}

TEST(ParseDatumValueTest, TakesValuesInTheTypesRange) {
  struct Case {
    Datum type;
    const char* text;
    DatumValue value;
  };
  const Case cases[] = {
      {Datum::Byte, "0", std::int64_t{0}},
      {Datum::Byte, " 255 ", std::int64_t{255}},
      {Datum::Byte, "+1", std::int64_t{1}},
      {Datum::SmallInt, "-32768", std::int64_t{-32768}},
      {Datum::SmallInt, "32767", std::int64_t{32767}},
      {Datum::Integer, "-2147483648", std::int64_t{-2147483648LL}},
      {Datum::Single, "90.5", 90.5},
      {Datum::Single, "-1", -1.0},
      {Datum::Double, "1e300", 1e300},
      {Datum::Double, "363.15", 363.15},
      {Datum::Text, "Ann Example", std::string("Ann Example")},
      {Datum::Text, "", std::string()},
      {Datum::Text, "Zo\xC3\xAB \xC3\x85", std::string("Zo\xEB \xC5")},  // UTF-8 in, Latin-1 kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseDatumValue(c.type, c.text, 31);
    ASSERT_TRUE(std::holds_alternative<DatumValue>(parsed)) << std::get<std::string>(parsed);
    EXPECT_EQ(std::get<DatumValue>(parsed), c.value);
  }
  const auto nan = ParseDatumValue(Datum::Single, "nan", 31);
  ASSERT_TRUE(std::holds_alternative<DatumValue>(nan));
  EXPECT_TRUE(std::isnan(std::get<double>(std::get<DatumValue>(nan))));
  const auto inf = ParseDatumValue(Datum::Double, "-inf", 31);
  ASSERT_TRUE(std::holds_alternative<DatumValue>(inf));
  EXPECT_EQ(std::get<double>(std::get<DatumValue>(inf)), -INFINITY);
}

TEST(ParseDatumValueTest, RefusesWhatTheTypeCannotHold) {
  struct Case {
    Datum type;
    const char* text;
    const char* reason;
  };
  const Case cases[] = {
      {Datum::Byte, "256", "256 is out of range for Byte (0 to 255)"},
      {Datum::Byte, "-1", "-1 is out of range for Byte (0 to 255)"},
      {Datum::SmallInt, "40000", "40000 is out of range for SmallInt (-32768 to 32767)"},
      {Datum::Integer, "2147483648", "2147483648 is out of range for Integer (-2147483648 to 2147483647)"},
      {Datum::SmallInt, "1.5", "\"1.5\" is not a whole number"},
      {Datum::Byte, "99999999999999999999", "\"99999999999999999999\" is not a whole number"},
      {Datum::Byte, "", "missing value"},
      {Datum::Double, "  ", "missing value"},
      {Datum::Double, "hot", "\"hot\" is not a number"},
      {Datum::Double, "1,5", "\"1,5\" is not a number"},
      {Datum::Single, "1e39", "1e39 is out of range for Single"},
      {Datum::Text, "\xE2\x82\xAC", "text must be UTF-8 with characters up to U+00FF"},
      {Datum::Text, "\xC3", "text must be UTF-8 with characters up to U+00FF"},
      {Datum::Text, "0123456789012345678901234567890123", "text is longer than 31 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseDatumValue(c.type, c.text, 31);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_EQ(std::get<std::string>(parsed), c.reason);
  }
}

TEST(FormatDatumValueTest, WritesTheShortestTextThatReadsBack) {
  struct Case {
    Datum type;
    DatumValue value;
    const char* text;
  };
  const Case cases[] = {
      {Datum::SmallInt, std::int64_t{-1}, "-1"},
      {Datum::Single, double{0.1F}, "0.1"},
      {Datum::Double, double{0.1F}, "0.10000000149011612"},
      {Datum::Double, 363.15, "363.15"},
      {Datum::Single, 90.0, "90"},
      {Datum::Double, NAN, "nan"},
      {Datum::Single, -INFINITY, "-inf"},
      {Datum::Text, std::string("Zo\xEB"), "Zo\xC3\xAB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatDatumValue(c.type, c.value), c.text);
  }
}

}  // namespace
}  // namespace velmora::sim
