// Thin RAII wrappers around SQLite connections and statements; every failure
// throws SqlError, so that callers roll back and answer with an error line.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace edb {

class SqlError : public std::runtime_error {
 public:
  explicit SqlError(const std::string& what) : std::runtime_error(what) {}
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& operator=(Statement&&) = delete;

  // Binds bytes as TEXT (names) or BLOB (record bodies, file contents); the
  // bytes are copied only when `copy` is true.
  Statement& BindText(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes, bool copy = true);
  Statement& BindInt(int index, int64_t value);

  // True when a row is ready, false when the statement is done.
  bool Step();
  void Reset();

  // Column values of the current row; the view lives until the next Step or Reset.
  std::string_view Bytes(int column);
  int64_t Int(int column);
  bool IsNull(int column);

 private:
  void Check(int rc, const char* what);
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

class Database {
 public:
  enum class Mode { kReadWrite, kReadOnly };
  Database(const std::string& file, Mode mode);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Exec(const char* sql);
  Statement Prepare(const char* sql) { return Statement(db_, sql); }
  int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
  int Changes() const { return sqlite3_changes(db_); }

 private:
  sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE on construction; ROLLBACK unless Commit was called.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Database& db_;
  bool open_ = true;
};

}  // namespace edb
