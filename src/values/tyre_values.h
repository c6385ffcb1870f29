#pragma once

#include "values/value_base.h"

namespace velmora {

class TPneu;

// Tread temperature, K.
class TTemperaturePneuValue final : public TValueDouble {
 public:
  PanelTarget* FPanel = nullptr;

  void Display(bool AMetrique);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Tyre pressure, kPa.
class TPressionPneuValue final : public TValueDouble {
 public:
  PanelTarget* FPanel = nullptr;

  void Display(bool AMetrique);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Brake disc temperature, K.
class TDisqueFreinValue final : public TValueDouble {
 public:
  PanelTarget* FPanel = nullptr;

  void Display(bool AMetrique);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Tread left as a fraction, 1.0 when new; the gauge spans only the last fifth above 0.8.
class TUsurePneuValue final : public TValueDouble {
 public:
  PositionTarget* FGauge = nullptr;

  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// Wheel rotation speed, rad/s; its panel colours the whole wheel when it spins or locks.
class TVitessePneuValue final : public TValueDouble {
 public:
  PanelTarget* FPanel = nullptr;

  void Display(TGame& AGame, TPneu& APneu);
  void ReadAndDisplay(TGame& AGame, TPneu& APneu);
  void WriteAndDisplayClient(TGame& AGame, TPneu& APneu, double AValue);
};

// Tyre radius, m; needed only to turn the wheel's rotation into a surface speed.
class TRayonPneuValue final : public TValueDouble {
 public:
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, double AValue);
};

// One wheel of the driven car.
class TPneu final {
 public:
  TDisqueFreinValue FDisqueFrein;
  TPressionPneuValue FPression;
  TRayonPneuValue FRayon;
  TTemperaturePneuValue FTempExterieure;
  TTemperaturePneuValue FTempInterieure;
  TTemperaturePneuValue FTempMilieu;
  TUsurePneuValue FUsure;
  TVitessePneuValue FVitesse;

  // The radius is read before the wheel speed so that the spin test uses the radius of the same cycle.
  void ReadAndDisplay(TGame& AGame);
};

}  // namespace velmora
