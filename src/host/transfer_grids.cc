// VKGridLoad and VKGridSave: a grid moved between the server and its sheets
// ("Grid." + grid name and the continuation sheets "NAME (2)", "NAME (3)"
// ...).  A Load writes 500 cells a call and GridSheetRows cells a sheet;
// after each full sheet it answers the number of the next sheet, which the
// macro adds before it calls again.  A Save sends 100 cells a call and reads
// the continuation sheets in turn, up to the first that is missing or holds
// no cell.
#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/grid.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/grid_sheet.h"
#include "workbook/sheet_name.h"

namespace {

constexpr int32_t kLoadBatch = 500;
constexpr int32_t kSaveBatch = 100;
constexpr const wchar_t* kSheetPrefix = L"Grid.";

GridLists Lists() { return GridLists{SubLists, &SourceTimevarList, &SubgrpList}; }

// The grid a sheet name names; false (ErrorText set) when it is no grid sheet.
bool GridOfSheet(const char* name, const wchar_t* sheet, std::wstring* grid) {
  size_t prefix = wcslen(kSheetPrefix);
  if (!sheet || wcsncmp(sheet, kSheetPrefix, prefix) != 0 || sheet[prefix] == 0) {
    SetErrorText("%s: \"%s\" is no grid sheet; its name must be \"Grid.\" followed by the grid name.", name,
                 Narrow(sheet ? sheet : L"").c_str());
    return false;
  }
  // Room for the continuation sheets' " (n)": a name cut by the host would
  // name another sheet.
  if (wcslen(sheet) + 6 > static_cast<size_t>(SheetName::kMaxChars)) {
    SetErrorText("%s: the sheet name \"%s\" is longer than the %d characters a grid sheet may have.", name,
                 Narrow(sheet).c_str(), static_cast<int>(SheetName::kMaxChars) - 6);
    return false;
  }
  *grid = sheet + prefix;
  return true;
}

// Returns result (1 or a sheet number) with the transfer left open.
int32_t Pause(const char* name, TransferState& state, wchar_t* count, int32_t result) {
  state.command = HTTPCommandNumber();
  return FinishTransferCall(name, state, count, result);
}

bool Interrupted(const char* name, const TransferState& state, const char* what) {
  if (state.command == HTTPCommandNumber()) return false;
  SetErrorText("%s: another request to Kalvoro interrupted this transfer between its calls; %s. Start it again.",
               name, what);
  return true;
}

struct GridLoad {
  TransferState state;
  std::unique_ptr<CExcelWriteGrid> writer;
  std::wstring sheet;
  std::wstring grid;
  GridRec header{};
  GridSubstances substances{};
  GridFields fields;
  CodeString activity;
  CodeString geo;
};

struct GridSave {
  TransferState state;
  std::unique_ptr<CExcelReadGrid> reader;
  std::wstring sheet;
  std::wstring grid;
  int32_t sheetNumber = 0;
  int32_t sheetRows = 0;  // cells read from the current sheet
  GridLayout layout;      // of the first sheet
  GridRec header{};
  GridSubstances substances{};
  GridFields fields;
  CodeString activity;
  CodeString geo;
};

GridLoad g_load;
GridSave g_save;

int32_t RunGridLoad(GridLoad& s, int32_t mode, const wchar_t* sheet, wchar_t* count) {
  const char* name = "VKGridLoad";
  if (mode != TransferStart && mode != TransferContinue) {
    HTTPAbortCommand();
    s.writer.reset();
    s.state.open = false;
    return FinishTransferCall(name, s.state, count, 0);
  }
  if (mode == TransferStart) {
    HTTPAbortCommand();
    s.writer.reset();
    s.state = TransferState();
    if (!GridOfSheet(name, sheet, &s.grid)) return -1;
    s.sheet = sheet;
    if (IORGridGet(1, s.grid.c_str(), &s.header, &s.substances, &s.fields, &s.activity, &s.geo) != 1) return -1;
    s.state.open = true;
  } else if (!s.state.open) {
    SetErrorText("%s: no transfer in progress; start one first.", name);
    return FinishTransferCall(name, s.state, count, -1);
  } else if (Interrupted(name, s.state, "the sheets hold only the cells read before")) {
    s.writer.reset();
    s.state.open = false;
    return FinishTransferCall(name, s.state, count, -1);
  }
  if (!s.writer) {
    std::wstring target = GridSheetName(s.sheet.c_str(), s.state.counter / GridSheetRows);
    s.writer.reset(new (std::nothrow) CExcelWriteGrid());
    if (!s.writer) SetErrorText("Could not allocate memory for buffer");
    if (!s.writer || s.writer->Init(Lists(), s.header, s.substances, target.c_str(), s.activity.Text(),
                                    s.geo.Text()) != 1) {
      HTTPAbortCommand();
      s.writer.reset();
      s.state.open = false;
      return FinishTransferCall(name, s.state, count, -1);
    }
  }
  int32_t r;
  while ((r = IORGridGet(0, s.grid.c_str(), &s.header, &s.substances, &s.fields, &s.activity, &s.geo)) == 1) {
    ++s.state.counter;
    if (s.writer->Write(s.fields) != 1) {
      r = -1;
      break;
    }
    if (s.state.counter % GridSheetRows == 0) {
      s.writer.reset();
      return Pause(name, s.state, count, s.state.counter / GridSheetRows + 1);
    }
    if (s.state.counter % kLoadBatch == 0) return Pause(name, s.state, count, 1);
  }
  if (r < 0) HTTPAbortCommand();
  s.writer.reset();
  s.state.open = false;
  return FinishTransferCall(name, s.state, count, r < 0 ? -1 : 0);
}

// Opens the reader of the current sheet: 1; 0 when the grid has no further
// sheet; -1.
int32_t OpenSheet(GridSave& s) {
  std::wstring target = GridSheetName(s.sheet.c_str(), s.sheetNumber);
  s.reader.reset(new (std::nothrow) CExcelReadGrid());
  if (!s.reader) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  s.sheetRows = 0;
  int32_t r = s.reader->Init(Lists(), &s.header, &s.substances, target.c_str(), &s.activity, &s.geo,
                             s.sheetNumber == 0 ? nullptr : &s.layout);
  if (r == 0 && s.sheetNumber == 0) {
    SetErrorText("VKGridSave: the workbook has no sheet \"%s\"; nothing was saved.", Narrow(target.c_str()).c_str());
    return -1;
  }
  if (r == 0) ClearErrorText();  // past the last sheet
  if (r == 1 && s.sheetNumber == 0) s.layout = s.reader->Layout();
  return r;
}

int32_t RunGridSave(GridSave& s, int32_t mode, const wchar_t* sheet, wchar_t* count) {
  const char* name = "VKGridSave";
  int32_t masked = MaskedSaveMode(mode);
  if (masked != TransferStart && masked != TransferContinue) {
    HTTPAbortCommand();
    s.reader.reset();
    s.state.open = false;
    return FinishTransferCall(name, s.state, count, 0);
  }
  bool start = masked == TransferStart;
  if (start) {
    HTTPAbortCommand();
    s.reader.reset();
    s.state = TransferState();
    s.sheetNumber = 0;
    if (!GridOfSheet(name, sheet, &s.grid)) return -1;
    s.sheet = sheet;
  } else if (!s.state.open) {
    SetErrorText("%s: no transfer in progress; start one first.", name);
    return FinishTransferCall(name, s.state, count, -1);
  } else if (Interrupted(name, s.state, "nothing was saved")) {
    s.reader.reset();
    s.state.open = false;
    return FinishTransferCall(name, s.state, count, -1);
  }
  auto fail = [&](int32_t result) {
    HTTPAbortCommand();
    s.reader.reset();
    s.state.open = false;
    return FinishTransferCall(name, s.state, count, result);
  };
  auto finish = [&]() {
    s.reader.reset();
    s.state.open = false;
    int32_t r = IORGridPut(GridPutFinish, s.grid.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    return FinishTransferCall(name, s.state, count, r == 1 ? 0 : -1);
  };
  if (!s.reader) {
    int32_t r = OpenSheet(s);
    if (r < 0) return start ? (s.reader.reset(), -1) : fail(-1);
    if (r == 0) return finish();
    if (start) {
      if (IORGridPut(GridPutStart, s.grid.c_str(), &s.header, &s.substances, nullptr, s.activity.Text(),
                     s.geo.Text()) != 1) {
        s.reader.reset();
        return -1;
      }
      s.state.open = true;
    }
  }
  ++s.state.counter;
  for (;;) {
    int32_t r = s.reader->Read(&s.fields);
    if (r < 0) return fail(-1);
    if (r == 0) {
      // A continuation sheet without cells is the last one.
      if (s.sheetNumber > 0 && s.sheetRows == 0) return finish();
      ++s.sheetNumber;
      s.reader.reset();
      return Pause(name, s.state, count, 1);
    }
    if (IORGridPut(GridPutRow, s.grid.c_str(), &s.header, nullptr, &s.fields, nullptr, nullptr) != 1) return fail(-1);
    ++s.sheetRows;
    ++s.state.counter;
    if (s.state.counter % kSaveBatch == 0) return Pause(name, s.state, count, 1);
  }
}

}  // namespace

int32_t VKAPI VKGridLoad(int32_t mode, const wchar_t* sheet, wchar_t* count) {
  if (DebugLevel > 0) DebugPrint("--> VKGridLoad(%d, %s)\n", static_cast<int>(mode), Narrow(sheet ? sheet : L"").c_str());
  return RunGridLoad(g_load, mode, sheet, count);
}

int32_t VKAPI VKGridSave(int32_t mode, const wchar_t* sheet, wchar_t* count) {
  if (DebugLevel > 0) DebugPrint("--> VKGridSave(%d, %s)\n", static_cast<int>(mode), Narrow(sheet ? sheet : L"").c_str());
  return RunGridSave(g_save, mode, sheet, count);
}
