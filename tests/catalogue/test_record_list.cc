// CRecordList: adding, lookup both ways under each sort state, the
// bad-reference text, listing and the sort traces in the diagnostic log.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue/record_list.h"
#include "host/frame.h"

namespace {

std::wstring Listed(CRecordList& list) {
  std::wstring all;
  wchar_t name[64];
  for (int32_t first = 1; list.List(first, name, 64); first = 0) {
    if (!all.empty()) all += L',';
    all += name;
  }
  return all;
}

void Fill(CRecordList& list) {
  list.Add(L"NOx", 3);
  list.Add(L"CO2", 7);
  list.Add(L"SO2", 1);
  list.Add(L"PM10", 5);
}

TEST(RecordList, LookupBeforeAndAfterSorting) {
  CRecordList list;
  Fill(list);
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"SO2"), 1);
  EXPECT_STREQ(list.NameOf(5), L"PM10");
  EXPECT_EQ(list.Find(L"so2"), -1);  // case-sensitive

  list.Sort(CRecordList::kByName);
  EXPECT_TRUE(list.IsSorted());
  EXPECT_EQ(Listed(list), L"CO2,NOx,PM10,SO2");
  for (const wchar_t* n : {L"CO2", L"NOx", L"PM10", L"SO2"}) EXPECT_NE(list.Find(n), -1) << n;
  EXPECT_EQ(list.Find(L"A"), -1);
  EXPECT_EQ(list.Find(L"Z"), -1);
  EXPECT_STREQ(list.NameOf(3), L"NOx");  // by index: linear while sorted by name

  list.Sort(CRecordList::kByIndex);
  EXPECT_EQ(Listed(list), L"SO2,NOx,PM10,CO2");
  EXPECT_STREQ(list.NameOf(1), L"SO2");
  EXPECT_STREQ(list.NameOf(7), L"CO2");
  EXPECT_EQ(list.Find(L"PM10"), 5);  // by name: linear while sorted by index

  list.Sort(CRecordList::kByName);
  EXPECT_EQ(Listed(list), L"CO2,NOx,PM10,SO2");
}

TEST(RecordList, AddAfterSortFallsBackToLinearScan) {
  CRecordList list;
  Fill(list);
  list.Sort(CRecordList::kByName);
  list.Add(L"AAA", 9);  // would be missed by a bisection over the old order
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"AAA"), 9);
  list.Add(L"ZZZ", 0);
  list.Sort();
  EXPECT_EQ(list.Find(L"AAA"), 9);
  EXPECT_EQ(list.Find(L"ZZZ"), 0);
}

TEST(RecordList, SortKeyChanges) {
  CRecordList list;
  Fill(list);
  list.Sort(CRecordList::kByIndex);
  list.SetSortKey(CRecordList::kByIndex);  // same key keeps m_sorted
  EXPECT_TRUE(list.IsSorted());
  list.SetSortKey(CRecordList::kByName);
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"NOx"), 3);  // not sorted on names yet: linear
  EXPECT_STREQ(list.NameOf(7), L"CO2");
}

TEST(RecordList, OtherSortKeyKeepsInsertionOrderAndCountsAsSorted) {
  CRecordList list;
  list.Sort(2);
  Fill(list);
  EXPECT_FALSE(list.IsSorted());
  list.Sort();
  EXPECT_TRUE(list.IsSorted());
  EXPECT_EQ(Listed(list), L"NOx,CO2,SO2,PM10");
  EXPECT_EQ(list.Find(L"PM10"), 5);
  EXPECT_STREQ(list.NameOf(1), L"SO2");
}

TEST(RecordList, DuplicateNames) {
  CRecordList list;
  list.Add(L"CO2", 3);
  list.Add(L"CO2", 4);
  list.Add(L"B", 1);
  EXPECT_EQ(list.Find(L"CO2"), 3);  // linear: the first one
  EXPECT_EQ(list.Count(), 3);
  list.Sort(CRecordList::kByName);
  int32_t found = list.Find(L"CO2");
  EXPECT_TRUE(found == 3 || found == 4);
  EXPECT_EQ(Listed(list), L"B,CO2,CO2");
}

TEST(RecordList, DuplicateAndNegativeIndexes) {
  CRecordList list;
  list.Add(L"a", -5);
  list.Add(L"b", 2);
  list.Add(L"c", -5);
  list.Add(L"d", INT32_MIN);
  list.Sort(CRecordList::kByIndex);
  EXPECT_EQ(Listed(list).substr(0, 1), L"d");
  const wchar_t* n = list.NameOf(-5);
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(std::wstring(n) == L"a" || std::wstring(n) == L"c");
  EXPECT_STREQ(list.NameOf(INT32_MIN), L"d");
}

