#pragma once

#include <cstdint>

#include "values/value_base.h"

namespace velmora {

// Index of the sector the driven car is in; 0 is the first sector of a lap.
class TSecteurValue final : public TPerDriver<TValueSmallInt> {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TSecteurValue(TGame& AOwner) : FGame(&AOwner) {}
  std::int16_t Value() const { return FValue; }
  void SetValue(std::int16_t Value);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);
};

// The simulator's lap count for the driven car.
class TNombreTourValue final : public TPerDriver<TValueSmallInt> {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TNombreTourValue(TGame& AOwner) : FGame(&AOwner) {}
  std::int16_t Value() const { return FValue; }
  void SetValue(std::int16_t Value);
  void Display();
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);
};

// The timing block of the driven car's record: last and best lap with their intermediates.
class TTemps final {
 public:
  bool FActive = false;
  std::uint32_t FAddress = 0;
  std::uint32_t FBaseAddress = 0;
  std::uint32_t FDeltaAddressDernierTourSecteur1 = 0;
  std::uint32_t FDeltaAddressDernierTourSecteur2 = 0;
  std::uint32_t FDeltaAddressMeilleurTourFinal = 0;
  std::uint32_t FDeltaAddressMeilleurTourSecteur1 = 0;
  std::uint32_t FDeltaAddressMeilleurTourSecteur2 = 0;
  float FDernierTour = 0.0F;
  float FDernierTourSecteur1 = 0.0F;
  float FDernierTourSecteur2 = 0.0F;
  float FMeilleurSecteur1 = 0.0F;
  float FMeilleurSecteur2 = 0.0F;
  float FMeilleurSecteur3 = 0.0F;
  float FMeilleurTour = 0.0F;
  float FMeilleurTourSecteur1 = 0.0F;
  float FMeilleurTourSecteur2 = 0.0F;
  TGame* FGame;

  explicit TTemps(TGame& AOwner) : FGame(&AOwner) {}
  void Affectation(std::uint32_t ABaseAddress, std::uint32_t ADeltaDernierTourSecteur1,
                   std::uint32_t ADeltaDernierTourSecteur2, std::uint32_t ADeltaMeilleurTourFinal,
                   std::uint32_t ADeltaMeilleurTourSecteur1, std::uint32_t ADeltaMeilleurTourSecteur2,
                   bool AActive);
};

}  // namespace velmora
