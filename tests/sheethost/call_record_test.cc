// The substitute host's call record can be turned off for long transfers:
// calls are still answered and the memory accounting still counts, only the
// record stops growing; turned on again, it records again.
#include <gtest/gtest.h>

#include <cstring>

#include "sheethost/host.h"

namespace {

using sheethost::Cell;
using sheethost::Host;

TEST(SheetHostCallRecord, OffStopsTheRecordButNotTheAnswersOrTheAccounting) {
  Host host;
  auto* sheet = host.Book().AddSheet(L"Data");
  sheet->Set(1, 1, Cell::Str(L"abc"));
  XLMREF12 area;
  area.count = 1;
  area.reftbl[0] = {1, 1, 1, 1};
  XLOPER12 ref;
  std::memset(&ref, 0, sizeof ref);
  ref.xltype = xltypeRef;
  ref.val.mref.lpmref = &area;
  ref.val.mref.idSheet = sheet->Id();
  XLOPER12* args[1] = {&ref};
  auto coerceAndFree = [&]() {
    XLOPER12 value;
    ASSERT_EQ(Host::EntryPoint()(xlCoerce, 1, args, &value), xlretSuccess);
    ASSERT_EQ(XlType(value.xltype), static_cast<uint32_t>(xltypeStr));
    EXPECT_EQ(value.val.str[0], 3);
    XLOPER12* freeArgs[1] = {&value};
    EXPECT_EQ(Host::EntryPoint()(xlFree, 1, freeArgs, nullptr), xlretSuccess);
  };

  host.RecordCalls(false);
  for (int i = 0; i < 3; ++i) coerceAndFree();
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_EQ(host.CallCount(xlCoerce), 0u);
  EXPECT_EQ(host.HandedOut(), 3u);
  EXPECT_EQ(host.Freed(), 3u);
  EXPECT_EQ(host.Outstanding(), 0u);

  host.RecordCalls(true);
  coerceAndFree();
  ASSERT_EQ(host.Calls().size(), 2u);
  EXPECT_EQ(host.Calls()[0].xlfn, xlCoerce);
  EXPECT_EQ(host.Calls()[1].xlfn, xlFree);
}

}  // namespace
