// DATA round trips on loopback against the real server, which reads every record from a real second
// process and traces every exchange, next to a bare request/response server of the same sizes (6 bytes
// asked, 449 answered). Each reports round trips per second and its p50 and p99 latency.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "memory_fixture.h"
#include "net/asio.h"
#include "net/game_server_source.h"
#include "net/protocol_server.h"
#include "platform/process_memory.h"
#include "platform/tick_clock.h"

namespace velmora {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBase = 0x5D400000;
constexpr std::size_t kReplySize = 9 + kGameDataSize;  // "201 440\r\n" and the record

// Every datum of the record at its own place in one page, as an attach would leave the game.
void AssignEverything(TGame& game) {
  std::uint32_t at = kBase;
  const auto next = [&at] { return at += 8; };
  for (TPneu* tyre :
       {&game.FPneuAvantGauche, &game.FPneuAvantDroit, &game.FPneuArriereGauche, &game.FPneuArriereDroit}) {
    tyre->FTempExterieure.Affectation(next(), true);
    tyre->FTempMilieu.Affectation(next(), true);
    tyre->FTempInterieure.Affectation(next(), true);
    tyre->FPression.Affectation(next(), true);
    tyre->FDisqueFrein.Affectation(next(), true);
    tyre->FUsure.Affectation(next(), true);
    tyre->FRayon.Affectation(next(), true);
    tyre->FVitesse.Affectation(next(), true);
  }
  game.FInCokpit.Affectation(next(), true);
  game.FEau.Affectation(next(), true);
  game.FHuille.Affectation(next(), true);
  game.FTraction.Affectation(next(), true);
  game.FABS.Affectation(next(), true);
  game.FStabilite.Affectation(next(), true);
  game.FEmbrayageLed.Affectation(next(), true);
  game.FFuel.Affectation(next(), true);
  game.FRapportVitesse.Affectation(next(), true);
  game.FTemperatureAir.Affectation(next(), true);
  game.FTemperaturePiste.Affectation(next(), true);
  game.FAcceleration.Affectation(next(), true);
  game.FFreinage.Affectation(next(), true);
  game.FEmbrayage.Affectation(next(), true);
  game.FNombreJoueur.Affectation(next(), true);
  game.FContact.Affectation(next(), true);
  game.FLongueurCircuit.Affectation(next(), true);
  game.FUsureMoteur.Affectation(next(), 8, true);
  next();
  game.FPrevisionMeteo.Affectation(next(), true);
  game.FHumidityOffPath.Affectation(next(), true);
  game.FHumidityOnPath.Affectation(next(), true);
  game.FHumidityRainfall.Affectation(next(), true);
  game.FSession.Affectation(next(), next(), next(), next(), next(), true);
  game.FSlotJoueur.Affectation(next(), true);
  game.FRecLongueur = 0x100;
  const std::uint32_t record = kBase + 0x800;
  game.FPhares.Affectation(record, true);
  game.FLimiteur.Affectation(record + 0x08, true);
  game.FInPIT.Affectation(record + 0x10, true);
  game.FPitIn.Affectation(record + 0x18, true);
  game.FMotorRPM.Affectation(record + 0x20, true);
  game.FNombreTour.Affectation(record + 0x28, true);
  game.FSecteur.Affectation(record + 0x2C, true);
  game.FDistance.Affectation(record + 0x30, true);
  game.FPosition.Affectation(record + 0x50, true);
  game.FVitesse.Affectation(record + 0x58, true);
  game.FTemps.Affectation(record + 0x60, 4, 8, 12, 16, 20, true);
}

// The client's side of one round trip, the same for both servers.
void RoundTrip(tcp::socket& socket, std::vector<char>& reply) {
  static const std::string request = "DATA\r\n";
  asio::write(socket, asio::buffer(request));
  asio::read(socket, asio::buffer(reply));
}

void Report(benchmark::State& state, std::vector<double>& latencies_us) {
  std::sort(latencies_us.begin(), latencies_us.end());
  const auto at = [&](double share) {
    return latencies_us[std::min(latencies_us.size() - 1,
                                 static_cast<std::size_t>(share * latencies_us.size()))];
  };
  state.counters["round_trips_per_s"] =
      benchmark::Counter(static_cast<double>(latencies_us.size()), benchmark::Counter::kIsRate);
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
}

template <typename Loop>
void Measure(benchmark::State& state, std::uint16_t port, Loop&& prepare) {
  asio::io_context io;
  tcp::socket socket(io);
  socket.connect({asio::ip::make_address_v4("127.0.0.1"), port});
  socket.set_option(tcp::no_delay(true));
  prepare(socket);
  std::vector<char> reply(kReplySize);
  std::vector<double> latencies_us;
  latencies_us.reserve(1 << 20);
  for (auto _ : state) {
    const auto start = Clock::now();
    RoundTrip(socket, reply);
    latencies_us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  Report(state, latencies_us);
}

void BM_ServerDataRoundTrip(benchmark::State& state) {
  test::MemoryFixture memory(kBase, 0x1000);
  platform::SystemTickClock clock;
  test::FakeWindowFinder finder;
  QueuedHandOver hand_over;
  FlagDetectionTimer timer;
  TGame game(nullptr, clock);
  TGameLink link(game, finder, hand_over, timer);
  AssignEverything(game);
  finder.Open("CUBERealtime", "Race 07", memory.Pid());
  link.SetProgramWindow("Race 07", "CUBERealtime");
  game.FProgramHandleProcess = platform::OpenProcessMemory(memory.Pid());
  GameServerSource source(link);
  const auto log = std::filesystem::temp_directory_path() / "velmora_protocol_bench_protocole.txt";
  ServerOptions options;
  options.port = 0;
  options.bind_address = "127.0.0.1";
  options.version = "bench";
  options.trace_log_path = log.string();
  TProtocolServer server(source, options);
  server.Activate();
  Measure(state, server.Port(), [](tcp::socket&) {});
  server.Deactivate();
  std::filesystem::remove(log);
}
BENCHMARK(BM_ServerDataRoundTrip)->UseRealTime()->MinTime(2.0);

// The same exchange with nothing but the socket work: a fixed answer to every 6-byte request.
void BM_BareRequestResponse(benchmark::State& state) {
  asio::io_context io;
  tcp::acceptor acceptor(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  std::thread server([&acceptor] {
    tcp::socket peer(acceptor.get_executor());
    acceptor.accept(peer);
    peer.set_option(tcp::no_delay(true));
    std::string answer = "201 440\r\n";
    answer.resize(kReplySize, '\0');
    char request[6];
    boost::system::error_code error;
    while (asio::read(peer, asio::buffer(request), error) == sizeof request && !error) {
      asio::write(peer, asio::buffer(answer), error);
    }
  });
  Measure(state, acceptor.local_endpoint().port(), [](tcp::socket&) {});
  // Measure's socket is closed when it returns, which ends the server's loop.
  server.join();
}
BENCHMARK(BM_BareRequestResponse)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
