#pragma once

#include <cstdint>
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
  // Shows the level as the summary row's "Fuel Left".
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
  double Value() const { return FValue; }
  // Shows the average as the summary row's "Ave. Fuel".
  void Display();
};

// Laps the fuel left allows at the average consumption, and the low-fuel warning.
class TTourRestant final {
 public:
  // The warning is on strictly between 0 and this many laps.
  static constexpr double kWarningLaps = 3.0;

  bool FBlinkOn = false;
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;
  double FValue = 0.0;
  // Tick count of the last change of the warning or of the last blink step.
  std::uint32_t BlinkTime = 0;

  explicit TTourRestant(TGame& AOwner) : FGame(&AOwner) {}
  bool BlinkOn() const { return FBlinkOn; }
  void SetBlinkOn(bool ABlinkOn);
  double Value() const { return FValue; }
  void SetValue(double Value);
  // Fuel left over the average per lap; 0 while there is no average.
  double Read(TGame& AGame) const;
  void ReadAndDisplay(TGame& AGame);
  // Shows the laps left as the summary row's "Laps Left".
  void Display();
};

}  // namespace velmora
