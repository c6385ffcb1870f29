// velmora-cli web: the pit-wall relay. One client of a Velmora server, any number of browsers.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <limits>
#include <mutex>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>

#include "net/asio.h"
#include "net/client_session.h"
#include "net/protocol.h"
#include "server_address.h"
#include "subcommand.h"
#include "web/server_feed.h"
#include "web/view_state.h"
#include "web/viewer_server.h"
#ifdef VELMORA_CLI_HISTORY
#include "web_recorded.h"
#endif

namespace velmora::cli {
namespace {

constexpr int kExitConnection = 4;
constexpr int kExitPort = 5;
constexpr std::string_view kUsage =
    "velmora-cli web: usage: velmora-cli web --from HOST[:PORT] [--http PORT] [--bind ADDRESS] [--interval "
    "MS] "
    "[--token TEXT]\n"
    "       velmora-cli web --db FILE --session N [--http PORT] [--bind ADDRESS] [--token TEXT]\n";

struct WebOptions {
  std::string host;
  std::uint16_t server_port = kDefaultPort;
  std::uint16_t http_port = 8080;
  std::string bind_address = "127.0.0.1";
  int interval_ms = 100;
  std::string token;
  // A recorded session instead of a server.
  std::string db;
  std::int64_t session = 0;
};

// Empty when the arguments are good; otherwise what to say.
std::string ParseOptions(std::span<const std::string> arguments, WebOptions& options) {
  bool have_server = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (i + 1 >= arguments.size()) {
      return std::string(kUsage);
    }
    const std::string& value = arguments[++i];
    if (argument == "--from") {
      if (!ParseServer(value, options.host, options.server_port)) {
        return "velmora-cli web: --from takes HOST or HOST:PORT, PORT from 1 to 65535\n";
      }
      have_server = true;
    } else if (argument == "--http") {
      if (!WholeNumber<std::uint16_t>(value, 0, 65535, options.http_port)) {
        return "velmora-cli web: --http takes a port from 0 to 65535 (0: any free port)\n";
      }
    } else if (argument == "--bind") {
      boost::system::error_code error;
      asio::ip::make_address(value, error);
      if (error) {
        return "velmora-cli web: --bind takes an IP address of this machine, such as 127.0.0.1 or 0.0.0.0\n";
      }
      options.bind_address = value;
    } else if (argument == "--interval") {
      if (!WholeNumber(value, 10, 60000, options.interval_ms)) {
        return "velmora-cli web: --interval takes milliseconds from 10 to 60000\n";
      }
    } else if (argument == "--db" && !value.empty()) {
      options.db = value;
    } else if (argument == "--session") {
      if (!WholeNumber<std::int64_t>(value, 1, std::numeric_limits<std::int64_t>::max(), options.session)) {
        return "velmora-cli web: --session takes a session number from velmora-cli sessions\n";
      }
    } else if (argument == "--token") {
      if (value.empty()) {
        return "velmora-cli web: --token takes a text that is not empty\n";
      }
      options.token = value;
    } else {
      return std::string(kUsage);
    }
  }
  const bool recorded = !options.db.empty() && options.session != 0;
  const bool half_recorded = options.db.empty() != (options.session == 0);
  return have_server != recorded && !half_recorded ? std::string() : std::string(kUsage);
}

std::string_view StatusLine(web::FeedStatus status) {
  switch (status) {
    case web::FeedStatus::kOk:
      return "receiving records";
    case web::FeedStatus::kNoData:
      return "the server has no simulator (501 No data); still asking";
    case web::FeedStatus::kRecorded:
      return "showing a recorded session";
    case web::FeedStatus::kLost:
      break;
  }
  return "lost the server; retrying every second";
}

int RunWeb(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  WebOptions options;
  if (const std::string problem = ParseOptions(arguments, options); !problem.empty()) {
    err << problem;
    return kExitUsage;
  }
#ifdef VELMORA_CLI_HISTORY
  if (!options.db.empty()) {
    web::ViewerServerOptions recorded;
    recorded.bind_address = options.bind_address;
    recorded.port = options.http_port;
    recorded.token = options.token;
    return RunRecordedWeb(options.db, options.session, recorded, out, err);
  }
#else
  if (!options.db.empty()) {
    err << "velmora-cli web: this build keeps no history (--db)\n";
    return kExitUsage;
  }
#endif
  std::mutex err_mutex;
  const auto log = [&](std::string_view what) {
    std::lock_guard lock(err_mutex);
    err << "velmora-cli web: " << what << "\n" << std::flush;
  };

  web::ServerFeed feed(options.host, options.server_port, std::chrono::milliseconds(options.interval_ms));
  switch (feed.Connect()) {
    case web::Handshake::kOk:
      break;
    case web::Handshake::kImpossibleConnection:
      err << kMessageImpossibleConnection << "\n";
      return kExitConnection;
    case web::Handshake::kNotSameVersion:
      err << kMessageNotSameVersion << "\n";
      return kExitConnection;
  }

  asio::io_context io;
  web::ViewerServerOptions server_options;
  server_options.bind_address = options.bind_address;
  server_options.port = options.http_port;
  server_options.token = options.token;
  server_options.on_event = log;
  std::unique_ptr<web::ViewerServer> server;
  try {
    server = std::make_unique<web::ViewerServer>(io, server_options);
  } catch (const std::system_error& error) {
    err << "velmora-cli web: cannot listen on " << options.bind_address << " port " << options.http_port
        << ": " << error.what() << "\n";
    return kExitPort;
  }
  out << "listening on port " << server->Port() << "\n" << std::flush;
  log("relaying " + options.host + ":" + std::to_string(options.server_port) + " to http://" +
      options.bind_address + ":" + std::to_string(server->Port()) + "/");

  web::ViewBuilder builder;
  std::jthread polling([&](std::stop_token stop) {
    web::FeedStatus last = web::FeedStatus::kLost;
    bool first = true;
    feed.Run(stop, [&](const TGameData* record, web::FeedStatus status) {
      if (first || status != last) {
        log(StatusLine(status));
        first = false;
        last = status;
      }
      server->Publish(record != nullptr ? builder.Apply(*record) : builder.SetStatus(status));
    });
  });

  asio::signal_set signals(io, SIGINT, SIGTERM);
  signals.async_wait([&](const boost::system::error_code& error, int) {
    if (error) {
      return;
    }
    log("stopping");
    polling.request_stop();
    server->Close();
  });
  io.run();
  polling.request_stop();
  polling.join();
  return 0;
}

}  // namespace

