// CRecordList: lookup both ways in every sort state, adding after a sort,
// duplicates, the bad-reference text, clearing, growth, listing cut to the
// buffer; and what CRecordListKey adds to it: lookup by text key, the
// bad-reference text with a key, keys made and parsed.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/record_list.h"
#include "catalogue/record_list_key.h"

namespace {

template <class List>
std::wstring Listed(List& list) {
  std::wstring all;
  wchar_t name[64];
  for (int32_t first = 1; list.List(first, name, 64); first = 0) all += (all.empty() ? L"" : L",") + std::wstring(name);
  return all;
}

void Fill(CRecordList& list) {
  list.Add(L"NOx", 3);
  list.Add(L"CO2", 7);
  list.Add(L"SO2", 1);
  list.Add(L"PM10", 5);
}

void Fill(CRecordListKey& list) {
  list.Add(L"Mill", L"10 20");
  list.Add(L"Bakery", L"3 4000");
  list.Add(L"Yard", L"1 1");
}

TEST(RecordList, LookupBothWaysInEverySortState) {
  CRecordList list;
  Fill(list);
  struct State {
    uint32_t key;
    const wchar_t* order;
  };
  // Unsorted, by name, by index, by name again, and a key that keeps the order.
  for (State s : {State{99, L"NOx,CO2,SO2,PM10"}, State{CRecordList::kByName, L"CO2,NOx,PM10,SO2"},
                  State{CRecordList::kByIndex, L"SO2,NOx,PM10,CO2"}, State{CRecordList::kByName, L"CO2,NOx,PM10,SO2"},
                  State{2, L"CO2,NOx,PM10,SO2"}}) {
    if (s.key != 99) list.Sort(s.key);
    EXPECT_EQ(list.IsSorted(), s.key != 99);
    EXPECT_EQ(Listed(list), s.order) << s.key;
    EXPECT_EQ(list.Find(L"SO2"), 1) << s.key;
    EXPECT_EQ(list.Find(L"CO2"), 7) << s.key;
    EXPECT_EQ(list.Find(L"so2"), -1) << s.key;  // case-sensitive
    EXPECT_EQ(list.Find(L"A"), -1) << s.key;
    EXPECT_EQ(list.Find(L"Z"), -1) << s.key;
    EXPECT_STREQ(list.NameOf(5), L"PM10") << s.key;
    EXPECT_STREQ(list.NameOf(3), L"NOx") << s.key;
  }
}

TEST(RecordList, SortKeyAndAddingAfterASort) {
  CRecordList list;
  Fill(list);
  list.Sort(CRecordList::kByIndex);
  list.SetSortKey(CRecordList::kByIndex);  // the same key keeps m_sorted
  EXPECT_TRUE(list.IsSorted());
  list.SetSortKey(CRecordList::kByName);
  EXPECT_FALSE(list.IsSorted());
  list.Sort();
  list.Add(L"AAA", 9);  // a bisection over the old order would miss it
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"AAA"), 9);
  EXPECT_STREQ(list.NameOf(9), L"AAA");
  list.Sort();
  EXPECT_EQ(list.Find(L"AAA"), 9);
}

// A comparison by subtraction would put INT32_MIN last.
TEST(RecordList, DuplicatesAndExtremeIndexes) {
  CRecordList list;
  list.Add(L"CO2", 3);
  list.Add(L"CO2", 4);
  list.Add(L"d", INT32_MIN);
  list.Add(L"c", 3);
  EXPECT_EQ(list.Find(L"CO2"), 3);  // a scan gives the first
  EXPECT_STREQ(list.NameOf(3), L"CO2");
  list.Sort(CRecordList::kByIndex);
  EXPECT_EQ(Listed(list).substr(0, 1), L"d");
  EXPECT_STREQ(list.NameOf(INT32_MIN), L"d");
}

TEST(RecordList, BadReferenceText) {
  CRecordList list;
  Fill(list);
  EXPECT_STREQ(list.NameOf(99), L"Bad reference = 99");
  list.Sort(CRecordList::kByIndex);
  EXPECT_STREQ(list.NameOf(INT32_MIN), L"Bad reference = -2147483648");
  list.Add(nullptr, 4);  // an entry without a name answers the text too
  EXPECT_STREQ(list.NameOf(4), L"Bad reference = 4");
  EXPECT_EQ(list.Find(nullptr), -1);
  list.SetBadReference(false);
  EXPECT_EQ(list.NameOf(99), nullptr);
  EXPECT_EQ(list.NameOf(4), nullptr);
  CRecordList empty;
  EXPECT_STREQ(empty.NameOf(0), L"Bad reference = 0");
}

TEST(RecordList, ClearGrowAndBisect) {
  CRecordList list;
  for (int i = 999; i >= 0; --i) ASSERT_TRUE(list.Add((L"n" + std::to_wstring(i)).c_str(), i));
  list.Sort(CRecordList::kByName);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(list.Find((L"n" + std::to_wstring(i)).c_str()), i);
  list.Sort(CRecordList::kByIndex);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(std::wstring(list.NameOf(i)), L"n" + std::to_wstring(i));

  wchar_t name[8];
  ASSERT_EQ(list.List(1, name, 8), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Find(L"n5"), -1);
  EXPECT_EQ(list.List(0, name, 8), 0);  // the cursor is beyond the emptied list
  list.AddName(L"x");
  EXPECT_EQ(list.Find(L"x"), 0);
  EXPECT_EQ(Listed(list), L"x");
}

TEST(RecordList, ListingCutsToTheBufferAndGivesIndexes) {
  CRecordList list;
  list.Add(L"abcdefghij", 12);
  list.Add(L"k", 13);
  list.Add(nullptr, 14);
  wchar_t name[6];
  for (wchar_t& c : name) c = L'#';
  int32_t index = 0;
  ASSERT_EQ(list.ListWithIndex(1, name, 4, &index), 1);
  EXPECT_STREQ(name, L"abc");
  EXPECT_EQ(name[4], L'#');  // nothing written past the given size
  EXPECT_EQ(index, 12);
  ASSERT_EQ(list.ListWithIndex(0, nullptr, 0, &index), 1);  // no buffer: the index only
  EXPECT_EQ(index, 13);
  ASSERT_EQ(list.List(0, name, 6), 1);
  EXPECT_STREQ(name, L"");  // no name lists as empty
  EXPECT_EQ(list.ListWithIndex(0, name, 6, &index), 0);
  EXPECT_EQ(list.List(1, name, 6), 1);  // restart
  EXPECT_STREQ(name, L"abcde");
}

TEST(RecordList, NamesCompareByCharacterCode) {
  CRecordList list;
  for (const wchar_t* n : {L"b", L"\u00e4", L"B", L""}) list.AddName(n);
  list.Sort(CRecordList::kByName);
  wchar_t name[8];
  std::wstring order;
  for (int32_t first = 1; list.List(first, name, 8); first = 0) order += L"[" + std::wstring(name) + L"]";
  EXPECT_EQ(order, L"[][B][b][\u00e4]");
  EXPECT_EQ(list.Find(L""), 0);
  EXPECT_EQ(list.Find(L"\u00e4"), 0);
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

}  // namespace
