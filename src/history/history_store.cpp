#include "history/history_store.h"

#include <sqlite3.h>

#include "history/sample_columns.h"
#include "platform/app_data_folder.h"

namespace velmora::history {
namespace {

constexpr std::string_view kSchema = R"sql(
CREATE TABLE IF NOT EXISTS sessions (
  id INTEGER PRIMARY KEY,
  started_at TEXT NOT NULL,
  source TEXT NOT NULL,
  simulator TEXT NOT NULL,
  simulator_version TEXT NOT NULL,
  track_length_m REAL NOT NULL,
  session_type INTEGER NOT NULL,
  attached_mid_race INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS laps (
  session_id INTEGER NOT NULL REFERENCES sessions(id),
  lap INTEGER NOT NULL,
  lap_time_s REAL,
  intermediate1_s REAL,
  intermediate2_s REAL,
  sector1_s REAL,
  sector2_s REAL,
  sector3_s REAL,
  average_speed_m_s REAL,
  top_speed_m_s REAL,
  fuel_used_l REAL,
  started_s REAL NOT NULL,
  ended_s REAL NOT NULL,
  attached_mid_race INTEGER NOT NULL,
  PRIMARY KEY (session_id, lap)
);
CREATE TABLE IF NOT EXISTS standings (
  session_id INTEGER NOT NULL REFERENCES sessions(id),
  lap INTEGER NOT NULL,
  position INTEGER NOT NULL,
  slot INTEGER NOT NULL,
  name TEXT NOT NULL,
  car TEXT NOT NULL,
  in_pits INTEGER NOT NULL,
  best_lap_s REAL
);
CREATE INDEX IF NOT EXISTS standings_by_lap ON standings (session_id, lap);
)sql";

std::string SamplesTable() {
  std::string sql =
      "CREATE TABLE IF NOT EXISTS samples (\n  session_id INTEGER NOT NULL REFERENCES sessions(id),\n"
      "  time_s REAL NOT NULL";
  for (const SampleColumn& column : SampleColumns()) {
    sql += ",\n  ";
    sql += column.name;
    sql += column.field.kind == TGameDataField::Kind::kSingle ||
                   column.field.kind == TGameDataField::Kind::kDouble
               ? " REAL NOT NULL"
               : " INTEGER NOT NULL";
  }
  // Reading one lap's samples is a range of one session's times.
  sql += "\n);\nCREATE INDEX IF NOT EXISTS samples_by_time ON samples (session_id, time_s);\n";
  return sql;
}

std::string InsertSample() {
  std::string sql = "INSERT INTO samples (session_id, time_s";
  std::string values = "?, ?";
  for (const SampleColumn& column : SampleColumns()) {
    sql += ", ";
    sql += column.name;
    values += ", ?";
  }
  return sql + ") VALUES (" + values + ")";
}

std::string SelectSamples() {
  std::string sql = "SELECT time_s";
  for (const SampleColumn& column : SampleColumns()) {
    sql += ", ";
    sql += column.name;
  }
  return sql + " FROM samples WHERE session_id = ? AND time_s BETWEEN ? AND ? ORDER BY time_s";
}

void BindOptional(Statement& statement, int index, const std::optional<double>& value) {
  if (value) {
    statement.Bind(index, *value);
  } else {
    statement.BindNull(index);
  }
}

std::optional<double> OptionalDouble(const Statement& statement, int column) {
  return statement.IsNull(column) ? std::nullopt : std::optional(statement.Double(column));
}

constexpr std::string_view kSessionColumns =
    "s.id, s.started_at, s.source, s.simulator, s.simulator_version, s.track_length_m, s.session_type, "
    "s.attached_mid_race, (SELECT count(*) FROM laps l WHERE l.session_id = s.id), "
    "(SELECT max(time_s) FROM samples m WHERE m.session_id = s.id), "
    "(SELECT min(lap_time_s) FROM laps l WHERE l.session_id = s.id AND lap_time_s > 0)";

SessionSummary ReadSession(const Statement& row) {
  SessionSummary summary;
  summary.id = row.Integer(0);
  summary.info.started_at = row.Text(1);
  summary.info.source = row.Text(2);
  summary.info.simulator = row.Text(3);
  summary.info.simulator_version = row.Text(4);
  summary.info.track_length_m = row.Double(5);
  summary.info.session_type = static_cast<int>(row.Integer(6));
  summary.info.attached_mid_race = row.Integer(7) != 0;
  summary.laps = static_cast<int>(row.Integer(8));
  summary.duration_s = row.Double(9);
  summary.best_lap_s = OptionalDouble(row, 10);
  return summary;
}

}  // namespace

std::filesystem::path DefaultHistoryFile() {
  const std::filesystem::path folder = platform::DataFolder();
  return folder.empty() ? std::filesystem::path("history.sqlite") : folder / "history.sqlite";
}

struct HistoryStore::Statements {
  explicit Statements(Database& db)
      : begin(db, "BEGIN IMMEDIATE"),
        commit(db, "COMMIT"),
        insert_session(db,
                       "INSERT INTO sessions (started_at, source, simulator, simulator_version, "
                       "track_length_m, session_type, attached_mid_race) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        insert_lap(db,
                   "INSERT OR REPLACE INTO laps (session_id, lap, lap_time_s, intermediate1_s, "
                   "intermediate2_s, sector1_s, sector2_s, sector3_s, average_speed_m_s, top_speed_m_s, "
                   "fuel_used_l, started_s, ended_s, attached_mid_race) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        insert_sample(db, InsertSample()),
        insert_standing(db,
                        "INSERT INTO standings (session_id, lap, position, slot, name, car, in_pits, "
                        "best_lap_s) VALUES (?, ?, ?, ?, ?, ?, ?, ?)") {}

  Statement begin;
  Statement commit;
  Statement insert_session;
  Statement insert_lap;
  Statement insert_sample;
  Statement insert_standing;
};

HistoryStore::HistoryStore(const std::filesystem::path& path, Access access)
    : database_(path,
                access == Access::kWrite ? Database::Mode::kReadWriteCreate : Database::Mode::kReadOnly) {
  // Another writer (the dashboard and the command line on one file) holds the lock only for a commit.
  sqlite3_busy_timeout(database_.Handle(), 2000);
  Statement version(database_, "PRAGMA user_version");
  version.Step();
  const auto found = version.Integer(0);
  version.Reset();
  if (found > kSchemaVersion) {
    throw SqliteError(SQLITE_ERROR, "the file was written by a newer Velmora (history version " +
                                        std::to_string(found) + ")");
  }
  if (access == Access::kRead) {
    Statement tables(database_,
                     "SELECT count(*) FROM sqlite_schema WHERE name IN ('sessions', 'laps', 'samples')");
    tables.Step();
    if (tables.Integer(0) != 3) {
      throw SqliteError(SQLITE_NOTADB,
                        "the file is not a readable history file: it holds no recorded sessions");
    }
    return;
  }
  // WAL: a commit is one append, readers never wait for the writer, and a killed writer leaves the
  // file whole. NORMAL syncs at checkpoints only: a crash of the program loses nothing committed; a
  // power cut may lose the last commits but never corrupts.
  database_.Execute("PRAGMA journal_mode = WAL");
  database_.Execute("PRAGMA synchronous = NORMAL");
  database_.Execute("BEGIN IMMEDIATE");
  database_.Execute(kSchema);
  database_.Execute(SamplesTable());
  database_.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
  database_.Execute("COMMIT");
  statements_ = std::make_unique<Statements>(database_);
}

HistoryStore::~HistoryStore() {
  statements_.reset();
  if (database_.InTransaction()) {
    // Whatever was written before the end is kept: a stop is not a failure.
    sqlite3_exec(database_.Handle(), "COMMIT", nullptr, nullptr, nullptr);
  }
}

void HistoryStore::Begin() {
  statements_->begin.Run();
}

void HistoryStore::Commit() {
  statements_->commit.Run();
}

bool HistoryStore::InTransaction() const {
  return database_.InTransaction();
}

std::int64_t HistoryStore::AddSession(const SessionInfo& info) {
  Statement& s = statements_->insert_session;
  s.Bind(1, info.started_at);
  s.Bind(2, info.source);
  s.Bind(3, info.simulator);
  s.Bind(4, info.simulator_version);
  s.Bind(5, info.track_length_m);
  s.Bind(6, info.session_type);
  s.Bind(7, info.attached_mid_race ? 1 : 0);
  s.Run();
  return database_.LastInsertRowId();
}

void HistoryStore::AddLap(std::int64_t session, const LapRecord& lap) {
  Statement& s = statements_->insert_lap;
  s.Bind(1, session);
  s.Bind(2, lap.lap);
  BindOptional(s, 3, lap.lap_time_s);
  BindOptional(s, 4, lap.intermediate1_s);
  BindOptional(s, 5, lap.intermediate2_s);
  BindOptional(s, 6, lap.sector1_s);
  BindOptional(s, 7, lap.sector2_s);
  BindOptional(s, 8, lap.sector3_s);
  BindOptional(s, 9, lap.average_speed_m_s);
  BindOptional(s, 10, lap.top_speed_m_s);
  BindOptional(s, 11, lap.fuel_used_l);
  s.Bind(12, lap.started_s);
  s.Bind(13, lap.ended_s);
  s.Bind(14, lap.attached_mid_race ? 1 : 0);
  s.Run();
}

void HistoryStore::AddSample(std::int64_t session, double time_s, const TGameData& record) {
  Statement& s = statements_->insert_sample;
  s.Bind(1, session);
  s.Bind(2, time_s);
  int index = 3;
  for (const SampleColumn& column : SampleColumns()) {
    const double value = SampleValue(record, column);
    if (column.field.kind == TGameDataField::Kind::kSingle ||
        column.field.kind == TGameDataField::Kind::kDouble) {
      s.Bind(index++, value);
    } else {
      s.Bind(index++, static_cast<std::int64_t>(value));
    }
  }
  s.Run();
}

void HistoryStore::AddStandings(std::int64_t session, int lap, std::span<const StandingRecord> standings) {
  Statement& s = statements_->insert_standing;
  for (const StandingRecord& car : standings) {
    s.Bind(1, session);
    s.Bind(2, lap);
    s.Bind(3, car.position);
    s.Bind(4, car.slot);
    s.Bind(5, car.name);
    s.Bind(6, car.car);
    s.Bind(7, car.in_pits ? 1 : 0);
    BindOptional(s, 8, car.best_lap_s);
    s.Run();
  }
}

std::vector<SessionSummary> HistoryStore::Sessions() {
  Statement s(database_, "SELECT " + std::string(kSessionColumns) + " FROM sessions s ORDER BY s.id");
  std::vector<SessionSummary> sessions;
  while (s.Step()) {
    sessions.push_back(ReadSession(s));
  }
  return sessions;
}

std::optional<SessionSummary> HistoryStore::Session(std::int64_t session) {
  Statement s(database_, "SELECT " + std::string(kSessionColumns) + " FROM sessions s WHERE s.id = ?");
  s.Bind(1, session);
  if (!s.Step()) {
    return std::nullopt;
  }
  return ReadSession(s);
}

std::vector<LapRecord> HistoryStore::Laps(std::int64_t session) {
  Statement s(database_,
              "SELECT lap, lap_time_s, intermediate1_s, intermediate2_s, sector1_s, sector2_s, sector3_s, "
              "average_speed_m_s, top_speed_m_s, fuel_used_l, started_s, ended_s, attached_mid_race "
              "FROM laps WHERE session_id = ? ORDER BY lap");
  s.Bind(1, session);
  std::vector<LapRecord> laps;
  while (s.Step()) {
    LapRecord lap;
    lap.lap = static_cast<int>(s.Integer(0));
    lap.lap_time_s = OptionalDouble(s, 1);
    lap.intermediate1_s = OptionalDouble(s, 2);
    lap.intermediate2_s = OptionalDouble(s, 3);
    lap.sector1_s = OptionalDouble(s, 4);
    lap.sector2_s = OptionalDouble(s, 5);
    lap.sector3_s = OptionalDouble(s, 6);
    lap.average_speed_m_s = OptionalDouble(s, 7);
    lap.top_speed_m_s = OptionalDouble(s, 8);
    lap.fuel_used_l = OptionalDouble(s, 9);
    lap.started_s = s.Double(10);
    lap.ended_s = s.Double(11);
    lap.attached_mid_race = s.Integer(12) != 0;
    laps.push_back(lap);
  }
  return laps;
}

std::vector<StandingRecord> HistoryStore::Standings(std::int64_t session, int lap) {
  Statement s(database_,
              "SELECT position, slot, name, car, in_pits, best_lap_s FROM standings "
              "WHERE session_id = ? AND lap = ? ORDER BY position");
  s.Bind(1, session);
  s.Bind(2, lap);
  std::vector<StandingRecord> standings;
  while (s.Step()) {
    standings.push_back({static_cast<int>(s.Integer(0)), static_cast<int>(s.Integer(1)), s.Text(2), s.Text(3),
                         s.Integer(4) != 0, OptionalDouble(s, 5)});
  }
  return standings;
}

void HistoryStore::ForEachSample(std::int64_t session, double from_s, double to_s,
                                 const std::function<bool(double, const TGameData&)>& visit) {
  Statement s(database_, SelectSamples());
  s.Bind(1, session);
  s.Bind(2, from_s);
  s.Bind(3, to_s);
  const auto columns = SampleColumns();
  while (s.Step()) {
    TGameData record{};
    for (std::size_t i = 0; i < columns.size(); ++i) {
      SetSampleValue(record, columns[i], s.Double(static_cast<int>(i) + 1));
    }
    if (!visit(s.Double(0), record)) {
      break;
    }
  }
}

}  // namespace velmora::history
