// velmora-cli web: the pit-wall relay. One client of a Velmora server, any number of browsers.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <limits>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

#ifdef VELMORA_CLI_LEAGUE
#include "broker_login.h"
#include "league/league_relay.h"
#endif
#include "feed_connect.h"
#include "net/asio.h"
#include "net/client_session.h"
#include "net/protocol.h"
#include "server_address.h"
#include "subcommand.h"
#include "web/request_origin.h"
#include "web/server_feed.h"
#include "web/view_state.h"
#include "web/viewer_server.h"
#ifdef VELMORA_CLI_HISTORY
#include "web_recorded.h"
#endif

namespace velmora::cli {
namespace {

constexpr int kExitPort = 5;
constexpr std::string_view kTokenVariable = "VELMORA_WEB_TOKEN";
constexpr std::string_view kUsage =
    "velmora-cli web: usage: velmora-cli web --from HOST[:PORT] [--interval MS] [OPTIONS]\n"
    "       velmora-cli web --broker URL [--topic-prefix PREFIX] [--ca FILE] [--password-file FILE] "
    "[OPTIONS]\n"
    "       velmora-cli web --db FILE --session N [OPTIONS]\n"
    "OPTIONS: [--http PORT] [--bind ADDRESS] [--token TEXT | --token-file FILE] [--allow-host NAME]... "
    "[--max-viewers N] [--max-requests N] [--max-per-address N]\n";

struct WebOptions {
  std::string host;
  std::uint16_t server_port = kDefaultPort;
  std::uint16_t http_port = 8080;
  std::string bind_address = "127.0.0.1";
  int interval_ms = 100;
  std::string token;
  std::string token_file;
  std::vector<std::string> allowed_hosts;
  web::ViewerServerOptions limits;
#ifdef VELMORA_CLI_LEAGUE
  BrokerLogin broker;
  std::string prefix = "velmora";
#endif
  // A recorded session instead of a server.
  std::string db;
  std::int64_t session = 0;
};

// The first line of a file, without the spaces around it.
std::optional<std::string> FirstLine(const std::string& name) {
  std::ifstream file(name);
  std::string line;
  if (!file || !std::getline(file, line)) {
    return std::nullopt;
  }
  const auto first = line.find_first_not_of(" \t\r");
  const auto last = line.find_last_not_of(" \t\r");
  return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// 128 random bits as 32 hexadecimal digits.
std::string RandomToken() {
  std::random_device source;
  std::ostringstream text;
  for (int i = 0; i < 4; ++i) {
    text << std::hex << std::setw(8) << std::setfill('0') << static_cast<std::uint32_t>(source());
  }
  return text.str();
}

bool IsLoopback(const std::string& address) {
  boost::system::error_code error;
  return asio::ip::make_address(address, error).is_loopback() && !error;
}

// Empty when the arguments are good; otherwise what to say.
std::string ParseOptions(std::span<const std::string> arguments, WebOptions& options) {
  bool have_server = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
#ifdef VELMORA_CLI_LEAGUE
    std::string broker_error;
    if (TakeBrokerOption(arguments, i, options.broker, broker_error)) {
      if (!broker_error.empty()) {
        return "velmora-cli web: " + broker_error + "\n";
      }
      continue;
    }
    if (argument == "--topic-prefix" && i + 1 < arguments.size()) {
      options.prefix = arguments[++i];
      if (!league::IsTopicPrefix(options.prefix)) {
        return "velmora-cli web: --topic-prefix takes topic levels separated by '/', none empty, without '+' "
               "or '#'\n";
      }
      continue;
    }
#endif
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
    } else if (argument == "--token-file") {
      const auto token = FirstLine(value);
      if (!token || token->empty()) {
        return "velmora-cli web: --token-file takes a readable file whose first line is the token: " + value +
               "\n";
      }
      options.token_file = *token;
    } else if (argument == "--allow-host") {
      if (web::HostName(value).empty() || value.find(':') != std::string::npos) {
        return "velmora-cli web: --allow-host takes a host name, such as pit-wall.local\n";
      }
      options.allowed_hosts.push_back(value);
    } else if (argument == "--max-viewers" || argument == "--max-requests" ||
               argument == "--max-per-address") {
      std::size_t& limit = argument == "--max-viewers"    ? options.limits.max_viewers
                           : argument == "--max-requests" ? options.limits.max_requests
                                                          : options.limits.max_per_address;
      if (!WholeNumber<std::size_t>(value, 1, 100000, limit)) {
        return "velmora-cli web: " + argument + " takes a number from 1 to 100000\n";
      }
    } else {
      return std::string(kUsage);
    }
  }
  if (!options.token.empty() && !options.token_file.empty()) {
    return "velmora-cli web: --token and --token-file cannot both be given\n";
  }
  const bool recorded = !options.db.empty() && options.session != 0;
  if (options.db.empty() != (options.session == 0)) {
    return std::string(kUsage);
  }
  int sources = (have_server ? 1 : 0) + (recorded ? 1 : 0);
#ifdef VELMORA_CLI_LEAGUE
  if (options.broker.have_url) {
    ++sources;
    if (sources == 1) {
      const std::string problem = CompleteBrokerLogin(options.broker);
      return problem.empty() ? std::string() : "velmora-cli web: " + problem + "\n";
    }
  }
#endif
  return sources == 1 ? std::string() : std::string(kUsage);
}

// The viewers' side as the options say, the token from the command line, its file or the environment; a
// token is made for the run when none is given and the relay is reachable from the network.
web::ViewerServerOptions ViewerOptions(const WebOptions& options, bool& made_token) {
  std::string token = !options.token.empty() ? options.token : options.token_file;
  if (const char* variable = std::getenv(kTokenVariable.data()); token.empty() && variable != nullptr) {
    token = variable;
  }
  made_token = token.empty() && !IsLoopback(options.bind_address);
  if (made_token) {
    token = RandomToken();
  }
  web::ViewerServerOptions server_options = options.limits;
  server_options.bind_address = options.bind_address;
  server_options.port = options.http_port;
  server_options.token = token;
  server_options.allowed_hosts = options.allowed_hosts;
  return server_options;
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
  std::mutex err_mutex;
  const auto log = [&](std::string_view what) {
    std::lock_guard lock(err_mutex);
    err << "velmora-cli web: " << what << "\n" << std::flush;
  };
  bool made_token = false;
  web::ViewerServerOptions server_options = ViewerOptions(options, made_token);
  server_options.on_event = log;
  if (!options.db.empty()) {
#ifdef VELMORA_CLI_HISTORY
    if (made_token) {
      log("warning: " + options.bind_address +
          " is reachable from the network and no token was given; made a "
          "token for this run: open the page with ?token=" +
          server_options.token);
    }
    return RunRecordedWeb(options.db, options.session, server_options, out, err);
#else
    err << "velmora-cli web: this build keeps no history (--db)\n";
    return kExitUsage;
#endif
  }

  web::ServerFeed feed(options.host, options.server_port, std::chrono::milliseconds(options.interval_ms));
#ifdef VELMORA_CLI_LEAGUE
  std::unique_ptr<league::LeagueRelay> league;
  if (options.broker.have_url) {
    league::BrokerOptions broker;
    broker.url = options.broker.url;
    broker.ca_file = options.broker.ca_file;
    broker.client_id = "velmora-relay-" + std::to_string(::getpid());
    league = std::make_unique<league::LeagueRelay>(broker, options.prefix, log);
    std::string why;
    const league::BrokerStart started = league->Start(std::chrono::seconds(10), &why);
    if (const int status = ExitForBrokerStart(started, broker.url, why, "web", err); status != 0) {
      return status;
    }
  }
  const bool from_server = league == nullptr;
#else
  const bool from_server = true;
#endif
  if (from_server) {
    if (const int status = ConnectFeed(feed, err); status != 0) {
      return status;
    }
  }

  asio::io_context io;
  std::unique_ptr<web::ViewerServer> server;
  try {
    server = std::make_unique<web::ViewerServer>(io, server_options);
  } catch (const std::system_error& error) {
    err << "velmora-cli web: cannot listen on " << options.bind_address << " port " << options.http_port
        << ": " << error.what() << "\n";
    return kExitPort;
  }
  out << "listening on port " << server->Port() << "\n" << std::flush;
  boost::system::error_code unused;
  const bool any_address = asio::ip::make_address(options.bind_address, unused).is_unspecified();
  const std::string where = (any_address ? std::string("ADDRESS-OF-THIS-MACHINE") : options.bind_address) +
                            ":" + std::to_string(server->Port()) + "/";
  const std::string source = from_server ? options.host + ":" + std::to_string(options.server_port)
                                         : std::string("the league's cars");
  log("relaying " + source + " to http://" + where);
  if (made_token) {
    // Shown once: this line is the only place it is written.
    log("warning: " + options.bind_address +
        " is reachable from the network and no token was given, so anyone there could watch; made a "
        "token for this run: open http://" +
        where + "?token=" + server_options.token);
  }

  web::ViewBuilder builder;
#ifdef VELMORA_CLI_LEAGUE
  if (league != nullptr) {
    league->Serve(*server);
  }
#endif
  std::jthread polling([&](std::stop_token stop) {
    if (!from_server) {
      return;
    }
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
#ifdef VELMORA_CLI_LEAGUE
    if (league != nullptr) {
      league->Stop();
    }
#endif
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
    "--from HOST[:PORT] [--http PORT] [--bind ADDRESS] [--interval MS] [--token TEXT | --token-file FILE]\n"
    "    [--allow-host NAME]... [--max-viewers N] [--max-requests N] [--max-per-address N]\n"
    "  web --broker URL [--topic-prefix PREFIX] [--ca FILE] [--password-file FILE] [the options above]\n"
    "  web --db FILE --session N [the options above but --interval]",
    "The pit-wall relay: connects to a Velmora server as the dashboard's client does (PORT 6000\n"
    "unless given; the server keeps its one client however many watch) and serves a live, read-only\n"
    "page of the car to any number of browsers at http://ADDRESS:PORT/ (PORT 8080 unless given, 0 takes\n"
    "any free port; the first line of standard output, \"listening on port N\", tells which). ADDRESS is\n"
    "127.0.0.1 unless given: --bind 0.0.0.0 lets the team's tablets and laptops in. With a token, the\n"
    "page and its update stream answer 403 unless the URL carries ?token=TEXT. The token is --token\n"
    "TEXT, the first line of --token-file FILE, or the environment variable VELMORA_WEB_TOKEN (which,\n"
    "unlike the command line, other users' ps does not show). An ADDRESS other than loopback without\n"
    "a token gets a warning and a random 128-bit token, written once on standard error with the URL to\n"
    "open. After 5 wrong tokens from one address, its requests are answered one a second until it has\n"
    "sent none for a minute.\n"
    "Requests must name the relay in their Host header: a loopback address or localhost, the address\n"
    "they reached, ADDRESS, or a NAME given with --allow-host (repeatable), else 403; so does a\n"
    "WebSocket whose Origin is another site than the page's. Connections served at once: N update\n"
    "streams (--max-viewers, default 200), N HTTP connections that are not streams (--max-requests,\n"
    "default 64) and N of both from one address (--max-per-address, default 64); one past them is\n"
    "closed at once, and a viewer past --max-viewers gets 503. When connections cannot be accepted\n"
    "(out of file descriptors), the relay tries again every 100 ms and says so once.\n"
    "The relay asks the server for a record every MS milliseconds (default 100) and pushes over a\n"
    "WebSocket only what changed; a viewer that stops reading skips to the latest state, and one\n"
    "that reads nothing for 10 seconds is dropped. The page lists the last 50 laps; figures no car\n"
    "shows (not a number, or far out of range) are shown as none. Viewers joining and leaving are\n"
    "logged on standard error. Losing the server later is shown on the page and retried every second.\n"
    "The page charts the lap times (the best lap marked), the fuel each lap used, and the tyres' mean\n"
    "tread temperatures and the water and oil temperatures over the last ten minutes; a viewer who\n"
    "comes late gets that history at once. With --db FILE --session N instead of --from it shows\n"
    "session N of a history file (see record): its laps, its last values, and its charts over the whole\n"
    "session.\n"
    "With --broker URL instead of --from (URL and password as for publish), the relay subscribes to\n"
    "every car that velmora-cli publish sends under PREFIX (\"velmora\" unless given) and the page\n"
    "shows the team or the league: a tile per car (name, online or offline, position, last and best\n"
    "lap, laps of fuel left, tyre temperatures in their colours), live; choosing a car shows its\n"
    "whole pit-wall view. Viewers get what changed at most every 20 ms; up to 100 cars are shown.\n"
    "Stops cleanly on SIGINT or SIGTERM (status 0). Exit status: 4 with \"Impossible connection\" or\n"
    "\"Not same version\" on standard error when the server refuses the relay at start; 8 when the\n"
    "broker cannot be reached at start and 9 when it refuses the login; 7 when the history file or the\n"
    "session cannot be read; 5 when ADDRESS or PORT cannot be listened on; 2 for a bad command line.",
    RunWeb};

}  // namespace velmora::cli
