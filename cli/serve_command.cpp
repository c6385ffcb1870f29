// velmora-cli serve: the server role without a window, for the machine that runs the simulator.
#include <atomic>
#include <charconv>
#include <csignal>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "detection_loop.h"
#include "game/game.h"
#include "game/game_link.h"
#include "net/game_server_source.h"
#include "net/network_address.h"
#include "net/protocol_server.h"
#include "platform/application_version.h"
#include "platform/launched_command.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "stop_on_signals.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr int kExitPort = 5;

// The status line of the dashboard, as lines on standard error.
class StatusLines final : public TextTarget {
 public:
  StatusLines(std::ostream& err, std::mutex& mutex, const TGameLink& link)
      : err_(err), mutex_(mutex), link_(link) {}
  void SetText(std::string_view text) override {
    if (text == last_) {
      return;
    }
    last_ = text;
    std::lock_guard lock(mutex_);
    err_ << "velmora-cli serve: ";
    if (text == link_.NoGameText()) {
      err_ << "no simulator attached";
    } else if (link_.LastOpenFailure) {
      err_ << text << " (" << link_.LastOpenFailure->reason << ")";
      if (!link_.LastOpenFailure->hint.empty()) {
        err_ << "\nvelmora-cli serve: hint: " << link_.LastOpenFailure->hint;
      }
    } else {
      err_ << "attached: " << text;
    }
    err_ << "\n" << std::flush;
  }

 private:
  std::ostream& err_;
  std::mutex& mutex_;
  const TGameLink& link_;
  std::string last_;
};

constexpr const char* kUsage =
    "velmora-cli serve: usage: velmora-cli serve [--port N] [--bind ADDRESS] [--trace-log FILE] "
    "[-- COMMAND [ARG...]]\n";

int RunServe(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  ServerOptions options;
  std::span<const std::string> command;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool has_value = i + 1 < arguments.size();
    if (arguments[i] == "--") {
      command = arguments.subspan(i + 1);
      if (command.empty()) {
        err << "velmora-cli serve: -- must be followed by the simulator's command\n";
        return kExitUsage;
      }
      break;
    }
    if (arguments[i] == "--port" && has_value) {
      const std::string& text = arguments[++i];
      unsigned port = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
      if (error != std::errc{} || end != text.data() + text.size() || port > 65535) {
        err << "velmora-cli serve: --port takes a number from 1 to 65535, or 0 for any free port\n";
        return kExitUsage;
      }
      options.port = static_cast<std::uint16_t>(port);
    } else if (arguments[i] == "--bind" && has_value) {
      options.bind_address = arguments[++i];
      if (!IsValidIP(options.bind_address)) {
        err << "velmora-cli serve: --bind takes an IPv4 address such as 127.0.0.1\n";
        return kExitUsage;
      }
    } else if (arguments[i] == "--trace-log" && has_value) {
      options.trace_log_path = arguments[++i];
    } else {
      err << kUsage;
      return kExitUsage;
    }
  }

  auto finder = platform::CreateWindowFinder();
  if (finder == nullptr) {
    err << "velmora-cli serve: cannot reach the X display to look for a simulator window\n";
    return 3;
  }
  std::mutex err_mutex;
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  QueuedHandOver hand_over;
  LoopTimer timer;
  TGameLink link(game, *finder, hand_over, timer);
  StatusLines status(err, err_mutex, link);
  link.lbl_application = &status;
  GameServerSource source(link);
  options.version = platform::ApplicationVersion();
  options.on_event = [&](std::string_view what) {
    std::lock_guard lock(err_mutex);
    err << "velmora-cli serve: " << what << "\n" << std::flush;
  };
  TProtocolServer server(source, options);
  // Before anyone can learn the port, so that a stop asked at once is a clean one.
  const StopOnSignals stop_on_signals;
  try {
    server.Activate();
  } catch (const std::system_error& error) {
    err << "velmora-cli serve: cannot listen on " << options.bind_address << " port " << options.port << ": "
        << error.what() << "\n";
    return kExitPort;
  }
  // Started once the port is open, so that a server that cannot listen starts no simulator; "listening"
  // is said once both stand.
  std::unique_ptr<platform::LaunchedCommand> launched;
  if (!command.empty()) {
    std::string why;
    launched = platform::LaunchedCommand::Start(command, &why);
    if (launched == nullptr) {
      server.Deactivate();
      err << "velmora-cli serve: cannot start " << command.front() << ": " << why << "\n";
      return kExitUsage;
    }
    std::lock_guard lock(err_mutex);
    err << "velmora-cli serve: started " << command.front() << " (process " << launched->ProcessId() << ")\n"
        << std::flush;
  }
  out << "listening on port " << server.Port() << "\n" << std::flush;

  int exit_status = 0;
  RunDetection(link, timer, hand_over, clock, [&] {
    if (StopOnSignals::Requested()) {
      return false;
    }
    const auto ended = launched != nullptr ? launched->ExitStatus() : std::nullopt;
    if (ended) {
      exit_status = *ended;
      std::lock_guard lock(err_mutex);
      err << "velmora-cli serve: " << command.front() << " ended with exit status " << exit_status << "\n";
    }
    return !ended;
  });
  // The server's thread may wait for a step of this thread: refuse further steps before joining it.
  hand_over.Close();
  server.Deactivate();
  std::lock_guard lock(err_mutex);
  err << "velmora-cli serve: stopped\n";
  return exit_status;
}

}  // namespace

const Subcommand kServeCommand{
    "serve", "[--port N] [--bind ADDRESS] [--trace-log FILE] [-- COMMAND [ARG...]]",
    "Runs the dashboard's server role without a window, for the machine that runs the simulator:\n"
    "listens on port N (default 6000; 0 takes any free port) of the IPv4 ADDRESS (default 0.0.0.0,\n"
    "every IPv4 address of the machine; 127.0.0.1 keeps it to this machine), finds and\n"
    "attaches the simulator as the dashboard does, and answers Velmora clients (\"DATA\", \"VERSION\",\n"
    "\"QUIT\"), one at a time; a client that sends no such command for 30 seconds loses its slot\n"
    "(other lines do not count). When the simulator goes it answers \"501 No data\" and looks for it\n"
    "again. Every connection is traced in FILE (default \"protocole.txt\" in the current folder).\n"
    "It prints \"listening on port N\" on standard output once it listens, logs attachments and\n"
    "connections on standard error, and stops cleanly on SIGINT or SIGTERM (exit status 0). A port\n"
    "or address that cannot be opened exits with status 5; no X display, with status 3. The trace\n"
    "starts afresh past 16 MiB, the previous one kept beside it with \".1\" before its extension.\n"
    "With \"-- COMMAND [ARG...]\" it starts the simulator itself, as its own child, once it listens:\n"
    "where the kernel lets a program read only its descendants' memory (kernel.yama.ptrace_scope\n"
    "1), that is what allows reading it without privileges (in a game launcher's options:\n"
    "velmora-cli serve -- %command%). The command gets this program's environment, folder and\n"
    "standard streams; when it ends, serve ends with its exit status (128 and the signal's number\n"
    "when a signal ended it). A command that cannot be started exits with status 2 and the reason.",
    RunServe};

}  // namespace velmora::cli
