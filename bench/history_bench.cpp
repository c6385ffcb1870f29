// What the history file costs: the recorder's processor time for a car sampled ten times a second, the
// bytes an hour of racing takes on disk, and how long reading one session's laps and one lap's samples
// takes from a file that holds 24 hours. Real files in a temporary folder, SQLite as shipped.
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "history/history_store.h"
#include "history/recorder.h"

namespace velmora::history {
namespace {

using namespace std::chrono_literals;

constexpr auto kInterval = 100ms;
constexpr auto kLap = 90s;
constexpr int kDrivers = 20;

std::filesystem::path TemporaryFile(const std::string& name) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("velmora_history_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder / name;
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A car on track whose values move as a real one's do, so that no value is stored smaller than it
// would be in a race.
TGameData CarAt(double t) {
  TGameData car{};
  car.InCockpit = 1;
  car.TypeSession = 5;
  car.LongueurCircuit = 4112.0F;
  car.NombreJoueur = kDrivers;
  car.NombreTour = static_cast<std::int16_t>(t / 90.0);
  car.Vitesse = static_cast<float>(45.0 + 15.0 * std::sin(t));
  car.MotorRPM = static_cast<float>(700.0 + 150.0 * std::sin(t * 1.3));
  car.RapportVitesse = static_cast<std::int16_t>(3 + std::lround(2.0 * std::sin(t)));
  car.Acceleration = static_cast<float>(0.5 + 0.5 * std::sin(t * 0.7));
  car.Freinage = static_cast<float>(0.5 - 0.5 * std::sin(t * 0.7));
  car.Distance = static_cast<float>(std::fmod(t, 90.0) * 45.7);
  car.Fuel = 80.0 - t * 0.03;
  car.Eau = 360.0 + std::sin(t * 0.01);
  car.Huille = 370.0 + std::sin(t * 0.01);
  car.UsureMoteur = 1000.0 + t;
  car.UsureMoteurReference = 100000.0;
  car.TimerSession = static_cast<float>(3600.0 - t);
  car.TemperatureAir = 293.15F;
  car.TemperaturePiste = 303.15F;
  for (double* tread : {&car.PneuAvantGaucheTempExterieure, &car.PneuAvantGaucheTempMilieu,
                        &car.PneuAvantGaucheTempInterieure, &car.PneuAvantDroitTempExterieure,
                        &car.PneuAvantDroitTempMilieu, &car.PneuAvantDroitTempInterieure,
                        &car.PneuArriereGaucheTempExterieure, &car.PneuArriereGaucheTempMilieu,
                        &car.PneuArriereGaucheTempInterieure, &car.PneuArriereDroitTempExterieure,
                        &car.PneuArriereDroitTempMilieu, &car.PneuArriereDroitTempInterieure}) {
    *tread =
        350.0 + 10.0 * std::sin(t * 0.3 + static_cast<double>(tread - &car.PneuAvantGaucheTempExterieure));
  }
  for (double* other :
       {&car.PneuAvantGauchePression, &car.PneuAvantDroitPression, &car.PneuArriereGauchePression,
        &car.PneuArriereDroitPression, &car.PneuAvantGaucheDisqueFrein, &car.PneuAvantDroitDisqueFrein,
        &car.PneuArriereGaucheDisqueFrein, &car.PneuArriereDroitDisqueFrein, &car.PneuAvantGaucheUsure,
        &car.PneuAvantDroitUsure, &car.PneuArriereGaucheUsure, &car.PneuArriereDroitUsure,
        &car.PneuAvantGaucheVitesse, &car.PneuAvantDroitVitesse, &car.PneuArriereGaucheVitesse,
        &car.PneuArriereDroitVitesse}) {
    *other = 100.0 + 50.0 * std::sin(t + static_cast<double>(other - &car.PneuAvantGauchePression));
  }
  return car;
}

std::vector<StandingRecord> Field() {
  std::vector<StandingRecord> field;
  for (int position = 1; position <= kDrivers; ++position) {
    field.push_back(
        {position, position - 1, "Driver " + std::to_string(position), "Car", false, 90.0 + position});
  }
  return field;
}

// Drives the recorder through `duration` of racing at 10 Hz on a time line of its own; returns the
// processor time it took.
double RecordRace(HistoryStore& store, std::chrono::seconds duration) {
  Recorder recorder(store, kInterval);
  recorder.Attach({"simulator", "Race 07", "1, 2, 1, 9"});
  const auto start = Recorder::Clock::now();
  const std::vector<StandingRecord> field = Field();
  const double cpu_start = ThreadCpuSeconds();
  int last_lap = 0;
  for (auto t = 0ms; t < duration; t += kInterval) {
    const double seconds = std::chrono::duration<double>(t).count();
    const TGameData car = CarAt(seconds);
    if (car.NombreTour != last_lap) {
      LapRecord lap;
      lap.lap = car.NombreTour;
      lap.lap_time_s = 90.0;
      lap.intermediate1_s = 30.0;
      lap.intermediate2_s = 60.0;
      lap.sector1_s = lap.sector2_s = lap.sector3_s = 30.0;
      lap.average_speed_m_s = 45.7;
      lap.top_speed_m_s = 60.0;
      lap.fuel_used_l = 2.7;
      recorder.Cycle(start + t, car, std::vector{lap}, field);
      last_lap = car.NombreTour;
    } else {
      recorder.Cycle(start + t, car, {}, {});
    }
  }
  recorder.Flush();
  return ThreadCpuSeconds() - cpu_start;
}

// The recorder's share of one core while it keeps a car at 10 Hz, and what an hour takes on disk.
void BM_RecorderAt10Hz(benchmark::State& state) {
  constexpr auto kRace = 600s;
  for (auto _ : state) {
    const auto file = TemporaryFile("ten_minutes.sqlite");
    std::filesystem::remove(file);
    double cpu_s = 0.0;
    {
      HistoryStore store(file, HistoryStore::Access::kWrite);
      cpu_s = RecordRace(store, kRace);
      store.Connection().Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const double race_s = std::chrono::duration<double>(kRace).count();
    state.counters["cpu_pct_of_core"] = 100.0 * cpu_s / race_s;
    state.counters["us_per_sample"] = 1e6 * cpu_s / (race_s * 10.0);
    state.counters["bytes_per_hour"] =
        static_cast<double>(std::filesystem::file_size(file)) * 3600.0 / race_s;
    std::filesystem::remove_all(file.parent_path());
  }
}

// A file holding 24 one-hour sessions; then one session's laps and one lap's samples, read as sessions,
// laps --db and a chart read them.
class DayOfRacing {
 public:
  DayOfRacing() : file_(TemporaryFile("day.sqlite")) {
    std::filesystem::remove(file_);
    HistoryStore store(file_, HistoryStore::Access::kWrite);
    for (int hour = 0; hour < 24; ++hour) {
      RecordRace(store, 3600s);
    }
  }
  ~DayOfRacing() { std::filesystem::remove_all(file_.parent_path()); }
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
};

const DayOfRacing& Day() {
  static const DayOfRacing day;
  return day;
}

void BM_ReadSessionLapsOf24Hours(benchmark::State& state) {
  const auto& day = Day();
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(day.File())) / 1e6;
  std::size_t laps = 0;
  for (auto _ : state) {
    // As a command does it: open the file, read, close.
    HistoryStore store(day.File(), HistoryStore::Access::kRead);
    laps = store.Laps(13).size();
    benchmark::DoNotOptimize(laps);
  }
  state.counters["laps"] = static_cast<double>(laps);
}

void BM_ReadLapSamplesOf24Hours(benchmark::State& state) {
  const auto& day = Day();
  std::size_t samples = 0;
  for (auto _ : state) {
    HistoryStore store(day.File(), HistoryStore::Access::kRead);
    const auto laps = store.Laps(13);
    const LapRecord& lap = laps.at(laps.size() / 2);
    samples = 0;
    store.ForEachSample(13, lap.started_s, lap.ended_s, [&](double, const TGameData& record) {
      benchmark::DoNotOptimize(record);
      ++samples;
      return true;
    });
  }
  state.counters["samples"] = static_cast<double>(samples);
}

BENCHMARK(BM_RecorderAt10Hz)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadSessionLapsOf24Hours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLapSamplesOf24Hours)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::history

BENCHMARK_MAIN();
