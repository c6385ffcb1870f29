#include "net/client_session.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>
#include <gtest/gtest.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "recording_targets.h"
#include "served_game.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class RecordingUi final : public NetworkUi {
 public:
  void ShowError(std::string_view message) override {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(message);
  }
  bool AskReconnect() override {
    std::lock_guard lock(mutex_);
    messages_.emplace_back("Disconnected !\r\n\r\nDo you want reconnect?");
    return answer_ok;
  }
  std::vector<std::string> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  bool Saw(const std::string& message) {
    const auto all = Messages();
    return std::find(all.begin(), all.end(), message) != all.end();
  }
  bool answer_ok = false;

 private:
  std::mutex mutex_;
  std::vector<std::string> messages_;
};

// The client side: its own game model, whose main thread is the test's.
class ClientSide {
 public:
  ClientSide() {
    link.lbl_application = &status;
    game.FMetrique = true;
  }
  // Runs the hand-overs until `done`, at most `limit`; false when it did not happen.
  template <typename Done>
  bool PumpUntil(Done done, std::chrono::milliseconds limit = 5000ms) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
      if (Clock::now() > deadline) {
        return false;
      }
      hand_over.WaitAndRun(10);
    }
    return true;
  }

  test::ManualClock clock{5000};
  test::FakeWindowFinder finder;
  QueuedHandOver hand_over;
  FlagDetectionTimer timer;
  test::RecordingLabel status;
  RecordingUi ui;
  TGame game{nullptr, clock};
  TGameLink link{game, finder, hand_over, timer};
};

class ClientSessionTest : public ::testing::Test {
 protected:
  ClientSessionTest() {
    served.Memory().Put<double>(test::ServedGame::kBase + 0x10, 372.5);
    served.Memory().Put<std::uint8_t>(test::ServedGame::kBase + 0x28, 1);  // in the car
  }

  test::ServedGame served;
  ClientSide side;
};

TEST_F(ClientSessionTest, ShakesHandsThenShowsTheServersRecords) {
  TClientSession session(side.link, side.ui, "2.9.0.220");
  session.SetDataInterval(50ms);
  ASSERT_TRUE(session.Connect("127.0.0.1", served.Port()));
  EXPECT_EQ(side.status.Text(), "Connected to server");
  EXPECT_TRUE(session.Polling());
  ASSERT_TRUE(side.PumpUntil([&] { return side.game.FEau.FValue == 372.5; }));
  served.Memory().Put<double>(test::ServedGame::kBase + 0x10, 380.0);
  EXPECT_TRUE(side.PumpUntil([&] { return side.game.FEau.FValue == 380.0; }));
  EXPECT_TRUE(side.ui.Messages().empty());
}

TEST_F(ClientSessionTest, HandshakeFailuresAreReported) {
  const struct {
    std::string version;
    std::uint16_t port;
    const char* message;
  } cases[] = {
      {"2.9.0.221", served.Port(), "Not same version"},
      {"2.9.0.220", 1, "Impossible connection"},  // nothing listens on port 1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    ClientSide client;
    TClientSession session(client.link, client.ui, c.version);
    const auto start = Clock::now();
    EXPECT_FALSE(session.Connect("127.0.0.1", c.port));
    EXPECT_LT(Clock::now() - start, 4100ms);
    EXPECT_EQ(client.ui.Messages(), std::vector<std::string>{c.message});
    EXPECT_FALSE(session.Polling());
  }
}

TEST_F(ClientSessionTest, TheServerGoingAwayEndsPollingWithDisconnected) {
  auto session = std::make_unique<TClientSession>(side.link, side.ui, "2.9.0.220");
  session->SetDataInterval(20ms);
  ASSERT_TRUE(session->Connect("127.0.0.1", served.Port()));
  ASSERT_TRUE(side.PumpUntil([&] { return side.game.FEau.FValue == 372.5; }));
  served.~ServedGame();
  new (&served) test::ServedGame();  // the test's fixture expects one to destroy
  EXPECT_TRUE(side.PumpUntil([&] { return !session->Polling(); }));
  EXPECT_TRUE(side.ui.Saw("Disconnected !"));
  EXPECT_EQ(side.status.Text(), "Unknown Game");
  EXPECT_FALSE(session->Connected());
}

