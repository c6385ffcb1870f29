// velmora-cli web against what a shared network or a hostile page or server may do: requests naming
// other hosts, connections past its limits, absurd records, token guessing. The relay's server is a
// RecordServer on 127.0.0.1, so that every record is the test's to choose.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "net/asio.h"
#include "record_server.h"
#include "relay_fixture.h"
#include "run_program.h"

namespace velmora::web::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tcp = asio::ip::tcp;

TGameData Quiet(long) {
  return TGameData{};
}

TEST(RelayGuardTest, OnlyRequestsForItsOwnNamesAndStreamsOfItsOwnPageAreServed) {
  RecordServer server(Quiet);
  WebProcess web(server.Port(), {"--allow-host", "Pit-Wall.example"});
  const std::string port = std::to_string(web.Port());
  const std::string own = "127.0.0.1:" + port;
  const std::optional<std::string> none;
  struct Case {
    const char* what;
    bool stream;
    std::optional<std::string> host;
    std::optional<std::string> origin;
    int status;
  };
  const std::vector<Case> cases = {
      {"the page at its address", false, own, none, 200},
      {"the page at localhost", false, "localhost:" + port, none, 200},
      {"the page at another loopback address", false, "[::1]:" + port, none, 200},
      {"the page at an allowed name", false, "pit-wall.example.", none, 200},
      {"the page at another site's name", false, "evil.example:" + port, none, 403},
      {"the page at a name that starts like its own", false, "localhost.evil.example", none, 403},
      {"the page without a Host", false, none, none, 403},
      {"a stream from its own page", true, own, "http://" + own, 101},
      {"a stream from its page at localhost", true, "localhost:" + port, "http://localhost:" + port, 101},
      {"a stream without an Origin, as a program asks", true, own, none, 101},
      {"a stream from another site's page", true, own, "http://evil.example", 403},
      {"a stream from the same host on another port", true, own, "http://127.0.0.1:1", 403},
      {"a stream from a sandboxed page", true, own, "null", 403},
      {"a stream at another site's name", true, "evil.example", "http://evil.example", 403},
  };
  for (const Case& c : cases) {
    HttpRequest request;
    request.target = c.stream ? "/stream" : "/";
    request.upgrade = c.stream;
    request.host = c.host;
    request.origin = c.origin;
    const HttpAnswer answer = HttpGet(web.Port(), request);
    EXPECT_EQ(answer.status, c.status) << c.what;
    EXPECT_EQ(answer.referrer_policy, "no-referrer") << c.what;
  }
}

// Opens `count` connections that send nothing; those the relay closes at once are counted.
struct IdleConnections {
  IdleConnections(std::uint16_t port, int count) {
    for (int i = 0; i < count; ++i) {
      sockets.emplace_back(io);
      boost::system::error_code error;
      sockets.back().connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port), error);
    }
  }
  int ClosedByTheRelay() {
    int closed = 0;
    for (tcp::socket& socket : sockets) {
      char byte = 0;
      boost::system::error_code error;
      socket.non_blocking(true);
      socket.read_some(asio::buffer(&byte, 1), error);
      closed += error == asio::error::eof || error == asio::error::connection_reset ? 1 : 0;
    }
    return closed;
  }
  asio::io_context io;
  std::vector<tcp::socket> sockets;
};

TEST(RelayGuardTest, ConnectionsPastItsLimitsNeitherSpinItNorKeepLaterViewersOut) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string shell_setup;
    int closed_at_once;  // of the 60 idle connections
  };
  const Case cases[] = {
      {"past the connection caps", {"--max-requests", "8", "--max-per-address", "10"}, "", 60 - 8},
      {"past the file limit", {}, "ulimit -n 24", 0},
  };
  for (const Case& c : cases) {
#ifdef VELMORA_TESTS_SANITIZED
    // The sanitizers' runtime opens files of its own to check a type, which the lowered limit denies it.
    if (!c.shell_setup.empty()) {
      continue;
    }
#endif
    RecordServer server(Quiet);
    WebProcess web(server.Port(), c.arguments, c.shell_setup);
    {
      IdleConnections idle(web.Port(), 60);
      std::this_thread::sleep_for(500ms);
      const double cpu_before = CpuSeconds(web.Pid());
      const auto wall_before = Clock::now();
      std::this_thread::sleep_for(2s);
      const double cpu = CpuSeconds(web.Pid()) - cpu_before;
      const double wall = std::chrono::duration<double>(Clock::now() - wall_before).count();
      std::cout << c.what << ": the relay used " << 100.0 * cpu / wall << " % of a core\n";
      EXPECT_LT(cpu / wall, 0.05) << c.what;
      EXPECT_EQ(idle.ClosedByTheRelay(), c.closed_at_once) << c.what;
    }
    // Once they have gone, a viewer is served.
    std::optional<std::string> first;
    for (const auto deadline = Clock::now() + 10s; !first && Clock::now() < deadline;) {
      Viewer viewer(web.Port(), "/stream");
      first = viewer.Next(2s);
    }
    EXPECT_TRUE(first.has_value()) << c.what;
    std::string err;
    EXPECT_EQ(web.Stop(err), 0) << c.what;
    if (!c.shell_setup.empty()) {
      EXPECT_NE(err.find("cannot accept connections"), std::string::npos) << err;
    }
  }
}

