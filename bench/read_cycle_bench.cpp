// How much a read cycle costs against a real second process, with the cycle's data gathered into block
// reads and with one system call per datum; the driver records gathered with blocks bridging gaps of
// several sizes; and many small values read one by one against one batched call. Each benchmark reports
// the system calls it makes per iteration.
#include <array>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "game/game.h"
#include "game/memory_snapshot.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5D000000;
constexpr std::uint32_t kSize = 0x10000;

// The telemetry of a simulator is spread over some 27 KB, the driver record and the weather lie apart.
constexpr std::uint32_t kTelemetry = kBase;
constexpr std::uint32_t kRecord = kBase + 0x8000;
constexpr std::uint32_t kWeather = kBase + 0xF000;

void AssignTyre(TPneu& tyre, std::uint32_t block) {
  tyre.FVitesse.Affectation(block, true);
  tyre.FRayon.Affectation(block + 0x158, true);
  tyre.FTempExterieure.Affectation(block + 0x300, true);
  tyre.FTempMilieu.Affectation(block + 0x308, true);
  tyre.FTempInterieure.Affectation(block + 0x310, true);
  tyre.FPression.Affectation(block + 0x328, true);
  tyre.FUsure.Affectation(block + 0x348, true);
  tyre.FDisqueFrein.Affectation(block + 0x3D0, true);
}

// Every datum of the full cycle at its place, as an attach would leave the game.
void AssignFullCycle(TGame& game) {
  game.FInCokpit.Affectation(kTelemetry, true);
  game.FTraction.Affectation(kTelemetry + 4, true);
  game.FABS.Affectation(kTelemetry + 8, true);
  game.FStabilite.Affectation(kTelemetry + 12, true);
  game.FEmbrayageLed.Affectation(kTelemetry + 20, true);
  game.FFuel.Affectation(kTelemetry + 0x1E0, true);
  AssignTyre(game.FPneuAvantGauche, kTelemetry + 0x3A0);
  AssignTyre(game.FPneuAvantDroit, kTelemetry + 0x8B0);
  AssignTyre(game.FPneuArriereGauche, kTelemetry + 0xDC0);
  AssignTyre(game.FPneuArriereDroit, kTelemetry + 0x12D0);
  game.FContact.Affectation(kTelemetry + 0x22F2, true);
  game.FHuille.Affectation(kTelemetry + 0x23F0, true);
  game.FEau.Affectation(kTelemetry + 0x2430, true);
  game.FUsureMoteur.Affectation(kTelemetry + 0x2458, 8, true);
  game.FRapportVitesse.Affectation(kTelemetry + 0x25D0, true);
  game.FAcceleration.Affectation(kTelemetry + 0x6944, true);
  game.FFreinage.Affectation(kTelemetry + 0x6970, true);
  game.FEmbrayage.Affectation(kTelemetry + 0x6A78, true);
  game.FPhares.Affectation(kRecord, true);
  game.FLimiteur.Affectation(kRecord + 0x0A, true);
  game.FInPIT.Affectation(kRecord + 0x322A, true);
  game.FPitIn.Affectation(kRecord + 0x32F8, true);
  game.FMotorRPM.Affectation(kRecord + 0x38EA, true);
  game.FNombreTour.Affectation(kRecord + 0x54CE, true);
  game.FSecteur.Affectation(kRecord + 0x54D2, true);
  game.FDistance.Affectation(kRecord + 0x54D6, true);
  game.FVitesse.Affectation(kRecord + 0x59BE, true);
  game.FPrevisionMeteo.Affectation(kWeather, true);
  game.FHumidityRainfall.Affectation(kWeather + 4, true);
  game.FHumidityOnPath.Affectation(kWeather + 8, true);
  game.FHumidityOffPath.Affectation(kWeather + 12, true);
  game.FTemperatureAir.Affectation(kWeather + 16, true);
  game.FTemperaturePiste.Affectation(kWeather + 20, true);
  game.FSlotJoueur.Affectation(kWeather + 0x100, true);
  game.FRecLongueur = 33696;
  game.UpdatePlayerAddresses();
}