TEST_F(ClientSessionTest, ClosingAsksAndOkReconnectsToTheSameServer) {
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    ClientSide client;
    client.ui.answer_ok = ok;
    TClientSession session(client.link, client.ui, "2.9.0.220");
    session.SetDataInterval(20ms);
    ASSERT_TRUE(session.Connect("127.0.0.1", served.Port()));
    ASSERT_TRUE(client.PumpUntil([&] { return client.game.FEau.FValue == 372.5; }));
    session.CloseByProgram(true);
    EXPECT_TRUE(client.ui.Saw("Disconnected !\r\n\r\nDo you want reconnect?"));
    EXPECT_EQ(session.Polling(), ok);
    EXPECT_EQ(client.status.Text(), ok ? "Connected to server" : "Unknown Game");
    session.CloseByProgram(false);
    EXPECT_FALSE(session.Polling());
  }
}

// A server that agrees on the version and then answers DATA from a script, one entry per poll, then
// says nothing more.
class HostileServer {
 public:
  explicit HostileServer(std::vector<std::string> replies) : replies_(std::move(replies)) {
    acceptor_.open(asio::ip::tcp::v4());
    acceptor_.bind({asio::ip::make_address_v4("127.0.0.1"), 0});
    acceptor_.listen();
    thread_ = std::thread([this] { Serve(); });
  }
  ~HostileServer() {
    stop_ = true;
    std::error_code ignored;
    if (peer_.is_open()) {
      peer_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    }
    thread_.join();
  }
  std::uint16_t Port() const { return acceptor_.local_endpoint().port(); }
  int Answered() const { return answered_; }

 private:
  void Serve() {
    acceptor_.accept(peer_);
    asio::streambuf input;
    std::error_code error;
    asio::read_until(peer_, input, "\r\n", error);
    input.consume(input.size());
    asio::write(peer_, asio::buffer(std::string("200 OK same version\r\n")), error);
    for (const auto& reply : replies_) {
      asio::read_until(peer_, input, "\r\n", error);
      if (error || stop_) {
        return;
      }
      input.consume(input.size());
      asio::write(peer_, asio::buffer(reply), error);
      ++answered_;
    }
    while (!stop_ && !error) {  // stalls, reading what comes
      asio::read_until(peer_, input, "\r\n", error);
      input.consume(input.size());
    }
  }

  std::vector<std::string> replies_;
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_{io_};
  asio::ip::tcp::socket peer_{io_};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
};

TEST(ClientSessionHostile, WrongCountsAndAShortRecordGiveProblemeAndWriteNothing) {
  const std::string short_record = "201 440\r\n" + std::string(100, '\x7f');
  HostileServer server({"201 439\r\n" + std::string(439, '\x7f'), "201 441\r\n" + std::string(441, '\x7f'),
                        "201 abc\r\n", short_record});
  ClientSide client;
  client.game.GameData.Eau = 300.0;
  const TGameData before = client.game.GameData;
  TClientSession session(client.link, client.ui, "2.9.0.220");
  session.SetDataInterval(10ms);
  const auto start = Clock::now();
  ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
  EXPECT_LT(Clock::now() - start, 4100ms);
  // The main thread keeps running its steps at once while the reception thread waits on the server.
  std::chrono::steady_clock::duration longest{};
  const bool four = client.PumpUntil(
      [&] {
        const auto lap = Clock::now();
        client.hand_over.RunPending();
        longest = std::max(longest, Clock::now() - lap);
        return client.ui.Messages().size() >= 4;
      },
      8000ms);
  EXPECT_TRUE(four);
  const auto messages = client.ui.Messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "Probleme"), 4) << messages.size();
  EXPECT_LT(longest, 100ms);
  EXPECT_EQ(std::memcmp(&client.game.GameData, &before, sizeof before), 0);
  EXPECT_EQ(client.game.FEau.FValue, 0.0);
}

}  // namespace
}  // namespace velmora