// Absurd figures in a cycle of ten polls while the lap count rises at every one: a lap that used
// almost nothing, then a tank far beyond any, figures that are not numbers or infinite.
TGameData Hostile(long poll) {
  TGameData record{};
  record.NombreTour = static_cast<std::int16_t>(poll);
  record.TempsDernierTour = 61.0F;
  switch (poll % 10) {
    case 0:
      record.Fuel = 1e-45;
      break;
    case 1:
      record.Fuel = 0.0;
      break;
    case 2:
      record.Fuel = 3.4e38;
      record.TempsMeilleurTour = 3.0e38F;
      break;
    case 3:
      record.Fuel = std::numeric_limits<double>::quiet_NaN();
      record.Vitesse = std::numeric_limits<float>::infinity();
      record.TempsDernierTour = std::nanf("");
      break;
    case 4:
      record.Fuel = -std::numeric_limits<double>::infinity();
      record.Vitesse = -3.0e38F;
      break;
    default:
      break;
  }
  return record;
}

TEST(RelayGuardTest, AbsurdRecordsGiveJsonFramesAndLapsRisingAtEveryPollABoundedState) {
  RecordServer server(Hostile);
  WebProcess web(server.Port(), {"--interval", "10"});
  Viewer viewer(web.Port(), "/stream");
  ASSERT_TRUE(viewer.Open());
  int frames = 0;
  for (const auto deadline = Clock::now() + 6s; Clock::now() < deadline;) {
    const auto frame = viewer.Next(2s);
    ASSERT_TRUE(frame.has_value());
    ++frames;
    // Strict parsing: a string that is not UTF-8 is an error too.
    EXPECT_TRUE(nlohmann::json::accept(*frame)) << *frame;
  }
  const long polls = server.Polls();
  std::cout << frames << " frames over " << polls << " polls\n";
  ASSERT_GT(polls, 300);

  // A viewer joining now gets the latest laps only.
  Viewer late(web.Port(), "/stream");
  const auto full = late.Next(5s);
  ASSERT_TRUE(full.has_value());
  const nlohmann::json state = nlohmann::json::parse(*full).at("v");
  int rows = 0;
  for (const auto& [key, value] : state.items()) {
    rows += key.starts_with("L") ? 1 : 0;
  }
  EXPECT_LE(rows, 50);
  EXPECT_LT(full->size(), 8u * 1024u);
  std::cout << "whole state " << full->size() << " bytes, peak memory " << PeakResidentKiB(web.Pid())
            << " KiB\n";
}

TEST(RelayGuardTest, TheTokenMayComeFromAFileOrTheEnvironment) {
  RecordServer server(Quiet);
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("velmora_token_" + std::to_string(::getpid()));
  std::ofstream(file) << "  from a file \nsecond line\n";
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string shell_setup;
    const char* token;  // query text
  };
  const Case cases[] = {
      {"a file", {"--token-file", file.string()}, "", "from+a+file"},
      {"the environment", {}, "export VELMORA_WEB_TOKEN=from-env", "from-env"},
      {"the command line before the environment",
       {"--token", "given"},
       "export VELMORA_WEB_TOKEN=from-env",
       "given"},
  };
  for (const Case& c : cases) {
    WebProcess web(server.Port(), c.arguments, c.shell_setup);
    EXPECT_EQ(HttpGet(web.Port(), "/").status, 403) << c.what;
    EXPECT_EQ(HttpGet(web.Port(), std::string("/?token=") + c.token).status, 200) << c.what;
  }
  std::filesystem::remove(file);
}

