// CRecordListKey: what differs from CRecordList (whose shared storage,
// order and cursor test_record_list.cc covers): lookup by text key, the
// bad-reference text with a key, keys made and parsed, and its own trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue/record_list_key.h"
#include "host/frame.h"

namespace {

std::wstring Listed(CRecordListKey& list) {
  std::wstring all;
  wchar_t name[64];
  for (int32_t first = 1; list.List(first, name, 64); first = 0) all += (all.empty() ? L"" : L",") + std::wstring(name);
  return all;
}

void Fill(CRecordListKey& list) {
  list.Add(L"Mill", L"10 20");
  list.Add(L"Bakery", L"3 4000");
  list.Add(L"Yard", L"1 1");
}

TEST(RecordListKey, LookupBothWaysInEverySortState) {
  CRecordListKey list;
  Fill(list);
  for (uint32_t key : {2u, 0u, 1u, 0u}) {
    list.Sort(key);
    EXPECT_STREQ(list.FindKey(L"Bakery"), L"3 4000") << key;
    EXPECT_STREQ(list.FindKey(L"Yard"), L"1 1") << key;
    EXPECT_EQ(list.FindKey(L"Nowhere"), nullptr) << key;
    EXPECT_STREQ(list.FindName(L"10 20"), L"Mill") << key;
    EXPECT_STREQ(list.FindName(L"1 1"), L"Yard") << key;
  }
  list.Sort(CRecordListKey::kByKey);
  EXPECT_EQ(Listed(list), L"Yard,Mill,Bakery");  // keys compare as text
  list.Add(L"Aardvark", L"0 0");
  EXPECT_STREQ(list.FindName(L"0 0"), L"Aardvark");  // a scan until the next sort
  EXPECT_STREQ(list.FindKey(L"Aardvark"), L"0 0");
  wchar_t name[4];
  ASSERT_EQ(list.List(1, name, 4), 1);
  EXPECT_STREQ(name, L"Yar");
  list.Clear();
  EXPECT_EQ(list.List(1, name, 4), 0);
  EXPECT_EQ(list.FindKey(L"Mill"), nullptr);
}

TEST(RecordListKey, BadReferenceText) {
  CRecordListKey list;
  Fill(list);
  EXPECT_STREQ(list.FindName(L"3 4"), L"Bad reference = 3 4");
  EXPECT_EQ(list.FindKey(L"3 4"), nullptr);  // never the bad-reference text
  // A long key is cut to the text's buffer.
  std::wstring longKey(200, L'9');
  EXPECT_EQ(std::wstring(list.FindName(longKey.c_str())), L"Bad reference = " + longKey.substr(0, 63 - 16));
  list.SetBadReference(false);
  EXPECT_EQ(list.FindName(L"3 4"), nullptr);
}

TEST(RecordListKey, MakeKeyAndParseKey) {
  CRecordListKey list;
  EXPECT_STREQ(list.MakeKey(3, 4), L"3 4");
  EXPECT_STREQ(list.MakeKey(4294967295u, 0), L"4294967295 0");
  uint32_t a = 1, b = 1;
  ASSERT_TRUE(CRecordListKey::ParseKey(list.MakeKey(123456, 7654321), &a, &b));
  EXPECT_EQ(a, 123456u);
  EXPECT_EQ(b, 7654321u);
  ASSERT_TRUE(CRecordListKey::ParseKey(L"  4294967295\t12 rest", &a, &b));
  EXPECT_EQ(a, 4294967295u);
  EXPECT_EQ(b, 12u);
  // Not two 32-bit numbers: refused, both 0.
  for (const wchar_t* bad : {L"", L"5", L"x 1", L"4294967296 1", L"1 -2", L"-1 2", static_cast<const wchar_t*>(nullptr)}) {
    a = b = 9;
    EXPECT_FALSE(CRecordListKey::ParseKey(bad, &a, &b));
    EXPECT_EQ(a + b, 0u);
  }
}

TEST(RecordListKey, SortTracesInTheLog) {
  std::string path = ::testing::TempDir() + "record_list_key_sort.log";
  ASSERT_TRUE(OpenDebugLog(path.c_str()));
  DebugLevel = 1;
  CRecordListKey list;
  Fill(list);
  list.Sort(CRecordListKey::kByKey);
  DebugLevel = 0;
  CloseDebugLog();
  std::ifstream in(path);
  std::stringstream log;
  log << in.rdbuf();
  EXPECT_EQ(log.str(), " --> CRecordListKey::Sort, m_sorted = 0\n <-- CRecordListKey::Sort\n");
  std::remove(path.c_str());
}

}  // namespace
