// What the pit-wall relay costs, against a real velmora-sim -> velmora-cli serve -> velmora-cli web with
// the car on track at its own pace: the bytes each viewer receives per second (changes only, next to what
// the whole state at every poll would be), and the relay's processor time with no viewer and with 50.
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "net/asio.h"
#include "relay_fixture.h"
#include "running_sim.h"

namespace velmora::web::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kMeasure = 20s;
constexpr int kViewers = 50;
constexpr double kPollsPerSecond = 10.0;  // the relay's default interval, 100 ms

// Waits until the stand-in's car is on track: out of the pit lane and above 100 km/h.
bool CarOnTrack(std::uint16_t port) {
  Viewer viewer(port, "/stream");
  const auto deadline = Clock::now() + 90s;
  while (Clock::now() < deadline) {
    // In the garage nothing changes for a while, so nothing comes.
    const auto message = viewer.Next(30s);
    if (!message) {
      return false;
    }
    const auto speed = ValueIn(*message, "sp");
    if (speed && std::stod(*speed) > 100.0 && ValueIn(*message, "lim").value_or("0") == "0") {
      return true;
    }
  }
  return false;
}

void BM_RelayPerViewer(benchmark::State& state) {
  velmora::test::RunningSim sim;
  ServeProcess serve;
  WebProcess web(serve.Port());
  if (!CarOnTrack(web.Port())) {
    state.SkipWithError("the stand-in's car did not get on track");
    return;
  }
  for (auto _ : state) {
    const double idle_start = CpuSeconds(web.Pid());
    std::this_thread::sleep_for(kMeasure);
    const double idle = CpuSeconds(web.Pid()) - idle_start;

    asio::io_context io;
    const auto start = Clock::now() + 2s;
    std::vector<std::shared_ptr<CountingViewer>> viewers;
    for (int i = 0; i < kViewers; ++i) {
      viewers.push_back(std::make_shared<CountingViewer>(
          io, start, std::chrono::duration_cast<std::chrono::milliseconds>(kMeasure), 1));
      viewers.back()->Start(web.Port());
    }
    std::thread running([&io, start] { io.run_until(start + kMeasure); });
    std::this_thread::sleep_until(start);
    const double busy_start = CpuSeconds(web.Pid());
    running.join();
    const double busy = CpuSeconds(web.Pid()) - busy_start;
    for (const auto& viewer : viewers) {
      viewer->Close();
    }

    long bytes = 0;
    std::size_t full = 0;
    for (const auto& viewer : viewers) {
      bytes += viewer->bytes;
      full = std::max(full, viewer->first_size);
    }
    const double seconds = std::chrono::duration<double>(kMeasure).count();
    state.counters["changed_B_per_viewer_s"] = static_cast<double>(bytes) / kViewers / seconds;
    state.counters["full_B_per_viewer_s"] = static_cast<double>(full) * kPollsPerSecond;
    state.counters["cpu_pct_0_viewers"] = 100.0 * idle / seconds;
    state.counters["cpu_pct_50_viewers"] = 100.0 * busy / seconds;
    state.counters["cpu_pct_per_viewer"] = 100.0 * (busy - idle) / seconds / kViewers;
  }
}
BENCHMARK(BM_RelayPerViewer)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace velmora::web::test

BENCHMARK_MAIN();
