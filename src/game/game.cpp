#include "game/game.h"

#include <cstring>

namespace velmora {

TGame::TGame(void* AOwner, const platform::TickClock& clock)
    : clock_(&clock),
      FContact(*this),
      FFooterInformation(*this),
      FForm1(AOwner),
      FFuel(*this),
      FInCokpit(*this),
      FMoyenneFuel(*this),
      FNetwork(*this),
      FNombreTour(*this),
      FPosition(*this),
      FSecteur(*this),
      FSession(*this),
      FTemps(*this),
      FTourRestant(*this) {}

TGame::~TGame() = default;

template <typename T>
T TGame::ReadPlain(std::uint32_t address) {
  T value{};
  const auto bytes = std::as_writable_bytes(std::span(&value, 1));
  if (snapshot_.Lookup(address, bytes)) {
    return value;
  }
  if (FProgramHandleProcess == nullptr || !FProgramHandleProcess->Read(address, bytes)) {
    return T{};
  }
  return value;
}

std::uint8_t TGame::ReadByteValue(std::uint32_t AAddress) {
  return ReadPlain<std::uint8_t>(AAddress);
}
std::int16_t TGame::ReadSmallIntValue(std::uint32_t AAddress) {
  return ReadPlain<std::int16_t>(AAddress);
}
std::int32_t TGame::ReadIntegerValue(std::uint32_t AAddress) {
  return ReadPlain<std::int32_t>(AAddress);
}
float TGame::ReadSingleValue(std::uint32_t AAddress) {
  return ReadPlain<float>(AAddress);
}
double TGame::ReadDoubleValue(std::uint32_t AAddress) {
  return ReadPlain<double>(AAddress);
}

std::string TGame::ReadStringValue(std::uint32_t AAddress) {
  std::string text;
  for (std::size_t i = 0; i < kMaxStringLength; ++i) {
    const std::uint8_t byte = ReadByteValue(AAddress + static_cast<std::uint32_t>(i));
    if (byte == 0) {
      break;
    }
    // Each byte is the character of the same code (Latin-1), kept as UTF-8.
    if (byte < 0x80) {
      text.push_back(static_cast<char>(byte));
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

template <>
std::uint8_t ReadRaw<std::uint8_t>(TGame& game, std::uint32_t address) {
  return game.ReadByteValue(address);
}
template <>
std::int16_t ReadRaw<std::int16_t>(TGame& game, std::uint32_t address) {
  return game.ReadSmallIntValue(address);
}
template <>
std::int32_t ReadRaw<std::int32_t>(TGame& game, std::uint32_t address) {
  return game.ReadIntegerValue(address);
}
template <>
float ReadRaw<float>(TGame& game, std::uint32_t address) {
  return game.ReadSingleValue(address);
}
template <>
double ReadRaw<double>(TGame& game, std::uint32_t address) {
  return game.ReadDoubleValue(address);
}
template <>
std::string ReadRaw<std::string>(TGame& game, std::uint32_t address) {
  return game.ReadStringValue(address);
}

double TGame::ConvertSpeed(double AValue) const {
  return AValue * (FMetrique ? 3.6 : 2.23693629205);
}

void TGame::RefreshDriverList() {
  FNombreJoueur.ReadAndDisplay(*this);
}

void TGame::UpdatePlayerAddresses() {
  FSlotJoueur.ReadAndDisplay(*this);
  const std::uint32_t slot = FSlotJoueur.FValue;
  const std::uint32_t length = FRecLongueur;
  FPhares.FAddress = FPhares.RecordAddress(slot, length);
  FLimiteur.FAddress = FLimiteur.RecordAddress(slot, length);
  FTemps.FAddress = FTemps.FBaseAddress + slot * length;
  FNombreTour.FAddress = FNombreTour.RecordAddress(slot, length);
  FNomVoiture.FAddress = FNomVoiture.RecordAddress(slot, length);
  FSecteur.FAddress = FSecteur.RecordAddress(slot, length);
  FMotorRPM.FAddress = FMotorRPM.RecordAddress(slot, length);
  FInPIT.FAddress = FInPIT.RecordAddress(slot, length);
  FPitIn.FAddress = FPitIn.RecordAddress(slot, length);
  FDistance.FAddress = FDistance.RecordAddress(slot, length);
  FVitesse.FAddress = FVitesse.RecordAddress(slot, length);
}

namespace {

template <typename Value>
void WantValue(MemorySnapshot& snapshot, const Value& value) {
  if (value.FActive) {
    snapshot.Want(value.FAddress, sizeof(value.FValue));
  }
}

void WantTyre(MemorySnapshot& snapshot, const TPneu& tyre) {
  WantValue(snapshot, tyre.FTempExterieure);
  WantValue(snapshot, tyre.FTempMilieu);
  WantValue(snapshot, tyre.FTempInterieure);
  WantValue(snapshot, tyre.FPression);
  WantValue(snapshot, tyre.FDisqueFrein);
  WantValue(snapshot, tyre.FUsure);
  WantValue(snapshot, tyre.FRayon);
  WantValue(snapshot, tyre.FVitesse);
}

}  // namespace

void TGame::WantReducedCycle() {
  WantValue(snapshot_, FTemperatureAir);
  WantValue(snapshot_, FTemperaturePiste);
  WantValue(snapshot_, FHumidityRainfall);
  WantValue(snapshot_, FHumidityOnPath);
  WantValue(snapshot_, FHumidityOffPath);
  WantValue(snapshot_, FPrevisionMeteo);
  WantValue(snapshot_, FSession.FTypeSession);
  WantValue(snapshot_, FSession.FTimerSession);
  WantValue(snapshot_, FSession.FTempsSesion);
  WantValue(snapshot_, FSession.FTempsGreenFlag);
  WantValue(snapshot_, FSession.FNbDeToursSession);
}

void TGame::WantFullCycle() {
  WantValue(snapshot_, FVitesse);
  WantTyre(snapshot_, FPneuAvantGauche);
  WantTyre(snapshot_, FPneuAvantDroit);
  WantTyre(snapshot_, FPneuArriereGauche);
  WantTyre(snapshot_, FPneuArriereDroit);
  if (FUsureMoteur.FActive) {
    snapshot_.Want(FUsureMoteur.FAddress, sizeof(double));
    snapshot_.Want(FUsureMoteur.FAddressUsureReference, sizeof(double));
  }
  WantValue(snapshot_, FEau);
  WantValue(snapshot_, FHuille);
  WantValue(snapshot_, FTraction);
  WantValue(snapshot_, FABS);
  WantValue(snapshot_, FStabilite);
  WantValue(snapshot_, FEmbrayageLed);
  WantValue(snapshot_, FLimiteur);
  WantValue(snapshot_, FPhares);
  WantValue(snapshot_, FFuel);
  WantValue(snapshot_, FRapportVitesse);
  WantValue(snapshot_, FSecteur);
  WantValue(snapshot_, FAcceleration);
  WantValue(snapshot_, FFreinage);
  WantValue(snapshot_, FEmbrayage);
  WantValue(snapshot_, FMotorRPM);
  WantValue(snapshot_, FInPIT);
  WantValue(snapshot_, FPitIn);
  WantValue(snapshot_, FContact);
  WantValue(snapshot_, FDistance);
  WantValue(snapshot_, FNombreTour);
  if (FTemps.FActive) {
    // The last lap's three times lie together, and so do the best lap's.
    snapshot_.Want(FTemps.FAddress, sizeof(float));
    snapshot_.Want(FTemps.FAddress + FTemps.FDeltaAddressDernierTourSecteur1, sizeof(float));
    snapshot_.Want(FTemps.FAddress + FTemps.FDeltaAddressDernierTourSecteur2, sizeof(float));
    snapshot_.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourFinal, sizeof(float));
    snapshot_.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourSecteur1, sizeof(float));
    snapshot_.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourSecteur2, sizeof(float));
  }
  WantReducedCycle();
}

void TGame::BeginCycle(void (TGame::*want)()) {
  if (batched_reads_ && FProgramHandleProcess != nullptr) {
    snapshot_.Reset();
    (this->*want)();
    snapshot_.Capture(*FProgramHandleProcess);
  }
}

void TGame::ReadAndDisplay() {
  BeginCycle(&TGame::WantFullCycle);
  FVitesse.ReadAndDisplay(*this);
  FPneuAvantGauche.ReadAndDisplay(*this);
  FPneuAvantDroit.ReadAndDisplay(*this);
  FPneuArriereGauche.ReadAndDisplay(*this);
  FPneuArriereDroit.ReadAndDisplay(*this);
  FUsureMoteur.ReadAndDisplay(*this);
  FEau.ReadAndDisplay(*this);
  FHuille.ReadAndDisplay(*this);
  FTraction.ReadAndDisplay(*this);
  FABS.ReadAndDisplay(*this);
  FStabilite.ReadAndDisplay(*this);
  FEmbrayageLed.ReadAndDisplay(*this);
  FLimiteur.ReadAndDisplay(*this);
  FPhares.ReadAndDisplay(*this);
  FFuel.ReadAndDisplay(*this);
  FRapportVitesse.ReadAndDisplay(*this);
  FSecteur.ReadAndDisplay(*this);
  FTemperatureAir.ReadAndDisplay(*this);
  FTemperaturePiste.ReadAndDisplay(*this);
  // After the fuel: the estimate divides the level read in this cycle.
  FTourRestant.ReadAndDisplay(*this);
  FAcceleration.ReadAndDisplay(*this);
  FFreinage.ReadAndDisplay(*this);
  FEmbrayage.ReadAndDisplay(*this);
  FMotorRPM.ReadAndDisplay(*this);
  FInPIT.ReadAndDisplay(*this);
  FPitIn.ReadAndDisplay(*this);
  FContact.ReadAndDisplay(*this);
  FDistance.ReadAndDisplay(*this);
  FHumidityRainfall.ReadAndDisplay(*this);
  FHumidityOnPath.ReadAndDisplay(*this);
  FHumidityOffPath.ReadAndDisplay(*this);
  FPrevisionMeteo.ReadAndDisplay(*this);
  FSession.ReadAndDisplay(*this);
  // The lap counter comes last: until it moves on, the times just read still name the row of the lap
  // that has just ended.
  FTemps.ReadValue();
  FNombreTour.ReadAndDisplay(*this);
  EndCycle();
}

void TGame::ReadAndDisplayNoCockpit() {
  BeginCycle(&TGame::WantReducedCycle);
  FTemperatureAir.ReadAndDisplay(*this);
  FTemperaturePiste.ReadAndDisplay(*this);
  FHumidityRainfall.ReadAndDisplay(*this);
  FHumidityOnPath.ReadAndDisplay(*this);
  FHumidityOffPath.ReadAndDisplay(*this);
  FPrevisionMeteo.ReadAndDisplay(*this);
  FSession.ReadAndDisplay(*this);
  EndCycle();
}

}  // namespace velmora
