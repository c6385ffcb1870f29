#include <atomic>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "net/asio.h"
#include "net/network_endpoints.h"
#include "net/protocol_client.h"
#include "recording_targets.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class QuietUi final : public NetworkUi {
 public:
  void ShowError(std::string_view message) override { messages.emplace_back(message); }
  bool AskReconnect() override { return false; }
  std::vector<std::string> messages;
};

// The real endpoints, noting the role the program shows at the moment the server is stopped.
class WatchedEndpoints final : public NetworkRoleSteps {
 public:
  explicit WatchedEndpoints(TNetworkEndpoints& real, TNetwork& network) : real_(real), network_(network) {}
  void StopScan() override { real_.StopScan(); }
  void StopClient() override { real_.StopClient(); }
  void StopServer() override {
    if (real_.FTCPServer() != nullptr) {
      roles_at_stop.push_back(network_.NetworkType());
    }
    real_.StopServer();
  }
  void StartServer() override { real_.StartServer(); }
  void StartClient() override { real_.StartClient(); }
  void EnableDetection(bool enabled) override { real_.EnableDetection(enabled); }

  std::vector<TNetworkType> roles_at_stop;

 private:
  TNetworkEndpoints& real_;
  TNetwork& network_;
};

class NetworkRoleTest : public ::testing::Test {
 protected:
  NetworkRoleTest() {
    link.lbl_application = &status;
    endpoints.SetBindAddress("127.0.0.1");
    game.FNetwork.FIP = "127.0.0.1";
    game.FNetwork.FPort = 0;  // the server takes any free port
  }
  TNetwork& Network() { return game.FNetwork; }

  test::ManualClock clock{5000};
  test::FakeWindowFinder finder;
  QueuedHandOver hand_over;
  FlagDetectionTimer timer{true};
  test::RecordingLabel status;
  QuietUi ui;
  TGame game{nullptr, clock};
  TGameLink link{game, finder, hand_over, timer};
  TNetworkEndpoints endpoints{link, timer, ui, "2.9.0.220"};
};

TEST_F(NetworkRoleTest, ChoosingServerAgainKeepsTheListenerAndItsClient) {
  Network().SetNetworkType(TNetworkType::ntServer);
  const std::uint16_t port = endpoints.FTCPServer()->Port();
  TProtocolClient client;
  ASSERT_TRUE(client.Connect("127.0.0.1", port));
  ASSERT_TRUE(client.SendLine("VERSION 2.9.0.220"));
  ASSERT_EQ(client.ReadLine(), "200 OK same version");
  Network().SetNetworkType(TNetworkType::ntServer);
  EXPECT_EQ(endpoints.FTCPServer()->Port(), port);
  ASSERT_TRUE(client.SendLine("QUIT"));
  EXPECT_EQ(client.ReadLine(), "200 Ok, bye");
}

