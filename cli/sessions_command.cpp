// velmora-cli sessions: the sessions a history file holds.
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "history_file.h"
#include "json_writer.h"
#include "race/lap_time_text.h"
#include "race/session.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kUsage = "usage: velmora-cli sessions [--db FILE] [--json]\n";

// "1:02:03" for a duration in seconds.
std::string Duration(double seconds) {
  const long long whole = seconds > 0.0 ? static_cast<long long>(seconds) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

void PrintJson(const std::vector<history::SessionSummary>& sessions, std::ostream& out) {
  JsonArrayWriter array(out, 0);
  for (const history::SessionSummary& session : sessions) {
    JsonObjectWriter object = array.Object();
    object.Number("id", session.id);
    object.String("started_at", session.info.started_at);
    object.String("source", session.info.source);
    object.String("simulator", session.info.simulator);
    object.String("simulator_version", session.info.simulator_version);
    object.Number("track_length_m", session.info.track_length_m);
    object.Number("session_type", static_cast<std::int64_t>(session.info.session_type));
    object.String("session_type_name", TSessionGTR::FormatTypeSession(session.info.session_type));
    object.Bool("attached_mid_race", session.info.attached_mid_race);
    object.Number("laps", static_cast<std::int64_t>(session.laps));
    if (session.best_lap_s) {
      object.Number("best_lap_s", *session.best_lap_s);
    } else {
      object.Null("best_lap_s");
    }
    object.Number("duration_s", session.duration_s);
    object.Close();
  }
  array.Close();
  out << "\n";
}

void PrintTable(const std::vector<history::SessionSummary>& sessions, std::ostream& out) {
  out << "id\tstarted (UTC)\tsource\tsimulator\tversion\tsession\tlaps\tbest lap\tlength\n";
  for (const history::SessionSummary& session : sessions) {
    out << session.id << "\t" << session.info.started_at << "\t" << session.info.source << "\t"
        << (session.info.simulator.empty() ? "-" : session.info.simulator) << "\t"
        << (session.info.simulator_version.empty() ? "-" : session.info.simulator_version) << "\t"
        << TSessionGTR::FormatTypeSession(session.info.session_type) << "\t" << session.laps << "\t"
        << (session.best_lap_s ? FormatValue(static_cast<float>(*session.best_lap_s)) : "-") << "\t"
        << Duration(session.duration_s) << "\n";
  }
}

int RunSessions(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  std::filesystem::path db;
  bool json = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--json") {
      json = true;
    } else if (arguments[i] == "--db" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
      db = arguments[++i];
    } else {
      err << "velmora-cli sessions: " << kUsage;
      return kExitUsage;
    }
  }
  if (db.empty()) {
    db = DefaultHistoryFile();
  }
  std::unique_ptr<history::HistoryStore> store;
  if (const int opened = OpenHistory(db, history::HistoryStore::Access::kRead, store, err, "sessions");
      opened != 0) {
    return opened;
  }
  std::vector<history::SessionSummary> sessions;
  try {
    sessions = store->Sessions();
  } catch (const history::SqliteError& error) {
    err << "velmora-cli sessions: cannot read " << db.string() << ": " << error.what() << "\n";
    return kExitHistoryFile;
  }
  json ? PrintJson(sessions, out) : PrintTable(sessions, out);
  out << std::flush;
  return out ? 0 : 1;
}

}  // namespace

const Subcommand kSessionsCommand{
    "sessions", "[--db FILE] [--json]",
    "Lists the sessions recorded in the history file FILE (by default the one record writes), one a\n"
    "line with tabs between the columns: the session's number, its start (UTC), the source, the\n"
    "simulator and its version, the session type, the laps recorded, the best of them and the length\n"
    "recorded. With --json it prints one JSON array of objects with the keys \"id\", \"started_at\",\n"
    "\"source\", \"simulator\", \"simulator_version\", \"track_length_m\", \"session_type\",\n"
    "\"session_type_name\", \"attached_mid_race\", \"laps\", \"best_lap_s\" (null when none) and\n"
    "\"duration_s\". A file that is missing or not a history file exits with status 7.",
    RunSessions};

}  // namespace velmora::cli
