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

// Reads every record with reader(first, record) until it answers 0.
template <typename Rec, typename Reader>
std::vector<Rec> ReadAll(Reader reader) {
  std::vector<Rec> records;
  Rec record;
  int32_t r;
  for (int first = 1; (r = reader(first, &record)) == 1; first = 0) records.push_back(record);
  EXPECT_EQ(0, r) << TakeError();
  EXPECT_GE(records.size(), 25u);
  return records;
}

// Writes records with writer(operation, record): start, each record, finish.
template <typename Rec, typename Writer>
void WriteAll(const std::vector<Rec>& records, Writer writer) {
  int32_t r = writer(RecordStart, nullptr);
  for (size_t i = 0; r == 1 && i < records.size(); ++i) r = writer(RecordWrite, &records[i]);
  EXPECT_EQ(1, r == 1 ? writer(RecordFinish, nullptr) : r) << TakeError();
}

// Reads a reference kind whole and names only (the same names and indexes, in
// rising index order), and writes it back.
template <typename Rec, typename Reader, typename Writer>
void RoundTrip(Reader reader, Writer writer) {
  auto all = ReadAll<Rec>([&](int first, Rec* r) { return reader(first, 0, r); });
  auto names = ReadAll<Rec>([&](int first, Rec* r) { return reader(first, TransferFlagNamesOnly, r); });
  ASSERT_EQ(all.size(), names.size());
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(0, wcscmp(all[i].name, names[i].name));
    EXPECT_EQ(all[i].index, names[i].index);
    EXPECT_TRUE(i == 0 || all[i - 1].index < all[i].index) << all[i].index;
  }
  WriteAll(all, writer);
}

TEST(LibraryRoundTrip, SeededReferenceDataSurvivesLoadAndSave) {
  EdbServerProcess server;
  ASSERT_TRUE(server.ok());
  std::wstring address = L"Kalvoro:" + Widen(server.url().c_str());
  wchar_t user[] = L"demo";
  int32_t r = VKInit(user, L"demo", L"", address.c_str(), L"", L"", 0);
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  IOLDatabaseSet(L"REF");
  IOLEdbUserSet(L"demo");
  IOLEdbNameSet(L"Gothenburg2025");
  std::string before = server.dumpRecords();
  for (int kind = 0; kind <= 1; ++kind) {
    SCOPED_TRACE(kind ? "road time variations" : "source time variations");
    RoundTrip<TimevarRec>(
        [kind](int first, int flags, TimevarRec* r) { return IORTimevarGetRec(kind, first, flags, r); },
        [kind](int32_t op, const TimevarRec* r) { return IORTimevarPutRec(kind, op, r); });
  }
  RoundTrip<SubgrpRec>(IORSubgrpGetRec, IORSubgrpPutRec);
  RoundTrip<EmfacRec>(IOREmfacGetRec, IOREmfacPutRec);
  for (int list = 1; list <= 5; ++list) {
    SCOPED_TRACE("searchkey list " + std::to_string(list));
    auto keys = ReadAll<SubRec>([list](int first, SubRec* r) { return IORSubGetRec(first, list, r); });
    WriteAll(keys, [list](int32_t op, const SubRec* r) { return IORSubPutRec(op, list, r); });
  }
  EXPECT_EQ(before, server.dumpRecords());

  // The substances are read too (they are never written).
  ReadAll<SubRec>([](int first, SubRec* r) { return IORSubGetRec(first, 0, r); });
  HTTPAbortCommand();
}

}  // namespace
