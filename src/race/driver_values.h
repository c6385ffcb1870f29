#pragma once

#include <cstdint>

#include "values/value_base.h"

namespace velmora {

// Index of the player's own car in the simulator's array of driver records.
class TSlotJoueurValue final : public TValueByte {
 public:
  TextTarget* FEtiquette = nullptr;

  void ReadAndDisplay(TGame& AGame) {
    if (FActive) {
      FValue = Read(AGame);
    }
  }
};

// Number of drivers in the session.
class TNombreJoueurValue final : public TValueSmallInt {
 public:
  TextTarget* FEtiquette = nullptr;

  void ReadAndDisplay(TGame& AGame) {
    if (FActive) {
      FValue = Read(AGame);
    }
  }
  void WriteAndDisplayClient(std::int16_t AValue) { FValue = AValue; }
};

// Car name of a driver record.
class TNomVoitureValue final : public TPerDriver<TValueString> {
 public:
  TextTarget* FLabel_caption = nullptr;
};

// Driver name of a driver record; the driver list reads every driver's name through the base address.
class TNomPiloteValue final : public TPerDriver<TValueString> {
 public:
  TextTarget* FLabel_caption = nullptr;
};

// Race position of a driver record.
class TPositionValue final : public TPerDriver<TValueSmallInt> {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TPositionValue(TGame& AOwner) : FGame(&AOwner) {}
  std::int16_t Value() const { return FValue; }
  // A fall to 0 (the car has no place: a new session) empties the lap grid and the fuel average.
  void SetValue(std::int16_t Value);
  // A client's received position; it has no label, so nothing is shown.
  void WriteAndDisplayClient(std::int16_t AValue) { SetValue(AValue); }
};

}  // namespace velmora