TEST(RelayGuardTest, RepeatedWrongTokensFromOneAddressAreAnsweredOneASecond) {
  RecordServer server(Quiet);
  WebProcess web(server.Port(), {"--token", "right"});
  const auto timed = [&](const std::string& from, const std::string& token, int& status) {
    const auto start = Clock::now();
    HttpRequest request;
    request.target = "/?token=" + token;
    request.from = from;
    status = HttpGet(web.Port(), request).status;
    return Clock::now() - start;
  };
  int status = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_LT(timed("127.0.0.1", "guess" + std::to_string(i), status), 500ms);
    EXPECT_EQ(status, 403);
  }
  // From the sixth on, one a second, the right token too: the answer's speed must not tell it.
  const auto start = Clock::now();
  for (int i = 0; i < 3; ++i) {
    timed("127.0.0.1", "more" + std::to_string(i), status);
    EXPECT_EQ(status, 403);
  }
  EXPECT_GE(Clock::now() - start, 1900ms);
  EXPECT_GE(timed("127.0.0.1", "right", status), 700ms);
  EXPECT_EQ(status, 200);
  // Another address is not held up.
  EXPECT_LT(timed("127.0.0.2", "right", status), 500ms);
  EXPECT_EQ(status, 200);
}

TEST(RelayGuardTest, ANetworkAddressWithoutATokenGetsARandomOneShownOnce) {
  // In a network namespace of its own, where the only network is a private loopback, so that listening
  // on every address reaches nothing beyond this test.
  if (velmora::test::RunProgram({"/usr/bin/unshare", "--net", "/bin/true"}).status != 0) {
    GTEST_SKIP() << "no network namespace can be made here";
  }
  // A server that only shakes hands: the relay needs nothing more to start.
  const std::string script =
      std::string(R"(
    ip link set lo up || exit 9
    python3 -c '
import socket
listener = socket.create_server(("127.0.0.1", 6000))
while True:
    client, _ = listener.accept()
    for line in client.makefile("rb"):
        client.sendall(b"200 OK same version\r\n" if line.startswith(b"VERSION") else b"501 No data\r\n")
' & serve=$!
    for i in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/6000) 2>/dev/null && break; sleep 0.1; done
    ")") +
      VELMORA_CLI_PATH + R"(" web --from 127.0.0.1:6000 --bind 0.0.0.0 --http 8080 >/dev/null 2>"$1" & web=$!
    for i in $(seq 50); do grep -q 'token=' "$1" && break; sleep 0.1; done
    token=$(sed -n 's/.*?token=\([0-9a-f]*\)$/\1/p' "$1")
    ask() { exec 3<>/dev/tcp/127.0.0.1/8080; printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$1" >&3; head -n 1 <&3; exec 3<&-; }
    ask "/?token=$token"
    ask "/"
    kill $web $serve; wait
  )";
  const std::filesystem::path log =
      std::filesystem::temp_directory_path() / ("velmora_made_token_" + std::to_string(::getpid()));
  std::vector<std::string> tokens;
  for (int run = 0; run < 2; ++run) {
    const auto outcome = velmora::test::RunProgram(
        {"/usr/bin/unshare", "--net", "/bin/bash", "-c", script, "bash", log.string()});
    std::ifstream in(log);
    const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(err.find("warning: 0.0.0.0 is reachable from the network and no token was given"),
              std::string::npos)
        << err;
    const auto at = err.find("?token=");
    ASSERT_NE(at, std::string::npos) << err;
    const std::string token = err.substr(at + 7, err.find('\n', at) - at - 7);
    EXPECT_EQ(token.size(), 32u) << token;
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos) << token;
    EXPECT_EQ(err.find(token), err.rfind(token)) << "written once: " << err;
    EXPECT_EQ(outcome.out, "HTTP/1.1 200 OK\r\nHTTP/1.1 403 Forbidden\r\n") << err;
    tokens.push_back(token);
  }
  std::filesystem::remove(log);
  EXPECT_NE(tokens[0], tokens[1]);
}

}  // namespace
}  // namespace velmora::web::test
