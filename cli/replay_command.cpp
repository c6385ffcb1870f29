// velmora-cli replay: a recorded session served to Velmora clients as if its car were live.
#include <atomic>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>

#include "history/replay_source.h"
#include "history_file.h"
#include "net/protocol_server.h"
#include "platform/application_version.h"
#include "stop_on_signals.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr int kExitPort = 5;
constexpr std::string_view kUsage =
    "usage: velmora-cli replay --db FILE --session N [--port P] [--bind ADDRESS] [--speed X]\n";

struct Options {
  std::filesystem::path db;
  std::int64_t session = 0;
  ServerOptions server;
  double speed = 1.0;
};

std::string ParseOptions(std::span<const std::string> arguments, Options& options) {
  options.server.port = kDefaultPort;
  options.server.bind_address = "127.0.0.1";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (i + 1 >= arguments.size()) {
      return name + " needs a value";
    }
    const std::string& value = arguments[++i];
    if (name == "--db") {
      options.db = value;
    } else if (name == "--session") {
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), options.session);
      if (error != std::errc{} || end != value.data() + value.size() || options.session < 1) {
        return "--session takes a session number from velmora-cli sessions";
      }
    } else if (name == "--port") {
      unsigned port = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
      if (error != std::errc{} || end != value.data() + value.size() || port > 65535) {
        return "--port takes a number from 1 to 65535, or 0 for any free port";
      }
      options.server.port = static_cast<std::uint16_t>(port);
    } else if (name == "--bind") {
      options.server.bind_address = value;
    } else if (name == "--speed") {
      char* end = nullptr;
      options.speed = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !(options.speed >= 0.1) || options.speed > 1000.0) {
        return "--speed takes a factor from 0.1 to 1000 (1: real time)";
      }
    } else {
      return "unknown argument \"" + name + "\"";
    }
  }
  if (options.db.empty() || options.session == 0) {
    return "--db FILE and --session N choose the session to replay";
  }
  return {};
}

int RunReplay(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  Options options;
  if (const std::string problem = ParseOptions(arguments, options); !problem.empty()) {
    err << "velmora-cli replay: " << problem << "\n" << kUsage;
    return kExitUsage;
  }
  {
    // Says plainly when the file is missing, before SQLite's own words.
    std::unique_ptr<history::HistoryStore> check;
    if (const int opened =
            OpenHistory(options.db, history::HistoryStore::Access::kRead, check, err, "replay");
        opened != 0) {
      return opened;
    }
  }
  std::unique_ptr<history::ReplaySource> source;
  try {
    source = std::make_unique<history::ReplaySource>(options.db, options.session, options.speed);
  } catch (const history::SqliteError& error) {
    err << "velmora-cli replay: cannot replay " << options.db.string() << ": " << error.what() << "\n";
    return kExitHistoryFile;
  }
  options.server.version = platform::ApplicationVersion();
  options.server.on_event = [&err](std::string_view what) {
    err << "velmora-cli replay: " << what << "\n" << std::flush;
  };
  TProtocolServer server(*source, options.server);
  const StopOnSignals stop_on_signals;
  try {
    server.Activate();
  } catch (const std::system_error& error) {
    err << "velmora-cli replay: cannot listen on " << options.server.bind_address << " port "
        << options.server.port << ": " << error.what() << "\n";
    return kExitPort;
  }
  out << "listening on port " << server.Port() << "\n" << std::flush;
  err << "velmora-cli replay: session " << options.session << ", " << std::lround(source->Duration())
      << " s recorded, at " << options.speed << " times real time\n"
      << std::flush;
  while (!StopOnSignals::Requested()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  server.Deactivate();
  err << "velmora-cli replay: stopped\n";
  return 0;
}

}  // namespace

const Subcommand kReplayCommand{
    "replay", "--db FILE --session N [--port P] [--bind ADDRESS] [--speed X]",
    "Serves session N of the history file FILE as a Velmora server does (the same handshake and\n"
    "440-byte record), so that a dashboard in the client role, fetch or the pit-wall relay follow the\n"
    "recorded car as if it were live. It listens on port P (default 6000; 0 takes any free port) of\n"
    "ADDRESS (default 127.0.0.1) and prints \"listening on port P\" on standard output once it listens.\n"
    "The recording starts at the first \"DATA\" and runs at X times real time (default 1, 0.1 to 1000);\n"
    "each record is the sample recorded at the time reached, with every value the file keeps\n"
    "(README: \"The history file\"); after the last sample the last record stays. Connections are\n"
    "traced in \"protocole.txt\" in the current folder, as serve traces them. Stops cleanly on\n"
    "SIGINT or SIGTERM (status 0). Exit status: 7 when the file or session cannot be read, 5 when the\n"
    "port cannot be listened on, 2 for a bad command line.",
    RunReplay};

}  // namespace velmora::cli
