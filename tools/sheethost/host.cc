// The substitute spreadsheet host's entry point (see host.h).
#include "sheethost/host.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace sheethost {

namespace {

Host* g_current = nullptr;

int XLAPI Entry(int xlfn, int count, XLOPER12** args, XLOPER12* result) {
  Host* host = Host::Current();
  if (!host) return xlretFailed;
  return host->Answer(xlfn, count, args, result);
}

// The cell a single (non-Multi) value stands for; false when the value is
// not one a cell can take.  Numbers that are not finite become #NUM!.
bool CellOfValue(const XLOPER12& value, Cell* cell) {
  switch (XlType(value.xltype)) {
    case xltypeNum:
      *cell = std::isfinite(value.val.num) ? Cell::Num(value.val.num) : Cell::Err(xlerrNum);
      return true;
    case xltypeInt:
      *cell = Cell::Num(value.val.w);
      return true;
    case xltypeBool:
      *cell = Cell::Bool(value.val.xbool != 0);
      return true;
    case xltypeErr:
      *cell = Cell::Err(value.val.err);
      return true;
    case xltypeNil:
    case xltypeMissing:
      *cell = Cell();
      return true;
    case xltypeStr: {
      if (!value.val.str) return false;
      uint32_t length = static_cast<uint32_t>(value.val.str[0]);
      if (length > static_cast<uint32_t>(kXlMaxText)) return false;
      *cell = Cell::Str(std::wstring(value.val.str + 1, length));
      return true;
    }
    default:
      return false;
  }
}

uint32_t NaturalType(const Cell& cell) {
  switch (cell.kind) {
    case CellKind::Number: return xltypeNum;
    case CellKind::Text: return xltypeStr;
    case CellKind::Boolean: return xltypeBool;
    case CellKind::Error: return xltypeErr;
    case CellKind::Empty: break;
  }
  return xltypeNil;
}

// Fills value with a stored cell; a text goes into text (room for its count
// and characters), which the caller owns.
void ValueOfView(const CellView& cell, XLOPER12* value, XCHAR* text) {
  std::memset(value, 0, sizeof *value);
  switch (cell.kind) {
    case CellKind::Number: value->xltype = xltypeNum; value->val.num = cell.number; break;
    case CellKind::Boolean: value->xltype = xltypeBool; value->val.xbool = cell.boolean ? 1 : 0; break;
    case CellKind::Error: value->xltype = xltypeErr; value->val.err = cell.error; break;
    case CellKind::Text:
      value->xltype = xltypeStr;
      text[0] = static_cast<XCHAR>(cell.length);
      for (size_t i = 0; i < cell.length; ++i) text[i + 1] = static_cast<XCHAR>(cell.At(i));
      value->val.str = text;
      break;
    case CellKind::Empty: value->xltype = xltypeNil; break;
  }
}

// Fills value with cell; a text goes into text (room for its count and
// characters), which the caller owns.
void ValueOfCell(const Cell& cell, XLOPER12* value, XCHAR* text) {
  std::memset(value, 0, sizeof *value);
  value->xltype = NaturalType(cell);
  switch (cell.kind) {
    case CellKind::Number: value->val.num = cell.number; break;
    case CellKind::Boolean: value->val.xbool = cell.boolean ? 1 : 0; break;
    case CellKind::Error: value->val.err = cell.error; break;
    case CellKind::Text:
      text[0] = static_cast<XCHAR>(cell.text.size());
      if (!cell.text.empty()) std::memcpy(text + 1, cell.text.data(), cell.text.size() * sizeof(XCHAR));
      value->val.str = text;
      break;
    case CellKind::Empty: break;
  }
}

}  // namespace

Host::Host() : m_previous(g_current) { g_current = this; }

Host::~Host() {
  for (void* block : m_live) std::free(block);
  m_live.clear();
  if (g_current == this) g_current = m_previous;
}

EXCEL12PROC Host::EntryPoint() { return &Entry; }

Host* Host::Current() { return g_current; }

void Host::FailNextCall(int code, int xlfn) {
  m_failPending = true;
  m_failCode = code;
  m_failFunction = xlfn;
}

