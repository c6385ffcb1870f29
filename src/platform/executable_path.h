#pragma once

#include <cstdint>
#include <string>

namespace velmora::platform {

// The full path of the executable file that process `pid` runs, or empty text when it cannot be told.
//
// A Windows program run through a compatibility layer appears as the loader's process with the program's
// image mapped into it, so the first mapped file whose name ends in ".exe" (in any case) is the answer;
// only when there is none is the process's own executable taken.
//
// When that file has been deleted or replaced since the process mapped it, the result is empty: the name
// now leads to another file, or none, whose version would not be the one running.
std::string ExecutablePathOfProcess(std::uint32_t pid);

}  // namespace velmora::platform
