#include "race/fuel_values.h"

#include <numeric>

#include "game/game.h"

namespace velmora {

void TFuelValue::SetValue(double Value) {
  if (Value == FValue) {
    return;
  }
  // A rise is a refuel (or the first level read): the lap's fuel reference starts from it.
  if (Value > FValue) {
    FGame->FMemoFuel.FValue = Value;
  }
  FValue = Value;
}

void TFuelValue::Display() {
  TFooterInformation& footer = FGame->FFooterInformation;
  if (footer.FVirtualTree != nullptr) {
    footer.AddInformationFuel(FValue);
  }
}

void TFuelValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
    Display();
  }
}

void TFuelValue::WriteAndDisplayClient(TGame&, double AValue) {
  SetValue(AValue);
  Display();
}

void TMoyenneFuel::Affectation(bool AActive) {
  FActive = AActive;
  FValue = 0.0;
}

void TMoyenneFuel::AddValue(double AValue) {
  FArrayFuel.push_back(AValue);
  FValue =
      std::accumulate(FArrayFuel.begin(), FArrayFuel.end(), 0.0) / static_cast<double>(FArrayFuel.size());
}

void TMoyenneFuel::Clear() {
  FArrayFuel.clear();
}

void TMoyenneFuel::Display() {
  FGame->FFooterInformation.AddInformationMoyenneFuel(FValue);
}

void TTourRestant::SetBlinkOn(bool ABlinkOn) {
  if (ABlinkOn != FBlinkOn) {
    FBlinkOn = ABlinkOn;
    BlinkTime = FGame->TickCount();
  }
}

void TTourRestant::SetValue(double Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  SetBlinkOn(Value > 0.0 && Value < kWarningLaps);
}

double TTourRestant::Read(TGame& AGame) const {
  const double average = AGame.FMoyenneFuel.Value();
  return average > 0.0 ? AGame.FFuel.Value() / average : 0.0;
}

void TTourRestant::ReadAndDisplay(TGame& AGame) {
  SetValue(Read(AGame));
  Display();
}

void TTourRestant::Display() {
  // Without an average there is no estimate; the warning is left for the summary row to switch off.
  if (!(FGame->FMoyenneFuel.Value() > 0.0)) {
    FValue = 0.0;
  }
  FGame->FFooterInformation.AddInformationToursRestants(FValue);
}

}  // namespace velmora