size_t Host::CallCount(int xlfn) const {
  size_t n = 0;
  for (const CallRecord& call : m_calls) n += call.xlfn == xlfn;
  return n;
}

void* Host::Allocate(size_t bytes) {
  void* block = std::malloc(bytes ? bytes : 1);
  if (!block) return nullptr;
  try {
    m_live.insert(block);
  } catch (...) {
    std::free(block);
    return nullptr;
  }
  ++m_handedOut;
  return block;
}

void Host::Release(void* block) {
  auto it = m_live.find(block);
  if (it == m_live.end()) {
    ++m_badFrees;
    return;
  }
  m_live.erase(it);
  std::free(block);
  ++m_freed;
}

int Host::Answer(int xlfn, int count, XLOPER12** args, XLOPER12* result) {
  CallRecord record;
  record.xlfn = xlfn;
  record.outstanding = m_live.size();
  int code;
  if (m_failPending && (m_failFunction == kAnyFunction || m_failFunction == xlfn)) {
    m_failPending = false;
    code = m_failCode;
  } else if (count < 0 || count > kXlMaxArguments || (count > 0 && !args)) {
    code = xlretInvCount;
  } else {
    switch (xlfn) {
      case xlSheetId: code = SheetId(count, args, result); break;
      case xlCoerce: code = Coerce(count, args, result, &record); break;
      case xlSet: code = SetCells(count, args, result, &record); break;
      case xlFree: code = FreeValues(count, args); break;
      default: code = xlretInvXlfn; break;
    }
  }
  record.result = code;
  if (m_recordCalls) m_calls.push_back(record);
  return code;
}

int Host::SheetId(int count, XLOPER12** args, XLOPER12* result) {
  if (count > 1) return xlretInvCount;
  if (!result) return xlretInvXloper;
  Sheet* sheet = nullptr;
  const XLOPER12* name = count == 1 ? args[0] : nullptr;
  uint32_t type = name ? XlType(name->xltype) : xltypeMissing;
  if (type == xltypeMissing || type == xltypeNil) {
    sheet = m_book.ActiveSheet();
    if (!sheet) return xlretFailed;
  } else if (type == xltypeStr && name->val.str) {
    uint32_t length = static_cast<uint32_t>(name->val.str[0]);
    if (length > static_cast<uint32_t>(kXlMaxText)) return xlretInvXloper;
    sheet = m_book.FindSheet(std::wstring(name->val.str + 1, length));
    if (!sheet) return xlretInvXloper;
  } else {
    return xlretInvXloper;
  }
  std::memset(result, 0, sizeof *result);
  result->xltype = xltypeRef;
  result->val.mref.lpmref = nullptr;
  result->val.mref.idSheet = sheet->Id();
  return xlretSuccess;
}

int Host::ResolveArea(const XLOPER12* ref, Sheet** sheet, XLREF12* area, CallRecord* record) {
  if (!ref) return xlretInvXloper;
  switch (XlType(ref->xltype)) {
    case xltypeRef: {
      const XLMREF12* areas = ref->val.mref.lpmref;
      if (!areas || areas->count != 1) return xlretInvXloper;
      *area = areas->reftbl[0];
      record->sheet = ref->val.mref.idSheet;
      *sheet = m_book.SheetById(ref->val.mref.idSheet);
      break;
    }
    case xltypeSRef:
      if (ref->val.sref.count != 1) return xlretInvXloper;
      *area = ref->val.sref.ref;
      *sheet = m_book.ActiveSheet();
      break;
    default:
      return xlretInvXloper;
  }
  record->hasArea = true;
  record->area = *area;
  if (!*sheet) return xlretInvXloper;
  if (area->rwFirst > area->rwLast || area->colFirst > area->colLast) return xlretInvXloper;
  if (!InGrid(area->rwFirst, area->colFirst) || !InGrid(area->rwLast, area->colLast)) {
    return xlretInvXloper;
  }
  return xlretSuccess;
}

