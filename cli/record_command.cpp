// velmora-cli record: keeps the player's car, read from the simulator or from a server, in the history
// file: sessions, laps, samples at an interval and the standings at each lap.
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "feed_connect.h"
#include "game/game.h"
#include "game/game_link.h"
#include "history/laps_from_records.h"
#include "history/recorder.h"
#include "history_file.h"
#include "net/client_session.h"
#include "net/protocol.h"
#include "not_attached.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "server_address.h"
#include "stop_on_signals.h"
#include "subcommand.h"
#include "web/server_feed.h"

namespace velmora::cli {
namespace {

constexpr int kExitNotFound = 3;
constexpr auto kAttemptPause = std::chrono::milliseconds(250);
constexpr auto kDetectionPeriod = std::chrono::seconds(1);
constexpr std::string_view kUsage =
    "usage: velmora-cli record [--db FILE] [--interval MS] [--from HOST[:PORT]] [--timeout SECONDS] "
    "[--laps N]\n";

struct Options {
  std::filesystem::path db;
  int interval_ms = 100;
  std::string host;
  std::uint16_t port = kDefaultPort;
  int timeout_s = 10;
  long laps = 0;  // 0: until stopped
};

// Empty when the arguments are good; otherwise what to say.
std::string ParseOptions(std::span<const std::string> arguments, Options& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (i + 1 >= arguments.size()) {
      return name + " needs a value";
    }
    const std::string& value = arguments[++i];
    if (name == "--db") {
      if (value.empty()) {
        return "--db needs a file name";
      }
      options.db = value;
    } else if (name == "--interval") {
      if (!WholeNumber(value, 10, 60000, options.interval_ms)) {
        return "--interval takes milliseconds from 10 to 60000";
      }
    } else if (name == "--from") {
      if (!ParseServer(value, options.host, options.port)) {
        return "--from takes HOST or HOST:PORT, PORT from 1 to 65535";
      }
    } else if (name == "--timeout") {
      if (!WholeNumber(value, 0, 86400, options.timeout_s)) {
        return "--timeout takes a whole number of seconds from 0 to 86400";
      }
    } else if (name == "--laps") {
      if (!WholeNumber(value, 1L, 100000L, options.laps)) {
        return "--laps takes a whole number of laps from 1 to 100000";
      }
    } else {
      return "unknown argument \"" + name + "\"";
    }
  }
  return {};
}

// What every source shares: the file, the recorder and the log.
class Recording {
 public:
  Recording(history::HistoryStore& store, const Options& options, std::ostream& err)
      : recorder_(store, std::chrono::milliseconds(options.interval_ms)), options_(options), err_(err) {}

  void Attach(history::RecorderSource source) {
    Log("recording " + (source.simulator.empty() ? source.source : "\"" + source.simulator + "\"") +
        " into " + options_.db.string());
    recorder_.Attach(std::move(source));
  }
  void Detach() {
    recorder_.Flush();
    recorder_.Detach();
  }

  // False once the file failed (said on standard error) or the laps asked for are in.
  bool Cycle(const TGameData& record, std::span<const Standing> standings_at_lap,
             const std::vector<history::LapRecord>& laps) {
    try {
      const auto session_before = recorder_.SessionId();
      recorder_.Cycle(std::chrono::steady_clock::now(), record, laps,
                      history::StandingRecords(standings_at_lap));
      if (recorder_.SessionId() != session_before) {
        Log("session " + std::to_string(*recorder_.SessionId()));
      }
      for (const history::LapRecord& lap : laps) {
        Log("lap " + std::to_string(lap.lap) + " of session " + std::to_string(*recorder_.SessionId()));
      }
    } catch (const history::SqliteError& error) {
      return Failed(error);
    }
    return options_.laps == 0 || recorder_.LapsWritten() < options_.laps;
  }

  bool Tick() {
    try {
      recorder_.Tick(std::chrono::steady_clock::now());
    } catch (const history::SqliteError& error) {
      return Failed(error);
    }
    return true;
  }

  // The status at the end: 0, or the file's failure.
  int Finish() {
    try {
      recorder_.Flush();
    } catch (const history::SqliteError& error) {
      Failed(error);
    }
    return failed_ ? kExitHistoryFile : 0;
  }

  void Log(const std::string& text) {
    std::lock_guard lock(mutex_);
    err_ << "velmora-cli record: " << text << "\n" << std::flush;
  }

 private:
  bool Failed(const history::SqliteError& error) {
    Log("cannot write " + options_.db.string() + ": " + error.what());
    failed_ = true;
    return false;
  }

  history::Recorder recorder_;
  const Options& options_;
  std::ostream& err_;
  std::mutex mutex_;
  bool failed_ = false;
};

// Waits until `until`, or less when a stop is asked.
void PauseUntil(std::chrono::steady_clock::time_point until) {
  while (!StopOnSignals::Requested() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        until - std::chrono::steady_clock::now(), std::chrono::milliseconds(50)));
  }
}

