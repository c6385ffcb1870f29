#include "net/client_session.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fake_window_finder.h"
#include "game/game.h"
#include "game/game_link.h"
#include "manual_clock.h"
#include "net/asio.h"
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
    boost::system::error_code ignored;
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
    boost::system::error_code error;
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

TEST(ClientSessionHostile, WrongCountsGiveProblemeAndAShortRecordEndsTheConnection) {
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
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "Probleme"), 3) << messages.size();
  EXPECT_EQ(messages.back(), "Disconnected !");
  EXPECT_FALSE(session.Polling());
  EXPECT_LT(longest, 100ms);
  EXPECT_EQ(std::memcmp(&client.game.GameData, &before, sizeof before), 0);
  EXPECT_EQ(client.game.FEau.FValue, 0.0);
}

// A server on loopback that agrees on the version and answers every DATA with a whole record whose Eau
// counts up from 400, over any number of connections. On its first connection it answers its third DATA
// with `fault` and then goes on as if nothing had happened; `stall` is how long it waits in the middle.
class StallingServer {
 public:
  StallingServer(std::string fault, std::chrono::milliseconds stall)
      : fault_(std::move(fault)), stall_(stall) {
    acceptor_.open(asio::ip::tcp::v4());
    acceptor_.bind({asio::ip::make_address_v4("127.0.0.1"), 0});
    acceptor_.listen();
    thread_ = std::thread([this] {
      for (int connection = 0; connection < 5 && !stop_; ++connection) {
        asio::ip::tcp::socket peer(io_);
        boost::system::error_code error;
        acceptor_.accept(peer, error);
        if (error || stop_) {
          return;
        }
        Serve(peer, connection == 0);
      }
    });
  }
  ~StallingServer() {
    stop_ = true;
    boost::system::error_code ignored;
    asio::ip::tcp::socket wake(io_);
    wake.connect(acceptor_.local_endpoint(), ignored);
    thread_.join();
  }
  std::uint16_t Port() const { return acceptor_.local_endpoint().port(); }

 private:
  void Serve(asio::ip::tcp::socket& peer, bool faulty) {
    asio::streambuf input;
    boost::system::error_code error;
    asio::read_until(peer, input, "\r\n", error);
    input.consume(input.size());
    asio::write(peer, asio::buffer(std::string("200 OK same version\r\n")), error);
    for (int data = 0; !error && !stop_; ++data) {
      asio::read_until(peer, input, "\r\n", error);
      input.consume(input.size());
      if (faulty && data == 2) {
        asio::write(peer, asio::buffer(fault_.substr(0, fault_.size() / 2)), error);
        std::this_thread::sleep_for(stall_);
        asio::write(peer, asio::buffer(fault_.substr(fault_.size() / 2)), error);
        continue;
      }
      TGameData record{};
      record.Eau = 400.0 + next_++;
      asio::write(peer, asio::buffer(std::string("201 440\r\n")), error);
      asio::write(peer, asio::buffer(&record, sizeof record), error);
    }
  }

  std::string fault_;
  std::chrono::milliseconds stall_;
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_{io_};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  int next_ = 0;
};

std::string RecordReply(double eau) {
  TGameData record{};
  record.Eau = eau;
  return "201 440\r\n" + std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

// Losing step in the middle of a record must never show bytes of one record as another: the client drops
// the connection with "Disconnected !", and connecting again (as after any lost connection) brings the
// live values back.
TEST(ClientSessionHostile, ARecordThatCannotBeReadWholeEndsTheConnectionAndReconnectingGoesOn) {
  const struct {
    const char* name;
    std::string fault;
    std::chrono::milliseconds stall;
  } cases[] = {
      {"stalls past the deadline mid-record", RecordReply(1.0), 2500ms},
      {"count past the guard", "201 70000\r\n" + std::string(70000, '\x7f'), 0ms},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StallingServer server(c.fault, c.stall);
    ClientSide client;
    TClientSession session(client.link, client.ui, "2.9.0.220");
    session.SetDataInterval(10ms);
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
    // Every value shown is one a record carried whole.
    const auto shown_whole = [&] {
      const double eau = client.game.GameData.Eau;
      return eau == 0.0 || (eau >= 400.0 && eau < 1000.0 && eau == static_cast<int>(eau));
    };
    bool always_whole = true;
    EXPECT_TRUE(client.PumpUntil(
        [&] {
          always_whole = always_whole && shown_whole();
          return !session.Polling();
        },
        6000ms));
    EXPECT_TRUE(always_whole);
    EXPECT_EQ(client.ui.Messages(), std::vector<std::string>{"Disconnected !"});
    EXPECT_EQ(client.status.Text(), "Unknown Game");

    const double before = client.game.GameData.Eau;
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
    EXPECT_TRUE(client.PumpUntil([&] {
      always_whole = always_whole && shown_whole();
      return client.game.GameData.Eau > before + 2;
    }));
    EXPECT_TRUE(always_whole);
    EXPECT_EQ(client.ui.Messages().size(), 1U);
  }
}

// A server that floods short lines between replies: the client's input stays bounded and the connection
// goes, instead of taking up to a chunk more memory with every poll.
TEST(ClientSessionHostile, AFloodOfShortLinesEndsTheConnection) {
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    asio::ip::tcp::socket peer(io);
    boost::system::error_code error;
    acceptor.accept(peer, error);
    asio::streambuf input;
    asio::read_until(peer, input, "\r\n", error);
    asio::write(peer, asio::buffer(std::string("200 OK same version\r\n")), error);
    std::string lines;
    for (int i = 0; i < 1024; ++i) {
      lines += "x\r\n";
    }
    // At most 64 MiB, far past any bound worth having.
    for (int i = 0; i < 16384 && !error && !stop; ++i) {
      asio::write(peer, asio::buffer(lines), error);
    }
  });
  ClientSide client;
  TClientSession session(client.link, client.ui, "2.9.0.220");
  session.SetDataInterval(10ms);
  ASSERT_TRUE(session.Connect("127.0.0.1", acceptor.local_endpoint().port()));
  EXPECT_TRUE(client.PumpUntil([&] { return !session.Polling(); }, 5000ms));
  EXPECT_TRUE(client.ui.Saw("Disconnected !"));
  stop = true;
  session.CloseByProgram(false);
  flood.join();
}

}  // namespace
}  // namespace velmora
