// velmora-cli publish: the player's car, read from the simulator or from a server, published to an MQTT
// broker for a team's or a league's pit wall.
#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include <unistd.h>

#include "broker_login.h"
#include "detection_loop.h"
#include "feed_connect.h"
#include "game/game.h"
#include "game/game_link.h"
#include "league/broker_client.h"
#include "league/car_publisher.h"
#include "net/client_session.h"
#include "net/game_server_source.h"
#include "net/protocol.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "server_address.h"
#include "stop_on_signals.h"
#include "subcommand.h"
#include "web/server_feed.h"
#include "web/view_state.h"

namespace velmora::cli {
namespace {

constexpr int kExitNoDisplay = 3;
constexpr auto kBrokerAnswerTimeout = std::chrono::seconds(10);
constexpr int kPumpSliceMs = 100;
constexpr std::string_view kUsage =
    "velmora-cli publish: usage: velmora-cli publish --broker URL --car NAME [--topic-prefix PREFIX] "
    "[--from HOST[:PORT]] [--interval MS] [--ca FILE] [--password-file FILE] [--keep-alive SECONDS]\n";

struct Options {
  BrokerLogin login;
  std::string car;
  std::string prefix = "velmora";
  std::string host;  // empty: the simulator
  std::uint16_t port = kDefaultPort;
  int interval_ms = 100;
  int keep_alive_s = 10;
};

std::string ParseOptions(std::span<const std::string> arguments, Options& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string error;
    if (TakeBrokerOption(arguments, i, options.login, error)) {
      if (!error.empty()) {
        return error;
      }
      continue;
    }
    const std::string& name = arguments[i];
    if (i + 1 >= arguments.size()) {
      return std::string(kUsage);
    }
    const std::string& value = arguments[++i];
    if (name == "--car") {
      if (!league::IsTopicLevel(value)) {
        return "--car takes a name without '/', '+', '#' or control characters";
      }
      options.car = value;
    } else if (name == "--topic-prefix") {
      if (!league::IsTopicPrefix(value)) {
        return "--topic-prefix takes topic levels separated by '/', none empty, without '+' or '#'";
      }
      options.prefix = value;
    } else if (name == "--from") {
      if (!ParseServer(value, options.host, options.port)) {
        return "--from takes HOST or HOST:PORT, PORT from 1 to 65535";
      }
    } else if (name == "--interval") {
      if (!WholeNumber(value, 10, 60000, options.interval_ms)) {
        return "--interval takes milliseconds from 10 to 60000";
      }
    } else if (name == "--keep-alive") {
      if (!WholeNumber(value, 5, 600, options.keep_alive_s)) {
        return "--keep-alive takes seconds from 5 to 600";
      }
    } else {
      return std::string(kUsage);
    }
  }
  if (!options.login.have_url || options.car.empty()) {
    return std::string(kUsage);
  }
  return CompleteBrokerLogin(options.login);
}

// Waits until stop is asked, in slices; false when it was.
bool PauseUnlessStopped(std::stop_token stop, std::chrono::milliseconds pause) {
  const auto until = std::chrono::steady_clock::now() + pause;
  while (!stop.stop_requested() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        until - std::chrono::steady_clock::now(), std::chrono::milliseconds(20)));
  }
  return !stop.stop_requested();
}

