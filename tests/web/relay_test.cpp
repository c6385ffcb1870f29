// velmora-cli web as a whole program: velmora-sim -> velmora-cli serve -> velmora-cli web -> viewers on
// real sockets of 127.0.0.1.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "net/asio.h"
#include "relay_fixture.h"
#include "run_program.h"
#include "running_sim.h"

namespace velmora::web::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Reads the stream until `key` shows `value`; false when it does not within `limit`.
bool Shows(Viewer& viewer, const std::string& key, const std::string& value,
           std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const auto message = viewer.Next(std::max(left, 1ms));
    if (!message) {
      return false;
    }
    if (ValueIn(*message, key) == value) {
      return true;
    }
  }
  return false;
}

TEST(RelayTest, AViewerGetsTheWholeStateThenEveryChangeWithinASecond) {
  velmora::test::RunningSim sim({"--time-scale", "10"});
  ServeProcess serve;
  WebProcess web(serve.Port());
  Viewer viewer(web.Port(), "/stream");
  ASSERT_TRUE(viewer.Open());

  // The whole state first (what the relay knows by then), then changes only, until every panel is known.
  const auto first = viewer.Next(5s);
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->starts_with(R"({"full":1,"v":{)")) << *first;
  std::string seen = *first;
  const auto deadline = Clock::now() + 5s;
  const std::vector<std::string> keys{"wa", "flo", "flm", "fli", "flmc", "g", "ses", "st"};
  const auto all_seen = [&] {
    return std::all_of(keys.begin(), keys.end(), [&](const std::string& key) { return ValueIn(seen, key); });
  };
  while (!all_seen() && Clock::now() < deadline) {
    const auto next = viewer.Next(2s);
    ASSERT_TRUE(next.has_value());
    EXPECT_TRUE(next->starts_with(R"({"v":{)")) << *next;
    seen += *next;
  }
  EXPECT_TRUE(all_seen()) << seen;

  ASSERT_EQ(sim.Ask("pause"), "ok");
  ASSERT_EQ(sim.Ask("set FEau 370"), "ok");
  const auto asked = Clock::now();
  EXPECT_TRUE(Shows(viewer, "wa", R"("96|206")", 1000ms));
  std::cout << "water change seen after "
            << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count() << " ms\n";
}

TEST(RelayTest, TheSimulatorGoingShowsNoDataAndItsReturnBringsTheValuesBack) {
  velmora::test::RunningSim sim({"--time-scale", "10"});
  ServeProcess serve;
  WebProcess web(serve.Port());
  Viewer viewer(web.Port(), "/stream");
  ASSERT_TRUE(Shows(viewer, "st", R"("ok")", 5s));
  ASSERT_EQ(sim.Ask("close"), "ok");
  EXPECT_TRUE(Shows(viewer, "st", R"("nodata")", 5s));
  ASSERT_EQ(sim.Ask("open"), "ok");
  EXPECT_TRUE(Shows(viewer, "st", R"("ok")", 5s));
}

TEST(RelayTest, TheServerGoingIsShownAndTheRelayKeepsServingItsViewers) {
  std::optional<velmora::test::RunningSim> sim(std::in_place, std::vector<std::string>{"--time-scale", "10"});
  std::optional<ServeProcess> serve(std::in_place);
  WebProcess web(serve->Port());
  Viewer viewer(web.Port(), "/stream");
  ASSERT_TRUE(Shows(viewer, "st", R"("ok")", 5s));
  serve.reset();
  EXPECT_TRUE(Shows(viewer, "st", R"("lost")", 5s));
  EXPECT_EQ(HttpGet(web.Port(), "/").status, 200);
  std::string err;
  EXPECT_EQ(web.Stop(err), 0);
  EXPECT_NE(err.find("lost the server; retrying"), std::string::npos) << err;
}

TEST(RelayTest, WithATokenThePageAndTheStreamNeedIt) {
  velmora::test::RunningSim sim;
  ServeProcess serve;
  WebProcess web(serve.Port(), {"--token", "pit wall&7"});
  struct Case {
    const char* target;
    int status;
  };
  const Case pages[] = {
      {"/", 403},
      {"/?token=pit", 403},
      {"/?token=pit+wall%267", 200},
      {"/index.html?token=pit%20wall%267", 200},
      {"/nothing?token=pit+wall%267", 404},
  };
  for (const Case& c : pages) {
    const HttpAnswer answer = HttpGet(web.Port(), c.target);
    EXPECT_EQ(answer.status, c.status) << c.target;
    if (answer.status == 403) {
      EXPECT_EQ(answer.body, "Forbidden\n") << c.target;
    }
    if (answer.status == 200) {
      EXPECT_TRUE(answer.body.starts_with("<!DOCTYPE html>")) << c.target;
    }
  }
  const Case streams[] = {
      {"/stream", 403}, {"/stream?token=pit+wall", 403}, {"/stream?token=pit+wall%267", 101}};
  for (const Case& c : streams) {
    EXPECT_EQ(HttpGet(web.Port(), c.target, true).status, c.status) << c.target;
  }
  Viewer viewer(web.Port(), "/stream?token=pit+wall%267");
  EXPECT_TRUE(viewer.Open());
  EXPECT_TRUE(viewer.Next(5s).has_value());
}