const Subcommand kWebCommand{
    "web",
    "--from HOST[:PORT] [--http PORT] [--bind ADDRESS] [--interval MS] [--token TEXT]\n"
    "  web --db FILE --session N [--http PORT] [--bind ADDRESS] [--token TEXT]",
    "The pit-wall relay: connects to a Velmora server as the dashboard's client does (PORT 6000\n"
    "unless given; the server keeps its one client however many watch) and serves a live, read-only\n"
    "page of the car to any number of browsers at http://ADDRESS:PORT/ (PORT 8080 unless given, 0 takes\n"
    "any free port; the first line of standard output, \"listening on port N\", tells which). ADDRESS is\n"
    "127.0.0.1 unless given: --bind 0.0.0.0 lets the team's tablets and laptops in. With --token, the\n"
    "page and its update stream answer 403 unless the URL carries ?token=TEXT. The relay asks the\n"
    "server for a record every MS milliseconds (default 100) and pushes over a WebSocket only what\n"
    "changed; a viewer that stops reading skips to the latest state, and one that reads nothing for\n"
    "10 seconds is dropped. Viewers joining and leaving are logged on standard error. Losing the\n"
    "server later is shown on the page and retried every second. Stops cleanly on SIGINT or SIGTERM\n"
    "(status 0). Exit status: 4 with \"Impossible connection\" or \"Not same version\" on standard\n"
    "error when the server refuses the relay at start; 5 when ADDRESS or PORT cannot be listened on;\n"
    "2 for a bad command line.\n"
    "The page charts the lap times (the best lap marked), the fuel each lap used, and the tyres' mean\n"
    "tread temperatures and the water and oil temperatures over the last ten minutes; a viewer who\n"
    "comes late gets that history at once. With --db FILE --session N instead of --from it shows\n"
    "session N of a history file (see record): its laps, its last values, and its charts over the whole\n"
    "session; a missing file or session exits with status 7.",
    RunWeb};

}  // namespace velmora::cli
