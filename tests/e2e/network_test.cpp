// The network roles as whole programs: velmora-cli serve attached to a real stand-in, read by
// velmora-cli fetch and by a client on a real socket.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "game/game.h"
#include "net/protocol_client.h"
#include "net/protocol_server.h"
#include "platform/application_version.h"
#include "run_program.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

test::Outcome RunCli(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{VELMORA_CLI_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return test::RunProgram(argv);
}

// velmora-cli serve on a free port, its trace log in a folder of its own.
class Serve {
 public:
  Serve()
      : folder_(std::filesystem::temp_directory_path() / ("velmora_serve_" + std::to_string(::getpid()))),
        process_((std::filesystem::create_directories(folder_),
                  std::vector<std::string>{VELMORA_CLI_PATH, "serve", "--port", "0", "--bind", "127.0.0.1",
                                           "--trace-log", (folder_ / "protocole.txt").string()})) {
    const std::string line = process_.ReadLine(10000);
    const std::string prefix = "listening on port ";
    EXPECT_TRUE(line.starts_with(prefix)) << line;
    if (line.starts_with(prefix)) {
      port_ = static_cast<std::uint16_t>(std::stoi(line.substr(prefix.size())));
    }
  }
  ~Serve() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::uint16_t Port() const { return port_; }
  test::ChildProcess& Process() { return process_; }
  std::filesystem::path TraceLog() const { return folder_ / "protocole.txt"; }

 private:
  std::filesystem::path folder_;
  test::ChildProcess process_;
  std::uint16_t port_ = 0;
};

// Asks DATA until the reply is `expected`, for up to five seconds (detection runs once a second).
bool ReplyWithin5s(TProtocolClient& client, const std::string& expected) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!client.SendLine("DATA")) {
      return false;
    }
    const auto reply = client.ReadLine();
    if (reply == "201 440") {
      TGameData record{};
      client.ReadBytes(std::as_writable_bytes(std::span(&record, 1)));
    }
    if (reply == expected) {
      return true;
    }
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

class NetworkProgramsTest : public test::X11DisplayTest {};

