#include "values/tyre_values.h"

#include <cmath>

#include "game/game.h"
#include "values/rounding.h"
#include "values/units.h"

namespace velmora {
namespace {

constexpr double kTreadLow = 353.15;
constexpr double kTreadHigh = 373.15;
constexpr double kBrakeLow = 573.15;
constexpr double kBrakeHigh = 873.15;
constexpr double kPressureLow = 180.0;
constexpr double kPressureHigh = 220.0;
constexpr double kFlatPressure = 30.0;
constexpr double kPsiPerKpa = 0.14503773773017;

constexpr Rgb kWheelNormal{0, 0, 0};
constexpr Rgb kWheelSpins{255, 128, 64};
constexpr Rgb kWheelLocks{255, 0, 0};
constexpr float kSpinFactor = 1.2F;
constexpr float kLockFactor = 0.8F;
constexpr float kCarStopped = 0.01F;

}  // namespace

// --- TTemperaturePneuValue: rounded, halves to even

void TTemperaturePneuValue::Display(bool AMetrique) {
  if (FPanel == nullptr) {
    return;
  }
  FPanel->SetColor(BandColor(FValue, kTreadLow, kTreadHigh));
  FPanel->SetText(WholeNumberText(RoundHalfEven(KelvinToDisplayDegrees(FValue, AMetrique)).value_or(0)));
}

void TTemperaturePneuValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display(AGame.FMetrique);
  }
}

void TTemperaturePneuValue::WriteAndDisplayClient(TGame& AGame, double AValue) {
  FValue = AValue;
  Display(AGame.FMetrique);
}

// --- TDisqueFreinValue: truncated toward zero

void TDisqueFreinValue::Display(bool AMetrique) {
  if (FPanel == nullptr) {
    return;
  }
  FPanel->SetColor(BandColor(FValue, kBrakeLow, kBrakeHigh));
  FPanel->SetText(WholeNumberText(TruncateTowardZero(KelvinToDisplayDegrees(FValue, AMetrique)).value_or(0)));
}

void TDisqueFreinValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display(AGame.FMetrique);
  }
}

void TDisqueFreinValue::WriteAndDisplayClient(TGame& AGame, double AValue) {
  FValue = AValue;
  Display(AGame.FMetrique);
}

// --- TPressionPneuValue

void TPressionPneuValue::Display(bool AMetrique) {
  if (FPanel == nullptr) {
    return;
  }
  if (FValue >= 0.0 && FValue <= kFlatPressure) {
    FPanel->SetColor(kBandAbove);
    FPanel->SetText("XXX");
    return;
  }
  FPanel->SetColor(BandColor(FValue, kPressureLow, kPressureHigh));
  const double shown = AMetrique ? FValue : FValue * kPsiPerKpa;
  FPanel->SetText(WholeNumberText(RoundHalfEven(shown).value_or(0)));
}

void TPressionPneuValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display(AGame.FMetrique);
  }
}

void TPressionPneuValue::WriteAndDisplayClient(TGame& AGame, double AValue) {
  FValue = AValue;
  Display(AGame.FMetrique);
}

// --- TUsurePneuValue

void TUsurePneuValue::Display() {
  if (FGauge == nullptr) {
    return;
  }
  const std::int64_t position = FValue <= 0.8 ? 0 : RoundHalfEven(FValue * 500.0 - 400.0).value_or(0);
  FGauge->SetPosition(ClampToInt(position));
}

void TUsurePneuValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TUsurePneuValue::WriteAndDisplayClient(TGame&, double AValue) {
  FValue = AValue;
  Display();
}

// --- TVitessePneuValue

void TVitessePneuValue::Display(TGame& AGame, TPneu& APneu) {
  if (FPanel == nullptr) {
    return;
  }
  const float car_speed = AGame.FVitesse.FValue;
  if (car_speed <= kCarStopped) {
    FPanel->SetColor(kWheelNormal);
    return;
  }
  const auto surface_speed = static_cast<float>(std::fabs(APneu.FRayon.FValue * FValue));
  if (AGame.FDebugWheelSpeed != nullptr) {
    AGame.FDebugWheelSpeed->SetText(GeneralNumberText(surface_speed));
  }
  // The limits are the exact products of the single-precision speed and factors, which a double holds;
  // a product rounded to single precision can land on the surface speed itself and hide a locked wheel.
  const double car = car_speed;
  if (surface_speed > car * double{kSpinFactor}) {
    FPanel->SetColor(kWheelSpins);
  } else if (surface_speed < car * double{kLockFactor}) {
    FPanel->SetColor(kWheelLocks);
  } else {
    FPanel->SetColor(kWheelNormal);
  }
}

void TVitessePneuValue::ReadAndDisplay(TGame& AGame, TPneu& APneu) {
  if (FActive) {
    FValue = Read(AGame);
    Display(AGame, APneu);
  }
}

void TVitessePneuValue::WriteAndDisplayClient(TGame& AGame, TPneu& APneu, double AValue) {
  FValue = AValue;
  Display(AGame, APneu);
}

// --- TRayonPneuValue

void TRayonPneuValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
  }
}

void TRayonPneuValue::WriteAndDisplayClient(TGame&, double AValue) {
  FValue = AValue;
}

// --- TPneu

void TPneu::ReadAndDisplay(TGame& AGame) {
  FTempExterieure.ReadAndDisplay(AGame);
  FTempMilieu.ReadAndDisplay(AGame);
  FTempInterieure.ReadAndDisplay(AGame);
  FPression.ReadAndDisplay(AGame);
  FDisqueFrein.ReadAndDisplay(AGame);
  FUsure.ReadAndDisplay(AGame);
  FRayon.ReadAndDisplay(AGame);
  FVitesse.ReadAndDisplay(AGame, *this);
}

}  // namespace velmora
