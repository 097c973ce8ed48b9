// The incremental transfer protocol with a stand-in kind: what the real
// server cannot make happen (a read failing mid-reply, a writer that cannot
// open) and what it cannot show (the list sorted, the writer released).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"

namespace {

class FakeLoad : public LoadKind {
 public:
  explicit FakeLoad(int records) : records_(records) {}
  bool OpenWriter() override {
    ++opened;
    writer_ = true;
    return openOk;
  }
  void CloseWriter() override {
    if (writer_) ++closed;
    writer_ = false;
  }
  bool HasWriter() const override { return writer_; }
  void ClearList() override { list.clear(); }
  void SortList() override { sorted = true; }
  int32_t ReadRecord(bool first) override {
    if (first) next_ = 0;
    if (failAt >= 0 && next_ == failAt) return -1;
    return next_ < records_ ? (++next_, 1) : 0;
  }
  bool StoreRecord() override {
    list.push_back(next_);
    return true;
  }

  int opened = 0, closed = 0, failAt = -1;
  bool openOk = true, sorted = false;
  std::vector<int> list;

 private:
  int records_, next_ = 0;
  bool writer_ = false;
};

struct Call {
  int32_t result;
  std::wstring count;
  bool operator==(const Call& o) const { return result == o.result && count == o.count; }
};
std::ostream& operator<<(std::ostream& os, const Call& c) {
  return os << c.result << "/" << std::string(c.count.begin(), c.count.end());
}

Call Load(TransferState& state, LoadKind& kind, int32_t mode) {
  wchar_t count[CountBufferSize] = L"?";
  int32_t r = RunLoad("VKTestLoad", "", state, kind, mode, count);
  return {r, count};
}

// Calls of one Load from a fresh state: the answers and counts, the records
// listed, and whether the transfer ended by itself (list sorted, writer closed).
TEST(TransferLoad, BatchesEndsFailuresAndAborts) {
  struct Case {
    const char* what;
    int records, failAt;
    std::vector<std::pair<int32_t, Call>> calls;  // mode, expected answer
    size_t listed;
    bool ended;
  };
  const Case cases[] = {
      {"25 in three calls", 25, -1, {{1, {1, L"10"}}, {0, {1, L"20"}}, {0, {0, L"25"}}}, 25, true},
      {"none", 0, -1, {{1, {0, L"0"}}}, 0, true},
      {"read failure", 30, 14, {{1, {1, L"10"}}, {0, {-1, L"14"}}}, 14, true},
      // 2 aborts a Load; the next start clears the list.
      {"2 aborts", 25, -1, {{1, {1, L"10"}}, {2, {0, L"10"}}, {2, {0, L"10"}}, {1, {1, L"10"}}}, 10, false},
  };
  for (const Case& c : cases) {
    TransferState state;
    FakeLoad kind(c.records);
    kind.failAt = c.failAt;
    for (const auto& call : c.calls) EXPECT_EQ(Load(state, kind, call.first), call.second) << c.what;
    EXPECT_EQ(kind.list.size(), c.listed) << c.what;
    EXPECT_EQ(kind.HasWriter(), c.calls.back().second.result == 1) << c.what;
    if (c.ended) {
      EXPECT_TRUE(kind.sorted) << c.what;
    }
  }
}

TEST(TransferLoad, StartOverAnOpenTransferReleasesTheOldWriter) {
  TransferState state;
  FakeLoad kind(25);
  Load(state, kind, 1);
  EXPECT_EQ(Load(state, kind, 1), (Call{1, L"10"}));
  EXPECT_EQ(kind.opened, 2);
  EXPECT_EQ(kind.closed, 1);
}

TEST(TransferLoad, WriterThatCannotOpenFailsAtOnce) {
  TransferState state;
  FakeLoad kind(25);
  kind.openOk = false;
  wchar_t count[CountBufferSize] = L"untouched";
  EXPECT_EQ(RunLoad("VKTestLoad", "", state, kind, 1, count), -1);
  EXPECT_STREQ(count, L"untouched");
  kind.openOk = true;
  EXPECT_EQ(Load(state, kind, 1), (Call{1, L"10"}));
}

// Only the start flags: a Save's batches, counts and mode masks are checked
// against the substitute server (tests/e2e Transfers).
TEST(TransferSave, StartModeChoosesTheFlag) {
  EXPECT_EQ(SaveStartOperation(7, true), RecordStartFlag0);  // value 2 wins
  EXPECT_EQ(SaveStartOperation(5, true), RecordStartFlag1);
  EXPECT_EQ(SaveStartOperation(5, false), RecordStart);
}

}  // namespace
