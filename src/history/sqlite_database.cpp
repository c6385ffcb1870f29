#include "history/sqlite_database.h"

#include <sqlite3.h>

namespace velmora::history {
namespace {

// What the user can do about the usual failures of a file on disk.
std::string_view Advice(int code) {
  switch (code & 0xFF) {
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "another program holds the file locked";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      return "the file cannot be opened for writing";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "the file is not a readable history file";
    case SQLITE_IOERR:
      return "the file cannot be written";
    default:
      return {};
  }
}

}  // namespace

SqliteError::SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}

Database::Database(const std::filesystem::path& path, Mode mode) {
  const int flags =
      mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const int code = sqlite3_open_v2(path.string().c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    // A connection that failed to open still needs closing, and still holds the message.
    const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close(db_);
    db_ = nullptr;
    const std::string_view advice = Advice(code);
    throw SqliteError(code, (advice.empty() ? std::string() : std::string(advice) + ": ") + message);
  }
  sqlite3_extended_result_codes(db_, 1);
}

Database::~Database() {
  // Statements are finalised by their own objects first; close_v2 copes with any left behind.
  sqlite3_close_v2(db_);
}

void Database::Fail(int code) const {
  const std::string_view advice = Advice(code);
  throw SqliteError(code,
                    (advice.empty() ? std::string() : std::string(advice) + ": ") + sqlite3_errmsg(db_));
}

void Database::Execute(std::string_view sql) {
  const std::string text(sql);
  const int code = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    Fail(code);
  }
}

Statement Database::Prepare(std::string_view sql) {
  return Statement(*this, sql);
}

std::int64_t Database::LastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

bool Database::InTransaction() const {
  return sqlite3_get_autocommit(db_) == 0;
}

Statement::Statement(Database& database, std::string_view sql) : database_(&database) {
  const int code = sqlite3_prepare_v3(database.Handle(), sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
  if (code != SQLITE_OK) {
    database.Fail(code);
  }
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

Statement::Statement(Statement&& other) noexcept : database_(other.database_), statement_(other.statement_) {
  other.statement_ = nullptr;
}

void Statement::Bind(int index, double value) {
  if (const int code = sqlite3_bind_double(statement_, index, value); code != SQLITE_OK) {
    database_->Fail(code);
  }
}

void Statement::Bind(int index, std::int64_t value) {
  if (const int code = sqlite3_bind_int64(statement_, index, value); code != SQLITE_OK) {
    database_->Fail(code);
  }
}

void Statement::Bind(int index, std::string_view text) {
  if (const int code =
          sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
      code != SQLITE_OK) {
    database_->Fail(code);
  }
}

void Statement::BindNull(int index) {
  if (const int code = sqlite3_bind_null(statement_, index); code != SQLITE_OK) {
    database_->Fail(code);
  }
}

bool Statement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) {
    return true;
  }
  if (code == SQLITE_DONE) {
    return false;
  }
  // The statement must be usable again after the error is reported.
  sqlite3_reset(statement_);
  database_->Fail(code);
}

void Statement::Run() {
  while (Step()) {
  }
  Reset();
}

void Statement::Reset() {
  sqlite3_reset(statement_);
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

double Statement::Double(int column) const {
  return sqlite3_column_double(statement_, column);
}

std::int64_t Statement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text == nullptr
             ? std::string()
             : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

}  // namespace velmora::history
