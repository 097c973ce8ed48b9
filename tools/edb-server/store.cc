// The SQLite store of the substitute server (see store.h).
#include "store.h"

namespace edb {

namespace {

const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
INSERT OR IGNORE INTO meta(key, value) VALUES ('schema', '1');
CREATE TABLE IF NOT EXISTS login_users(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  prefix TEXT NOT NULL,
  salt TEXT NOT NULL,
  hash TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS login_users_prefix ON login_users(prefix);
CREATE TABLE IF NOT EXISTS databases(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS edb_users(
  id INTEGER PRIMARY KEY,
  database_id INTEGER NOT NULL REFERENCES databases(id),
  name TEXT NOT NULL,
  description TEXT NOT NULL DEFAULT '',
  UNIQUE(database_id, name));
CREATE TABLE IF NOT EXISTS edbs(
  id INTEGER PRIMARY KEY,
  edb_user_id INTEGER NOT NULL REFERENCES edb_users(id),
  name TEXT NOT NULL,
  UNIQUE(edb_user_id, name));
CREATE TABLE IF NOT EXISTS resource_files(
  edb_id INTEGER PRIMARY KEY REFERENCES edbs(id),
  content BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS records(
  id INTEGER PRIMARY KEY,
  edb_id INTEGER NOT NULL REFERENCES edbs(id),
  kind TEXT NOT NULL,
  list INTEGER NOT NULL,
  seq INTEGER NOT NULL,
  body BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS records_order ON records(edb_id, kind, list, seq);
)SQL";

// Columns that stores made before the access rules lack; the shared EDB user
// "global" becomes shared when its column is added.
const char* const kAddAdminColumn = "ALTER TABLE login_users ADD COLUMN admin INTEGER NOT NULL DEFAULT 0";
const char* const kAddSharedColumn =
    "ALTER TABLE edb_users ADD COLUMN shared INTEGER NOT NULL DEFAULT 0;"
    "UPDATE edb_users SET shared = 1 WHERE name = 'global'";

bool HasColumn(Database& db, const std::string& table, std::string_view column) {
  Statement st = db.Prepare(("PRAGMA table_info(" + table + ")").c_str());
  while (st.Step()) {
    if (st.Bytes(1) == column) return true;
  }
  return false;
}

constexpr size_t kUserPrefixBytes = 10;

std::string_view Prefix(std::string_view name) { return name.substr(0, kUserPrefixBytes); }

}  // namespace

Store::Store(const std::string& file) : file_(file), db_(file, Database::Mode::kReadWrite) {
  db_.Exec("PRAGMA journal_mode = WAL");
  db_.Exec("PRAGMA synchronous = NORMAL");
  // After a large save the write-ahead log shrinks back once checkpointed.
  db_.Exec("PRAGMA journal_size_limit = 67108864");
  db_.Exec("PRAGMA foreign_keys = ON");
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  db_.Exec(kSchema);
  if (!HasColumn(db_, "login_users", "admin")) db_.Exec(kAddAdminColumn);
  if (!HasColumn(db_, "edb_users", "shared")) db_.Exec(kAddSharedColumn);
  tx.Commit();
}

bool Store::HasData() {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare(
      "SELECT EXISTS(SELECT 1 FROM databases) OR EXISTS(SELECT 1 FROM login_users)");
  return st.Step() && st.Int(0) != 0;
}

bool Store::AddLoginUser(const LoginUser& user) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  bool added = PutLoginUser(user);
  tx.Commit();
  return added;
}

bool Store::PutLoginUser(const LoginUser& user) {
  Statement update = db_.Prepare("UPDATE login_users SET salt = ?1, hash = ?2, admin = ?3 WHERE name = ?4");
  update.BindText(1, user.salt).BindText(2, user.hash).BindInt(3, user.admin).BindText(4, user.name).Step();
  if (db_.Changes() != 0) return false;
  Statement insert =
      db_.Prepare("INSERT INTO login_users(name, prefix, salt, hash, admin) VALUES (?1, ?2, ?3, ?4, ?5)");
  insert.BindText(1, user.name).BindText(2, Prefix(user.name)).BindText(3, user.salt).BindText(4, user.hash);
  insert.BindInt(5, user.admin).Step();
  return true;
}

namespace {

LoginUser LoginUserRow(Statement& st) {
  LoginUser user{std::string(st.Bytes(0)), std::string(st.Bytes(1)), std::string(st.Bytes(2))};
  user.admin = st.Int(3) != 0;
  return user;
}

}  // namespace

std::vector<LoginUser> Store::LoginUsersByPrefix(std::string_view prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare("SELECT name, salt, hash, admin FROM login_users WHERE prefix = ?1 ORDER BY name");
  st.BindText(1, Prefix(prefix));
  std::vector<LoginUser> users;
  while (st.Step()) users.push_back(LoginUserRow(st));
  return users;
}

bool Store::FindLoginUser(std::string_view name, LoginUser* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare("SELECT name, salt, hash, admin FROM login_users WHERE name = ?1");
  st.BindText(1, name);
  if (!st.Step()) return false;
  *out = LoginUserRow(st);
  return true;
}

bool Store::ReplacePasswordHash(const LoginUser& upgraded, std::string_view oldHash) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare("UPDATE login_users SET salt = ?1, hash = ?2 WHERE name = ?3 AND hash = ?4");
  st.BindText(1, upgraded.salt).BindText(2, upgraded.hash).BindText(3, upgraded.name).BindText(4, oldHash).Step();
  return db_.Changes() != 0;
}

bool Store::IsSharedEdbUser(std::string_view database, std::string_view edbUser) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare(
      "SELECT u.shared FROM edb_users u JOIN databases d ON d.id = u.database_id WHERE d.name = ?1 AND u.name = ?2");
  st.BindText(1, database).BindText(2, edbUser);
  return st.Step() && st.Int(0) != 0;
}

std::vector<std::string> Store::Databases() {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare("SELECT name FROM databases ORDER BY id");
  std::vector<std::string> names;
  while (st.Step()) names.emplace_back(st.Bytes(0));
  return names;
}

int64_t Store::DatabaseId(std::string_view name) {
  Statement st = db_.Prepare("SELECT id FROM databases WHERE name = ?1");
  st.BindText(1, name);
  return st.Step() ? st.Int(0) : 0;
}

int64_t Store::EdbUserId(int64_t databaseId, std::string_view name) {
  Statement st = db_.Prepare("SELECT id FROM edb_users WHERE database_id = ?1 AND name = ?2");
  st.BindInt(1, databaseId).BindText(2, name);
  return st.Step() ? st.Int(0) : 0;
}

bool Store::EdbUsers(std::string_view database, std::vector<EdbUserEntry>* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t databaseId = DatabaseId(database);
  if (!databaseId) return false;
  Statement st = db_.Prepare("SELECT name, description FROM edb_users WHERE database_id = ?1 ORDER BY id");
  st.BindInt(1, databaseId);
  while (st.Step()) out->push_back(EdbUserEntry{std::string(st.Bytes(0)), std::string(st.Bytes(1))});
  return true;
}

Lookup Store::EdbNames(std::string_view database, std::string_view edbUser, std::vector<std::string>* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t databaseId = DatabaseId(database);
  if (!databaseId) return Lookup::kNoDatabase;
  int64_t userId = EdbUserId(databaseId, edbUser);
  if (!userId) return Lookup::kNoEdbUser;
  Statement st = db_.Prepare("SELECT name FROM edbs WHERE edb_user_id = ?1 ORDER BY id");
  st.BindInt(1, userId);
  while (st.Step()) out->emplace_back(st.Bytes(0));
  return Lookup::kOk;
}

EdbRef Store::FindEdb(std::string_view database, std::string_view edbUser, std::string_view edbName) {
  std::lock_guard<std::mutex> lock(mutex_);
  return FindEdbLocked(database, edbUser, edbName);
}

EdbRef Store::FindEdbLocked(std::string_view database, std::string_view edbUser, std::string_view edbName) {
  EdbRef ref;
  int64_t databaseId = DatabaseId(database);
  if (!databaseId) return ref;
  int64_t userId = EdbUserId(databaseId, edbUser);
  if (!userId) {
    ref.status = Lookup::kNoEdbUser;
    return ref;
  }
  // The shared EDB answers to any name.
  bool global = edbUser == kGlobalEdbUser;
  Statement st = db_.Prepare(global ? "SELECT id FROM edbs WHERE edb_user_id = ?1 ORDER BY id LIMIT 1"
                                    : "SELECT id FROM edbs WHERE edb_user_id = ?1 AND name = ?2");
  st.BindInt(1, userId);
  if (!global) st.BindText(2, edbName);
  if (!st.Step()) {
    ref.status = Lookup::kNoEdb;
    return ref;
  }
  ref.status = Lookup::kOk;
  ref.id = st.Int(0);
  return ref;
}

Store::Created Store::CreateEdb(std::string_view database, std::string_view owner, std::string_view name) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  int64_t databaseId = DatabaseId(database);
  if (!databaseId) return Created::kNoDatabase;
  int64_t userId = EdbUserId(databaseId, owner);
  if (!userId) {
    Statement insert = db_.Prepare("INSERT INTO edb_users(database_id, name) VALUES (?1, ?2)");
    insert.BindInt(1, databaseId).BindText(2, owner).Step();
    userId = db_.LastInsertId();
  }
  Statement exists = db_.Prepare("SELECT 1 FROM edbs WHERE edb_user_id = ?1 AND name = ?2");
  exists.BindInt(1, userId).BindText(2, name);
  if (exists.Step()) return Created::kExists;
  Statement insert = db_.Prepare("INSERT INTO edbs(edb_user_id, name) VALUES (?1, ?2)");
  insert.BindInt(1, userId).BindText(2, name).Step();
  tx.Commit();
  return Created::kOk;
}

