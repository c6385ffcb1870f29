#pragma once

#include <cstdint>
#include <string>

#include "platform/tick_clock.h"
#include "values/display_targets.h"

namespace velmora {

class TGame;

// The raw read of the game model that matches a datum type; defined with TGame.
template <typename T>
T ReadRaw(TGame& game, std::uint32_t address);

// The six bases of the value family share one shape and differ only in the datum type, so they are one
// template. Concrete classes call through their own type; nothing here is virtual.
template <typename T>
class TValue {
 public:
  bool FActive = false;
  std::uint32_t FAddress = 0;
  T FValue{};

  // An attach gives every listed member its address; the old value belongs to the old attach.
  void Affectation(std::uint32_t AAddress, bool AActive) {
    FAddress = AAddress;
    FActive = AActive;
    FValue = T{};
  }

  T Read(TGame& AGame) const { return ReadRaw<T>(AGame, FAddress); }
};

using TValueDouble = TValue<double>;
using TValueSingle = TValue<float>;
using TValueInteger = TValue<std::int32_t>;
using TValueSmallInt = TValue<std::int16_t>;
using TValueByte = TValue<std::uint8_t>;
using TValueString = TValue<std::string>;

// A datum the simulator keeps once per driver: the table gives its place in the record of slot 0, and the
// address actually read follows from the player's slot.
template <typename Base>
class TPerDriver : public Base {
 public:
  std::uint32_t FBaseAddress = 0;

  void Affectation(std::uint32_t ABaseAddress, bool AActive) {
    FBaseAddress = ABaseAddress;
    this->FActive = AActive;
    this->FValue = {};
  }

  // Unsigned 32-bit arithmetic, as the simulator's own addresses wrap.
  std::uint32_t RecordAddress(std::uint32_t slot, std::uint32_t record_length) const {
    return FBaseAddress + slot * record_length;
  }
};

// A value that refreshes at most once per period, whatever the pace of the cycle that asks it.
template <typename Base>
class TThrottled : public Base {
 public:
  std::uint32_t FDelaTime;
  std::uint32_t FTimer = 0;

  explicit TThrottled(std::uint32_t period_ms) : FDelaTime(period_ms) {}

  // Takes the tick as the refresh time when the period has passed.
  bool TakeRefresh(std::uint32_t now) {
    if (!platform::TicksElapsed(now, FTimer, FDelaTime)) {
      return false;
    }
    FTimer = now;
    return true;
  }
};

// Lamps and gauges are redrawn only when their state changes, so the fast cycle does not repaint them.
inline void ShowPictureIfChanged(PictureTarget* target, int picture) {
  if (target != nullptr && target->Picture() != picture) {
    target->ShowPicture(picture);
  }
}

inline void SetPositionIfChanged(PositionTarget* target, int position) {
  if (target != nullptr && target->Position() != position) {
    target->SetPosition(position);
  }
}

// The three-band rule shared by temperature and pressure panels: below, inside [low, high), at or above.
inline constexpr Rgb kBandBelow{0, 128, 255};
inline constexpr Rgb kBandInside{0, 255, 128};
inline constexpr Rgb kBandAbove{255, 64, 64};

constexpr Rgb BandColor(double stored, double low, double high) {
  if (stored < low) {
    return kBandBelow;
  }
  return stored < high ? kBandInside : kBandAbove;
}

}  // namespace velmora
