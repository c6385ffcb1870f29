#include "platform/tick_clock.h"

#include <chrono>

namespace velmora::platform {

std::uint32_t SystemTickClock::Now() const {
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
}

}  // namespace velmora::platform