int64_t Store::AddDatabase(std::string_view name) {
  Statement st = db_.Prepare("INSERT INTO databases(name) VALUES (?1)");
  st.BindText(1, name).Step();
  return db_.LastInsertId();
}

int64_t Store::AddEdbUser(int64_t databaseId, std::string_view name, std::string_view description, bool shared) {
  Statement st =
      db_.Prepare("INSERT INTO edb_users(database_id, name, description, shared) VALUES (?1, ?2, ?3, ?4)");
  st.BindInt(1, databaseId).BindText(2, name).BindText(3, description).BindInt(4, shared).Step();
  return db_.LastInsertId();
}

int64_t Store::AddEdb(int64_t edbUserId, std::string_view name) {
  Statement st = db_.Prepare("INSERT INTO edbs(edb_user_id, name) VALUES (?1, ?2)");
  st.BindInt(1, edbUserId).BindText(2, name).Step();
  return db_.LastInsertId();
}

std::string Store::ResourceFile(int64_t edbId) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare("SELECT content FROM resource_files WHERE edb_id = ?1");
  st.BindInt(1, edbId);
  return st.Step() ? std::string(st.Bytes(0)) : std::string();
}

void Store::SaveResourceFile(int64_t edbId, std::string_view content) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  PutResourceFile(edbId, content);
  tx.Commit();
}

