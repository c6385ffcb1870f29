#include "net/protocol_server.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "net/protocol_client.h"
#include "net/trace_log.h"
#include "race/lap_time_text.h"
#include "served_game.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A peer that says one line and reads what comes back.
struct Peer {
  explicit Peer(std::uint16_t port) { connected = client.Connect("127.0.0.1", port); }

  // The reply line, or "<none>" when nothing came within `wait`.
  std::string Ask(const std::string& line, std::chrono::milliseconds wait = 2000ms) {
    EXPECT_TRUE(client.SendLine(line));
    return client.ReadLine(wait).value_or("<none>");
  }
  // True when the server has closed the connection, noticed within two seconds.
  bool ClosedByServer() { return !client.ReadLine(2000ms).has_value() && !client.Connected(); }
  // The record after a 201 reply.
  TGameData Record() {
    TGameData record{};
    EXPECT_TRUE(client.ReadBytes(std::as_writable_bytes(std::span(&record, 1))));
    return record;
  }

  TProtocolClient client;
  bool connected = false;
};

class ProtocolServerTest : public ::testing::Test {
 protected:
  ProtocolServerTest() {
    served.Memory().Put<double>(test::ServedGame::kBase + 0x10, 361.5);
    served.Memory().Put<std::uint8_t>(test::ServedGame::kBase + 0x20, 1);
  }

  // A well-behaved client is served normally.
  void ExpectServedNormally() {
    Peer peer(served.Port());
    ASSERT_TRUE(peer.connected);
    ASSERT_EQ(peer.Ask("VERSION 2.9.0.220"), "200 OK same version");
    ASSERT_EQ(peer.Ask("DATA"), "201 440");
    EXPECT_EQ(peer.Record().Eau, 361.5);
    EXPECT_EQ(peer.Ask("QUIT"), "200 Ok, bye");
  }

  test::ServedGame served;
};

