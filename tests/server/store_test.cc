// The SQLite store and the demonstration seed, in process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "password.h"
#include "seed.h"
#include "store.h"

namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "edb-store-test-XXXXXX").string();
    path_ = mkdtemp(&pattern[0]) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File() const { return path_ + "/edb.sqlite"; }

 private:
  std::string path_;
};

class ListSource : public edb::RecordSource {
 public:
  ListSource(std::vector<std::string> records, size_t failAt = size_t(-1))
      : records_(std::move(records)), failAt_(failAt) {}
  bool Next(std::string_view* record) override {
    if (next_ == failAt_) throw std::runtime_error("broken off");
    if (next_ >= records_.size()) return false;
    *record = records_[next_++];
    return true;
  }

 private:
  std::vector<std::string> records_;
  size_t failAt_;
  size_t next_ = 0;
};

std::vector<std::string> ReadAll(edb::Store& store, int64_t edb, const char* kind) {
  edb::ReadSnapshot snapshot(store.file());
  snapshot.Start(edb, kind, 0);
  std::vector<std::string> out;
  std::string_view body;
  while (snapshot.Next(&body)) out.emplace_back(body);
  return out;
}

TEST(ServerStore, SeedRunsOnceOnly) {
  TempFolder folder;
  {
    edb::Store store(folder.File());
    EXPECT_FALSE(store.HasData());
    EXPECT_TRUE(edb::SeedDemo(store));
    EXPECT_FALSE(edb::SeedDemo(store));
    EXPECT_EQ((std::vector<std::string>{"REF", "TEST", "ARCHIVE"}), store.Databases());
  }
  // Reopened, the data are there and seeding again changes nothing.
  edb::Store store(folder.File());
  EXPECT_FALSE(edb::SeedDemo(store));
  std::vector<std::string> names;
  EXPECT_EQ(edb::Lookup::kOk, store.EdbNames("REF", "demo", &names));
  EXPECT_EQ((std::vector<std::string>{"Gothenburg2025", "Malmo2024"}), names);
  std::vector<edb::LoginUser> users = store.LoginUsersByPrefix("demo");
  ASSERT_EQ(1u, users.size());
  EXPECT_TRUE(edb::PasswordMatches(users[0], "demo"));
  EXPECT_FALSE(edb::PasswordMatches(users[0], "demo "));
}

TEST(ServerStore, AFailingSaveKeepsTheOldRecords) {
  TempFolder folder;
  edb::Store store(folder.File());
  ASSERT_TRUE(edb::SeedDemo(store));
  edb::EdbRef ref = store.FindEdb("REF", "anna", "Stockholm2023");
  ASSERT_EQ(edb::Lookup::kOk, ref.status);
  ListSource first({"A\n", "B\n"});
  EXPECT_EQ(2u, store.ReplaceRecords(ref.id, "veh", 0, first));
  ListSource broken({"C\n", "D\n", "E\n"}, 2);
  EXPECT_THROW(store.ReplaceRecords(ref.id, "veh", 0, broken), std::runtime_error);
  EXPECT_EQ((std::vector<std::string>{"A\n", "B\n"}), ReadAll(store, ref.id, "veh"));
  // The store still works after the rollback.
  ListSource second({"F\n"});
  EXPECT_EQ(1u, store.ReplaceRecords(ref.id, "veh", 0, second));
  EXPECT_EQ((std::vector<std::string>{"F\n"}), ReadAll(store, ref.id, "veh"));
}

TEST(ServerStore, SnapshotsDoNotSeeLaterSaves) {
  TempFolder folder;
  edb::Store store(folder.File());
  ASSERT_TRUE(edb::SeedDemo(store));
  int64_t edb = store.FindEdb("REF", "demo", "Malmo2024").id;
  ListSource first({"A\n", "B\n"});
  store.ReplaceRecords(edb, "road", 0, first);
  edb::ReadSnapshot snapshot(store.file());
  uint64_t bytes = 0, count = 0;
  snapshot.Measure(edb, "road", 0, &bytes, &count);
  ListSource second({"CCCC\n"});
  store.ReplaceRecords(edb, "road", 0, second);
  snapshot.Start(edb, "road", 0);
  std::string seen;
  std::string_view body;
  while (snapshot.Next(&body)) seen += body;
  EXPECT_EQ("A\nB\n", seen);
  EXPECT_EQ(4u, bytes);
  EXPECT_EQ(2u, count);
}

}  // namespace