TEST_F(NetworkProgramsTest, FetchPrintsTheStandInsValuesServedByServe) {
  test::RunningSim sim;
  for (const char* command :
       {"pause", "set FInCokpit 1", "set FEau 363.5", "set FPneuAvantGauche.FTempMilieu 371.25",
        "set FRapportVitesse 3", "set FAcceleration 0.25"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  Serve serve;
  TProtocolClient waiter;
  ASSERT_TRUE(waiter.Connect("127.0.0.1", serve.Port()));
  ASSERT_TRUE(ReplyWithin5s(waiter, "201 440"));  // attached
  waiter.Quit();

  const test::Outcome run =
      RunCli({"fetch", "127.0.0.1:" + std::to_string(serve.Port()), "--count", "2", "--interval", "50"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = test::Lines(run.out);
  ASSERT_EQ(lines.size(), 2U) << run.out;
  for (const auto& json : lines) {
    EXPECT_TRUE(json.starts_with("{\"ABS\":")) << json;
    EXPECT_TRUE(json.ends_with("}")) << json;
    for (const char* member : {"\"Eau\":363.5,", "\"PneuAvantGaucheTempMilieu\":371.25,",
                               "\"RapportVitesse\":3,", "\"Acceleration\":0.25,", "\"InCockpit\":1,"}) {
      EXPECT_NE(json.find(member), std::string::npos) << member << " in " << json;
    }
  }
}

TEST_F(NetworkProgramsTest, ServeAnswers501WithoutTheStandInAndRecordsOnceItIsBack) {
  test::RunningSim sim;
  Serve serve;
  TProtocolClient client;
  ASSERT_TRUE(client.Connect("127.0.0.1", serve.Port()));
  ASSERT_TRUE(ReplyWithin5s(client, "201 440"));
  ASSERT_EQ(sim.Ask("close"), "ok");
  EXPECT_TRUE(ReplyWithin5s(client, "501 No data"));
  ASSERT_EQ(sim.Ask("open"), "ok");
  EXPECT_TRUE(ReplyWithin5s(client, "201 440"));
  client.Quit();
}

// The kibibytes of a "VmHWM:"-style line of /proc/<pid>/status.
long StatusKiB(pid_t pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(key + ":")) {
      return std::stol(line.substr(key.size() + 1));
    }
  }
  return -1;
}

// Every hostile peer of the line protocol in turn, against the program: its peak memory barely moves.
TEST_F(NetworkProgramsTest, ServeMemoryStaysBoundedUnderHostilePeers) {
  test::RunningSim sim;
  Serve serve;
  const pid_t pid = serve.Process().Pid();
  TProtocolClient served;
  ASSERT_TRUE(served.Connect("127.0.0.1", serve.Port()));
  ASSERT_TRUE(ReplyWithin5s(served, "201 440"));
  const auto ask_record = [&served] {
    TGameData record{};
    return served.SendLine("DATA") && served.ReadLine() == "201 440" &&
           served.ReadBytes(std::as_writable_bytes(std::span(&record, 1)));
  };
  // Once every path has run once, the program has all it keeps.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(ask_record());
    TProtocolClient intruder;
    intruder.Connect("127.0.0.1", serve.Port());
    intruder.ReadLine(2000ms);
  }
  const long baseline = StatusKiB(pid, "VmHWM");
  ASSERT_GT(baseline, 0);

  // While one client is served: 1,000 connection attempts and 50 silent sockets, each turned away.
  int turned_away = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // Each waits to be shown out: with a backlog of one, a flood that does not wait is only slowed
    // down by the system's retries.
    TProtocolClient intruder;
    turned_away += intruder.Connect("127.0.0.1", serve.Port()) && !intruder.ReadLine(2000ms) ? 1 : 0;
    if (attempt % 50 == 0) {
      ASSERT_TRUE(ask_record()) << attempt;
    }
  }
  EXPECT_EQ(turned_away, 1000);
  {
    std::vector<std::unique_ptr<TProtocolClient>> silent;
    for (int i = 0; i < 50; ++i) {
      silent.push_back(std::make_unique<TProtocolClient>());
      silent.back()->Connect("127.0.0.1", serve.Port());
    }
    ASSERT_TRUE(ask_record());
  }
  served.Quit();

  // In the slot: a 1 MB line, then 10,000 garbage lines followed by DATA.
  {
    TProtocolClient hostile;
    ASSERT_TRUE(hostile.Connect("127.0.0.1", serve.Port()));
    hostile.Send(std::string(1 << 20, 'x'), 2000ms);
    EXPECT_FALSE(hostile.ReadLine(2000ms).has_value());
    EXPECT_FALSE(hostile.Connected());
  }
  {
    TProtocolClient hostile;
    ASSERT_TRUE(hostile.Connect("127.0.0.1", serve.Port()));
    std::string garbage;
    for (int i = 0; i < 10000; ++i) {
      garbage += "garbage " + std::to_string(i) + " \x01\x7f\r\n";
    }
    ASSERT_TRUE(hostile.Send(garbage, 5000ms));
    EXPECT_TRUE(ReplyWithin5s(hostile, "201 440"));
    hostile.Quit();
  }

  const long peak = StatusKiB(pid, "VmHWM");
  std::cout << "velmora-cli serve: peak resident memory " << baseline << " KiB before the hostile peers, "
            << peak << " KiB after (" << peak - baseline << " KiB more)" << std::endl;
  // A 1 MB line kept, or the garbage lines, would each add a mebibyte or more.
  EXPECT_LT(peak - baseline, 512);
}

pid_t ParentOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // "pid (name) state ppid ...": the name may hold spaces; its closing parenthesis is the last one.
  const auto name_end = line.rfind(')');
  if (name_end == std::string::npos) {
    return -1;
  }
  std::istringstream rest(line.substr(name_end + 1));
  std::string state;
  pid_t parent = -1;
  rest >> state >> parent;
  return parent;
}