int Host::Coerce(int count, XLOPER12** args, XLOPER12* result, CallRecord* record) {
  if (count < 1 || count > 2) return xlretInvCount;
  if (!result) return xlretInvXloper;
  uint32_t wanted = 0;  // 0: whatever the cells hold
  if (count == 2 && args[1]) {
    uint32_t type = XlType(args[1]->xltype);
    if (type == xltypeInt) {
      wanted = static_cast<uint32_t>(args[1]->val.w);
    } else if (type == xltypeNum) {
      wanted = static_cast<uint32_t>(args[1]->val.num);
    } else if (type != xltypeMissing) {
      return xlretInvXloper;
    }
  }
  Sheet* sheet = nullptr;
  XLREF12 area;
  int code = ResolveArea(args[0], &sheet, &area, record);
  if (code != xlretSuccess) return code;

  int64_t rows = static_cast<int64_t>(area.rwLast) - area.rwFirst + 1;
  int64_t columns = static_cast<int64_t>(area.colLast) - area.colFirst + 1;
  if (rows * columns > kMaxCoerceCells) return xlretFailed;

  if (rows == 1 && columns == 1) {
    const Cell cell = sheet->Get(area.rwFirst, area.colFirst);
    if (wanted && !(wanted & NaturalType(cell))) return xlretFailed;
    XCHAR* text = nullptr;
    if (cell.kind == CellKind::Text) {
      text = static_cast<XCHAR*>(Allocate((cell.text.size() + 1) * sizeof(XCHAR)));
      if (!text) return xlretFailed;
    }
    ValueOfCell(cell, result, text);
    if (text) result->xltype |= xlbitXLFree;
    return xlretSuccess;
  }

  if (wanted && !(wanted & xltypeMulti)) return xlretFailed;
  // One block: the values, then the texts of the string cells.
  size_t cells = static_cast<size_t>(rows * columns);
  size_t textUnits = 0;
  sheet->VisitArea(area, [&textUnits](RW, COL, const CellView& cell) {
    if (cell.kind == CellKind::Text) textUnits += cell.length + 1;
  });
  XLOPER12* values = static_cast<XLOPER12*>(Allocate(cells * sizeof(XLOPER12) + textUnits * sizeof(XCHAR)));
  if (!values) return xlretFailed;
  XCHAR* text = reinterpret_cast<XCHAR*>(values + cells);
  for (size_t i = 0; i < cells; ++i) {
    std::memset(&values[i], 0, sizeof values[i]);
    values[i].xltype = xltypeNil;
  }
  sheet->VisitArea(area, [&](RW r, COL c, const CellView& cell) {
    size_t at = static_cast<size_t>(r - area.rwFirst) * static_cast<size_t>(columns) +
                static_cast<size_t>(c - area.colFirst);
    ValueOfView(cell, &values[at], text);
    if (cell.kind == CellKind::Text) text += cell.length + 1;
  });
  std::memset(result, 0, sizeof *result);
  result->xltype = xltypeMulti | xlbitXLFree;
  result->val.array.lparray = values;
  result->val.array.rows = static_cast<RW>(rows);
  result->val.array.columns = static_cast<COL>(columns);
  return xlretSuccess;
}

