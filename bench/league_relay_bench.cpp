// What a league costs the relay: 30 cars publishing at 10 Hz through a local Mosquitto to one
// velmora-cli web --broker with 50 viewers. The relay's share of a core, the bytes a viewer receives per
// car per second, and the latency from a publisher's send to the frame a viewer reads (p50, p99).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "child_process.h"
#include "league/broker_client.h"
#include "league/car_publisher.h"
#include "net/asio.h"
#include "relay_fixture.h"
#include "web/view_state.h"

namespace velmora::league {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kCars = 30;
constexpr int kViewers = 50;
constexpr auto kTick = 100ms;
constexpr auto kMeasure = 20s;

std::uint16_t FreePort() {
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  return acceptor.local_endpoint().port();
}

// One car driving: the record moves a little each tick, as a car on track does.
struct Car {
  TGameData record{};
  web::ViewBuilder builder;
  std::unique_ptr<BrokerClient> broker;
  std::unique_ptr<CarPublisher> publisher;

  // The network thread calls the publisher back: it ends before the publisher goes.
  ~Car() {
    if (broker != nullptr) {
      broker->Stop();
    }
  }

  void Drive(int tick, int index) {
    const double phase = tick * 0.1 + index;
    record.InCockpit = 1;
    record.Vitesse = static_cast<float>(40.0 + 30.0 * std::sin(phase));
    record.Acceleration = static_cast<float>(0.5 + 0.5 * std::sin(phase * 1.7));
    record.Freinage = static_cast<float>(0.5 - 0.5 * std::sin(phase * 1.7));
    record.RapportVitesse = static_cast<std::int16_t>(2 + tick / 7 % 4);
    record.Eau = 360.0 + std::fmod(tick * 0.05, 10.0);
    record.Fuel = 60.0 - tick * 0.002;
    record.PneuAvantGaucheTempMilieu = 350.0 + 10.0 * std::sin(phase * 0.2);
    record.PneuAvantDroitTempMilieu = 352.0 + 10.0 * std::sin(phase * 0.2);
    record.Position = static_cast<std::int16_t>(1 + index);
    record.NombreJoueur = kCars;
    publisher->Publish(builder.Apply(record));
  }
};

void BM_LeagueRelay(benchmark::State& state) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("velmora_league_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::uint16_t broker_port = FreePort();
  // Small messages go out at once rather than wait to fill a segment, as the relay and the publishers send.
  std::ofstream(folder / "mosquitto.conf")
      << "listener " << broker_port << " 127.0.0.1\nallow_anonymous true\nset_tcp_nodelay true\n";
  velmora::test::ChildProcess mosquitto({"mosquitto", "-c", (folder / "mosquitto.conf").string()});
  std::this_thread::sleep_for(500ms);
  const std::string url = "mqtt://127.0.0.1:" + std::to_string(broker_port);
  velmora::test::ChildProcess relay({VELMORA_CLI_PATH, "web", "--broker", url, "--http", "0"});
  const std::string listening = relay.ReadLine(10000);
  if (!listening.starts_with("listening on port ")) {
    state.SkipWithError(("the relay did not start: " + listening).c_str());
    return;
  }
  const auto http_port = static_cast<std::uint16_t>(std::stoi(listening.substr(18)));

  std::vector<std::unique_ptr<Car>> cars;
  for (int i = 0; i < kCars; ++i) {
    auto car = std::make_unique<Car>();
    BrokerOptions options;
    options.url = *ParseBrokerUrl(url, nullptr);
    options.client_id = "bench-car-" + std::to_string(i);
    car->broker = std::make_unique<BrokerClient>(options);
    car->publisher = std::make_unique<CarPublisher>(*car->broker, "velmora", "car" + std::to_string(i));
    CarPublisher* publisher = car->publisher.get();
    car->broker->OnConnected([publisher] { publisher->Connected(); });
    if (car->broker->Start(5s, nullptr) != BrokerStart::kConnected) {
      state.SkipWithError("a car cannot reach the broker");
      return;
    }
    cars.push_back(std::move(car));
  }
  std::atomic<bool> driving{true};
  std::thread drive([&] {
    auto next = Clock::now();
    for (int tick = 0; driving; ++tick) {
      for (int i = 0; i < kCars; ++i) {
        cars[static_cast<std::size_t>(i)]->Drive(tick, i);
      }
      next += kTick;
      std::this_thread::sleep_until(next);
    }
  });

  for (auto _ : state) {
    std::this_thread::sleep_for(3s);  // every car known to the relay
    asio::io_context io;
    const auto start = Clock::now() + 2s;
    std::vector<std::shared_ptr<web::test::CountingViewer>> viewers;
    for (int i = 0; i < kViewers - 1; ++i) {
      viewers.push_back(std::make_shared<web::test::CountingViewer>(
          io, start, std::chrono::duration_cast<std::chrono::milliseconds>(kMeasure), 1));
      viewers.back()->Start(http_port);
    }
    std::thread running([&io, start] { io.run_until(start + kMeasure); });
    std::vector<double> latencies_ms;
    std::this_thread::sleep_until(start);
    // The fiftieth viewer reads each frame's send times and measures how late it came. It comes when the
    // measuring starts: frames would wait in its socket meanwhile and count as late.
    web::test::Viewer measuring(http_port, "/stream");
    const double cpu_start = web::test::CpuSeconds(relay.Pid());
    while (Clock::now() < start + kMeasure) {
      const auto message = measuring.Next(1s);
      if (!message) {
        continue;
      }
      const long long now = UnixMillis();
      const auto parsed = nlohmann::json::parse(*message, nullptr, false);
      if (parsed.is_discarded() || parsed.contains("full")) {
        continue;
      }
      for (const auto& [key, value] : parsed["v"].items()) {
        if (key.ends_with("\x01t") && value.is_number_integer()) {
          latencies_ms.push_back(static_cast<double>(now - value.get<long long>()));
        }
      }
    }
    const double cpu = web::test::CpuSeconds(relay.Pid()) - cpu_start;
    running.join();
    for (const auto& viewer : viewers) {
      viewer->Close();
    }
    long bytes = 0;
    for (const auto& viewer : viewers) {
      bytes += viewer->bytes;
    }
    std::sort(latencies_ms.begin(), latencies_ms.end());
    const auto percentile = [&](double p) {
      return latencies_ms.empty() ? -1.0
                                  : latencies_ms[std::min(latencies_ms.size() - 1,
                                                          static_cast<std::size_t>(p * latencies_ms.size()))];
    };
    const double seconds = std::chrono::duration<double>(kMeasure).count();
    state.counters["relay_cpu_pct"] = 100.0 * cpu / seconds;
    state.counters["B_per_car_s_per_viewer"] = static_cast<double>(bytes) / (kViewers - 1) / seconds / kCars;
    state.counters["latency_p50_ms"] = percentile(0.50);
    state.counters["latency_p99_ms"] = percentile(0.99);
    state.counters["latency_samples"] = static_cast<double>(latencies_ms.size());
    state.counters["latency_p90_ms"] = percentile(0.90);
    state.counters["latency_max_ms"] = latencies_ms.empty() ? -1.0 : latencies_ms.back();
  }
  driving = false;
  drive.join();
  cars.clear();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LeagueRelay)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace velmora::league

BENCHMARK_MAIN();
