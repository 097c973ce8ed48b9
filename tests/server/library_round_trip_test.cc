// The library's own readers and writers against the seeded server: every
// seeded reference record is read, written back by the library's writer, and
// the stored bytes stay the same.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/frame.h"
#include "records/emfac.h"
#include "records/record_io.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"
#include "support/edb_server_process.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

std::string TakeError() {
  char buffer[2048];
  VKError(buffer, sizeof buffer);
  return buffer;
}

class LibraryRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok());
    wchar_t user[] = L"demo";
    std::wstring address = L"Kalvoro:" + Widen(server_.url().c_str());
    int32_t r = VKInit(user, L"demo", L"", address.c_str(), L"", L"", 0);
    ASSERT_TRUE(r == 0 || r == 1) << TakeError();
    IOLDatabaseSet(L"REF");
    IOLEdbUserSet(L"demo");
    IOLEdbNameSet(L"Gothenburg2025");
  }
  void TearDown() override { HTTPAbortCommand(); }

  // Reads every record with reader(first, record) until it answers 0.
  template <typename Rec, typename Reader>
  std::vector<Rec> ReadAll(Reader reader) {
    std::vector<Rec> records;
    Rec record;
    int32_t r;
    for (int first = 1; (r = reader(first, &record)) == 1; first = 0) records.push_back(record);
    EXPECT_EQ(0, r) << TakeError();
    return records;
  }

  // Writes records with writer(operation, record): start, each record, finish.
  template <typename Rec, typename Writer>
  int32_t WriteAll(const std::vector<Rec>& records, Writer writer) {
    if (writer(RecordStart, nullptr) != 1) return -1;
    for (const Rec& record : records) {
      if (writer(RecordWrite, &record) != 1) return -1;
    }
    return writer(RecordFinish, nullptr);
  }

  EdbServerProcess server_;
};

TEST_F(LibraryRoundTrip, SeededReferenceDataSurvivesLoadAndSave) {
  std::string before = server_.dumpRecords();
  for (int kind = 0; kind <= 1; ++kind) {
    SCOPED_TRACE(kind ? "road time variations" : "source time variations");
    auto all = ReadAll<TimevarRec>([kind](int first, TimevarRec* r) { return IORTimevarGetRec(kind, first, 0, r); });
    EXPECT_GE(all.size(), 25u);
    auto names = ReadAll<TimevarRec>(
        [kind](int first, TimevarRec* r) { return IORTimevarGetRec(kind, first, TransferFlagNamesOnly, r); });
    ASSERT_EQ(all.size(), names.size());
    for (size_t i = 0; i < all.size(); ++i) {
      EXPECT_EQ(0, wcscmp(all[i].name, names[i].name));
      EXPECT_EQ(all[i].index, names[i].index);
      if (i > 0) {
        EXPECT_LT(all[i - 1].index, all[i].index);
      }
    }
    EXPECT_EQ(1, WriteAll(all, [kind](int32_t op, const TimevarRec* r) { return IORTimevarPutRec(kind, op, r); }))
        << TakeError();
  }
  auto groups = ReadAll<SubgrpRec>([](int first, SubgrpRec* r) { return IORSubgrpGetRec(first, 0, r); });
  EXPECT_GE(groups.size(), 25u);
  EXPECT_EQ(groups.size(), ReadAll<SubgrpRec>([](int first, SubgrpRec* r) {
                             return IORSubgrpGetRec(first, TransferFlagNamesOnly, r);
                           }).size());
  EXPECT_EQ(1, WriteAll(groups, [](int32_t op, const SubgrpRec* r) { return IORSubgrpPutRec(op, r); })) << TakeError();

  auto factors = ReadAll<EmfacRec>([](int first, EmfacRec* r) { return IOREmfacGetRec(first, 0, r); });
  EXPECT_GE(factors.size(), 25u);
  EXPECT_EQ(factors.size(), ReadAll<EmfacRec>([](int first, EmfacRec* r) {
                              return IOREmfacGetRec(first, TransferFlagNamesOnly, r);
                            }).size());
  EXPECT_EQ(1, WriteAll(factors, [](int32_t op, const EmfacRec* r) { return IOREmfacPutRec(op, r); })) << TakeError();

  for (int list = 1; list <= 5; ++list) {
    SCOPED_TRACE("searchkey list " + std::to_string(list));
    auto keys = ReadAll<SubRec>([list](int first, SubRec* r) { return IORSubGetRec(first, list, r); });
    EXPECT_GE(keys.size(), 25u);
    EXPECT_EQ(1, WriteAll(keys, [list](int32_t op, const SubRec* r) { return IORSubPutRec(op, list, r); }))
        << TakeError();
  }
  EXPECT_EQ(before, server_.dumpRecords());

  // The substances are read, but never written.
  auto substances = ReadAll<SubRec>([](int first, SubRec* r) { return IORSubGetRec(first, 0, r); });
  EXPECT_GE(substances.size(), 25u);
  EXPECT_EQ(-1, IORSubPutRec(RecordStart, 0, nullptr));
  TakeError();
}

}  // namespace
