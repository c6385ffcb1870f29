#include "race/lap_values.h"

#include "game/game.h"
#include "race/lap_time_text.h"
#include "values/rounding.h"

namespace velmora {
namespace {

// A best split takes a smaller time, or any time after 0 or -1 (no split yet); 0 itself resets it.
bool TakeBestSplit(std::atomic<float>& best, float split) {
  if (split == best) {
    return false;
  }
  if (split == 0.0F || split < best || best == -1.0F || best == 0.0F) {
    best = split;
    return true;
  }
  return false;
}

std::optional<double> Rounded(std::optional<double> value, int decimals) {
  return value ? RoundToDecimals(*value, decimals) : std::nullopt;
}

}  // namespace

void ClearLapGridAndFuelAverage(TGame& game) {
  if (TLapTable* table = game.FTemps.Data()) {
    table->Clear();
  }
  game.FMoyenneFuel.Clear();
  game.FMoyenneFuel.FValue = 0.0;
}

// --- TSecteurValue

void TSecteurValue::SetValue(std::int16_t Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  if (Value == 0) {
    LapCompleted();
  }
}

void TSecteurValue::LapCompleted() {
  TGame& game = *FGame;
  double& memorised = game.FMemoFuel.FValue;
  const double fuel = game.FFuel.Value();
  // The first crossing after getting into the car only takes the reference for the next lap.
  if (memorised == -1.0) {
    memorised = fuel;
    return;
  }
  const double consumption = memorised - fuel;
  game.FConsommationFuel.FValue = consumption;
  memorised = fuel;
  game.FMoyenneFuel.AddValue(consumption);
  game.FMoyenneFuel.Display();

  TVitesseValue& speed = game.FVitesse;
  const double maximum = game.ConvertSpeed(speed.FVitesseMaxi);
  speed.FVitesseMaxi = 0.0F;
  TLapTable* table = game.FTemps.Data();
  // A server fills records for its client; its own grid stays as it is.
  if (table == nullptr || game.FNetwork.NetworkType() == TNetworkType::ntServer) {
    return;
  }
  const std::size_t row = table->FindOrAppend(game.FNombreTour.Value() + 1);
  table->EditRow(row, [&](TLapRow& lap) {
    lap.MaximumSpeed = RoundToDecimals(maximum, 1);
    lap.Fuel = RoundToDecimals(consumption, 2);
  });
}

void TSecteurValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
  }
}

void TSecteurValue::WriteAndDisplayClient(TGame&, std::int16_t AValue) {
  SetValue(AValue);
}

// --- TNombreTourValue

void TNombreTourValue::SetValue(std::int16_t Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  if (Value == 0) {
    ClearLapGridAndFuelAverage(*FGame);
  }
}

void TNombreTourValue::Display() {
  if (FEtiquette != nullptr) {
    FEtiquette->SetText(WholeNumberText(FValue));
  }
}

