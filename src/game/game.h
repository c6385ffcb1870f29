#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "game/memory_snapshot.h"
#include "net/game_data.h"
#include "net/network.h"
#include "platform/process_memory.h"
#include "platform/tick_clock.h"
#include "race/display_players.h"
#include "race/driver_values.h"
#include "race/footer_information.h"
#include "race/fuel_values.h"
#include "race/lap_values.h"
#include "race/session.h"
#include "values/engine_values.h"
#include "values/tyre_values.h"
#include "values/weather_values.h"

namespace velmora {

class TGame;

// Told on the main thread after each read cycle and each record a client applies, with the values the
// cycle left in the model: whoever keeps them needs no read of its own.
class CycleListener {
 public:
  virtual ~CycleListener() = default;
  virtual void CycleDone(TGame& game) = 0;
};

// The one model of the attached simulator: every value object, the process it reads, the unit system,
// and the two read cycles.
class TGame final {
  // First, so that members may read the clock while they are built.
  const platform::TickClock* clock_;

 public:
  // `AOwner` is the main window (may be null outside the dashboard); `clock` must outlive the game.
  TGame(void* AOwner, const platform::TickClock& clock);
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // Members, in declared (alphabetical) order.
  TLed3LevelValue FABS;
  TAccelerationValueSingle FAcceleration;
  TConsommationValue FConsommationFuel;
  TContactValue FContact;
  TDisplayPlayers FDisplayPlayers;
  TDistanceValue FDistance;
  TEauValue FEau;
  TAccelerationValueSingle FEmbrayage;
  TLed2LevelValue FEmbrayageLed;
  TFooterInformation FFooterInformation;
  void* FForm1;
  TAccelerationValueSingle FFreinage;
  TFuelValue FFuel;
  TEauValue FHuille;
  THumidityValueSingle FHumidityOffPath;
  THumidityValueSingle FHumidityOnPath;
  THumidityValueSingle FHumidityRainfall;
  TCokpitValue FInCokpit;
  TPhareValue FInPIT;
  TPhareValue FLimiteur;
  TLongueurCircuit FLongueurCircuit;
  TMemoFuelValue FMemoFuel;
  bool FMetrique = false;
  TMotorRPMValueSingle FMotorRPM;
  TMoyenneFuel FMoyenneFuel;
  TNetwork FNetwork;
  TNombreJoueurValue FNombreJoueur;
  TNombreTourValue FNombreTour;
  TNomPiloteValue FNomPilote;
  TNomVoitureValue FNomVoiture;
  TPhareValue FPhares;
  TPhareValue FPitIn;
  TPneu FPneuArriereDroit;
  TPneu FPneuArriereGauche;
  TPneu FPneuAvantDroit;
  TPneu FPneuAvantGauche;
  TPositionValue FPosition;
  TMeteoValueSingle FPrevisionMeteo;
  // The opened simulator process; null before the first attach and after the simulator is lost.
  std::unique_ptr<platform::ProcessMemory> FProgramHandleProcess;
  TRapportVitesseValue FRapportVitesse;
  std::uint32_t FRecLongueur = 0;
  TSecteurValue FSecteur;
  TSessionGTR FSession;
  TSlotJoueurValue FSlotJoueur;
  TLed2LevelValue FStabilite;
  TTemperatureValueSingle FTemperatureAir;
  TTemperatureValueSingle FTemperaturePiste;
  TTemps FTemps;
  TTourRestant FTourRestant;
  TLed3LevelValue FTraction;
  TUsureMoteurValue FUsureMoteur;
  TVitesseValue FVitesse;
  // The record a server sends and a client receives; zero-filled with the model.
  TGameData GameData{};

  // The debug window's label that shows the surface speed of the last wheel of a cycle.
  TextTarget* FDebugWheelSpeed = nullptr;
  // Told after every cycle; may be null, not owned.
  CycleListener* FCycleListener = nullptr;

  // Raw reads of the simulator's memory: 0 (or empty text) when the read fails.
  std::uint8_t ReadByteValue(std::uint32_t AAddress);
  std::int16_t ReadSmallIntValue(std::uint32_t AAddress);
  std::int32_t ReadIntegerValue(std::uint32_t AAddress);
  float ReadSingleValue(std::uint32_t AAddress);
  double ReadDoubleValue(std::uint32_t AAddress);
  std::string ReadStringValue(std::uint32_t AAddress);

  // Longest text ReadStringValue returns: the simulators' name fields are far shorter, and a text that
  // never ends must not make a pass read megabytes one byte at a time.
  static constexpr std::size_t kMaxStringLength = 256;

  double ConvertSpeed(double AValue) const;
  // The driver list's refresh, gated by the scan thread to about once a second.
  void RefreshDriverList();
  // Runs `read` with the car records of all slots fetched first in one go, when reads are batched: the
  // driver list looks at up to 50 records, several data each.
  void WithDriverRecords(const std::function<void()>& read);
  void UpdatePlayerAddresses();

  // The full cycle while the driver sits in the car, the reduced one otherwise.
  void ReadAndDisplay();
  void ReadAndDisplayNoCockpit();

  // Server: fills GameData from the simulator. Client, main thread: shows a received GameData.
  void ReadServer();
  void WriteAndDisplayClient();

  std::uint32_t TickCount() const { return clock_->Now(); }
  const platform::TickClock& Clock() const { return *clock_; }

  // Whether a cycle gathers its reads into a few block reads first (on by default). Off, every datum
  // costs its own system call; the benchmark compares both.
  void SetBatchedReads(bool batched) { batched_reads_ = batched; }

 private:
  template <typename T>
  T ReadPlain(std::uint32_t address);
  void WantFullCycle(MemorySnapshot& snapshot) const;
  void WantReducedCycle(MemorySnapshot& snapshot) const;
  void WantServerCycle(MemorySnapshot& snapshot) const;
  // The record's fields, read in the order the server has always read them.
  void FillGameData();
  void ApplySession(const TGameData& d);
  void ApplyClientRecord();
  void WantDriverRecords(MemorySnapshot& snapshot) const;

  // A cycle's blocks belong to the cycle and are seen only by raw reads on the thread that runs it: a
  // record fill on a server thread may read while a scan pass on the main thread is still finishing.
  class CycleSnapshot;
  std::unique_ptr<MemorySnapshot> TakeSnapshot();
  void GiveBackSnapshot(std::unique_ptr<MemorySnapshot> snapshot);

  std::mutex snapshots_mutex_;
  // Snapshots of finished cycles, kept so that their capacity serves the next ones.
  std::vector<std::unique_ptr<MemorySnapshot>> spare_snapshots_;
  bool batched_reads_ = true;
};

}  // namespace velmora
