#include "values/engine_values.h"

#include "game/game.h"
#include "values/rounding.h"
#include "values/units.h"

namespace velmora {
namespace {

constexpr double kLiquidLow = 363.15;
constexpr double kLiquidHigh = 373.15;

constexpr Rgb kWearGood{0, 255, 128};
constexpr Rgb kWearLow{255, 128, 0};
constexpr Rgb kWearCritical{255, 0, 0};

constexpr float kEngineRunning = 50.0F;

}  // namespace

// --- TEauValue

void TEauValue::Display(bool AMetrique) {
  if (FPanel == nullptr) {
    return;
  }
  FPanel->SetColor(BandColor(FValue, kLiquidLow, kLiquidHigh));
  FPanel->SetText(WholeNumberText(TruncateTowardZero(KelvinToDisplayDegrees(FValue, AMetrique)).value_or(0)));
}

void TEauValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display(AGame.FMetrique);
  }
}

void TEauValue::WriteAndDisplayClient(TGame& AGame, double AValue) {
  FValue = AValue;
  Display(AGame.FMetrique);
}

// --- TUsureMoteurValue

void TUsureMoteurValue::Affectation(std::uint32_t AAddress, std::uint32_t ADeltaAddressReferenseUsure,
                                    bool AActive) {
  FAddress = AAddress;
  FAddressUsureReference = AAddress + ADeltaAddressReferenseUsure;
  FActive = AActive;
  FValue = 0.0;
}

double TUsureMoteurValue::ReadUsureRefenrence(TGame& AGame) const {
  return AGame.ReadDoubleValue(FAddressUsureReference);
}

void TUsureMoteurValue::Display() {
  if (FPanel == nullptr) {
    return;
  }
  // A reference of 0 or a percentage beyond any whole number counts as 0.
  const std::int64_t percent = RoundHalfEven(FValue * 100.0 / FUsureReference).value_or(0);
  FPanel->SetColor(percent >= 50 ? kWearGood : percent >= 25 ? kWearLow : kWearCritical);
  FPanel->SetText(WholeNumberText(percent) + "%");
}

void TUsureMoteurValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FUsureReference = ReadUsureRefenrence(AGame);
    FValue = Read(AGame);
    Display();
  }
}

void TUsureMoteurValue::WriteAndDisplayClient(TGame&, double AValue, double AValueReference) {
  FValue = AValue;
  FUsureReference = AValueReference;
  Display();
}

// --- TRapportVitesseValue

void TRapportVitesseValue::Display() {
  if (FEtiquette == nullptr) {
    return;
  }
  switch (FValue) {
    case -1:
      FEtiquette->SetText("R");
      break;
    case 0:
      FEtiquette->SetText("N");
      break;
    default:
      FEtiquette->SetText(WholeNumberText(FValue));
  }
}

void TRapportVitesseValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TRapportVitesseValue::WriteAndDisplayClient(TGame&, std::int16_t AValue) {
  FValue = AValue;
  Display();
}

// --- TLed3LevelValue

void TLed3LevelValue::Display() {
  ShowPictureIfChanged(FLed, FValue == 1 ? 2 : FValue == 2 ? 3 : 1);
}

void TLed3LevelValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TLed3LevelValue::WriteAndDisplayClient(TGame&, std::int16_t AValue) {
  FValue = AValue;
  Display();
}

// --- TLed2LevelValue

namespace {

// 0 and 1 are the only states a two-level lamp knows; anything else leaves it as it is.
void ShowTwoLevelLamp(PictureTarget* led, std::uint8_t value) {
  if (value <= 1) {
    ShowPictureIfChanged(led, value + 1);
  }
}

}  // namespace

void TLed2LevelValue::Display() {
  ShowTwoLevelLamp(FLed, FValue);
}

void TLed2LevelValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TLed2LevelValue::WriteAndDisplayClient(std::uint8_t AValue) {
  FValue = AValue;
  Display();
}

// --- TContactValue

