#pragma once

#include <cstdint>
#include <string>

#include "values/value_base.h"

namespace velmora {

class TTypeSessionValue final : public TValueInteger {
 public:
  void ReadAndDisplay(TGame& AGame);
};
class TTimerSessionValue final : public TValueSingle {
 public:
  void ReadAndDisplay(TGame& AGame);
};
class TTempsSessionValue final : public TValueSingle {
 public:
  void ReadAndDisplay(TGame& AGame);
};
class TTempsSessionGreenFlagValue final : public TValueSingle {
 public:
  void ReadAndDisplay(TGame& AGame);
};
class TNbDeTourSsssionValue final : public TValueSmallInt {
 public:
  void ReadAndDisplay(TGame& AGame);
};

// The kind of session the simulator runs and how much of it is left, shown in two labels and refreshed
// at most once every 900 ms whether or not the driver sits in the car.
class TSessionGTR final {
 public:
  static constexpr std::uint32_t kRefresh_ms = 900;

  TextTarget* FEtiquette = nullptr;       // the session's name
  TextTarget* FEtiquetteTemps = nullptr;  // time left, or the laps of a race
  TGame* FGame;
  TNbDeTourSsssionValue FNbDeToursSession;  // negative for a race run on time
  TTempsSessionGreenFlagValue FTempsGreenFlag;
  TTempsSessionValue FTempsSesion;   // length, seconds
  std::uint32_t FTimer;              // tick count of the last refresh
  TTimerSessionValue FTimerSession;  // elapsed, seconds
  TTypeSessionValue FTypeSession;

  explicit TSessionGTR(TGame& AGame);
  void Affectation(std::uint32_t AAddressTypeSession, std::uint32_t AAddressTimerSession,
                   std::uint32_t AAddressTempsSession, std::uint32_t AAddressTempsSessionGreenFlag,
                   std::uint32_t AAddressNbToursSession, bool AActive);

  void ReadAndDisplay(TGame& AGame);
  // Values that arrive within 900 ms of the last refresh are dropped.
  void WriteAndDisplayClient(TGame& AGame, std::int32_t ATypeSession, float ATimerSession,
                             float ATempsSession, float ATempsGreenFlag, std::int16_t ANbDeToursSession);

  static std::int32_t CalculMinute(float AValue);
  static std::int32_t CalculSeconde(float AValue);

  // "Practice 1", ..., "Event Result", or "N/A" for a code no session has.
  static std::string FormatTypeSession(std::int32_t ATypeSession);
  // The text of the time label for the values held now.
  std::string TempsSessionText() const;

 private:
  bool RefreshDue() const;
  void Show();
};

}  // namespace velmora
