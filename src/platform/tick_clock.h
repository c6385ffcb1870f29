#pragma once

#include <cstdint>

namespace velmora::platform {

// The platform's 32-bit millisecond tick count. It wraps after about 49.7 days, so every throttle compares
// ticks by unsigned subtraction.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual std::uint32_t Now() const = 0;
};

// Milliseconds of the monotonic system clock, truncated to 32 bits.
class SystemTickClock final : public TickClock {
 public:
  std::uint32_t Now() const override;
};

// True when more than `period_ms` has passed from `since` to `now`, across a wrap of the counter too.
constexpr bool TicksElapsed(std::uint32_t now, std::uint32_t since, std::uint32_t period_ms) {
  return static_cast<std::uint32_t>(now - since) > period_ms;
}

}  // namespace velmora::platform
