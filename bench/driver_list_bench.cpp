// One refresh of the driver list against a real velmora-sim with 50 drivers: all car records fetched in one
// batched read, against every datum of every slot read with its own call. Each reports its system calls
// per refresh.
#include <benchmark/benchmark.h>

#include "game/game.h"
#include "game/select_address_table.h"
#include "platform/process_memory.h"
#include "platform/tick_clock.h"
#include "running_sim.h"

namespace velmora {
namespace {

constexpr int kDrivers = 50;

void DriverListRefresh(benchmark::State& state, bool batched) {
  test::RunningSim sim({"--drivers", std::to_string(kDrivers)});
  // A minute into the race every car has left its grid spot; then the field holds still.
  if (sim.Ask("pause") != "ok" || sim.Ask("step 60") != "ok") {
    state.SkipWithError("velmora-sim does not take commands");
    return;
  }
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  if (!SelectAddressTable("Race 07", "1, 2, 1, 9", game)) {
    state.SkipWithError("no address table");
    return;
  }
  game.FProgramHandleProcess = platform::OpenProcessMemory(sim.Pid());
  game.UpdatePlayerAddresses();
  game.SetBatchedReads(batched);
  game.RefreshDriverList();
  int listed = 0;
  for (const PlayerRow& row : game.FDisplayPlayers.NodeList()) {
    listed += row.Visible ? 1 : 0;
  }
  if (listed != kDrivers) {
    state.SkipWithError("the list does not show every driver");
    return;
  }
  const auto before = game.FProgramHandleProcess->SystemCalls();
  for (auto _ : state) {
    game.RefreshDriverList();
    benchmark::DoNotOptimize(game.FDisplayPlayers.NodeList().data());
  }
  state.counters["syscalls"] =
      benchmark::Counter(static_cast<double>(game.FProgramHandleProcess->SystemCalls() - before),
                         benchmark::Counter::kAvgIterations);
  state.counters["drivers"] = kDrivers;
}

void BM_DriverListBlockRead(benchmark::State& state) {
  DriverListRefresh(state, true);
}
void BM_DriverListPerDatum(benchmark::State& state) {
  DriverListRefresh(state, false);
}
BENCHMARK(BM_DriverListBlockRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DriverListPerDatum)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
