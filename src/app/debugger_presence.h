#pragma once

namespace velmora::app {

// Whether a debugger is attached to this process.
bool DebuggerAttached();

}  // namespace velmora::app
