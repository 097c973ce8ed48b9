// The SQLite store and the demonstration seed, in process.
#include <gtest/gtest.h>

#include <stdexcept>

#include "auth_check.h"
#include "password.h"
#include "seed.h"
#include "server/server_client.h"
#include "sqlite_db.h"
#include "store.h"
#include "support/temp_folder.h"

namespace {

using test_support::TempFolder;

// Hands out the records in turn, and throws when it comes to record failAt.
struct ListSource : edb::RecordSource {
  explicit ListSource(std::vector<std::string> r, size_t fail = size_t(-1)) : records(std::move(r)), failAt(fail) {}
  bool Next(std::string_view* record) override {
    if (next == failAt) throw std::runtime_error("broken off");
    if (next >= records.size()) return false;
    *record = records[next++];
    return true;
  }
  std::vector<std::string> records;
  size_t failAt, next = 0;
};

class ServerStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(edb::SeedDemo(store_)); }
  // The records of kind (list 0) as the snapshot taken reads them, or one taken now.
  std::vector<std::string> ReadAll(int64_t edb, const char* kind, edb::ReadSnapshot* taken = nullptr) {
    edb::ReadSnapshot now(store_.file());
    edb::ReadSnapshot& snapshot = taken ? *taken : now;
    snapshot.Start(edb, kind, 0);
    std::vector<std::string> out;
    for (std::string_view body; snapshot.Next(&body);) out.emplace_back(body);
    return out;
  }
  TempFolder folder_;
  edb::Store store_{folder_.Path("edb.sqlite")};
};

TEST(ServerSeed, SeedRunsOnceOnly) {
  TempFolder folder;
  {
    edb::Store store(folder.Path("edb.sqlite"));
    EXPECT_FALSE(store.HasData());
    EXPECT_TRUE(edb::SeedDemo(store));
    EXPECT_FALSE(edb::SeedDemo(store));
    EXPECT_EQ((std::vector<std::string>{"REF", "TEST", "ARCHIVE"}), store.Databases());
  }
  // Reopened, the data are there and seeding again changes nothing.
  edb::Store store(folder.Path("edb.sqlite"));
  EXPECT_FALSE(edb::SeedDemo(store));
  std::vector<std::string> names;
  EXPECT_EQ(edb::Lookup::kOk, store.EdbNames("REF", "demo", &names));
  EXPECT_EQ((std::vector<std::string>{"Gothenburg2025", "Malmo2024"}), names);
  std::vector<edb::LoginUser> users = store.LoginUsersByPrefix("demo");
  ASSERT_EQ(1u, users.size());
  EXPECT_TRUE(edb::PasswordMatches(users[0], "demo"));
  EXPECT_FALSE(edb::PasswordMatches(users[0], "demo "));
}

TEST_F(ServerStore, AFailingSaveKeepsTheOldRecords) {
  edb::EdbRef ref = store_.FindEdb("REF", "anna", "Stockholm2023");
  ASSERT_EQ(edb::Lookup::kOk, ref.status);
  ListSource first({"A\n", "B\n"}), broken({"C\n", "D\n", "E\n"}, 2), second({"F\n"});
  EXPECT_EQ(2u, store_.ReplaceRecords(ref.id, "veh", 0, first));
  EXPECT_THROW(store_.ReplaceRecords(ref.id, "veh", 0, broken), std::runtime_error);
  EXPECT_EQ((std::vector<std::string>{"A\n", "B\n"}), ReadAll(ref.id, "veh"));
  EXPECT_EQ(1u, store_.ReplaceRecords(ref.id, "veh", 0, second));
  EXPECT_EQ((std::vector<std::string>{"F\n"}), ReadAll(ref.id, "veh"));
}

TEST_F(ServerStore, SnapshotsDoNotSeeLaterSaves) {
  int64_t edb = store_.FindEdb("REF", "demo", "Malmo2024").id;
  ListSource first({"A\n", "B\n"}), second({"CCCC\n"});
  store_.ReplaceRecords(edb, "road", 0, first);
  edb::ReadSnapshot snapshot(store_.file());
  uint64_t bytes = 0, count = 0;
  snapshot.Measure(edb, "road", 0, &bytes, &count);
  store_.ReplaceRecords(edb, "road", 0, second);
  EXPECT_EQ((std::vector<std::string>{"A\n", "B\n"}), ReadAll(edb, "road", &snapshot));
  EXPECT_EQ(4u, bytes);
  EXPECT_EQ(2u, count);
}

// A store written before roles and slow hashes: one salted SHA-256 round.
TEST(ServerStoreUpgrade, OldStoresGainRolesAndSlowHashesOnLogin) {
  TempFolder folder;
  const std::string salt = "00112233445566778899aabbccddeeff";
  {
    edb::Database old(folder.Path("edb.sqlite"), edb::Database::Mode::kReadWrite);
    old.Exec(
        "CREATE TABLE login_users(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, prefix TEXT NOT NULL,"
        " salt TEXT NOT NULL, hash TEXT NOT NULL);"
        "CREATE TABLE databases(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
        "CREATE TABLE edb_users(id INTEGER PRIMARY KEY, database_id INTEGER NOT NULL REFERENCES databases(id),"
        " name TEXT NOT NULL, description TEXT NOT NULL DEFAULT '', UNIQUE(database_id, name));"
        "INSERT INTO databases(name) VALUES ('REF');"
        "INSERT INTO edb_users(database_id, name) VALUES (1, 'global'), (1, 'olle');"
        // The SHA-256 of the salt's bytes followed by the password "gammal".
        "INSERT INTO login_users(name, prefix, salt, hash) VALUES ('olle', 'olle', '00112233445566778899aabbccddeeff',"
        " '0892361392c29da228cb19a930816b89d0eb3001f9e3ae508974538b7deaa177');");
  }
  edb::Store store(folder.Path("edb.sqlite"));
  EXPECT_TRUE(store.IsSharedEdbUser("REF", "global"));
  EXPECT_FALSE(store.IsSharedEdbUser("REF", "olle"));
  edb::LoginUser olle;
  ASSERT_TRUE(store.FindLoginUser("olle", &olle));
  EXPECT_FALSE(olle.admin);
  EXPECT_TRUE(edb::NeedsRehash(olle));

  edb::AuthChecker checker(store, edb::AuthSettings());
  EXPECT_FALSE(checker.Check(servertest::MakeAuthenticator("olle", "fel"), "10.1.1.1").ok);
  ASSERT_TRUE(store.FindLoginUser("olle", &olle));
  EXPECT_EQ(64u, olle.hash.size());  // a wrong password upgrades nothing
  EXPECT_TRUE(checker.Check(servertest::MakeAuthenticator("olle", "gammal"), "10.1.1.1").ok);
  ASSERT_TRUE(store.FindLoginUser("olle", &olle));
  EXPECT_EQ(0u, olle.hash.rfind("pbkdf2-sha256$310000$", 0)) << olle.hash;
  EXPECT_NE(salt, olle.salt);
  EXPECT_FALSE(edb::NeedsRehash(olle));
  // The new record is checked afresh (another authenticator): same password only.
  EXPECT_TRUE(checker.Check(servertest::MakeAuthenticator("olle", "gammal", 7), "10.1.1.1").ok);
  EXPECT_FALSE(checker.Check(servertest::MakeAuthenticator("olle", "fel", 7), "10.1.1.1").ok);
}

}  // namespace
