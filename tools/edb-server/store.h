// The server's state in one SQLite file: login users, databases, EDB users,
// EDBs, resource files and records.  All access through one connection is
// serialised by a mutex; reads that stream large replies use a ReadSnapshot.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sqlite_db.h"

namespace edb {

// The name of the EDB user whose single EDB is a database's shared EDB.
constexpr std::string_view kGlobalEdbUser = "global";
// The name under which that shared EDB is stored and listed.
constexpr std::string_view kGlobalEdbName = "global";

struct LoginUser {
  std::string name;
  std::string salt;    // hex
  std::string hash;    // the password hash record (see password.h)
  bool admin = false;  // may read and write every EDB user's EDBs
};

struct EdbUserEntry {
  std::string name;
  std::string description;
};

enum class Lookup { kOk, kNoDatabase, kNoEdbUser, kNoEdb };

struct EdbRef {
  Lookup status = Lookup::kNoDatabase;
  int64_t id = 0;
};

// Hands the records of one save to the store one at a time.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // False when no record is left; the view must stay valid until the next call.
  virtual bool Next(std::string_view* record) = 0;
};

class Store {
 public:
  // Opens (creating when needed) the file and its tables; WAL journal and a
  // busy time-out, so that another process may write at the same time.
  explicit Store(const std::string& file);

  const std::string& file() const { return file_; }

  // True when any database or login user exists.
  bool HasData();

  // Login users.  AddLoginUser returns true for a new user, false when an
  // existing user's password was replaced.
  bool AddLoginUser(const LoginUser& user);
  std::vector<LoginUser> LoginUsersByPrefix(std::string_view prefix);
  // False when there is no such user.
  bool FindLoginUser(std::string_view name, LoginUser* out);
  // Replaces the salt and hash of user `upgraded.name`, but only while the
  // stored hash is still `oldHash` (a password changed meanwhile wins).
  bool ReplacePasswordHash(const LoginUser& upgraded, std::string_view oldHash);

  // True when the EDB user of the database is shared: readable by every
  // login user, writable by administrators.
  bool IsSharedEdbUser(std::string_view database, std::string_view edbUser);

  // Catalogue.
  std::vector<std::string> Databases();
  bool EdbUsers(std::string_view database, std::vector<EdbUserEntry>* out);
  Lookup EdbNames(std::string_view database, std::string_view edbUser, std::vector<std::string>* out);
  EdbRef FindEdb(std::string_view database, std::string_view edbUser, std::string_view edbName);

  enum class Created { kOk, kNoDatabase, kExists };
  // Creates an empty EDB for owner (made an EDB user of the database when needed).
  Created CreateEdb(std::string_view database, std::string_view owner, std::string_view name);

  // Building blocks of the seed, for use inside InTransaction only; the Add
  // operations return the new row's id.
  bool PutLoginUser(const LoginUser& user);
  int64_t AddDatabase(std::string_view name);
  int64_t AddEdbUser(int64_t databaseId, std::string_view name, std::string_view description, bool shared = false);
  int64_t AddEdb(int64_t edbUserId, std::string_view name);
  void PutResourceFile(int64_t edbId, std::string_view content);
  size_t PutRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source);

  // Resource file: its lines, each followed by "\n".
  std::string ResourceFile(int64_t edbId);
  void SaveResourceFile(int64_t edbId, std::string_view content);

  // Replaces all records of (kind, list) of the EDB by those of source in one
  // transaction; returns how many were stored.  Throws (storing nothing) when
  // the store fails.
  size_t ReplaceRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source);
  // Adds the records of source after those of (kind, list) of the EDB in one
  // transaction; returns how many were added.  Throws (storing nothing) when
  // the store fails.
  size_t AppendRecords(int64_t edbId, std::string_view kind, int64_t list, RecordSource& source);

  // The kinds of the EDB's records (list 0) that begin with prefix, without
  // it, sorted.
  std::vector<std::string> KindsWithPrefix(int64_t edbId, std::string_view prefix);

  // Runs f with the store locked inside one write transaction (seeding).
  template <typename F>
  void InTransaction(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction tx(db_);
    f();
    tx.Commit();
  }

 private:
  EdbRef FindEdbLocked(std::string_view database, std::string_view edbUser, std::string_view edbName);
  int64_t DatabaseId(std::string_view name);  // 0 when unknown
  int64_t EdbUserId(int64_t databaseId, std::string_view name);

  std::string file_;
  std::mutex mutex_;
  Database db_;
};

// A consistent read view of the store's file through its own connection and
// read transaction, for replies that are streamed after the request handler
// returned.  One thread at a time.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(const std::string& file);
  ~ReadSnapshot();

  // Total body bytes and number of the records of (edb, kind, list).
  void Measure(int64_t edbId, std::string_view kind, int64_t list, uint64_t* bytes, uint64_t* count);
  // Starts an ordered walk over those records; Next gives one body per call
  // (valid until the next call), false at the end.
  void Start(int64_t edbId, std::string_view kind, int64_t list);
  bool Next(std::string_view* body);

 private:
  Database db_;
  std::unique_ptr<Statement> cursor_;
};

}  // namespace edb
