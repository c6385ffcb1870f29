#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "history/sqlite_database.h"
#include "net/game_data.h"

namespace velmora::history {

// One row of `sessions`: an attach, or a new session seen while attached.
struct SessionInfo {
  std::string started_at;  // UTC, "2026-05-01T14:03:07.250Z"
  std::string source;      // "simulator", or "server HOST:PORT"
  std::string simulator;   // the window title; empty when the source does not say
  std::string simulator_version;
  double track_length_m = 0.0;
  int session_type = 0;  // the simulator's code
  bool attached_mid_race = false;

  bool operator==(const SessionInfo&) const = default;
};

// One row of `laps`: the lap grid's row in SI units, and where the lap lies on the session's time line.
struct LapRecord {
  int lap = 0;
  std::optional<double> lap_time_s;
  std::optional<double> intermediate1_s;
  std::optional<double> intermediate2_s;
  std::optional<double> sector1_s;
  std::optional<double> sector2_s;
  std::optional<double> sector3_s;
  std::optional<double> average_speed_m_s;
  std::optional<double> top_speed_m_s;
  std::optional<double> fuel_used_l;
  double started_s = 0.0;          // session time at which the lap began (or recording began, if later)
  double ended_s = 0.0;            // session time at which its completion was seen
  bool attached_mid_race = false;  // the lap was under way when the recording began

  bool operator==(const LapRecord&) const = default;
};

// One car of `standings` at a completed lap of the player.
struct StandingRecord {
  int position = 0;
  int slot = 0;
  std::string name;
  std::string car;
  bool in_pits = false;
  std::optional<double> best_lap_s;

  bool operator==(const StandingRecord&) const = default;
};

struct SessionSummary {
  std::int64_t id = 0;
  SessionInfo info;
  int laps = 0;
  double duration_s = 0.0;  // time of the last sample
  std::optional<double> best_lap_s;
};

// "history.sqlite" in Velmora's data folder, where the dashboard and velmora-cli record by default.
std::filesystem::path DefaultHistoryFile();

// The history file: one SQLite database in WAL mode. Writes go into the transaction the caller opens and
// commits; reads see what is committed. Every call throws SqliteError with a message for the user.
class HistoryStore final {
 public:
  enum class Access { kWrite, kRead };

  // Creates the file and its tables when writing and they are missing.
  HistoryStore(const std::filesystem::path& path, Access access);
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  // The schema's version in the file; a newer one than this program knows is refused.
  static constexpr int kSchemaVersion = 1;

  void Begin();
  void Commit();
  bool InTransaction() const;

  std::int64_t AddSession(const SessionInfo& info);
  void AddLap(std::int64_t session, const LapRecord& lap);
  void AddSample(std::int64_t session, double time_s, const TGameData& record);
  void AddStandings(std::int64_t session, int lap, std::span<const StandingRecord> standings);

  std::vector<SessionSummary> Sessions();
  std::optional<SessionSummary> Session(std::int64_t session);
  std::vector<LapRecord> Laps(std::int64_t session);
  std::vector<StandingRecord> Standings(std::int64_t session, int lap);
  // Calls `visit` with every sample of the session from `from_s` to `to_s` (inclusive) in time order;
  // `visit` returns false to stop early.
  void ForEachSample(std::int64_t session, double from_s, double to_s,
                     const std::function<bool(double time_s, const TGameData& record)>& visit);

  Database& Connection() { return database_; }

 private:
  struct Statements;

  Database database_;
  std::unique_ptr<Statements> statements_;
};

}  // namespace velmora::history
