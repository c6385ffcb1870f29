#include "options.h"

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

SimOptions Parsed(const std::vector<std::string>& arguments) {
  auto parsed = ParseOptions(arguments);
  if (const auto* reason = std::get_if<std::string>(&parsed)) {
    ADD_FAILURE() << *reason;
    return {};
  }
  return std::get<SimOptions>(parsed);
}

TEST(OptionsTest, DefaultsToRace07WithTheLatestVersion) {
  const SimOptions options = Parsed({});
  EXPECT_EQ(options.title, "Race 07");
  EXPECT_EQ(options.window_class, "CUBERealtime");
  EXPECT_EQ(options.version, "1, 2, 1, 9");
  EXPECT_EQ(options.drivers, 20);
  EXPECT_EQ(options.seed, 1U);
  EXPECT_EQ(options.time_scale, 1.0);
  ASSERT_NE(options.table, nullptr);
  EXPECT_EQ(options.table->name, 'H');
  EXPECT_FALSE(options.table_from_layout);
}

TEST(OptionsTest, ReadsEveryOptionInBothForms) {
  const SimOptions options =
      Parsed({"--title", "GTR Evolution", "--class=CUBEApp", "--version", "1, 1, 1, 14", "--drivers=8",
              "--seed", "18446744073709551615", "--time-scale", "12.5", "--layout", "1, 2, 0, 1"});
  EXPECT_EQ(options.title, "GTR Evolution");
  EXPECT_EQ(options.window_class, "CUBEApp");
  EXPECT_EQ(options.version, "1, 1, 1, 14");
  EXPECT_EQ(options.drivers, 8);
  EXPECT_EQ(options.seed, 18446744073709551615ULL);
  EXPECT_EQ(options.time_scale, 12.5);
  ASSERT_NE(options.table, nullptr);
  EXPECT_EQ(options.table->name, 'B');  // the accepted pair decides, not the layout
}

TEST(OptionsTest, APairNoRuleAcceptsTakesTheLayoutOfTheNamedVersion) {
  struct Case {
    std::vector<std::string> arguments;
    char table;
  };
  const Case cases[] = {
      {{"--title", "RACE On", "--version", "1, 2, 0, 8"}, 'H'},
      {{"--title", "RACE On", "--version", "1, 2, 0, 8", "--layout", "1, 2, 0, 8"}, 'E'},
      {{"--version", "1.2.1.9", "--layout", "1, 1, 1, 2"}, 'A'},
      {{"--title", "Some Other Game", "--version", ""}, 'H'},
  };
  for (const Case& c : cases) {
    const SimOptions options = Parsed(c.arguments);
    ASSERT_NE(options.table, nullptr);
    EXPECT_EQ(options.table->name, c.table);
    EXPECT_TRUE(options.table_from_layout);
  }
}

TEST(OptionsTest, SaysWhatIsWrongWithTheArguments) {
  struct Case {
    std::vector<std::string> arguments;
    const char* reason;
  };
  const Case cases[] = {
      {{"--speed", "2"}, "unknown argument \"--speed\" (see --help)"},
      {{"Race 07"}, "unknown argument \"Race 07\" (see --help)"},
      {{"--title"}, "--title needs a value"},
      {{"--drivers", "0"}, "--drivers needs a whole number from 1 to 50, not \"0\""},
      {{"--drivers=51"}, "--drivers needs a whole number from 1 to 50, not \"51\""},
      {{"--drivers", "ten"}, "--drivers needs a whole number from 1 to 50, not \"ten\""},
      {{"--seed", "-1"}, "--seed needs a whole number from 0 to 18446744073709551615, not \"-1\""},
      {{"--time-scale", "0"}, "--time-scale needs a number above 0 and up to 1000, not \"0\""},
      {{"--time-scale", "nan"}, "--time-scale needs a number above 0 and up to 1000, not \"nan\""},
      {{"--time-scale", "1001"}, "--time-scale needs a number above 0 and up to 1000, not \"1001\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto parsed = ParseOptions(c.arguments);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_EQ(std::get<std::string>(parsed), c.reason);
  }
}

TEST(OptionsTest, AnUnknownLayoutIsRefusedWithTheListOfVersions) {
  const auto parsed = ParseOptions({"--layout", "1, 2, 1, 9 "});
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  const std::string& reason = std::get<std::string>(parsed);
  EXPECT_TRUE(reason.starts_with("unknown layout \"1, 2, 1, 9 \"; the supported versions are \"1, 1, 1, 2\""))
      << reason;
  EXPECT_NE(reason.find("\"1, 0, 0, 0\""), std::string::npos);
}

TEST(OptionsTest, HelpIsAskedForAndDescribesTheCommands) {
  EXPECT_TRUE(std::holds_alternative<HelpRequested>(ParseOptions({"--drivers", "3", "--help"})));
  EXPECT_TRUE(std::holds_alternative<HelpRequested>(ParseOptions({"-h"})));
  const std::string help = HelpText();
  for (const char* word : {"--time-scale", "--layout", "set <member> <value>", "step <seconds>",
                           "ready pid=", "FSession.TypeSession", "\"1, 2, 0, 13\""}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace velmora::sim