bool TNombreTourValue::TakeFirstCount(TGame& AGame) {
  if (!FCountPending || !FActive) {
    return false;
  }
  FCountPending = false;
  FValue = Read(AGame);
  Display();
  return true;
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

// --- TTemps

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

void TTemps::ReadValue() {
  if (!FActive) {
    return;
  }
  TGame& game = *FGame;
  SetMeilleurTour(game.ReadSingleValue(FAddress + FDeltaAddressMeilleurTourFinal));
  SetMeilleurTourSecteur1(game.ReadSingleValue(FAddress + FDeltaAddressMeilleurTourSecteur1));
  SetMeilleurTourSecteur2(game.ReadSingleValue(FAddress + FDeltaAddressMeilleurTourSecteur2));
  SetDernierTourSecteur1(game.ReadSingleValue(FAddress + FDeltaAddressDernierTourSecteur1));
  SetDernierTourSecteur2(game.ReadSingleValue(FAddress + FDeltaAddressDernierTourSecteur2));
  SetDernierTour(game.ReadSingleValue(FAddress));
}

void TTemps::WriteAndDisplayClient(float AMeilleurTour, float AMeilleurTourSecteur1,
                                   float AMeilleurTourSecteur2, float ADernierTour,
                                   float ADernierTourSecteur1, float ADernierTourSecteur2) {
  SetMeilleurTour(AMeilleurTour);
  SetMeilleurTourSecteur1(AMeilleurTourSecteur1);
  SetMeilleurTourSecteur2(AMeilleurTourSecteur2);
  SetDernierTourSecteur1(ADernierTourSecteur1);
  SetDernierTourSecteur2(ADernierTourSecteur2);
  SetDernierTour(ADernierTour);
}

void TTemps::BestChanged() {
  // A server reads its times on its connection thread, and its grid stays as it was anyway.
  if (WritesRows()) {
    FData->NotifyHighlightsChanged();
  }
}

void TTemps::SetMeilleurTour(float AValue) {
  if (AValue == FMeilleurTour) {
    return;
  }
  FMeilleurTour = AValue;
  FGame->FFooterInformation.AddInformationMeilleurTourFinal(AValue);
  if (AValue == -1.0F) {
    SetMeilleurSecteur3(-1.0F);
  }
  BestChanged();
}

void TTemps::SetMeilleurTourSecteur1(float AValue) {
  if (AValue == FMeilleurTourSecteur1) {
    return;
  }
  FMeilleurTourSecteur1 = AValue;
  FGame->FFooterInformation.AddInformationMeilleurTourSecteur1(AValue);
  if (AValue == -1.0F) {
    SetMeilleurSecteur1(-1.0F);
  }
  BestChanged();
}

void TTemps::SetMeilleurTourSecteur2(float AValue) {
  if (AValue == FMeilleurTourSecteur2) {
    return;
  }
  FMeilleurTourSecteur2 = AValue;
  FGame->FFooterInformation.AddInformationMeilleurTourSecteur2(AValue);
  if (AValue == -1.0F) {
    SetMeilleurSecteur2(-1.0F);
  }
  BestChanged();
}

void TTemps::SetMeilleurSecteur1(float AValue) {
  if (TakeBestSplit(FMeilleurSecteur1, AValue)) {
    BestChanged();
  }
}

void TTemps::SetMeilleurSecteur2(float AValue) {
  if (TakeBestSplit(FMeilleurSecteur2, AValue)) {
    BestChanged();
  }
}

void TTemps::SetMeilleurSecteur3(float AValue) {
  if (TakeBestSplit(FMeilleurSecteur3, AValue)) {
    BestChanged();
  }
}

void TTemps::SetDernierTourSecteur1(float AValue) {
  if (AValue == FDernierTourSecteur1) {
    return;
  }
  FDernierTourSecteur1 = AValue;
  SetMeilleurSecteur1(AValue);
  if (FGame->FInPIT.FValue == 0) {
    WriteDernierTourSecteur1();
  }
}

void TTemps::SetDernierTourSecteur2(float AValue) {
  if (AValue == FDernierTourSecteur2) {
    return;
  }
  FDernierTourSecteur2 = AValue;
  SetMeilleurSecteur2(AValue - FDernierTourSecteur1);
  if (FGame->FInPIT.FValue == 0) {
    WriteDernierTourSecteur2();
  }
}

void TTemps::SetDernierTour(float AValue) {
  if (AValue == FDernierTour) {
    return;
  }
  FDernierTour = AValue;
  SetMeilleurSecteur3(AValue - FDernierTourSecteur2);
  if (FGame->FSecteur.Value() == 0) {
    WriteDernierTour();
  }
}

bool TTemps::WritesRows() const {
  return FData != nullptr && FGame->FNetwork.NetworkType() != TNetworkType::ntServer;
}

std::optional<std::size_t> TTemps::LapRow() {
  if (!WritesRows()) {
    return std::nullopt;
  }
  return FData->FindOrAppend(FGame->FNombreTour.Value() + 1);
}

void TTemps::ShowLastRow() {
  FData->SetCurrentRow(FData->Rows().size() - 1);
}

void TTemps::WriteDernierTourSecteur1() {
  const auto row = LapRow();
  if (!row) {
    return;
  }
  const std::string text = FormatValue(FDernierTourSecteur1);
  FData->EditRow(*row, [&](TLapRow& lap) {
    lap.Sector1 = text;
    lap.BestSector1 = text;
  });
  ShowLastRow();
}

void TTemps::WriteDernierTourSecteur2() {
  const auto row = LapRow();
  if (!row) {
    return;
  }
  const float split = FDernierTourSecteur2 - FDernierTourSecteur1;
  FData->EditRow(*row, [&](TLapRow& lap) {
    lap.Sector2 = FormatValue(FDernierTourSecteur2);
    lap.BestSector2 = FormatValue(split);
  });
  ShowLastRow();
}

void TTemps::WriteDernierTour() {
  const auto row = LapRow();
  if (!row) {
    return;
  }
  const float split = FDernierTour - FDernierTourSecteur2;
  // No lap time (0, or -1 from a simulator that has none yet) gives no speed rather than a negative one.
  std::optional<double> average = 0.0;
  if (FDernierTour > 0.0F) {
    const double length_m = FGame->FLongueurCircuit.FValue;
    average = Rounded(FGame->ConvertSpeed(length_m / FDernierTour), 1);
  }
  FData->EditRow(*row, [&](TLapRow& lap) {
    lap.Final = FormatValue(FDernierTour);
    lap.BestSector3 = FormatValue(split);
    lap.AverageSpeed = average;
  });
  ShowLastRow();
}

void TTemps::SetSecteurTime(bool ASecteurTime) {
  if (ASecteurTime == FSecteurTime) {
    return;
  }
  FSecteurTime = ASecteurTime;
  if (FData != nullptr) {
    FData->SetColumnLayout(ASecteurTime,
                           FGrid != nullptr ? std::optional<int>(FGrid->ClientWidth()) : std::nullopt);
  }
}

std::optional<Rgb> TTemps::CellColor(TLapField field, const std::string& text) const {
  float best = 0.0F;
  switch (field) {
    case TLapField::Sector1:
      best = FMeilleurTourSecteur1;
      break;
    case TLapField::Sector2:
      best = FMeilleurTourSecteur2;
      break;
    case TLapField::Final:
      best = FMeilleurTour;
      break;
    case TLapField::BestSector1:
      best = FMeilleurSecteur1;
      break;
    case TLapField::BestSector2:
      best = FMeilleurSecteur2;
      break;
    case TLapField::BestSector3:
      best = FMeilleurSecteur3;
      break;
    default:
      return std::nullopt;
  }
  // Without a best time there is nothing to mark, not even the cells that show no time either.
  if (best != 0.0F && best != -1.0F && text == FormatValue(best)) {
    return kBestTimeColor;
  }
  return std::nullopt;
}

}  // namespace velmora
