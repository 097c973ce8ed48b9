// SQLite connection, statement and transaction wrappers (see sqlite_db.h).
#include "sqlite_db.h"

namespace edb {

namespace {
constexpr int kBusyTimeoutMs = 30000;
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v2(db_, sql, -1, &st_, nullptr) != SQLITE_OK) {
    throw SqlError(std::string("prepare failed: ") + sqlite3_errmsg(db_));
  }
}

Statement::~Statement() {
  if (st_) sqlite3_finalize(st_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), st_(other.st_) { other.st_ = nullptr; }

void Statement::Check(int rc, const char* what) {
  if (rc != SQLITE_OK) throw SqlError(std::string(what) + ": " + sqlite3_errmsg(db_));
}

Statement& Statement::BindText(int index, std::string_view text) {
  Check(sqlite3_bind_text64(st_, index, text.data() ? text.data() : "", text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8),
        "bind");
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes, bool copy) {
  Check(sqlite3_bind_blob64(st_, index, bytes.data() ? bytes.data() : "", bytes.size(),
                            copy ? SQLITE_TRANSIENT : SQLITE_STATIC),
        "bind");
  return *this;
}

Statement& Statement::BindInt(int index, int64_t value) {
  Check(sqlite3_bind_int64(st_, index, value), "bind");
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw SqlError(std::string("step failed: ") + sqlite3_errmsg(db_));
}

void Statement::Reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

std::string_view Statement::Bytes(int column) {
  const void* data = sqlite3_column_blob(st_, column);
  int size = sqlite3_column_bytes(st_, column);
  if (!data || size <= 0) return std::string_view();
  return std::string_view(static_cast<const char*>(data), static_cast<size_t>(size));
}

int64_t Statement::Int(int column) { return sqlite3_column_int64(st_, column); }

bool Statement::IsNull(int column) { return sqlite3_column_type(st_, column) == SQLITE_NULL; }

Database::Database(const std::string& file, Mode mode) {
  int flags = mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    throw SqlError("cannot open " + file + ": " + message);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 1);
}

Database::~Database() {
  if (db_) sqlite3_close(db_);
}

void Database::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw SqlError(text);
  }
}

Transaction::Transaction(Database& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (!open_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (const SqlError&) {
    // The connection rolled back by itself (for instance after a full disk).
  }
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace edb
