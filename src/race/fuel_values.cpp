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

void TFuelValue::Display() {}

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

}  // namespace velmora