int Host::SetCells(int count, XLOPER12** args, XLOPER12* result, CallRecord* record) {
  if (count < 1 || count > 2) return xlretInvCount;
  Sheet* sheet = nullptr;
  XLREF12 area;
  int code = ResolveArea(args[0], &sheet, &area, record);
  if (code != xlretSuccess) return code;
  int64_t rows = static_cast<int64_t>(area.rwLast) - area.rwFirst + 1;
  int64_t columns = static_cast<int64_t>(area.colLast) - area.colFirst + 1;

  const XLOPER12* value = count == 2 ? args[1] : nullptr;
  if (m_discardWrites) {
    if (value && XlType(value->xltype) == xltypeMulti &&
        (!value->val.array.lparray || value->val.array.rows != rows || value->val.array.columns != columns)) {
      return xlretInvXloper;
    }
    if (result) {
      std::memset(result, 0, sizeof *result);
      result->xltype = xltypeBool;
      result->val.xbool = 1;
    }
    return xlretSuccess;
  }
  if (value && XlType(value->xltype) == xltypeMulti) {
    const XLOPER12* elements = value->val.array.lparray;
    if (!elements || value->val.array.rows != rows || value->val.array.columns != columns) return xlretInvXloper;
    if (rows * columns > kMaxCoerceCells) return xlretFailed;
    size_t count = static_cast<size_t>(rows * columns);
    // Numbers and texts, the values the library writes, go in without a
    // Cell in between once every value is known to be one a cell takes.
    bool plain = true;
    for (size_t i = 0; i < count && plain; ++i) {
      uint32_t type = XlType(elements[i].xltype);
      if (type == xltypeStr) {
        plain = elements[i].val.str && static_cast<uint32_t>(elements[i].val.str[0]) <= static_cast<uint32_t>(kXlMaxText);
      } else {
        plain = type == xltypeNum;
      }
    }
    if (plain) {
      try {
        size_t i = 0;
        for (RW r = area.rwFirst; r <= area.rwLast; ++r) {
          sheet->ReserveRow(r, area.colLast);
          for (COL c = area.colFirst; c <= area.colLast; ++c, ++i) {
            const XLOPER12& element = elements[i];
            if (XlType(element.xltype) == xltypeStr) {
              sheet->SetText(r, c, element.val.str + 1, static_cast<size_t>(static_cast<uint32_t>(element.val.str[0])));
            } else if (std::isfinite(element.val.num)) {
              sheet->SetNumber(r, c, element.val.num);
            } else {
              sheet->Set(r, c, Cell::Err(xlerrNum));
            }
          }
        }
      } catch (const std::bad_alloc&) {
        return xlretFailed;
      }
      if (result) {
        std::memset(result, 0, sizeof *result);
        result->xltype = xltypeBool;
        result->val.xbool = 1;
      }
      return xlretSuccess;
    }
  }
  std::vector<Cell> cells;  // row-major, or one cell that fills the area
  try {
    if (value && XlType(value->xltype) == xltypeMulti) {
      const XLOPER12* elements = value->val.array.lparray;
      if (!elements || value->val.array.rows != rows || value->val.array.columns != columns) {
        return xlretInvXloper;
      }
      if (rows * columns > kMaxCoerceCells) return xlretFailed;
      cells.resize(static_cast<size_t>(rows * columns));
      for (size_t i = 0; i < cells.size(); ++i) {
        if (!CellOfValue(elements[i], &cells[i])) return xlretInvXloper;
      }
    } else {
      cells.resize(1);
      if (value && !CellOfValue(*value, &cells[0])) return xlretInvXloper;
      if (!cells[0].IsEmpty() && rows * columns > kMaxCoerceCells) return xlretFailed;
    }
  } catch (const std::bad_alloc&) {
    return xlretFailed;
  }

  if (cells.size() == 1 && cells[0].IsEmpty() && rows * columns > 1) {
    sheet->ClearArea(area);  // clearing an area: drop the used cells inside it
  } else {
    size_t i = 0;
    for (RW r = area.rwFirst; r <= area.rwLast; ++r) {
      if (cells.size() > 1) sheet->ReserveRow(r, area.colLast);
      for (COL c = area.colFirst; c <= area.colLast; ++c) {
        sheet->Set(r, c, cells.size() == 1 ? cells[0] : cells[i++]);
      }
    }
  }
  if (result) {
    std::memset(result, 0, sizeof *result);
    result->xltype = xltypeBool;
    result->val.xbool = 1;
  }
  return xlretSuccess;
}

int Host::FreeValues(int count, XLOPER12** args) {
  for (int i = 0; i < count; ++i) {
    XLOPER12* value = args[i];
    if (!value || !(value->xltype & xlbitXLFree)) continue;
    void* block = nullptr;
    switch (XlType(value->xltype)) {
      case xltypeStr: block = value->val.str; break;
      case xltypeMulti: block = value->val.array.lparray; break;
      case xltypeRef: block = value->val.mref.lpmref; break;
      default: break;
    }
    if (block) {
      Release(block);
    } else {
      ++m_badFrees;  // marked as holding memory but holds none
    }
  }
  return xlretSuccess;
}

}  // namespace sheethost
