#pragma once

#include <cstdint>

#include "values/value_base.h"

namespace velmora {

// Water and oil temperature, stored in kelvin.
class TEauValue final : public TValueDouble {
 public:
  PanelTarget* FPanel = nullptr;

  void Display(bool AMetrique);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Engine life left, shown as a percentage of the life of a new engine, which the simulator keeps nearby.
class TUsureMoteurValue final : public TValueDouble {
 public:
  std::uint32_t FAddressUsureReference = 0;
  PanelTarget* FPanel = nullptr;
  double FUsureReference = 0.0;

  using TValueDouble::Affectation;
  void Affectation(std::uint32_t AAddress, std::uint32_t ADeltaAddressReferenseUsure, bool AActive);
  double ReadUsureRefenrence(TGame& AGame) const;
  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue, double AValueReference);
};

// Engaged gear: -1 reverse, 0 neutral.
class TRapportVitesseValue final : public TValueSmallInt {
 public:
  TextTarget* FEtiquette = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);
};

// A driver aid with levels 0 (off), 1 and 2.
class TLed3LevelValue final : public TValueSmallInt {
 public:
  PictureTarget* FLed = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);
};

// A lamp that is off (0) or on (1).
class TLed2LevelValue : public TValueByte {
 public:
  PictureTarget* FLed = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(std::uint8_t AValue);
};

// A lamp of the driven car, kept in its driver record.
class TPhareValue final : public TPerDriver<TLed2LevelValue> {};

// Ignition.
class TContactValue final : public TValueByte {
 public:
  TGame* FGame;
  PictureTarget* FLed = nullptr;

  explicit TContactValue(TGame& AOwner) : FGame(&AOwner) {}
  std::uint8_t Value() const { return FValue; }
  void SetValue(std::uint8_t Value);
  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(std::uint8_t AValue);
};

// 1 while the driver sits in the car. Its changes drive the entry steps and the lamp reset.
class TCokpitValue final : public TValueByte {
 public:
  TGame* FGame;

  explicit TCokpitValue(TGame& AOwner) : FGame(&AOwner) {}
  std::uint8_t Value() const { return FValue; }
  void SetValue(std::uint8_t Value);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(std::uint8_t AValue);
  // What getting into the car starts: the track length and fuel are read, the lap's fuel reference starts
  // afresh and the player's own record is located again.
  void RunEntrySteps();
};

// Pedal travel, 0.0 to 1.0, shown on a 0 to 100 bar.
class TAccelerationValueSingle final : public TValueSingle {
 public:
  PositionTarget* FGauge = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

// Engine speed of the driven car; its lamp tells whether the engine runs.
class TMotorRPMValueSingle final : public TPerDriver<TValueSingle> {
 public:
  PictureTarget* FLed = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

// Distance of the driven car; read for the record and the driver list, never shown on its own.
class TDistanceValue final : public TPerDriver<TValueSingle> {
 public:
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

// Car speed in m/s, with the highest speed since the lap timing last reset it.
class TVitesseValue final : public TPerDriver<TValueSingle> {
 public:
  TextTarget* FEtiquette = nullptr;
  float FVitesseMaxi = 0.0F;

  float Value() const { return FValue; }
  void SetValue(float Value);
  void Display(TGame& AGame);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

// Track length in metres; read when the driver gets into the car.
class TLongueurCircuit final : public TValueSingle {
 public:
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

}  // namespace velmora
