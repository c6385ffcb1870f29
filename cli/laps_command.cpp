// velmora-cli laps: the engineer's headless lap logger. Attaches as the dashboard does, runs the scan
// cycle without a window and prints every completed row of the lap grid as one line of JSON; on request
// it also keeps an export file of the logged rows, as the dashboard's "Export" menu writes it.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "game/game.h"
#include "game/game_link.h"
#ifdef VELMORA_CLI_HISTORY
#include "history/completed_laps.h"
#include "history_file.h"
#endif
#include "lap_export_file.h"
#include "lap_rows.h"
#include "not_attached.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "race/lap_table.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr int kExitNotFound = 3;
constexpr int kExitExportFailed = 6;
constexpr auto kAttemptPause = std::chrono::milliseconds(250);
constexpr auto kDetectionPeriod = std::chrono::seconds(1);
// How long the main thread waits for a step of the scan thread before it looks at the signals again.
constexpr int kStepWait_ms = 100;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

struct Options {
  long long laps = 0;  // 0: until interrupted
  bool imperial = false;
  double timeout_s = 10.0;
  std::optional<TExportFormat> export_format;
  std::string export_path;
  bool sectors = false;
  // A recorded session instead of a running simulator.
  std::string db;
  std::int64_t session = 0;
  bool explicit_live_option = false;
};

// The export format a file name's extension stands for.
std::optional<TExportFormat> ExportFormatOfFile(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) {
    return std::nullopt;
  }
  const std::string extension = path.substr(dot + 1);
  return extension == "htm" ? ExportFormatNamed("html") : ExportFormatNamed(extension);
}

// The options, or an error message.
std::variant<Options, std::string> ParseLapsOptions(std::span<const std::string> arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--imperial") {
      options.imperial = true;
      continue;
    }
    if (name == "--sectors") {
      options.sectors = true;
      continue;
    }
    if (name == "--export" && i + 1 < arguments.size() &&
        (i + 2 >= arguments.size() || arguments[i + 2].starts_with("--")) &&
        ExportFormatOfFile(arguments[i + 1])) {
      // One file name: its extension says the format.
      options.export_format = ExportFormatOfFile(arguments[i + 1]);
      options.export_path = arguments[++i];
      continue;
    }
    if (name == "--export") {
      if (i + 2 >= arguments.size()) {
        return "--export needs a format (csv, html or xml) and a file name";
      }
      options.export_format = ExportFormatNamed(arguments[i + 1]);
      if (!options.export_format) {
        return "--export takes the format csv, html or xml, not \"" + arguments[i + 1] + "\"";
      }
      options.export_path = arguments[i + 2];
      if (options.export_path.empty()) {
        return "--export needs a file name";
      }
      i += 2;
      continue;
    }
    if (name != "--laps" && name != "--timeout" && name != "--db" && name != "--session") {
      return "unknown argument \"" + name + "\"";
    }
    if (i + 1 >= arguments.size()) {
      return name + " needs a value";
    }
    const std::string& value = arguments[++i];
    char* end = nullptr;
    if (name == "--db") {
      if (value.empty()) {
        return "--db needs a file name";
      }
      options.db = value;
      continue;
    }
    if (name == "--session") {
      options.session = std::strtoll(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || options.session < 1) {
        return "--session takes a session number from velmora-cli sessions";
      }
      continue;
    }
    options.explicit_live_option = true;
    if (name == "--laps") {
      options.laps = std::strtoll(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || options.laps < 1 || options.laps > 100000) {
        return "--laps takes a whole number of laps from 1 to 100000";
      }
    } else {
      options.timeout_s = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !(options.timeout_s >= 0.0) || options.timeout_s > 86400.0) {
        return "--timeout takes a number of seconds from 0 to 86400";
      }
    }
  }
  if (options.sectors && !options.export_format) {
    return "--sectors chooses the columns of an --export file and goes only with it";
  }
  if (options.db.empty() != (options.session == 0)) {
    return "--db FILE and --session N go together: they choose a recorded session";
  }
  if (!options.db.empty() && options.explicit_live_option) {
    return "--laps and --timeout are for a running simulator, not a recorded session";
  }
  return options;
}

