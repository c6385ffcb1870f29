#include "game/game.h"

#include <cstring>
#include <utility>

namespace velmora {
namespace {

// The snapshot of the cycle that runs on this thread, and the game it belongs to.
struct BoundSnapshot {
  const TGame* game = nullptr;
  const MemorySnapshot* snapshot = nullptr;
};
thread_local BoundSnapshot bound_snapshot;

}  // namespace

// Captures the blocks of one cycle and lends them to the raw reads of this thread until the cycle ends.
class TGame::CycleSnapshot final {
 public:
  CycleSnapshot(TGame& game, void (TGame::*want)(MemorySnapshot&) const)
      : game_(game), outer_(bound_snapshot) {
    if (!game.batched_reads_ || game.FProgramHandleProcess == nullptr) {
      return;
    }
    snapshot_ = game.TakeSnapshot();
    snapshot_->Reset();
    (game.*want)(*snapshot_);
    snapshot_->Capture(*game.FProgramHandleProcess);
    bound_snapshot = {&game, snapshot_.get()};
  }
  ~CycleSnapshot() {
    if (snapshot_ != nullptr) {
      bound_snapshot = outer_;
      snapshot_->Clear();
      game_.GiveBackSnapshot(std::move(snapshot_));
    }
  }
  CycleSnapshot(const CycleSnapshot&) = delete;
  CycleSnapshot& operator=(const CycleSnapshot&) = delete;

 private:
  TGame& game_;
  const BoundSnapshot outer_;
  std::unique_ptr<MemorySnapshot> snapshot_;
};

TGame::TGame(void* AOwner, const platform::TickClock& clock)
    : clock_(&clock),
      FContact(*this),
      FDisplayPlayers(*this),
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
  if (bound_snapshot.game == this && bound_snapshot.snapshot->Lookup(address, bytes)) {
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
  WithDriverRecords([this] {
    FNombreJoueur.ReadAndDisplay(*this);
    FDisplayPlayers.ReadAndDisplay();
  });
}

void TGame::WithDriverRecords(const std::function<void()>& read) {
  const CycleSnapshot cycle(*this, &TGame::WantDriverRecords);
  read();
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

std::unique_ptr<MemorySnapshot> TGame::TakeSnapshot() {
  std::lock_guard lock(snapshots_mutex_);
  if (spare_snapshots_.empty()) {
    return std::make_unique<MemorySnapshot>();
  }
  auto snapshot = std::move(spare_snapshots_.back());
  spare_snapshots_.pop_back();
  return snapshot;
}

void TGame::GiveBackSnapshot(std::unique_ptr<MemorySnapshot> snapshot) {
  std::lock_guard lock(snapshots_mutex_);
  spare_snapshots_.push_back(std::move(snapshot));
}

void TGame::WantReducedCycle(MemorySnapshot& snapshot) const {
  WantValue(snapshot, FTemperatureAir);
  WantValue(snapshot, FTemperaturePiste);
  WantValue(snapshot, FHumidityRainfall);
  WantValue(snapshot, FHumidityOnPath);
  WantValue(snapshot, FHumidityOffPath);
  WantValue(snapshot, FPrevisionMeteo);
  WantValue(snapshot, FSession.FTypeSession);
  WantValue(snapshot, FSession.FTimerSession);
  WantValue(snapshot, FSession.FTempsSesion);
  WantValue(snapshot, FSession.FTempsGreenFlag);
  WantValue(snapshot, FSession.FNbDeToursSession);
}

void TGame::WantDriverRecords(MemorySnapshot& snapshot) const {
  if (FNombreJoueur.FAddress != 0) {
    snapshot.Want(FNombreJoueur.FAddress, sizeof(std::int16_t));
  }
  // Names are read up to their terminating zero; this much covers the simulators' name fields, and a
  // longer name reads its tail datum by datum.
  constexpr std::uint32_t kNameBytes = 32;
  for (int slot = 0; slot < TDisplayPlayers::kRows; ++slot) {
    snapshot.Want(SlotAddress(*this, FDistance.FBaseAddress, slot), sizeof(float));
    snapshot.Want(SlotAddress(*this, FPosition.FBaseAddress, slot), sizeof(std::int16_t));
    snapshot.Want(SlotAddress(*this, FNomPilote.FBaseAddress, slot), kNameBytes);
    snapshot.Want(SlotBestLapAddress(*this, slot), sizeof(float));
    snapshot.Want(SlotAddress(*this, FInPIT.FBaseAddress, slot), sizeof(std::uint8_t));
  }
}

void TGame::WantFullCycle(MemorySnapshot& snapshot) const {
  WantValue(snapshot, FVitesse);
  WantTyre(snapshot, FPneuAvantGauche);
  WantTyre(snapshot, FPneuAvantDroit);
  WantTyre(snapshot, FPneuArriereGauche);
  WantTyre(snapshot, FPneuArriereDroit);
  if (FUsureMoteur.FActive) {
    snapshot.Want(FUsureMoteur.FAddress, sizeof(double));
    snapshot.Want(FUsureMoteur.FAddressUsureReference, sizeof(double));
  }
  WantValue(snapshot, FEau);
  WantValue(snapshot, FHuille);
  WantValue(snapshot, FTraction);
  WantValue(snapshot, FABS);
  WantValue(snapshot, FStabilite);
  WantValue(snapshot, FEmbrayageLed);
  WantValue(snapshot, FLimiteur);
  WantValue(snapshot, FPhares);
  WantValue(snapshot, FFuel);
  WantValue(snapshot, FRapportVitesse);
  WantValue(snapshot, FSecteur);
  WantValue(snapshot, FAcceleration);
  WantValue(snapshot, FFreinage);
  WantValue(snapshot, FEmbrayage);
  WantValue(snapshot, FMotorRPM);
  WantValue(snapshot, FInPIT);
  WantValue(snapshot, FPitIn);
  WantValue(snapshot, FContact);
  WantValue(snapshot, FDistance);
  WantValue(snapshot, FNombreTour);
  if (FTemps.FActive) {
    // The last lap's three times lie together, and so do the best lap's.
    snapshot.Want(FTemps.FAddress, sizeof(float));
    snapshot.Want(FTemps.FAddress + FTemps.FDeltaAddressDernierTourSecteur1, sizeof(float));
    snapshot.Want(FTemps.FAddress + FTemps.FDeltaAddressDernierTourSecteur2, sizeof(float));
    snapshot.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourFinal, sizeof(float));
    snapshot.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourSecteur1, sizeof(float));
    snapshot.Want(FTemps.FAddress + FTemps.FDeltaAddressMeilleurTourSecteur2, sizeof(float));
  }
  WantReducedCycle(snapshot);
}

