#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the real velmora-cli as its own process and collects what it writes and how it ends.
Outcome RunCli(const std::vector<std::string>& arguments) {
  const std::string dir = ::testing::TempDir();
  const std::string out_path = dir + "velmora_cli_out_" + std::to_string(getpid());
  const std::string err_path = dir + "velmora_cli_err_" + std::to_string(getpid());
  std::vector<std::string> argv_strings = {VELMORA_CLI_PATH};
  argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argv_strings) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = -1;
  Outcome run;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int wait_status = 0;
    if (waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status)) {
      run.status = WEXITSTATUS(wait_status);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  std::remove(out_path.c_str());
  std::remove(err_path.c_str());
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

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
