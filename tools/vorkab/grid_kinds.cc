// Grids on the command line (see grid_kinds.h).
#include "grid_kinds.h"

#include <cwchar>

#include "sheethost/host.h"
#include "vorkabcom.h"

namespace {

constexpr const wchar_t* kPrefix = L"Grid.";

struct GridRun {
  bool all = true;
  std::vector<std::wstring> names;   // chosen by name
  std::vector<std::wstring> sheets;  // of the transfer running
  size_t current = 0;
  std::vector<std::wstring> written;
};

GridRun g_run;

std::wstring Continuation(const std::wstring& sheet, int32_t number) {
  return sheet + L" (" + std::to_wstring(number) + L")";
}

sheethost::Workbook& Book() { return sheethost::Host::Current()->Book(); }

// An empty sheet of that name in the workbook the library writes.
void EmptySheet(const std::wstring& name) {
  sheethost::Workbook& book = Book();
  if (sheethost::Sheet* sheet = book.FindSheet(name)) {
    sheet->ClearAll();
  } else {
    book.AddSheet(name);
  }
  g_run.written.push_back(name);
}

// The grid's first sheet and the continuation sheets an earlier load left.
void PrepareGrid(const std::wstring& sheet) {
  EmptySheet(sheet);
  for (int32_t n = 2; Book().FindSheet(Continuation(sheet, n)); ++n) EmptySheet(Continuation(sheet, n));
}

std::vector<std::wstring> ChosenSheets(bool saving) {
  std::vector<std::wstring> sheets;
  if (!g_run.all) {
    for (const std::wstring& name : g_run.names) sheets.push_back(kPrefix + name);
  } else if (saving) {
    sheets = WorkbookGrids(Book());
  } else {
    wchar_t name[512];
    for (int32_t first = 1; VKGridsList(first, name) == 1; first = 0) sheets.push_back(name);
  }
  return sheets;
}

// Goes on from a result of the current grid's transfer: the next grid after
// one that is done, a continuation sheet when a Load asks for one.
int32_t Next(int32_t r, bool saving, wchar_t* count) {
  for (;;) {
    if (r < 0) return -1;
    if (r >= 2 && !saving) {
      std::wstring sheet = Continuation(g_run.sheets[g_run.current], r);
      if (!Book().FindSheet(sheet)) EmptySheet(sheet);
      return 1;
    }
    if (r != 0) return 1;
    if (++g_run.current >= g_run.sheets.size()) return 0;
    const std::wstring& sheet = g_run.sheets[g_run.current];
    if (!saving) PrepareGrid(sheet);
    r = saving ? VKGridSave(1, sheet.c_str(), count) : VKGridLoad(1, sheet.c_str(), count);
  }
}

int32_t Run(int32_t mode, wchar_t* count, bool saving) {
  auto call = saving ? VKGridSave : VKGridLoad;
  if (mode == 1) {
    if (!saving) g_run.written.clear();
    g_run.sheets = ChosenSheets(saving);
    g_run.current = 0;
    if (g_run.sheets.empty()) return 0;
    if (!saving) PrepareGrid(g_run.sheets[0]);
    return Next(call(1, g_run.sheets[0].c_str(), count), saving, count);
  }
  if (g_run.current >= g_run.sheets.size()) return 0;
  const std::wstring& sheet = g_run.sheets[g_run.current];
  if (mode != 0) {
    call(mode, sheet.c_str(), count);
    return 0;
  }
  return Next(call(0, sheet.c_str(), count), saving, count);
}

}  // namespace

void SelectGrids(bool all, const std::vector<std::wstring>& names) {
  g_run.all = all;
  g_run.names = names;
}

int32_t GridsLoad(int32_t mode, wchar_t* count, int32_t) { return Run(mode, count, false); }
int32_t GridsSave(int32_t mode, wchar_t* count, int32_t) { return Run(mode, count, true); }

const std::vector<std::wstring>& GridSheetsWritten() { return g_run.written; }

std::vector<std::wstring> WorkbookGrids(const sheethost::Workbook& book) {
  std::vector<std::wstring> sheets;
  for (const sheethost::Sheet* sheet : book.Sheets()) {
    const std::wstring& name = sheet->Name();
    if (name.compare(0, wcslen(kPrefix), kPrefix) != 0 || name.size() == wcslen(kPrefix)) continue;
    // "Grid.NAME (n)" beside "Grid.NAME" continues it.
    size_t open = name.rfind(L" (");
    if (open != std::wstring::npos && name.back() == L')' && book.FindSheet(name.substr(0, open))) continue;
    sheets.push_back(name);
  }
  return sheets;
}

int32_t ListGridsLoad() { return 1; }

int32_t ListGrids(int32_t first, wchar_t* buffer) {
  wchar_t sheet[512];
  int32_t r = VKGridsList(first, sheet);
  if (r == 1) wcscpy(buffer, sheet + wcslen(kPrefix));
  return r;
}