// Where the kernel lets a program read only its descendants, serve starts the simulator itself. The
// stand-in shares serve's standard streams, so this test drives it through serve's input.
TEST_F(NetworkProgramsTest, ServeStartsTheSimulatorServesItAndEndsWithItsExitStatus) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("velmora_serve_child_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  test::ChildProcess serve({VELMORA_CLI_PATH, "serve", "--port", "0", "--bind", "127.0.0.1", "--trace-log",
                            (folder / "protocole.txt").string(), "--", VELMORA_SIM_PATH, "--title",
                            "GTR Evolution"});
  std::uint16_t port = 0;
  pid_t sim = 0;
  for (int line_number = 0; line_number < 2; ++line_number) {
    const std::string line = serve.ReadLine(10000);
    if (line.starts_with("listening on port ")) {
      port = static_cast<std::uint16_t>(std::stoi(line.substr(18)));
    } else if (line.starts_with("ready pid=")) {
      sim = std::stoi(line.substr(10));
    } else {
      FAIL() << "unexpected line: " << line;
    }
  }
  ASSERT_NE(port, 0);
  ASSERT_NE(sim, 0);
  EXPECT_EQ(ParentOf(sim), serve.Pid());
  for (const char* command : {"pause", "set FInCokpit 1", "set FEau 363.5"}) {
    serve.WriteLine(command);
    ASSERT_EQ(serve.ReadLine(), "ok") << command;
  }
  TProtocolClient waiter;
  ASSERT_TRUE(waiter.Connect("127.0.0.1", port));
  ASSERT_TRUE(ReplyWithin5s(waiter, "201 440"));
  waiter.Quit();
  const test::Outcome run = RunCli({"fetch", "127.0.0.1:" + std::to_string(port), "--count", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"Eau\":363.5,"), std::string::npos) << run.out;

  serve.WriteLine("quit");
  EXPECT_EQ(serve.CloseAndWait(), 0);
  std::filesystem::remove_all(folder);

  // Whatever the command's status, serve ends with it; one that cannot start is refused with status 2.
  const test::Outcome failing =
      RunCli({"serve", "--port", "0", "--bind", "127.0.0.1", "--trace-log",
              (folder / "protocole.txt").string(), "--", "/bin/sh", "-c", "exit 7"});
  EXPECT_EQ(failing.status, 7) << failing.err;
  EXPECT_NE(failing.err.find("/bin/sh ended with exit status 7"), std::string::npos) << failing.err;
  const test::Outcome missing = RunCli({"serve", "--port", "0", "--bind", "127.0.0.1", "--trace-log",
                                        (folder / "protocole.txt").string(), "--", "/nonexistent/simulator"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot start /nonexistent/simulator: No such file or directory"),
            std::string::npos)
      << missing.err;
  EXPECT_EQ(missing.out, "");
  std::filesystem::remove_all(folder);
}

TEST_F(NetworkProgramsTest, ServeStopsCleanlyOnSigterm) {
  Serve serve;
  ASSERT_NE(serve.Port(), 0);
  ASSERT_EQ(::kill(serve.Process().Pid(), SIGTERM), 0);
  EXPECT_EQ(serve.Process().CloseAndWait(), 0);
  TProtocolClient client;
  EXPECT_FALSE(client.Connect("127.0.0.1", serve.Port()));
}

// A server of another version, and a port where nothing listens.
TEST(FetchCommandTest, HandshakeFailuresExitWith4) {
  class NoGame final : public ServerDataSource {
   public:
    bool CommandData(TGameData&, std::stop_token) override { return false; }
  } no_game;
  ServerOptions options;
  options.port = 0;
  options.bind_address = "127.0.0.1";
  options.version = "0.0.0.0";
  options.trace_log_path =
      (std::filesystem::temp_directory_path() / "velmora_fetch_test_protocole.txt").string();
  TProtocolServer other_version(no_game, options);
  other_version.Activate();
  const struct {
    std::string server;
    const char* message;
  } cases[] = {{"127.0.0.1:" + std::to_string(other_version.Port()), "Not same version"},
               {"127.0.0.1:1", "Impossible connection"}};
  for (const auto& c : cases) {
    const test::Outcome run = RunCli({"fetch", c.server});
    EXPECT_EQ(run.status, 4) << c.server;
    EXPECT_EQ(run.err, std::string(c.message) + "\n");
    EXPECT_TRUE(run.out.empty());
  }
  other_version.Deactivate();
  std::filesystem::remove(options.trace_log_path);
}

TEST(FetchCommandTest, VersionIsTheHandshakesText) {
  const test::Outcome run = RunCli({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, platform::ApplicationVersion() + "\n");
}

TEST(FetchCommandTest, BadCommandLinesExitWith2) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"fetch"},
                                                    {"fetch", "127.0.0.1:0"},
                                                    {"fetch", "127.0.0.1:70000"},
                                                    {"fetch", "127.0.0.1", "--count", "0"},
                                                    {"fetch", "127.0.0.1", "--interval", "x"},
                                                    {"serve", "--port", "65536"},
                                                    {"serve", "--bind", "localhost"},
                                                    {"serve", "--bind", "127.0.0"},
                                                    {"serve", "--colour"},
                                                    {"serve", "--port", "0", "--"}}) {
    EXPECT_EQ(RunCli(arguments).status, 2) << arguments.back();
  }
}

}  // namespace
}  // namespace velmora