int RecordSimulator(const Options& options, history::HistoryStore& store, std::ostream& err) {
  auto finder = platform::CreateWindowFinder();
  if (finder == nullptr) {
    err << "velmora-cli record: cannot reach the X display to look for a simulator window\n"
        << "no simulator found\n";
    return kExitNotFound;
  }
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  // The server's way of reading: one record at a time when asked, no scan thread.
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  QueuedHandOver hand_over;
  FlagDetectionTimer timer(true);
  TGameLink link(game, *finder, hand_over, timer);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_s);
  for (link.TimerProgramTimer(); timer.Enabled(); link.TimerProgramTimer()) {
    if (StopOnSignals::Requested()) {
      return 0;
    }
    if (std::chrono::steady_clock::now() + kAttemptPause > deadline) {
      ReportNotAttached(link, err);
      return kExitNotFound;
    }
    std::this_thread::sleep_for(kAttemptPause);
  }

  Recording recording(store, options, err);
  auto model = std::make_unique<history::LapsFromRecords>(clock);
  recording.Attach({"simulator", link.ProgramNameWindows(), link.ProgramVersion});
  const auto interval = std::chrono::milliseconds(options.interval_ms);
  auto next = std::chrono::steady_clock::now();
  auto next_attempt = next;
  bool going = true;
  while (going && !StopOnSignals::Requested()) {
    const auto now = std::chrono::steady_clock::now();
    if (timer.Enabled()) {
      // The simulator went away: look for it once a second, as the dashboard does.
      if (now >= next_attempt) {
        next_attempt = now + kDetectionPeriod;
        link.TimerProgramTimer();
        if (!timer.Enabled()) {
          model = std::make_unique<history::LapsFromRecords>(clock);
          recording.Attach({"simulator", link.ProgramNameWindows(), link.ProgramVersion});
        }
      }
      going = recording.Tick();
    } else {
      std::unique_lock lock(link.AttachMutex());
      if (link.TestProgramActif() && game.FProgramHandleProcess != nullptr) {
        game.ReadServer();
        const TGameData record = game.GameData;
        const auto laps = model->Apply(record);
        const std::vector<Standing> standings = laps.empty() ? std::vector<Standing>() : ReadStandings(game);
        lock.unlock();
        going = recording.Cycle(record, standings, laps);
      } else {
        link.SyncGameLost();
        lock.unlock();
        recording.Log("the simulator went away; looking for it again");
        recording.Detach();
        next_attempt = now;
      }
    }
    // A fixed beat, so that a slow read does not stretch the interval after it.
    next += interval;
    if (next < std::chrono::steady_clock::now()) {
      next = std::chrono::steady_clock::now();
    }
    PauseUntil(next);
  }
  link.StopScanThread();
  return recording.Finish();
}

int RecordServer(const Options& options, history::HistoryStore& store, std::ostream& err) {
  web::ServerFeed feed(options.host, options.port, std::chrono::milliseconds(options.interval_ms));
  if (const int status = ConnectFeed(feed, err); status != 0) {
    return status;
  }
  Recording recording(store, options, err);
  const std::string source = "server " + options.host + ":" + std::to_string(options.port);
  platform::SystemTickClock clock;
  auto model = std::make_unique<history::LapsFromRecords>(clock);
  recording.Attach({source, "", ""});
  std::atomic<bool> done{false};
  std::jthread polling([&](std::stop_token stop) {
    web::FeedStatus last = web::FeedStatus::kOk;
    feed.Run(stop, [&](const TGameData* record, web::FeedStatus status) {
      if (status != last) {
        recording.Log(status == web::FeedStatus::kNoData ? "the server has no simulator; still asking"
                      : status == web::FeedStatus::kLost ? "lost the server; retrying every second"
                                                         : "receiving records again");
        if (status == web::FeedStatus::kOk) {
          // Whatever happened in between, the server's car may be in another session now.
          model = std::make_unique<history::LapsFromRecords>(clock);
          recording.Attach({source, "", ""});
        } else {
          recording.Detach();
        }
        last = status;
      }
      const bool going =
          record != nullptr ? recording.Cycle(*record, {}, model->Apply(*record)) : recording.Tick();
      if (!going) {
        done.store(true);
      }
    });
  });
  while (!StopOnSignals::Requested() && !done.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  polling.request_stop();
  polling.join();
  return recording.Finish();
}

int RunRecord(std::span<const std::string> arguments, std::ostream&, std::ostream& err) {
  Options options;
  if (const std::string problem = ParseOptions(arguments, options); !problem.empty()) {
    err << "velmora-cli record: " << problem << "\n" << kUsage;
    return kExitUsage;
  }
  std::unique_ptr<history::HistoryStore> store;
  if (options.db.empty()) {
    options.db = DefaultHistoryFile();
  }
  if (const int opened = OpenHistory(options.db, history::HistoryStore::Access::kWrite, store, err, "record");
      opened != 0) {
    return opened;
  }
  const StopOnSignals stop_on_signals;
  return options.host.empty() ? RecordSimulator(options, *store, err) : RecordServer(options, *store, err);
}

}  // namespace

const Subcommand kRecordCommand{
    "record", "[--db FILE] [--interval MS] [--from HOST[:PORT]] [--timeout SECONDS] [--laps N]",
    "Records the player's car into the history file FILE (an SQLite database; by default\n"
    "\"history.sqlite\" in Velmora's data folder, created when missing): a row of \"sessions\" for each\n"
    "attach or new session, each completed lap of the lap grid in \"laps\", the car's live values every\n"
    "MS milliseconds (default 100; 10 to 60000) in \"samples\", and the driver list at each completed\n"
    "lap in \"standings\" (README: \"The history file\" lists the columns and their SI units). It reads\n"
    "the simulator as laps does, looking for one for up to SECONDS (default 10; then \"no simulator\n"
    "found\" and exit status 3), or with --from a Velmora server as fetch does (exit status 4 with\n"
    "\"Impossible connection\" or \"Not same version\" when it refuses). A simulator or server that goes\n"
    "away is looked for again and starts a new session. The file is committed once a second, so a\n"
    "killed recorder loses at most the last second and leaves the file whole. It stops after N laps\n"
    "with --laps N, otherwise on SIGINT or SIGTERM (exit status 0). Progress goes to standard error.\n"
    "When the file cannot be opened or written (a full disk, a file locked by another program) it\n"
    "says why and exits with status 7.",
    RunRecord};

}  // namespace velmora::cli
