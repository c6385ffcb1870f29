#pragma once

#include <vector>

#include "values/value_base.h"

namespace velmora {

// Fuel level in litres, at an absolute address.
class TFuelValue final : public TValueDouble {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TFuelValue(TGame& AGame) : FGame(&AGame) {}
  double Value() const { return FValue; }
  void SetValue(double Value);
  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Fuel level at the start of the current lap; -1 while there is no lap reference.
class TMemoFuelValue final : public TValueDouble {
 public:
  TextTarget* FEtiquette = nullptr;
};

// Fuel used on the last counted lap.
class TConsommationValue final : public TValueDouble {
 public:
  TextTarget* FEtiquette = nullptr;
};

// Mean of the per-lap consumptions since the last clear.
class TMoyenneFuel final {
 public:
  bool FActive = false;
  std::vector<double> FArrayFuel;
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;
  double FValue = 0.0;

  explicit TMoyenneFuel(TGame& AOwner) : FGame(&AOwner) {}
  void Affectation(bool AActive);
  void AddValue(double AValue);
  void Clear();
};

}  // namespace velmora
