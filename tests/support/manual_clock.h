#pragma once

#include <atomic>
#include <cstdint>

#include "platform/tick_clock.h"

namespace velmora::test {

// A tick clock the test sets by hand; safe to read from the scan thread.
class ManualClock final : public platform::TickClock {
 public:
  explicit ManualClock(std::uint32_t now = 0) : now_(now) {}
  std::uint32_t Now() const override { return now_.load(); }
  void Set(std::uint32_t now) { now_.store(now); }
  void Advance(std::uint32_t ms) { now_.fetch_add(ms); }

 private:
  std::atomic<std::uint32_t> now_;
};

}  // namespace velmora::test
