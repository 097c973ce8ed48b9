// The substitute spreadsheet host: a workbook behind one C API entry point
// that answers xlSheetId, xlCoerce, xlSet and xlFree as the real host does.
//
//   xlSheetId  a counted-string name: an xltypeRef whose idSheet names that
//              sheet (no memory); no argument (or a missing one): the active
//              sheet; an unknown name: xlretInvXloper.
//   xlCoerce   a one-area reference (xltypeRef or xltypeSRef), optionally a
//              wanted type mask: for one cell its value (Num, Str, Bool, Err,
//              Nil when empty), for a rectangle an xltypeMulti of its values,
//              row-major.  Values holding memory carry xlbitXLFree.
//   xlSet      a one-area reference and a value: an xltypeMulti of the same
//              shape, or a single value that fills the area; a missing value
//              (or none) clears the cells.  Nothing is written when the value
//              is refused.
//   xlFree     releases what the host handed out.
//
// The host counts the blocks it handed out and freed, and the frees of
// anything it did not hand out (or freed before); tests assert that nothing
// is left.  It can be told to fail the next call with a given code.
//
// The entry point has no context, so one host at a time answers it: the most
// recently constructed one that is still alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "port/xlcall.h"
#include "sheethost/workbook.h"

namespace sheethost {

// Largest number of cells one xlCoerce hands out; bigger areas fail with
// xlretFailed as the real host does when it runs out of memory.
constexpr int64_t kMaxCoerceCells = 1 << 20;

// FailNextCall without a function: the next call of any function fails.
constexpr int kAnyFunction = -1;

struct CallRecord {
  int xlfn = 0;
  int result = 0;
  bool hasArea = false;      // the call named a reference that could be read
  IDSHEET sheet = 0;         // its sheet (0 for an SRef)
  XLREF12 area = {0, 0, 0, 0};
  size_t outstanding = 0;    // blocks handed out and not yet freed when the call came
};

class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The function to hand to the library (SetExcel12EntryPt).
  static EXCEL12PROC EntryPoint();
  // The host that answers the entry point, or null.
  static Host* Current();

  Workbook& Book() { return m_book; }

  // The next call (of function xlfn, or of any function) returns code and
  // does nothing else.
  void FailNextCall(int code, int xlfn = kAnyFunction);

  size_t HandedOut() const { return m_handedOut; }
  size_t Freed() const { return m_freed; }
  size_t Outstanding() const { return m_live.size(); }
  size_t BadFrees() const { return m_badFrees; }

  const std::vector<CallRecord>& Calls() const { return m_calls; }
  size_t CallCount(int xlfn) const;
  void ClearCalls() { m_calls.clear(); }
  // Whether calls are recorded (on by default).  Long transfers, such as the
  // benchmarks', turn it off so that the record does not grow with them.
  void RecordCalls(bool on) { m_recordCalls = on; }
  // Whether xlSet only checks its arguments and then drops the values (off
  // by default): the benchmark's host that measures the library alone.
  void DiscardWrites(bool on) { m_discardWrites = on; }

  // What the entry point does for this host.
  int Answer(int xlfn, int count, XLOPER12** args, XLOPER12* result);

 private:
  int SheetId(int count, XLOPER12** args, XLOPER12* result);
  int Coerce(int count, XLOPER12** args, XLOPER12* result, CallRecord* record);
  int SetCells(int count, XLOPER12** args, XLOPER12* result, CallRecord* record);
  int FreeValues(int count, XLOPER12** args);
  // The sheet and the area of a one-area reference, or an xlret code.
  int ResolveArea(const XLOPER12* ref, Sheet** sheet, XLREF12* area, CallRecord* record);
  void* Allocate(size_t bytes);
  void Release(void* block);

  Workbook m_book;
  Host* m_previous = nullptr;
  std::unordered_set<void*> m_live;
  size_t m_handedOut = 0;
  size_t m_freed = 0;
  size_t m_badFrees = 0;
  bool m_failPending = false;
  int m_failCode = 0;
  int m_failFunction = kAnyFunction;
  std::vector<CallRecord> m_calls;
  bool m_recordCalls = true;
  bool m_discardWrites = false;
};

}  // namespace sheethost
