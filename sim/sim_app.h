#pragma once

#include "options.h"

namespace velmora::sim {

// Runs the stand-in until it is told to quit: maps its memory, writes and maps its executable image,
// shows its window, says "ready pid=<pid>", then drives the session on the wall clock and answers the
// commands on standard input. Returns the exit status.
int RunSimulator(const SimOptions& options);

}  // namespace velmora::sim