TEST(RecordList, BadReferenceText) {
  CRecordList list;
  Fill(list);
  EXPECT_STREQ(list.NameOf(99), L"Bad reference = 99");
  list.Sort(CRecordList::kByIndex);
  EXPECT_STREQ(list.NameOf(-2147483647 - 1), L"Bad reference = -2147483648");
  list.SetBadReference(false);
  EXPECT_EQ(list.NameOf(99), nullptr);
  EXPECT_EQ(list.Find(L"nothing"), -1);

  CRecordList empty;
  EXPECT_STREQ(empty.NameOf(0), L"Bad reference = 0");
}

TEST(RecordList, EntryWithoutNameAnswersBadReference) {
  CRecordList list;
  list.Add(nullptr, 4);
  EXPECT_STREQ(list.NameOf(4), L"Bad reference = 4");
  list.SetBadReference(false);
  EXPECT_EQ(list.NameOf(4), nullptr);
  EXPECT_EQ(list.Find(nullptr), -1);
  wchar_t name[8] = L"xxx";
  EXPECT_EQ(list.List(1, name, 8), 1);
  EXPECT_STREQ(name, L"");
}

TEST(RecordList, ClearKeepsWorking) {
  CRecordList list;
  for (int i = 0; i < 100; ++i) list.Add(std::to_wstring(i).c_str(), i);
  list.Sort(CRecordList::kByName);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"5"), -1);
  wchar_t name[8];
  EXPECT_EQ(list.List(0, name, 8), 0);  // cursor beyond the emptied list
  list.AddName(L"x");
  EXPECT_EQ(list.Find(L"x"), 0);
  EXPECT_EQ(Listed(list), L"x");
}

TEST(RecordList, ManyEntriesBisectAndGrow) {
  CRecordList list;
  for (int i = 999; i >= 0; --i) ASSERT_TRUE(list.Add((L"n" + std::to_wstring(i)).c_str(), i));
  list.Sort(CRecordList::kByName);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(list.Find((L"n" + std::to_wstring(i)).c_str()), i);
  list.Sort(CRecordList::kByIndex);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(std::wstring(list.NameOf(i)), L"n" + std::to_wstring(i));
}

TEST(RecordList, ListingCutsToTheBufferAndGivesIndexes) {
  CRecordList list;
  list.Add(L"abcdefghij", 12);
  list.Add(L"k", 13);
  wchar_t name[6];
  for (wchar_t& c : name) c = L'#';
  int32_t index = 0;
  ASSERT_EQ(list.ListWithIndex(1, name, 4, &index), 1);
  EXPECT_STREQ(name, L"abc");
  EXPECT_EQ(name[4], L'#');  // nothing written past the given size
  EXPECT_EQ(index, 12);
  ASSERT_EQ(list.ListWithIndex(0, nullptr, 0, &index), 1);  // no buffer: index only
  EXPECT_EQ(index, 13);
  EXPECT_EQ(list.ListWithIndex(0, name, 6, &index), 0);
  EXPECT_EQ(list.List(1, name, 6), 1);  // restart
  EXPECT_STREQ(name, L"abcde");
}

TEST(RecordList, NamesCompareByCharacterCode) {
  CRecordList list;
  list.Add(L"b", 1);
  list.Add(L"\u00e4", 2);  // beyond ASCII sorts after every ASCII letter
  list.Add(L"B", 3);
  list.Add(L"", 4);
  list.Sort(CRecordList::kByName);
  wchar_t name[8];
  std::wstring order;
  for (int32_t first = 1; list.List(first, name, 8); first = 0) order += std::wstring(L"[") + name + L"]";
  EXPECT_EQ(order, L"[][B][b][\u00e4]");
  EXPECT_EQ(list.Find(L""), 4);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RecordList, SortTracesInTheLog) {
  std::string path = ::testing::TempDir() + "record_list_sort.log";
  ASSERT_TRUE(OpenDebugLog(path.c_str()));
  int32_t level = DebugLevel;
  DebugLevel = 1;
  CRecordList list;
  Fill(list);
  list.Sort(CRecordList::kByName);
  list.Sort(CRecordList::kByName);  // already sorted: traces only
  DebugLevel = 0;
  list.Sort(CRecordList::kByIndex);  // level 0: no trace
  DebugLevel = level;
  CloseDebugLog();
  EXPECT_EQ(ReadFile(path),
            " --> CRecordList::Sort, m_sorted = 0\n <-- CRecordList::Sort\n"
            " --> CRecordList::Sort, m_sorted = 1\n <-- CRecordList::Sort\n");
  std::remove(path.c_str());
}

}  // namespace
