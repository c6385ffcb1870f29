#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::history {

// A failed SQLite call: its result code and a message a user can act on ("the disk is full", "another
// program holds the file") followed by SQLite's own words.
class SqliteError final : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message);
  int Code() const { return code_; }
  // The primary result code, without SQLite's extended bits.
  int PrimaryCode() const { return code_ & 0xFF; }

 private:
  int code_;
};

class Statement;

// One connection to a database file, closed with the object. Calls throw SqliteError.
class Database final {
 public:
  enum class Mode { kReadWriteCreate, kReadOnly };

  Database(const std::filesystem::path& path, Mode mode);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs statements that return no rows.
  void Execute(std::string_view sql);
  Statement Prepare(std::string_view sql);
  std::int64_t LastInsertRowId() const;
  bool InTransaction() const;

  sqlite3* Handle() const { return db_; }
  // Throws the error the last call on this connection left, worded for the user.
  [[noreturn]] void Fail(int code) const;

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement, finalised with the object. Parameters are numbered from 1, columns from 0.
class Statement final {
 public:
  Statement(Database& database, std::string_view sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, double value);
  void Bind(int index, std::int64_t value);
  void Bind(int index, int value) { Bind(index, static_cast<std::int64_t>(value)); }
  void Bind(int index, std::string_view text);
  void BindNull(int index);

  // True while a row is there to read; false once the statement is done.
  bool Step();
  // Steps a statement that returns no rows, then makes it ready for the next use.
  void Run();
  // Ready for the next use; bindings stay.
  void Reset();

  bool IsNull(int column) const;
  double Double(int column) const;
  std::int64_t Integer(int column) const;
  std::string Text(int column) const;

 private:
  Database* database_;
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace velmora::history