void TContactValue::SetValue(std::uint8_t Value) {
  if (Value != FValue) {
    FValue = Value;
  }
}

void TContactValue::Display() {
  ShowTwoLevelLamp(FLed, FValue);
}

void TContactValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
    Display();
  }
}

void TContactValue::WriteAndDisplayClient(std::uint8_t AValue) {
  SetValue(AValue);
  Display();
}

// --- TCokpitValue

void TCokpitValue::SetValue(std::uint8_t Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  TGame& game = *FGame;
  if (Value == 1 && game.FNetwork.NetworkType() != TNetworkType::ntServer) {
    RunEntrySteps();
    return;
  }
  ShowPictureIfChanged(game.FMotorRPM.FLed, 1);
  ShowPictureIfChanged(game.FContact.FLed, 1);
  ShowPictureIfChanged(game.FPhares.FLed, 1);
}

void TCokpitValue::RunEntrySteps() {
  TGame& game = *FGame;
  if (game.FNetwork.NetworkType() == TNetworkType::ntClient) {
    // A client reads no simulator: the record being applied is its reading. Without this the first
    // level it applies would count as a refuel and the lap under way as a whole lap's fuel.
    game.FLongueurCircuit.WriteAndDisplayClient(game, game.GameData.LongueurCircuit);
    game.FFuel.WriteAndDisplayClient(game, game.GameData.Fuel);
  } else {
    game.FLongueurCircuit.ReadAndDisplay(game);
    game.FFuel.ReadAndDisplay(game);
  }
  game.FMemoFuel.FValue = -1.0;
  // The player's own record may have moved to another slot since the last time.
  if (game.FSlotJoueur.FActive) {
    game.UpdatePlayerAddresses();
  }
}

void TCokpitValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
  }
}

void TCokpitValue::WriteAndDisplayClient(std::uint8_t AValue) {
  SetValue(AValue);
}

// --- TAccelerationValueSingle

void TAccelerationValueSingle::Display() {
  if (FGauge == nullptr) {
    return;
  }
  const auto position = RoundHalfEven(static_cast<double>(FValue) * 100.0).value_or(0);
  SetPositionIfChanged(FGauge, ClampToInt(position));
}

void TAccelerationValueSingle::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TAccelerationValueSingle::WriteAndDisplayClient(TGame&, float AValue) {
  FValue = AValue;
  Display();
}

// --- TMotorRPMValueSingle

void TMotorRPMValueSingle::Display() {
  ShowPictureIfChanged(FLed, FValue > kEngineRunning ? 2 : 1);
}

void TMotorRPMValueSingle::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
    Display();
  }
}

void TMotorRPMValueSingle::WriteAndDisplayClient(TGame&, float AValue) {
  FValue = AValue;
  Display();
}

// --- TDistanceValue

void TDistanceValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
  }
}

void TDistanceValue::WriteAndDisplayClient(TGame&, float AValue) {
  FValue = AValue;
}

// --- TVitesseValue

void TVitesseValue::SetValue(float Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  if (FValue > FVitesseMaxi) {
    FVitesseMaxi = FValue;
  }
}

void TVitesseValue::Display(TGame& AGame) {
  if (FEtiquette == nullptr) {
    return;
  }
  const double tenths = RoundHalfEven(AGame.ConvertSpeed(FValue) * 10.0).value_or(0);
  FEtiquette->SetText(GeneralNumberText(tenths / 10.0));
}

void TVitesseValue::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    SetValue(Read(AGame));
    Display(AGame);
  }
}

void TVitesseValue::WriteAndDisplayClient(TGame& AGame, float AValue) {
  SetValue(AValue);
  Display(AGame);
}

// --- TLongueurCircuit

void TLongueurCircuit::ReadAndDisplay(TGame& AGame) {
  if (FActive) {
    FValue = Read(AGame);
  }
}

void TLongueurCircuit::WriteAndDisplayClient(TGame&, float AValue) {
  FValue = AValue;
}

}  // namespace velmora