// Which rows have been printed. A row is complete once the lap counter has moved past it; a new session
// (the counter back at 0) empties the grid and starts the count again.
class CompletedLaps final : public LapTableListener {
 public:
  // Prints the rows completed since the last call; false when the output is gone.
  bool PrintNew(const TLapTable& table, int lap_counter, std::ostream& out, long long& printed) {
    for (const TLapRow& row : table.Rows()) {
      if (row.Lap > lap_counter || printed_.contains(row.Lap)) {
        continue;
      }
      printed_.insert(row.Lap);
      logged_.push_back(row);
      out << LapRowJson(row) << std::endl;
      ++printed;
      if (!out) {
        return false;
      }
    }
    return true;
  }

  // Every row printed, in the order printed, across sessions.
  const std::vector<TLapRow>& Logged() const { return logged_; }

 private:
  void RowsCleared() override { printed_.clear(); }
  void RowAppended(std::size_t) override {}
  void CellsChanged(std::size_t, TLapField, TLapField) override {}
  void CurrentRowChanged(std::size_t) override {}
  void ColumnsChanged() override {}
  void HighlightsChanged() override {}

  std::set<int> printed_;
  std::vector<TLapRow> logged_;
};

// Reports a file that cannot be written; false then.
bool Export(const std::optional<TLapExportFile>& file, const CompletedLaps& completed, std::ostream& err) {
  if (!file) {
    return true;
  }
  if (const auto error = file->Write(completed.Logged())) {
    err << "velmora-cli laps: cannot write \"" << file->Path() << "\": " << *error << "\n";
    return false;
  }
  return true;
}

#ifdef VELMORA_CLI_HISTORY
// The laps of a recorded session, printed and exported as the live logger does.
int RunRecordedLaps(const Options& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<history::HistoryStore> store;
  if (const int opened = OpenHistory(options.db, history::HistoryStore::Access::kRead, store, err, "laps");
      opened != 0) {
    return opened;
  }
  std::vector<TLapRow> rows;
  try {
    if (!store->Session(options.session)) {
      err << "velmora-cli laps: " << options.db << " holds no session " << options.session
          << " (velmora-cli sessions lists them)\n";
      return kExitHistoryFile;
    }
    for (const history::LapRecord& lap : store->Laps(options.session)) {
      rows.push_back(history::LapRowOfRecord(lap, !options.imperial));
    }
  } catch (const history::SqliteError& error) {
    err << "velmora-cli laps: cannot read " << options.db << ": " << error.what() << "\n";
    return kExitHistoryFile;
  }
  for (const TLapRow& row : rows) {
    out << LapRowJson(row) << "\n";
  }
  out << std::flush;
  if (!out) {
    return 1;
  }
  if (options.export_format) {
    const TLapExportFile file(*options.export_format, options.export_path, options.sectors);
    if (const auto error = file.Write(rows)) {
      err << "velmora-cli laps: cannot write \"" << file.Path() << "\": " << *error << "\n";
      return kExitExportFailed;
    }
  }
  return 0;
}
#endif

