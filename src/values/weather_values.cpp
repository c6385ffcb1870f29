#include "values/weather_values.h"

#include "game/game.h"

namespace velmora {

void TTemperatureValueSingle::Display(TGame& AGame) {
  if (FEtiquette != nullptr) {
    FEtiquette->SetMetrique(AGame.FMetrique);
    FEtiquette->SetValue(FValue);
  }
}

void TTemperatureValueSingle::ReadAndDisplay(TGame& AGame) {
  if (FActive && TakeRefresh(AGame.TickCount())) {
    FValue = Read(AGame);
    Display(AGame);
  }
}

void TTemperatureValueSingle::WriteAndDisplayClient(TGame& AGame, float AValue) {
  if (TakeRefresh(AGame.TickCount())) {
    FValue = AValue;
    Display(AGame);
  }
}

void THumidityValueSingle::Display() {
  if (FEtiquette != nullptr) {
    FEtiquette->SetValue(FValue);
  }
}

void THumidityValueSingle::ReadAndDisplay(TGame& AGame) {
  if (FActive && TakeRefresh(AGame.TickCount())) {
    FValue = Read(AGame);
    Display();
  }
}

void THumidityValueSingle::WriteAndDisplayClient(TGame& AGame, float AValue) {
  if (TakeRefresh(AGame.TickCount())) {
    FValue = AValue;
    Display();
  }
}

void TMeteoValueSingle::Display(TGame&) {
  if (FEtiquette != nullptr) {
    FEtiquette->SetValue(FValue);
  }
}

void TMeteoValueSingle::ReadAndDisplay(TGame& AGame) {
  if (FActive && TakeRefresh(AGame.TickCount())) {
    FValue = Read(AGame);
    Display(AGame);
  }
}

void TMeteoValueSingle::WriteAndDisplayClient(TGame& AGame, float AValue) {
  if (TakeRefresh(AGame.TickCount())) {
    FValue = AValue;
    Display(AGame);
  }
}

}  // namespace velmora
