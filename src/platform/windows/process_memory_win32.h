#pragma once

#include "platform/process_memory.h"

namespace velmora::platform {

// Puts a refused open into words: `error` is the Windows error code the system gave.
OpenFailure ExplainWin32OpenFailure(unsigned long error);

}  // namespace velmora::platform
