#include "race/session.h"

#include <cmath>

#include "game/game.h"
#include "values/rounding.h"

namespace velmora {
namespace {

template <typename Value>
void ReadIfActive(Value& value, TGame& game) {
  if (value.FActive) {
    value.FValue = value.Read(game);
  }
}

// Minutes and seconds of a time left, each at least two digits ("17:25", "120:00"); none when the time is
// not a number or does not fit 64 bits.
std::optional<std::string> MinutesSeconds(float remaining_s) {
  const auto whole = TruncateTowardZero(remaining_s);
  if (!whole) {
    return std::nullopt;
  }
  const auto two_digits = [](std::int64_t value) {
    return *PatternNumberText(static_cast<double>(value), 2, 0);
  };
  return two_digits(*whole / 60) + ":" + two_digits(*whole % 60);
}

}  // namespace

void TTypeSessionValue::ReadAndDisplay(TGame& AGame) {
  ReadIfActive(*this, AGame);
}
void TTimerSessionValue::ReadAndDisplay(TGame& AGame) {
  ReadIfActive(*this, AGame);
}
void TTempsSessionValue::ReadAndDisplay(TGame& AGame) {
  ReadIfActive(*this, AGame);
}
void TTempsSessionGreenFlagValue::ReadAndDisplay(TGame& AGame) {
  ReadIfActive(*this, AGame);
}
void TNbDeTourSsssionValue::ReadAndDisplay(TGame& AGame) {
  ReadIfActive(*this, AGame);
}

TSessionGTR::TSessionGTR(TGame& AGame) : FGame(&AGame), FTimer(AGame.TickCount()) {}

void TSessionGTR::Affectation(std::uint32_t AAddressTypeSession, std::uint32_t AAddressTimerSession,
                              std::uint32_t AAddressTempsSession, std::uint32_t AAddressTempsSessionGreenFlag,
                              std::uint32_t AAddressNbToursSession, bool AActive) {
  FTypeSession.Affectation(AAddressTypeSession, AActive);
  FTimerSession.Affectation(AAddressTimerSession, AActive);
  FTempsSesion.Affectation(AAddressTempsSession, AActive);
  FTempsGreenFlag.Affectation(AAddressTempsSessionGreenFlag, AActive);
  FNbDeToursSession.Affectation(AAddressNbToursSession, AActive);
}

std::int32_t TSessionGTR::CalculMinute(float AValue) {
  return static_cast<std::int32_t>(TruncateTowardZero(AValue).value_or(0) / 60);
}

std::int32_t TSessionGTR::CalculSeconde(float AValue) {
  return static_cast<std::int32_t>(TruncateTowardZero(AValue).value_or(0) % 60);
}

bool TSessionGTR::RefreshDue() const {
  return static_cast<std::uint32_t>(FGame->TickCount() - FTimer) >= kRefresh_ms;
}

void TSessionGTR::ReadAndDisplay(TGame& AGame) {
  if (!RefreshDue()) {
    return;
  }
  FTypeSession.ReadAndDisplay(AGame);
  FTempsSesion.ReadAndDisplay(AGame);
  FTimerSession.ReadAndDisplay(AGame);
  FTempsGreenFlag.ReadAndDisplay(AGame);
  FNbDeToursSession.ReadAndDisplay(AGame);
  Show();
}

void TSessionGTR::WriteAndDisplayClient(TGame&, std::int32_t ATypeSession, float ATimerSession,
                                        float ATempsSession, float ATempsGreenFlag,
                                        std::int16_t ANbDeToursSession) {
  if (!RefreshDue()) {
    return;
  }
  FTypeSession.FValue = ATypeSession;
  FTimerSession.FValue = ATimerSession;
  FTempsSesion.FValue = ATempsSession;
  FTempsGreenFlag.FValue = ATempsGreenFlag;
  FNbDeToursSession.FValue = ANbDeToursSession;
  Show();
}

void TSessionGTR::Show() {
  if (FEtiquette != nullptr) {
    FEtiquette->SetText(FormatTypeSession(FTypeSession.FValue));
  }
  if (FEtiquetteTemps != nullptr) {
    FEtiquetteTemps->SetText(TempsSessionText());
  }
  FTimer = FGame->TickCount();
}

std::string TSessionGTR::FormatTypeSession(std::int32_t ATypeSession) {
  switch (ATypeSession) {
    case 1:
      return "Practice 1";
    case 2:
      return "Practice 2";
    case 3:
      return "Qualifying";
    case 5:
      return "Warmup";
    case 6:
      return "Race 1";
    case 7:
      return "Race 2";
    case 8:
      return "Event Result";
    default:
      return "N/A";
  }
}

std::string TSessionGTR::TempsSessionText() const {
  static const std::string kNone = "N/A";
  const float remaining = FTempsSesion.FValue - FTimerSession.FValue;
  switch (FTypeSession.FValue) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 8:
      if (remaining < 0.0F) {
        return "00:00";
      }
      return MinutesSeconds(remaining).value_or(kNone);
    case 6:
    case 7: {
      const std::int16_t laps = FNbDeToursSession.FValue;
      if (laps >= 0) {
        return WholeNumberText(laps) + " laps";
      }
      // A race on time: its clock means something only once the driver is in the car.
      if (FGame->FInCokpit.Value() != 1) {
        return kNone;
      }
      if (remaining < 0.0F) {
        return "00:00";
      }
      return MinutesSeconds(remaining).value_or(kNone);
    }
    default:
      return kNone;
  }
}

}  // namespace velmora