void TGame::ReadServer() {
  UpdatePlayerAddresses();
  // The record's data gathered in a few block reads; a datum outside them is read on its own.
  const CycleSnapshot cycle(*this, &TGame::WantServerCycle);
  FillGameData();
}

void TGame::ReadAndDisplay() {
  const CycleSnapshot cycle(*this, &TGame::WantFullCycle);
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
  // that has just ended. Only the first cycle after an attachment takes it first, as nothing has named a
  // row yet.
  const bool counted = FNombreTour.TakeFirstCount(*this);
  FTemps.ReadValue();
  if (!counted) {
    FNombreTour.ReadAndDisplay(*this);
  }
  if (FCycleListener != nullptr) {
    FCycleListener->CycleDone(*this);
  }
}

void TGame::ReadAndDisplayNoCockpit() {
  const CycleSnapshot cycle(*this, &TGame::WantReducedCycle);
  FTemperatureAir.ReadAndDisplay(*this);
  FTemperaturePiste.ReadAndDisplay(*this);
  FHumidityRainfall.ReadAndDisplay(*this);
  FHumidityOnPath.ReadAndDisplay(*this);
  FHumidityOffPath.ReadAndDisplay(*this);
  FPrevisionMeteo.ReadAndDisplay(*this);
  FSession.ReadAndDisplay(*this);
  if (FCycleListener != nullptr) {
    FCycleListener->CycleDone(*this);
  }
}

}  // namespace velmora
