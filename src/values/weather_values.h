#pragma once

#include "values/value_base.h"

namespace velmora {

// A weather gauge formats temperatures in the unit it is told.
class TemperatureGaugeTarget : public GaugeValueTarget {
 public:
  virtual void SetMetrique(bool metric) = 0;
};

// Weather changes slowly: each value refreshes at most once per period of its own, which also spaces the
// samples its gauge's trend arrow compares.
class TTemperatureValueSingle final : public TThrottled<TValueSingle> {
 public:
  TemperatureGaugeTarget* FEtiquette = nullptr;

  TTemperatureValueSingle() : TThrottled(5000) {}
  void Display(TGame& AGame);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

class THumidityValueSingle final : public TThrottled<TValueSingle> {
 public:
  GaugeValueTarget* FEtiquette = nullptr;

  THumidityValueSingle() : TThrottled(3000) {}
  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

class TMeteoValueSingle final : public TThrottled<TValueSingle> {
 public:
  GaugeValueTarget* FEtiquette = nullptr;

  TMeteoValueSingle() : TThrottled(5000) {}
  void Display(TGame& AGame);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, float AValue);
};

}  // namespace velmora
