#pragma once

#include "platform/process_memory.h"

namespace velmora::platform {

// Puts a refused open into words: `error` is what the kernel said, `another_user` whether the process
// belongs to another user, `ptrace_scope` the Yama setting (-1 when the kernel has none).
OpenFailure ExplainOpenFailure(int error, bool another_user, int ptrace_scope);

}  // namespace velmora::platform
