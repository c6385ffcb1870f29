#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_support.h"

namespace velmora {
namespace {

using test::Lines;
using test::Outcome;
using test::RunCli;

TEST(TablesCommandTest, PrintsTableHInItsOrderOneLinePerEntry) {
  const Outcome run = RunCli({"tables", "Race 07", "1, 2, 1, 9"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  ASSERT_FALSE(run.out.empty());
  EXPECT_EQ(run.out.back(), '\n');
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 70u);
  const std::pair<std::size_t, const char*> expected[] = {
      {0, "FInCokpit address 0xD7C170"},
      {2, "FPneuAvantGauche.FVitesse address 0xD7C510"},
      {51, "FPhares base 0xA1BC56"},
      {64, "FUsureMoteur address 0xD7E5C8 delta 8"},
      {56, "FTemps base 0xA21138 deltas 4 8 188 192 196"},
      {69, "FSession session 0x913748 0x91374C 0x11640F0 0x11640EC 0x11640E8"},
      {57, "FMoyenneFuel active"},
      {50, "FRecLongueur length 33696"},
  };
  for (const auto& [index, line] : expected) {
    EXPECT_EQ(lines[index], line);
  }
}

TEST(TablesCommandTest, TableAHasItsOwnOrder) {
  const Outcome run = RunCli({"tables", "race 07", "1, 1, 1, 2"});
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 30u);
  EXPECT_EQ(lines.front(), "FNomVoiture base 0x9FC648");
  EXPECT_EQ(lines[1], "FInCokpit address 0xD569FA");
  EXPECT_EQ(lines[2], "FPneuAvantGauche.FTempExterieure address 0xD54E78");
}

TEST(TablesCommandTest, PairNoRuleAcceptsFailsWithStatus2) {
  struct Case {
    const char* title;
    const char* version;
  };
  for (const Case& c : {Case{"RACE On", "1, 2, 0, 8"}, Case{"Race 07", "1, 2, 1, 9 "}, Case{"", ""}}) {
    const Outcome run = RunCli({"tables", c.title, c.version});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("no address table for ") + c.title + " " + c.version + "\n");
  }
}

TEST(TablesCommandTest, HelpExplainsEveryCommand) {
  const Outcome run = RunCli({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Usage: velmora-cli"), std::string::npos);
  EXPECT_NE(run.out.find("  tables <title> <version>\n"), std::string::npos);
  EXPECT_NE(run.out.find("status 2"), std::string::npos);

  const Outcome tables_help = RunCli({"tables", "--help"});
  EXPECT_EQ(tables_help.status, 0);
  EXPECT_NE(tables_help.out.find("Usage: velmora-cli tables <title> <version>"), std::string::npos);
}

TEST(TablesCommandTest, WrongCommandLinesFailWithStatus2AndSayWhy) {
  const std::vector<std::vector<std::string>> cases = {{},
                                                       {"tabels", "Race 07", "1, 2, 1, 9"},
                                                       {"tables", "Race 07"},
                                                       {"tables", "Race 07", "1, 2, 1, 9", "x"}};
  for (const auto& arguments : cases) {
    const Outcome run = RunCli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("velmora-cli"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace velmora
