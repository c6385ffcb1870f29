#include "cli_test_support.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace velmora::test {

Outcome RunCli(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{VELMORA_CLI_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProgram(argv);
}

bool HasLine(const std::string& text, const std::string& line) {
  const auto lines = Lines(text);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> StccSimArguments() {
  return {"--title", "STCC - The Game", "--class", "CUBEApp", "--version", "1, 2, 0, 8"};
}

void SetPlayerValues(RunningSim& sim) {
  for (const char* command :
       {"pause", "set FInCokpit 1", "set FEau 363.5", "set FPneuAvantGauche.FPression 201.5",
        "set FRapportVitesse -1", "set FAcceleration 0.25", "set FNomPilote Ada Lovelace"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
}

void ExpectProbeOfPlayerValues(const std::string& json, const RunningSim& sim) {
  EXPECT_TRUE(HasLine(json, "  \"title\": \"STCC - The Game\",")) << json;
  EXPECT_TRUE(HasLine(json, "  \"class\": \"CUBEApp\","));
  EXPECT_TRUE(HasLine(json, "  \"pid\": " + std::to_string(sim.Pid()) + ","));
  EXPECT_TRUE(HasLine(json, "  \"version\": \"1, 2, 0, 8\","));
  EXPECT_TRUE(HasLine(json, "  \"supported\": true,"));
  EXPECT_TRUE(HasLine(json, "  \"runtime\": \"native\","));
  for (const char* value : {"    \"FInCokpit\": 1,", "    \"FEau\": 363.5,",
                            "    \"FPneuAvantGauche.FPression\": 201.5,", "    \"FRapportVitesse\": -1,",
                            "    \"FAcceleration\": 0.25,", "    \"FNomPilote\": \"Ada Lovelace\","}) {
    EXPECT_TRUE(HasLine(json, value)) << value << "\n" << json;
  }
}

void ExpectProbeOfUnsupported(const std::string& json) {
  EXPECT_TRUE(HasLine(json, "  \"supported\": false,")) << json;
  EXPECT_TRUE(HasLine(json, "  \"values\": {},")) << json;
  EXPECT_TRUE(HasLine(json, "  \"standings\": [],")) << json;
}

}  // namespace velmora::test