int RunLaps(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseLapsOptions(arguments);
  if (const auto* message = std::get_if<std::string>(&parsed)) {
    err << "velmora-cli laps: " << *message << "\n"
        << "usage: velmora-cli laps [--laps N] [--imperial] [--timeout SECONDS] [--export FORMAT FILE "
           "[--sectors]]\n"
           "       velmora-cli laps --db FILE --session N [--imperial] [--export [FORMAT] FILE "
           "[--sectors]]\n";
    return kExitUsage;
  }
  const Options& options = std::get<Options>(parsed);
#ifdef VELMORA_CLI_HISTORY
  if (!options.db.empty()) {
    return RunRecordedLaps(options, out, err);
  }
#else
  if (!options.db.empty()) {
    err << "velmora-cli laps: this build keeps no history (--db)\n";
    return kExitUsage;
  }
#endif
  std::optional<TLapExportFile> export_file;
  if (options.export_format) {
    export_file.emplace(*options.export_format, options.export_path, options.sectors);
  }

  auto finder = platform::CreateWindowFinder();
  if (finder == nullptr) {
    err << "velmora-cli laps: cannot reach the X display to look for a simulator window\n"
        << "no simulator found\n";
    return kExitNotFound;
  }
  interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  game.FMetrique = !options.imperial;
  TLapTable table;
  CompletedLaps completed;
  table.AddListener(&completed);
  game.FTemps.SetData(&table);
  QueuedHandOver hand_over;
  FlagDetectionTimer timer(true);
  TGameLink link(game, *finder, hand_over, timer);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeout_s);
  for (;;) {
    link.TimerProgramTimer();
    if (!timer.Enabled()) {
      break;
    }
    if (interrupted != 0) {
      return 0;
    }
    if (std::chrono::steady_clock::now() + kAttemptPause > deadline) {
      ReportNotAttached(link, err);
      return kExitNotFound;
    }
    std::this_thread::sleep_for(kAttemptPause);
  }

  // The file exists from the start, titles only, so that a name that cannot be written is known at once
  // and not after an hour of laps; whoever reads the line below may count on the file.
  int status = Export(export_file, completed, err) ? 0 : kExitExportFailed;
  err << "velmora-cli laps: attached to \"" << link.ProgramNameWindows() << "\" (pid "
      << link.ProgramProcessId << ", " << platform::RuntimeName(link.ProgramRuntime) << "), logging laps\n";
  // The scan thread the attach started hands every cycle to this thread. When the simulator goes away,
  // detection runs again once a second, as it does on the dashboard.
  long long printed = 0;
  auto next_attempt = std::chrono::steady_clock::now();
  while (status == 0 && interrupted == 0 && (options.laps == 0 || printed < options.laps)) {
    if (timer.Enabled() && std::chrono::steady_clock::now() >= next_attempt) {
      link.TimerProgramTimer();
      next_attempt = std::chrono::steady_clock::now() + kDetectionPeriod;
    }
    if (!hand_over.WaitAndRun(kStepWait_ms)) {
      continue;
    }
    const long long printed_before = printed;
    if (!completed.PrintNew(table, game.FNombreTour.Value(), out, printed)) {
      status = 1;
      break;
    }
    // Rewritten after every lap, so that an interrupted or killed logger leaves every lap it printed.
    if (printed != printed_before && !Export(export_file, completed, err)) {
      status = kExitExportFailed;
      break;
    }
  }
  link.StopScanThread();
  table.RemoveListener(&completed);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  return status;
}

}  // namespace

const Subcommand kLapsCommand{
    "laps",
    "[--laps N] [--imperial] [--timeout SECONDS] [--export FORMAT FILE [--sectors]]\n"
    "  laps --db FILE --session N [--imperial] [--export [FORMAT] FILE [--sectors]]",
    "The headless lap logger. Finds and attaches a running simulator as the dashboard does and runs\n"
    "its scan cycle without a window. Every row of the lap grid that a completed lap fills is written\n"
    "to standard output as one JSON object per line, with the keys \"lap\", \"intermediate1\",\n"
    "\"intermediate2\", \"final\", \"sector1\", \"sector2\", \"sector3\" (seconds), \"average_speed\",\n"
    "\"max_speed\" (km/h, or mph with --imperial) and \"fuel\" (litres used on the lap); a cell the\n"
    "grid leaves empty is null. It stops after N rows with --laps N, otherwise when interrupted\n"
    "(SIGINT or SIGTERM, exit status 0); if the simulator goes away it waits for one to come back.\n"
    "It looks for a simulator for up to SECONDS (default 10); when none shows up it says\n"
    "\"no simulator found\" on standard error and exits with status 3, as probe does, which also\n"
    "says when a simulator's process cannot be read.\n"
    "With --export FORMAT FILE it also keeps FILE as the dashboard's \"Export\" menu writes the lap\n"
    "grid: FORMAT is csv, html or xml; the columns are those of \"Display Laps\" (Lap, Intermediate 1,\n"
    "Intermediate 2, Final Time, Ave. Spd., Max. Spd., Fuel) or, with --sectors, of \"Display Sector\"\n"
    "(Lap, Sector 1, Sector 2, Sector 3, Ave. Spd., Max. Spd., Fuel); the rows are the ones printed.\n"
    "FILE is written once attached (titles only) and again after every lap, each time replaced whole:\n"
    "a failed write leaves the earlier file as it was. When it cannot be written the operating\n"
    "system's reason goes to standard error and the exit status is 6.\n"
    "With --db FILE --session N it prints the laps of session N of a history file (see record and\n"
    "sessions) in the same form, and exports them with --export; there FORMAT may be left out when\n"
    "FILE ends in .csv, .htm, .html or .xml. A missing file or session exits with status 7.",
    RunLaps};

}  // namespace velmora::cli
