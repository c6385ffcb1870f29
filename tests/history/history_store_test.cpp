// The history file through its own store and through plain SQL, as any other tool would read it.
#include "history/history_store.h"

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "history/sample_columns.h"
#include "history_fixture.h"

namespace velmora::history {
namespace {

// A record whose every sampled field holds a value of its own, so that a column that read or wrote the
// wrong field shows.
TGameData DistinctRecord() {
  TGameData record{};
  int n = 1;
  for (const SampleColumn& column : SampleColumns()) {
    const bool whole = column.field.kind != TGameDataField::Kind::kSingle &&
                       column.field.kind != TGameDataField::Kind::kDouble;
    SetSampleValue(record, column, whole ? n : (n + 0.25) * column.scale);
    ++n;
  }
  return record;
}

double SqlNumber(const std::filesystem::path& file, const std::string& sql) {
  Database db(file, Database::Mode::kReadOnly);
  Statement statement = db.Prepare(sql);
  EXPECT_TRUE(statement.Step()) << sql;
  return statement.Double(0);
}

TEST(HistoryStoreTest, ASampleKeepsEveryFieldItNamesInSiUnits) {
  const test::HistoryFolder folder;
  const TGameData written = DistinctRecord();
  {
    HistoryStore store(folder / "h.sqlite", HistoryStore::Access::kWrite);
    store.Begin();
    const auto session = store.AddSession(
        {"2026-05-01T14:03:07.250Z", "simulator", "Race 07", "1, 2, 1, 9", 4112.0, 1, false});
    store.AddSample(session, 0.5, written);
    store.Commit();
  }
  HistoryStore store(folder / "h.sqlite", HistoryStore::Access::kRead);
  std::vector<TGameData> read;
  store.ForEachSample(1, 0.0, 1.0, [&](double time_s, const TGameData& record) {
    EXPECT_EQ(time_s, 0.5);
    read.push_back(record);
    return true;
  });
  ASSERT_EQ(read.size(), 1U);
  for (const SampleColumn& column : SampleColumns()) {
    EXPECT_DOUBLE_EQ(SampleValue(read[0], column), SampleValue(written, column)) << column.name;
  }

  // What a tool that knows only SQL sees.
  struct Case {
    const char* column;
    double value;
  };
  TGameData car{};
  car.PneuAvantGauchePression = 201.5;
  car.PneuArriereDroitTempExterieure = 353.15;
  car.RapportVitesse = -1;
  car.Fuel = 37.35;
  car.TimerSession = 1799.5F;
  {
    HistoryStore writer(folder / "car.sqlite", HistoryStore::Access::kWrite);
    writer.Begin();
    writer.AddSample(writer.AddSession({}), 0.0, car);
    writer.Commit();
  }
  for (const Case& c :
       {Case{"fl_pressure_pa", 201500.0}, Case{"rr_tread_outer_k", 353.15}, Case{"gear", -1.0},
        Case{"fuel_l", 37.35}, Case{"session_clock_s", 1799.5}, Case{"fr_pressure_pa", 0.0}}) {
    EXPECT_DOUBLE_EQ(SqlNumber(folder / "car.sqlite", std::string("SELECT ") + c.column + " FROM samples"),
                     c.value)
        << c.column;
  }
}

TEST(HistoryStoreTest, SessionsLapsAndStandingsReadBackAsWritten) {
  const test::HistoryFolder folder;
  const SessionInfo info{"2026-05-01T14:03:07.250Z", "server 127.0.0.1:6000", "", "", 4112.0, 1, true};
  const std::vector<LapRecord> laps{
      {3, 87.75, 29.25, 58.5, 29.25, 29.25, 29.25, 46.86, 55.5, 2.65, 10.0, 97.75, true},
      {4, 86.5, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
       std::nullopt, std::nullopt, 97.75, 184.25, false},
  };
  const std::vector<StandingRecord> standings{{1, 4, "Ada Lovelace", "Volvo S60", false, 86.5},
                                              {2, 0, "Player", "BMW 320si", true, std::nullopt}};
  {
    HistoryStore store(folder / "h.sqlite", HistoryStore::Access::kWrite);
    store.Begin();
    const auto session = store.AddSession(info);
    for (const LapRecord& lap : laps) {
      store.AddLap(session, lap);
    }
    store.AddStandings(session, 4, standings);
    store.AddSample(session, 184.25, TGameData{});
    store.Commit();
  }
  HistoryStore store(folder / "h.sqlite", HistoryStore::Access::kRead);
  const auto sessions = store.Sessions();
  ASSERT_EQ(sessions.size(), 1U);
  EXPECT_EQ(sessions[0].id, 1);
  EXPECT_EQ(sessions[0].info, info);
  EXPECT_EQ(sessions[0].laps, 2);
  EXPECT_EQ(sessions[0].best_lap_s, 86.5);
  EXPECT_EQ(sessions[0].duration_s, 184.25);
  EXPECT_EQ(store.Laps(1), laps);
  EXPECT_EQ(store.Standings(1, 4), standings);
  EXPECT_TRUE(store.Standings(1, 3).empty());
  EXPECT_FALSE(store.Session(2));
}

// Files that are not what the store needs are refused with a reason, never half opened.
TEST(HistoryStoreTest, RefusesFilesItCannotUseAndSaysWhy) {
  const test::HistoryFolder folder;
  std::ofstream(folder / "text.sqlite") << "lap times, typed by hand\n";
  {
    Database other(folder / "other.sqlite", Database::Mode::kReadWriteCreate);
    other.Execute("CREATE TABLE notes (text TEXT)");
  }
  {
    HistoryStore newer(folder / "newer.sqlite", HistoryStore::Access::kWrite);
    newer.Connection().Execute("PRAGMA user_version = 99");
  }
  struct Case {
    const char* file;
    HistoryStore::Access access;
    const char* reason;
  };
  for (const Case& c : {Case{"text.sqlite", HistoryStore::Access::kRead, "not a readable history file"},
                        Case{"text.sqlite", HistoryStore::Access::kWrite, "not a readable history file"},
                        Case{"other.sqlite", HistoryStore::Access::kRead, "holds no recorded sessions"},
                        Case{"newer.sqlite", HistoryStore::Access::kWrite, "written by a newer Velmora"},
                        Case{"missing/h.sqlite", HistoryStore::Access::kWrite, "cannot be opened"}}) {
    SCOPED_TRACE(c.file);
    try {
      HistoryStore store(folder / c.file, c.access);
      ADD_FAILURE() << "opened";
    } catch (const SqliteError& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
  }
}

// Another program holding the write lock longer than the wait is an error the recorder can report.
TEST(HistoryStoreTest, AFileLockedByAnotherWriterIsAnErrorNotAWaitForEver) {
  const test::HistoryFolder folder;
  HistoryStore first(folder / "h.sqlite", HistoryStore::Access::kWrite);
  HistoryStore second(folder / "h.sqlite", HistoryStore::Access::kWrite);
  first.Begin();
  first.AddSession({});
  try {
    second.Begin();
    ADD_FAILURE() << "both hold the write lock";
  } catch (const SqliteError& error) {
    EXPECT_EQ(error.PrimaryCode(), SQLITE_BUSY);
    EXPECT_NE(std::string(error.what()).find("another program holds the file locked"), std::string::npos)
        << error.what();
  }
  first.Commit();
  second.Begin();
  second.AddSession({});
  second.Commit();
  EXPECT_EQ(second.Sessions().size(), 2U);
}

}  // namespace
}  // namespace velmora::history
