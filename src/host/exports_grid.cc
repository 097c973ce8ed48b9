// The grid list and the grid verification: VKGridsList fetches the EDB's
// grids (as their sheet names "Grid." + grid name) when called with first set
// and hands them out one by one; VKVerifyGrid checks a grid sheet and its
// continuation sheets, adding its findings to the ErrorList and the
// WarningList.
#include <cwchar>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "records/grid.h"
#include "transport/connection.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/grid_sheet.h"
#include "workbook/row_gap_check.h"

namespace {

// Characters of a grid sheet name with its terminator ("Grid." and 255).
constexpr size_t kGridSheetNameSize = 5 + GridNameSize;

// Refills GridList from the server: 1, or -1 (the list then holds what was
// read before the failure).
int32_t LoadGridNames() {
  GridList.Clear();
  static wchar_t name[LineBufferSize];
  int32_t r = IORGridGetNames(1, name);
  while (r == 1) {
    std::wstring sheet = std::wstring(L"Grid.") + name;
    if (!GridList.AddName(sheet.c_str())) {
      SetErrorText("Could not allocate memory for the grid list.");
      r = -1;
      break;
    }
    r = IORGridGetNames(0, name);
  }
  GridList.Sort(CRecordList::kByName);
  return r < 0 ? -1 : 1;
}

}  // namespace

int32_t VKAPI VKGridsList(int32_t first, wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> VKGridsList(%s)\n", first ? "first" : "next");
  int32_t r = 1;
  if (first) r = LoadGridNames();
  if (r == 1) r = GridList.List(first, buffer, buffer ? kGridSheetNameSize : 0);
  if (DebugLevel > 0) {
    DebugPrint("<-- VKGridsList = %d [%s]\n", static_cast<int>(r), r == 1 ? Narrow(buffer).c_str() : "");
  }
  return r;
}

int32_t VKAPI VKVerifyGrid(const wchar_t* sheet) {
  std::wstring first = sheet ? sheet : L"";
  if (DebugLevel > 0) DebugPrint("--> VKVerifyGrid(%s)\n", Narrow(first.c_str()).c_str());
  int32_t r = 1;
  if (first.empty()) {
    // The empty name would select whatever sheet is active.
    SetErrorText("VKVerifyGrid: no grid sheet named.");
    r = -1;
  }
  GridLists lists{SubLists, &SourceTimevarList, &SubgrpList};
  GridLayout layout;
  // The first sheet, then each continuation sheet while there is one.
  for (int32_t number = 0; r == 1 && !ErrorList.IsFull(); ++number) {
    std::wstring name = GridSheetName(first.c_str(), number);
    CExcelVerifyGrid verifier;
    int32_t opened = verifier.Init(lists, ErrorList, WarningList, name.c_str());
    if (opened < 0) {
      r = -1;
      break;
    }
    if (opened == 0) {
      ClearErrorText();
      // A missing grid sheet cannot be saved; a missing continuation sheet ends the grid.
      if (number == 0) ErrorList.Add(name.c_str(), -1, -1, L"The workbook has no sheet %ls", name.c_str());
      break;
    }
    if (number == 0) {
      layout = verifier.Layout();
    } else if (!(verifier.Layout() == layout)) {
      ErrorList.Add(name.c_str(), 1, -1, L"The header of this continuation sheet differs from the grid's first sheet");
    }
    r = verifier.Verify();
    if (r == 1) r = CheckRowGap(RowGapSheet{name.c_str(), 2, 1, 1}, ErrorList);
  }
  if (r == 1 && ErrorList.Count() > 0) r = 0;
  if (DebugLevel > 0) DebugPrint("<-- VKVerifyGrid = %d\n", static_cast<int>(r));
  return r;
}