int RunPublish(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  Options options;
  if (const std::string problem = ParseOptions(arguments, options); !problem.empty()) {
    err << (problem.starts_with("velmora-cli") ? problem : "velmora-cli publish: " + problem + "\n");
    return kExitUsage;
  }
  std::mutex err_mutex;
  const auto log = [&](std::string_view what) {
    std::lock_guard lock(err_mutex);
    err << "velmora-cli publish: " << what << "\n" << std::flush;
  };

  // The source first: a car that cannot be read is not announced.
  std::unique_ptr<web::ServerFeed> feed;
  std::unique_ptr<platform::WindowFinder> finder;
  const auto interval = std::chrono::milliseconds(options.interval_ms);
  if (!options.host.empty()) {
    feed = std::make_unique<web::ServerFeed>(options.host, options.port, interval);
    if (const int status = ConnectFeed(*feed, err); status != 0) {
      return status;
    }
  } else {
    finder = platform::CreateWindowFinder();
    if (finder == nullptr) {
      err << "velmora-cli publish: cannot reach the X display to look for a simulator window\n";
      return kExitNoDisplay;
    }
  }

  league::BrokerOptions broker_options;
  broker_options.url = options.login.url;
  broker_options.ca_file = options.login.ca_file;
  broker_options.client_id = "velmora-" + options.car + "-" + std::to_string(::getpid());
  broker_options.keep_alive_s = options.keep_alive_s;
  broker_options.will_topic = options.prefix + "/" + options.car + "/status";
  broker_options.will_payload = "offline";
  league::BrokerClient broker(broker_options);
  league::CarPublisher publisher(broker, options.prefix, options.car);
  broker.OnConnected([&] {
    log("connected to " + options.login.url.Shown() + " as " + options.prefix + "/" + options.car);
    publisher.Connected();
  });
  broker.OnLost([&] { log("lost the broker; connecting again"); });
  std::string why;
  const league::BrokerStart started = broker.Start(kBrokerAnswerTimeout, &why);
  if (const int status = ExitForBrokerStart(started, options.login.url, why, "publish", err); status != 0) {
    return status;
  }
  const StopOnSignals stop_on_signals;
  out << "publishing " << options.prefix << "/" << options.car << "\n" << std::flush;

  web::ViewBuilder builder;
  if (feed != nullptr) {
    std::jthread polling([&](std::stop_token stop) {
      feed->Run(stop, [&](const TGameData* record, web::FeedStatus status) {
        publisher.Publish(record != nullptr ? builder.Apply(*record) : builder.SetStatus(status));
      });
    });
    while (!StopOnSignals::Requested()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPumpSliceMs));
    }
  } else {
    platform::SystemTickClock clock;
    TGame game(nullptr, clock);
    game.FNetwork.SetNetworkType(TNetworkType::ntServer);  // read on request, no scan thread
    QueuedHandOver hand_over;
    LoopTimer timer;
    TGameLink link(game, *finder, hand_over, timer);
    GameServerSource source(link);
    std::jthread polling([&](std::stop_token stop) {
      TGameData record{};
      do {
        publisher.Publish(source.CommandData(record, stop) ? builder.Apply(record)
                                                           : builder.SetStatus(web::FeedStatus::kNoData));
      } while (PauseUnlessStopped(stop, interval));
    });
    RunDetection(link, timer, hand_over, clock, [] { return !StopOnSignals::Requested(); });
    // The polling thread may wait for a step of this thread: refuse further steps before joining it.
    polling.request_stop();
    hand_over.Close();
  }
  publisher.SayOffline();
  // The network thread calls the publisher back: it ends before the publisher goes.
  broker.Stop();
  log("stopped");
  return 0;
}

}  // namespace

const Subcommand kPublishCommand{
    "publish",
    "--broker URL --car NAME [--topic-prefix PREFIX] [--from HOST[:PORT]] [--interval MS] [--ca FILE]\n"
    "      [--password-file FILE] [--keep-alive SECONDS]",
    "Publishes the player's car, read from the simulator (as laps does) or from a Velmora server\n"
    "(--from, as fetch does) every MS milliseconds (default 100), to the MQTT broker at URL,\n"
    "mqtt://[USER[:PASSWORD]@]HOST[:PORT] (port 1883) or mqtts://... (TLS, port 8883; --ca FILE names\n"
    "the CA of the broker's certificate, else the system's). The password is read from FILE, else\n"
    "the environment variable VELMORA_MQTT_PASSWORD, else the URL. Under PREFIX/NAME/ (PREFIX\n"
    "\"velmora\" unless given): \"status\" \"online\" (retained; \"offline\" as the last will and on a\n"
    "clean stop), \"state\" every key of the car as JSON (retained, every 5 s), \"delta\" the keys that\n"
    "changed at each poll, \"laps\" each completed lap (QoS 1); the README lists the payloads.\n"
    "The broker declares the car gone after 1.5 times SECONDS (default 10) of silence. A lost\n"
    "broker is tried again after 1 s, doubling to 30 s; meanwhile live values are dropped and up to\n"
    "1000 lap rows wait. Prints \"publishing PREFIX/NAME\" once connected; stops cleanly on SIGINT\n"
    "or SIGTERM (status 0). Exit status: 8 when the broker cannot be reached at start, 9 when it\n"
    "refuses the login, 4 when the server refuses (\"Impossible connection\", \"Not same version\"),\n"
    "3 without an X display (simulator), 2 for a bad command line.",
    RunPublish};

}  // namespace velmora::cli
