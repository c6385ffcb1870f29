#include <windows.h>

#include "platform/tick_clock.h"

namespace velmora::platform {

std::uint32_t SystemTickClock::Now() const {
  return GetTickCount();
}

}  // namespace velmora::platform
