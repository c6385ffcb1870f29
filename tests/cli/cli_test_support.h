#pragma once

#include <string>
#include <vector>

#include "run_program.h"
#include "running_sim.h"

namespace velmora::test {

// velmora-cli with `arguments`, run as its own process.
Outcome RunCli(const std::vector<std::string>& arguments);

// True when `line` is one whole line of `text`.
bool HasLine(const std::string& text, const std::string& line);

// The arguments of a stand-in that a probe recognises by its title, class and version.
std::vector<std::string> StccSimArguments();

// Pauses a stand-in started with StccSimArguments and sets values of the player's car in it.
void SetPlayerValues(RunningSim& sim);

// What probe prints of that stand-in after SetPlayerValues: who it is and the values that were set.
void ExpectProbeOfPlayerValues(const std::string& json, const RunningSim& sim);

// What probe prints of a stand-in whose version no address table knows: no values and no standings.
void ExpectProbeOfUnsupported(const std::string& json);

}  // namespace velmora::test