void FullCycle(benchmark::State& state, bool batched) {
  test::MemoryFixture fixture(kBase, kSize);
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  game.FProgramHandleProcess = platform::OpenProcessMemory(fixture.Pid());
  AssignFullCycle(game);
  game.SetBatchedReads(batched);
  const auto before = game.FProgramHandleProcess->SystemCalls();
  for (auto _ : state) {
    game.ReadAndDisplay();
    benchmark::DoNotOptimize(game.FEau.FValue);
  }
  state.counters["syscalls"] =
      benchmark::Counter(static_cast<double>(game.FProgramHandleProcess->SystemCalls() - before),
                         benchmark::Counter::kAvgIterations);
}

void BM_FullCycleBatched(benchmark::State& state) {
  FullCycle(state, true);
}
void BM_FullCycleOneCallPerDatum(benchmark::State& state) {
  FullCycle(state, false);
}
BENCHMARK(BM_FullCycleBatched);
BENCHMARK(BM_FullCycleOneCallPerDatum);

// The driver list's data of 50 car records, 33664 bytes apart: the pit flag alone, distance, position
// and best lap together, the name 2.3 KB further on. Captured with blocks that bridge gaps up to the
// argument, in bytes.
void BM_DriverRecordsCapture(benchmark::State& state) {
  constexpr std::uint32_t kRecordLength = 33664;
  constexpr std::uint32_t kSlots = 50;
  test::MemoryFixture fixture(kBase, kSlots * kRecordLength);
  auto memory = platform::OpenProcessMemory(fixture.Pid());
  MemorySnapshot snapshot(static_cast<std::uint32_t>(state.range(0)));
  const auto want = [&snapshot] {
    snapshot.Reset();
    for (std::uint32_t slot = 0; slot < kSlots; ++slot) {
      const std::uint32_t record = kBase + slot * kRecordLength;
      snapshot.Want(record + 0x22AC, 4);   // distance
      snapshot.Want(record + 0x22CC, 2);   // position
      snapshot.Want(record + 0x2BE8, 32);  // name
      snapshot.Want(record + 0x2374, 4);   // best lap
      snapshot.Want(record, 1);            // in the pits
    }
  };
  const auto before = memory->SystemCalls();
  for (auto _ : state) {
    want();
    snapshot.Capture(*memory);
    benchmark::DoNotOptimize(snapshot.BlockCount());
  }
  state.counters["syscalls"] = benchmark::Counter(static_cast<double>(memory->SystemCalls() - before),
                                                  benchmark::Counter::kAvgIterations);
  state.counters["blocks"] = static_cast<double>(snapshot.BlockCount());
}
BENCHMARK(BM_DriverRecordsCapture)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);

constexpr std::size_t kValues = 64;

void SmallValues(benchmark::State& state, bool batched) {
  test::MemoryFixture fixture(kBase, kSize);
  auto memory = platform::OpenProcessMemory(fixture.Pid());
  std::array<double, kValues> values{};
  std::vector<platform::ReadRequest> requests;
  for (std::size_t i = 0; i < kValues; ++i) {
    requests.push_back(
        {kBase + static_cast<std::uint32_t>(i * 0x100), std::as_writable_bytes(std::span(&values[i], 1))});
  }
  const auto before = memory->SystemCalls();
  for (auto _ : state) {
    if (batched) {
      memory->ReadMany(requests);
    } else {
      for (auto& request : requests) {
        request.ok = memory->Read(request.address, request.destination);
      }
    }
    benchmark::DoNotOptimize(values.data());
  }
  state.counters["syscalls"] = benchmark::Counter(static_cast<double>(memory->SystemCalls() - before),
                                                  benchmark::Counter::kAvgIterations);
  state.counters["values"] = static_cast<double>(kValues);
}

void BM_SmallValuesOneByOne(benchmark::State& state) {
  SmallValues(state, false);
}
void BM_SmallValuesReadMany(benchmark::State& state) {
  SmallValues(state, true);
}
BENCHMARK(BM_SmallValuesOneByOne);
BENCHMARK(BM_SmallValuesReadMany);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
