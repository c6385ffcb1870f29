#include "race/lap_values.h"

#include "game/game.h"
#include "values/rounding.h"

namespace velmora {

void TSecteurValue::SetValue(std::int16_t Value) {
  if (Value != FValue) {
    FValue = Value;
  }
}

void TSecteurValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
  }
}

void TSecteurValue::WriteAndDisplayClient(TGame&, std::int16_t AValue) {
  SetValue(AValue);
}

void TNombreTourValue::SetValue(std::int16_t Value) {
  if (Value != FValue) {
    FValue = Value;
  }
}

void TNombreTourValue::Display() {
  if (FEtiquette != nullptr) {
    FEtiquette->SetText(WholeNumberText(FValue));
  }
}

void TNombreTourValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
    Display();
  }
}

void TNombreTourValue::WriteAndDisplayClient(TGame&, std::int16_t AValue) {
  SetValue(AValue);
  Display();
}

void TTemps::Affectation(std::uint32_t ABaseAddress, std::uint32_t ADeltaDernierTourSecteur1,
                         std::uint32_t ADeltaDernierTourSecteur2, std::uint32_t ADeltaMeilleurTourFinal,
                         std::uint32_t ADeltaMeilleurTourSecteur1, std::uint32_t ADeltaMeilleurTourSecteur2,
                         bool AActive) {
  FBaseAddress = ABaseAddress;
  FDeltaAddressDernierTourSecteur1 = ADeltaDernierTourSecteur1;
  FDeltaAddressDernierTourSecteur2 = ADeltaDernierTourSecteur2;
  FDeltaAddressMeilleurTourFinal = ADeltaMeilleurTourFinal;
  FDeltaAddressMeilleurTourSecteur1 = ADeltaMeilleurTourSecteur1;
  FDeltaAddressMeilleurTourSecteur2 = ADeltaMeilleurTourSecteur2;
  FActive = AActive;
  FDernierTour = FDernierTourSecteur1 = FDernierTourSecteur2 = 0.0F;
  FMeilleurTour = FMeilleurTourSecteur1 = FMeilleurTourSecteur2 = 0.0F;
  FMeilleurSecteur1 = FMeilleurSecteur2 = FMeilleurSecteur3 = 0.0F;
}

}  // namespace velmora