TEST_F(ProtocolServerTest, AnswersTheLineProtocol) {
  const struct {
    std::vector<std::string> lines;  // the last one's reply is checked
    const char* reply;
    bool closes;
  } cases[] = {
      {{"DATA"}, "201 440", false},
      {{"data"}, "201 440", false},
      {{"VERSION 2.9.0.220"}, "200 OK same version", false},
      {{"version 2.9.0.220"}, "200 OK same version", false},
      {{"VERSION 2.9.0.221"}, "500 Bad Version!", true},
      {{"VERSION  2.9.0.220"}, "500 Bad Version!", true},  // the second space is part of the version
      {{"VERSION 2.9.0.220 "}, "500 Bad Version!", true},
      {{"VERSION"}, "<none>", false},
      {{"VERSION "}, "<none>", false},
      {{"HELLO"}, "<none>", false},
      {{"HELLO", "DATA"}, "201 440", false},
      {{"QUIT"}, "200 Ok, bye", true},
      {{"Quit now"}, "200 Ok, bye", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    Peer peer(served.Port());
    ASSERT_TRUE(peer.connected);
    std::string reply;
    for (const auto& line : c.lines) {
      reply = peer.Ask(line, std::string(c.reply) == "<none>" ? 300ms : 2000ms);
    }
    EXPECT_EQ(reply, c.reply);
    if (reply == "201 440") {
      const TGameData record = peer.Record();
      EXPECT_EQ(record.Eau, 361.5);
      std::uint8_t bytes[sizeof record];
      std::memcpy(bytes, &record, sizeof record);
      EXPECT_EQ(bytes[356], 1);
      EXPECT_EQ(bytes[357], 0);
    }
    if (!c.closes) {
      EXPECT_EQ(peer.Ask("DATA"), "201 440");  // still open
      peer.Record();
      EXPECT_EQ(peer.Ask("QUIT"), "200 Ok, bye");
    }
    // Closed by the server, which frees the slot for the next case.
    EXPECT_TRUE(peer.ClosedByServer());
  }
}

TEST_F(ProtocolServerTest, ASecondClientIsClosedAtOnceAndHearsNothing) {
  Peer first(served.Port());
  ASSERT_EQ(first.Ask("DATA"), "201 440");
  first.Record();
  Peer second(served.Port());
  ASSERT_TRUE(second.connected);
  EXPECT_TRUE(second.ClosedByServer());
  EXPECT_FALSE(second.client.ReadLine(100ms).has_value());
  EXPECT_EQ(first.Ask("DATA"), "201 440");
}

TEST_F(ProtocolServerTest, WithoutTheSimulatorDataGets501AndDetectionStartsAgain) {
  Peer peer(served.Port());
  ASSERT_TRUE(peer.connected);
  served.Close();
  EXPECT_EQ(served.Pumping([&] { return peer.Ask("DATA"); }), "501 No data");
  EXPECT_TRUE(served.Timer().Enabled());
  EXPECT_EQ(served.Status().Text(), "Unknown Game");
  EXPECT_EQ(served.Game().FProgramHandleProcess, nullptr);
  // Still no simulator: the same again, on the same connection.
  EXPECT_EQ(served.Pumping([&] { return peer.Ask("DATA"); }), "501 No data");

  served.Open();
  EXPECT_EQ(peer.Ask("DATA"), "201 440");
  EXPECT_EQ(peer.Record().Eau, 361.5);
}

TEST_F(ProtocolServerTest, TracesEveryConnectionWithCrLfEntries) {
  {
    Peer peer(served.Port());
    ASSERT_EQ(peer.Ask("QUIT"), "200 Ok, bye");
    ASSERT_TRUE(peer.ClosedByServer());
  }
  std::string log;
  for (int attempt = 0; attempt < 100 && log.find("Disconnected.") == std::string::npos; ++attempt) {
    std::this_thread::sleep_for(10ms);
    std::ifstream file(served.TraceLog(), std::ios::binary);
    log.assign(std::istreambuf_iterator<char>(file), {});
  }
  std::vector<std::string> entries;
  for (std::size_t start = 0; start < log.size();) {
    const auto end = log.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "entry not ended by CR LF";
    entries.push_back(log.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(entries.size(), 4U) << log;
  EXPECT_TRUE(entries[0].starts_with("127.0.0.1:")) << entries[0];
  EXPECT_TRUE(entries[0].ends_with(" Stat Connected."));
  EXPECT_NE(entries[1].find(" Recv "), std::string::npos);
  EXPECT_TRUE(entries[1].ends_with(": QUIT<EOL>")) << entries[1];
  EXPECT_TRUE(entries[2].ends_with(": 200 Ok, bye<EOL>")) << entries[2];
  EXPECT_TRUE(entries[3].ends_with(" Stat Disconnected."));
}

TEST(TraceLogText, ShowsLineEndsAndControlBytes) {
  const struct {
    std::string bytes;
    const char* shown;
  } cases[] = {{"DATA\r\n", "DATA<EOL>"},
               {"a\rb\nc", "a<CR>b<LF>c"},
               {"\n\r", "<LF><CR>"},
               {std::string("201 440\r\n\x01\x00\xff", 12), "201 440<EOL>..."}};
  for (const auto& c : cases) {
    std::string shown;
    TraceLog::AppendShown(shown, c.bytes);
    EXPECT_EQ(shown, c.shown);
  }
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Entries "0000 Stat Connected." and on, 22 bytes each with their CR LF.
std::string Entries(int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) {
    char peer[16];
    std::snprintf(peer, sizeof peer, "%04d", i);
    text += std::string(peer) + " Stat Connected.\r\n";
  }
  return text;
}

TEST(TraceLogRotation, StartsAfreshPastItsSizeKeepingThePreviousFile) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("velmora_trace_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const auto path = folder / "protocole.txt";
  const auto previous = folder / "protocole.1.txt";
  EXPECT_EQ(TraceLog::RotatedPath(path.string()), previous.string());
  const std::string earlier_run(900, 'x');
  std::ofstream(path, std::ios::binary) << earlier_run;
  {
    TraceLog log(path.string(), 1000);
    for (int i = 0; i < 10; ++i) {
      char peer[16];
      std::snprintf(peer, sizeof peer, "%04d", i);
      log.Connected(peer);
    }
  }
  // The earlier run's bytes count: 900 + 4 entries fill the first file, the rest start the next.
  EXPECT_EQ(FileText(previous), earlier_run + Entries(0, 4));
  EXPECT_EQ(FileText(path), Entries(4, 6));

  {
    TraceLog log(path.string(), 1000);
    for (int i = 10; i < 200; ++i) {
      char peer[16];
      std::snprintf(peer, sizeof peer, "%04d", i);
      log.Connected(peer);
    }
  }
  // Only the older file is given up: the two files hold the last entries without a gap, each in its limit.
  const std::string kept = FileText(previous) + FileText(path);
  EXPECT_LE(std::filesystem::file_size(path), 1000U);
  EXPECT_LE(std::filesystem::file_size(previous), 1000U);
  EXPECT_GT(std::filesystem::file_size(previous), 1000U - 22U);
  EXPECT_EQ(kept, Entries(200 - static_cast<int>(kept.size() / 22), static_cast<int>(kept.size() / 22)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
  std::filesystem::remove_all(folder);
}

// --- Hostile peers, one at a time in the slot

TEST_F(ProtocolServerTest, AFloodOfConnectionsAndSilentSocketsLeavesTheServedClientServed) {
  Peer served_client(served.Port());
  ASSERT_EQ(served_client.Ask("VERSION 2.9.0.220"), "200 OK same version");
  std::atomic<bool> done{false};
  std::atomic<int> records{0};
  std::atomic<int> failures{0};
  std::thread poller([&] {
    while (!done) {
      if (served_client.Ask("DATA") == "201 440" && served_client.Record().Eau == 361.5) {
        ++records;
      } else {
        ++failures;
      }
      std::this_thread::sleep_for(2ms);  // a poll interval, as a real client has
    }
  });
  int closed_at_once = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    Peer intruder(served.Port());
    closed_at_once += intruder.connected && intruder.ClosedByServer() ? 1 : 0;
  }
  std::vector<std::unique_ptr<Peer>> silent;
  for (int i = 0; i < 50; ++i) {
    silent.push_back(std::make_unique<Peer>(served.Port()));
  }
  int silent_closed = 0;
  for (auto& peer : silent) {
    silent_closed += peer->ClosedByServer() ? 1 : 0;
  }
  done = true;
  poller.join();
  EXPECT_EQ(closed_at_once, 1000);
  EXPECT_EQ(silent_closed, 50);
  EXPECT_EQ(failures, 0);
  EXPECT_GT(records, 0);
  served_client.Ask("QUIT");
  ExpectServedNormally();
}

TEST_F(ProtocolServerTest, AOneMegabyteLineIsCutOffPastOneKibibyte) {
  Peer hostile(served.Port());
  ASSERT_EQ(hostile.Ask("DATA"), "201 440");
  hostile.Record();
  const std::string line(1 << 20, 'x');
  // The server stops reading once the line passes 1 KiB, so the rest cannot all be sent.
  hostile.client.Send(line, 2000ms);
  EXPECT_TRUE(hostile.ClosedByServer());
  ExpectServedNormally();
}

TEST_F(ProtocolServerTest, GarbageLinesGetNoReplyAndDataAfterThemIsServed) {
  Peer hostile(served.Port());
  std::string garbage;
  for (int i = 0; i < 10000; ++i) {
    garbage += "garbage " + std::to_string(i) + " \x01\x7f\r\n";
  }
  ASSERT_TRUE(hostile.client.Send(garbage, 5000ms));
  EXPECT_EQ(hostile.Ask("DATA"), "201 440");  // the first reply is the one to DATA
  EXPECT_EQ(hostile.Record().Eau, 361.5);
  hostile.Ask("QUIT");
  ExpectServedNormally();
}

TEST(ProtocolServerIdle, ASilentPeerLosesTheSlotAfterTheIdleTime) {
  test::ServedGame served(300ms);
  Peer silent(served.Port());
  ASSERT_TRUE(silent.connected);
  const auto start = Clock::now();
  EXPECT_TRUE(silent.ClosedByServer());
  EXPECT_GE(Clock::now() - start, 250ms);
  // A peer that keeps talking keeps the slot past the idle time.
  Peer talker(served.Port());
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(talker.Ask("DATA"), "201 440");
    talker.Record();
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(talker.client.Connected());
}

TEST(ProtocolServerIdle, LinesThatAreNoCommandDoNotKeepTheSlot) {
  test::ServedGame served(300ms);
  struct Case {
    const char* what;
    const char* line;
  };
  const Case cases[] = {
      {"junk", "hello"}, {"an empty line", ""}, {"a version without its number", "VERSION"}};
  for (const Case& c : cases) {
    Peer stranger(served.Port());
    ASSERT_TRUE(stranger.connected) << c.what;
    const auto start = Clock::now();
    bool closed = false;
    while (!closed && Clock::now() - start < 2s) {
      // Each line comes well within the idle time, and none is answered.
      closed = !stranger.client.SendLine(c.line) ||
               (!stranger.client.ReadLine(100ms).has_value() && !stranger.client.Connected());
    }
    EXPECT_TRUE(closed) << c.what;
    EXPECT_LT(Clock::now() - start, 1s) << c.what;
  }
}

// 127.0.0.2 is this machine too, but not the address 127.0.0.1: a server kept to one address is not
// reached on another, while one on every address is.
TEST(ProtocolServerBind, ListensOnlyOnItsAddress) {
  class NoGame final : public ServerDataSource {
   public:
    bool CommandData(TGameData&, std::stop_token) override { return false; }
  } no_game;
  const auto log =
      std::filesystem::temp_directory_path() /
      ("velmora_bind_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt");
  const struct {
    const char* bind;
    bool reached_on_other;
  } cases[] = {{"127.0.0.1", false}, {"0.0.0.0", true}};
  for (const auto& c : cases) {
    ServerOptions options;
    options.port = 0;
    options.bind_address = c.bind;
    options.trace_log_path = log.string();
    TProtocolServer server(no_game, options);
    server.Activate();
    TProtocolClient client;
    EXPECT_TRUE(client.Connect("127.0.0.1", server.Port())) << c.bind;
    client.Disconnect();
    EXPECT_EQ(client.Connect("127.0.0.2", server.Port(), 500ms), c.reached_on_other) << c.bind;
  }
  std::filesystem::remove(log);
  for (const char* bad : {"127.0.0", "192.0.2.1"}) {  // not an address; not one of this machine's
    ServerOptions options;
    options.port = 0;
    options.bind_address = bad;
    options.trace_log_path = log.string();
    TProtocolServer server(no_game, options);
    EXPECT_THROW(server.Activate(), std::system_error) << bad;
    EXPECT_FALSE(server.Active());
  }
}

// In the server role the connection thread takes the simulator's best times while the lap grid, on the
// main thread, paints its best-time highlights from them.
TEST(ProtocolServerTimes, TheGridPaintsItsHighlightsWhileAClientPolls) {
  test::ServedGame served;
  constexpr std::uint32_t kTimes = test::ServedGame::kBase + 0x100;
  served.Game().FTemps.Affectation(kTimes, 4, 8, 12, 16, 20, true);
  std::atomic<bool> done{false};
  std::atomic<int> records{0};
  std::thread poller([&] {
    Peer client(served.Port());
    for (int i = 0; i < 100000 && !done; ++i) {
      if (client.Ask("DATA") != "201 440") {
        return;
      }
      client.Record();
      ++records;
    }
  });
  int highlighted = 0;
  for (int lap = 0; lap < 2000 && (records < 50 || lap < 200); ++lap) {
    const float best = 90.0F + static_cast<float>(lap % 7);
    served.Memory().Put<float>(kTimes + 12, best);
    std::this_thread::sleep_for(1ms);  // a poll or more takes it up
    const auto& temps = served.Game().FTemps;
    highlighted += temps.CellColor(TLapField::Final, FormatValue(best)).has_value() ? 1 : 0;
  }
  done = true;
  poller.join();
  EXPECT_GE(records.load(), 50);
  EXPECT_GT(highlighted, 0);
}

}  // namespace
}  // namespace velmora