TEST(RelayTest, StopsCleanlyAndLogsItsViewers) {
  velmora::test::RunningSim sim;
  ServeProcess serve;
  WebProcess web(serve.Port());
  {
    Viewer viewer(web.Port(), "/stream");
    ASSERT_TRUE(viewer.Next(5s).has_value());
  }
  std::this_thread::sleep_for(300ms);
  std::string err;
  EXPECT_EQ(web.Stop(err), 0);
  EXPECT_NE(err.find(" joined (1 watching)"), std::string::npos) << err;
  EXPECT_NE(err.find(" left (0 watching)"), std::string::npos) << err;
}

// A server that answers any line with one reply and then closes, on a thread of its own.
class OneReplyServer {
 public:
  explicit OneReplyServer(std::string reply)
      : acceptor_(io_, asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
        reply_(std::move(reply)) {
    thread_ = std::thread([this] {
      boost::system::error_code error;
      asio::ip::tcp::socket socket(io_);
      acceptor_.accept(socket, error);
      if (error) {
        return;
      }
      asio::streambuf line;
      asio::read_until(socket, line, "\n", error);
      asio::write(socket, asio::buffer(reply_), error);
    });
  }
  ~OneReplyServer() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    thread_.join();
  }
  std::uint16_t Port() const { return acceptor_.local_endpoint().port(); }

 private:
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_;
  std::string reply_;
  std::thread thread_;
};

TEST(RelayTest, ARefusalAtStartEndsTheRelayWithStatus4) {
  struct Case {
    const char* reply;  // empty: nothing listens
    const char* message;
  };
  const Case cases[] = {
      {"", "Impossible connection"},
      {"500 Bad Version!\r\n", "Not same version"},
      {"oops\r\n", "Impossible connection"},
  };
  for (const Case& c : cases) {
    std::optional<OneReplyServer> server;
    std::uint16_t port = 0;
    if (*c.reply != '\0') {
      server.emplace(c.reply);
      port = server->Port();
    } else {
      // A port that was free a moment ago: nothing accepts there.
      asio::io_context io;
      asio::ip::tcp::acceptor probe(io, asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
      port = probe.local_endpoint().port();
    }
    const auto outcome = velmora::test::RunProgram(
        {VELMORA_CLI_PATH, "web", "--from", "127.0.0.1:" + std::to_string(port), "--http", "0"});
    EXPECT_EQ(outcome.status, 4) << c.reply;
    EXPECT_EQ(outcome.err, std::string(c.message) + "\n") << c.reply;
    EXPECT_EQ(outcome.out, "") << c.reply;
  }
}

TEST(RelayTest, ABadCommandLineEndsWithStatus2) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--http", "8080"},
      {"--from"},
      {"--from", "127.0.0.1:0"},
      {"--from", "127.0.0.1", "--http", "65536"},
      {"--from", "127.0.0.1", "--interval", "0"},
      {"--from", "127.0.0.1", "--bind", "pit-wall"},
      {"--from", "127.0.0.1", "--token", ""},
      {"--from", "127.0.0.1", "--colour", "red"},
      {"--from", "127.0.0.1", "--allow-host", "pit-wall.example:8080"},
      {"--from", "127.0.0.1", "--allow-host", "pit wall"},
      {"--from", "127.0.0.1", "--max-viewers", "0"},
      {"--from", "127.0.0.1", "--max-per-address", "many"},
      {"--from", "127.0.0.1", "--token-file", "/nonexistent/token"},
      {"--from", "127.0.0.1", "--token", "a", "--token-file", "/etc/hostname"},
  };
  for (const auto& arguments : cases) {
    std::vector<std::string> argv{VELMORA_CLI_PATH, "web"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto outcome = velmora::test::RunProgram(argv);
    EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_TRUE(outcome.err.starts_with("velmora-cli web: ")) << outcome.err;
  }
}

}  // namespace
}  // namespace velmora::web::test