// Coming from the client role (detection off), a port another listener holds: the role is the server's,
// detection stays off, and the failure is the caller's to report.
TEST_F(NetworkRoleTest, APortThatCannotBeOpenedKeepsTheRoleAndDetectionOff) {
  asio::io_context io;
  asio::ip::tcp::acceptor holder(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  asio::ip::tcp::acceptor nothing_accepts(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  game.FNetwork.FPort = nothing_accepts.local_endpoint().port();
  nothing_accepts.close();
  Network().SetNetworkType(TNetworkType::ntClient);
  ASSERT_EQ(ui.messages, std::vector<std::string>{"Impossible connection"});
  ASSERT_FALSE(timer.Enabled());

  game.FNetwork.FPort = holder.local_endpoint().port();
  EXPECT_THROW(Network().SetNetworkType(TNetworkType::ntServer), std::system_error);
  EXPECT_EQ(Network().NetworkType(), TNetworkType::ntServer);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(endpoints.FTCPServer()->Active());
}

// A request being served chooses by the role what it may touch, so the server is stopped and its thread
// joined while the role still says "server", whichever role comes next, even with a client polling.
TEST_F(NetworkRoleTest, LeavingTheServerRoleStopsTheServerBeforeTheRoleChanges) {
  WatchedEndpoints watched(endpoints, Network());
  Network().BindSteps(&watched);
  for (const TNetworkType next : {TNetworkType::ntStandalone, TNetworkType::ntClient}) {
    Network().SetNetworkType(TNetworkType::ntServer);
    const std::uint16_t port = endpoints.FTCPServer()->Port();
    game.FNetwork.FPort = port;  // a client coming next finds nothing there once the server is gone
    std::atomic<bool> done{false};
    std::atomic<int> replies{0};
    std::thread poller([&] {
      TProtocolClient client;
      if (!client.Connect("127.0.0.1", port)) {
        return;
      }
      for (int i = 0; i < 100000 && !done; ++i) {
        if (!client.SendLine("DATA", 500ms) || !client.ReadLine(500ms)) {
          return;
        }
        ++replies;
      }
    });
    for (int i = 0; i < 500 && replies < 5; ++i) {
      hand_over.WaitAndRun(10);
    }
    watched.roles_at_stop.clear();
    Network().SetNetworkType(next);
    done = true;
    poller.join();
    EXPECT_GE(replies.load(), 5);
    EXPECT_EQ(watched.roles_at_stop, std::vector<TNetworkType>{TNetworkType::ntServer});
    EXPECT_EQ(endpoints.FTCPServer(), nullptr);
    EXPECT_EQ(Network().NetworkType(), next);
    game.FNetwork.FPort = 0;
    Network().SetNetworkType(TNetworkType::ntStandalone);
  }
  Network().BindSteps(&endpoints);
}

// Stand alone, the scan thread reads the game; as a server, the requests do. The switch ends the scan
// thread first: a pass still running would read beside a request, and its end would close the process
// while a request reads through it.
TEST_F(NetworkRoleTest, BecomingTheServerEndsTheScanThreadBeforeServing) {
  constexpr std::uint32_t kBase = 0x5C100000;
  test::MemoryFixture simulator(kBase, 4096);
  simulator.Put<double>(kBase + 0x10, 363.5);
  game.FEau.Affectation(kBase + 0x10, true);
  game.FInCokpit.Affectation(kBase + 0x28, true);
  simulator.Put<std::uint8_t>(kBase + 0x28, 1);
  finder.Open("CUBERealtime", "Race 07", simulator.Pid());
  link.TimerProgramTimer();
  ASSERT_TRUE(link.ScanThreadRunning());
  for (int i = 0; i < 20; ++i) {
    hand_over.WaitAndRun(20);  // a few scan passes, the last one's cycle perhaps handed and waiting
  }

  Network().SetNetworkType(TNetworkType::ntServer);
  EXPECT_FALSE(link.ScanThreadRunning());
  const std::uint16_t port = endpoints.FTCPServer()->Port();
  std::atomic<int> served{0};
  std::atomic<int> refused{0};
  std::atomic<bool> polled{false};
  std::thread poller([&] {
    const struct Done {
      std::atomic<bool>& flag;
      ~Done() { flag = true; }
    } done{polled};
    TProtocolClient client;
    if (!client.Connect("127.0.0.1", port) || !client.SendLine("VERSION 2.9.0.220") || !client.ReadLine()) {
      return;
    }
    std::vector<std::byte> record(440);
    for (int i = 0; i < 200; ++i) {
      if (!client.SendLine("DATA", 1s)) {
        return;
      }
      const auto reply = client.ReadLine(1s);
      if (reply == "201 440" && client.ReadBytes(record, 1s)) {
        ++served;
      } else {
        ++refused;
      }
    }
  });
  // The main thread goes on taking steps meanwhile, as the dashboard's event loop does.
  for (int i = 0; i < 1000 && !polled; ++i) {
    hand_over.WaitAndRun(10);
  }
  poller.join();
  EXPECT_EQ(served.load(), 200);
  EXPECT_EQ(refused.load(), 0);
  EXPECT_NE(game.FProgramHandleProcess, nullptr);
  Network().SetNetworkType(TNetworkType::ntStandalone);
}

}  // namespace
}  // namespace velmora
