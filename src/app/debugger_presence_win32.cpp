#include <windows.h>

#include "app/debugger_presence.h"

namespace velmora::app {

bool DebuggerAttached() {
  return IsDebuggerPresent() != FALSE;
}

}  // namespace velmora::app