void Store::PutResourceFile(int64_t edbId, std::string_view content) {
  Statement st = db_.Prepare(
      "INSERT INTO resource_files(edb_id, content) VALUES (?1, ?2) "
      "ON CONFLICT(edb_id) DO UPDATE SET content = excluded.content");
  st.BindInt(1, edbId).BindBlob(2, content).Step();
}

size_t Store::ReplaceRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  size_t count = PutRecords(edbId, kind, list, source);
  tx.Commit();
  return count;
}

size_t Store::AppendRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction tx(db_);
  Statement last = db_.Prepare("SELECT COALESCE(MAX(seq) + 1, 0) FROM records WHERE edb_id = ?1 AND kind = ?2 AND list = ?3");
  last.BindInt(1, edbId).BindText(2, kind).BindInt(3, list);
  int64_t seq = last.Step() ? last.Int(0) : 0;
  last.Reset();
  Statement insert = db_.Prepare("INSERT INTO records(edb_id, kind, list, seq, body) VALUES (?1, ?2, ?3, ?4, ?5)");
  size_t count = 0;
  std::string_view record;
  while (source.Next(&record)) {
    insert.Reset();
    insert.BindInt(1, edbId).BindText(2, kind).BindInt(3, list).BindInt(4, seq + static_cast<int64_t>(count));
    insert.BindBlob(5, record, false);
    insert.Step();
    ++count;
  }
  tx.Commit();
  return count;
}

size_t Store::PutRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source) {
  Statement remove = db_.Prepare("DELETE FROM records WHERE edb_id = ?1 AND kind = ?2 AND list = ?3");
  remove.BindInt(1, edbId).BindText(2, kind).BindInt(3, list).Step();
  Statement insert = db_.Prepare("INSERT INTO records(edb_id, kind, list, seq, body) VALUES (?1, ?2, ?3, ?4, ?5)");
  size_t count = 0;
  std::string_view record;
  while (source.Next(&record)) {
    insert.Reset();
    insert.BindInt(1, edbId).BindText(2, kind).BindInt(3, list).BindInt(4, static_cast<int64_t>(count));
    insert.BindBlob(5, record, false);
    insert.Step();
    ++count;
  }
  return count;
}

std::vector<std::string> Store::KindsWithPrefix(int64_t edbId, std::string_view prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement st = db_.Prepare(
      "SELECT DISTINCT kind FROM records WHERE edb_id = ?1 AND list = 0 AND substr(kind, 1, ?2) = ?3 ORDER BY kind");
  st.BindInt(1, edbId).BindInt(2, static_cast<int64_t>(prefix.size())).BindText(3, prefix);
  std::vector<std::string> kinds;
  while (st.Step()) kinds.emplace_back(st.Bytes(0).substr(prefix.size()));
  return kinds;
}

ReadSnapshot::ReadSnapshot(const std::string& file) : db_(file, Database::Mode::kReadOnly) {
  db_.Exec("BEGIN");
}

ReadSnapshot::~ReadSnapshot() {
  cursor_.reset();
  try {
    db_.Exec("COMMIT");
  } catch (const SqlError&) {
    // Nothing was written; closing the connection ends the transaction.
  }
}

void ReadSnapshot::Measure(int64_t edbId, std::string_view kind, int64_t list, uint64_t* bytes, uint64_t* count) {
  Statement st = db_.Prepare(
      "SELECT COALESCE(SUM(LENGTH(body)), 0), COUNT(*) FROM records WHERE edb_id = ?1 AND kind = ?2 AND list = ?3");
  st.BindInt(1, edbId).BindText(2, kind).BindInt(3, list);
  st.Step();
  *bytes = static_cast<uint64_t>(st.Int(0));
  *count = static_cast<uint64_t>(st.Int(1));
}

void ReadSnapshot::Start(int64_t edbId, std::string_view kind, int64_t list) {
  cursor_.reset();
  cursor_ = std::make_unique<Statement>(
      db_.Prepare("SELECT body FROM records WHERE edb_id = ?1 AND kind = ?2 AND list = ?3 ORDER BY seq"));
  cursor_->BindInt(1, edbId).BindText(2, kind).BindInt(3, list);
}

bool ReadSnapshot::Next(std::string_view* body) {
  if (!cursor_) return false;
  if (!cursor_->Step()) {
    cursor_.reset();
    return false;
  }
  *body = cursor_->Bytes(0);
  return true;
}

}  // namespace edb
