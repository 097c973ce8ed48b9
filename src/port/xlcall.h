// Our declarations of the spreadsheet host's version-12 C API: the XLOPER12
// value, the references, the function numbers and return codes, and the calls
// Excel12 / Excel12v through which the library reaches the host.
//
// The layout is the host's 64-bit Windows one on every platform, built from the
// platform's own types: XCHAR is wchar_t (a counted string holds its length in
// element 0), rows and columns are 32-bit signed, a sheet id is pointer-sized
// and booleans are int.  Other hosts (a test harness in another language) rely
// on it; the static_asserts at the end pin the sizes and offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

// Calling convention of the host's entry point: Pascal/stdcall on 32-bit
// Windows, the platform's default elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define XLAPI __stdcall
#else
#define XLAPI
#endif

typedef wchar_t XCHAR;
typedef int32_t RW;         // 0-based row
typedef int32_t COL;        // 0-based column
typedef intptr_t IDSHEET;   // the host's name for a sheet

// Value types (the low bits of xltype) and the memory-ownership flags.
constexpr uint32_t xltypeNum = 0x0001;
constexpr uint32_t xltypeStr = 0x0002;
constexpr uint32_t xltypeBool = 0x0004;
constexpr uint32_t xltypeRef = 0x0008;
constexpr uint32_t xltypeErr = 0x0010;
constexpr uint32_t xltypeFlow = 0x0020;
constexpr uint32_t xltypeMulti = 0x0040;
constexpr uint32_t xltypeMissing = 0x0080;
constexpr uint32_t xltypeNil = 0x0100;
constexpr uint32_t xltypeSRef = 0x0400;
constexpr uint32_t xltypeInt = 0x0800;
constexpr uint32_t xlbitXLFree = 0x1000;   // the host owns memory in the value
constexpr uint32_t xlbitDLLFree = 0x4000;  // the add-in owns memory in the value
constexpr uint32_t xltypeBigData = xltypeStr | xltypeInt;
// The type without the ownership flags.
constexpr uint32_t XlType(uint32_t xltype) { return xltype & ~(xlbitXLFree | xlbitDLLFree); }

// Error values of xltypeErr.
constexpr int xlerrNull = 0;
constexpr int xlerrDiv0 = 7;
constexpr int xlerrValue = 15;
constexpr int xlerrRef = 23;
constexpr int xlerrName = 29;
constexpr int xlerrNum = 36;
constexpr int xlerrNA = 42;

// Function numbers of the calls the library makes.
constexpr int xlFree = 16384;
constexpr int xlCoerce = 16386;
constexpr int xlSet = 16387;
constexpr int xlSheetId = 16388;

// Return codes of Excel12 / Excel12v.
constexpr int xlretSuccess = 0;
constexpr int xlretAbort = 1;
constexpr int xlretInvXlfn = 2;
constexpr int xlretInvCount = 4;
constexpr int xlretInvXloper = 8;
constexpr int xlretStackOvfl = 16;
constexpr int xlretFailed = 32;
constexpr int xlretUncalced = 64;

// Most arguments one call may pass.
constexpr int kXlMaxArguments = 255;

// Limits of the host's grid.
constexpr RW kXlRows = 1048576;
constexpr COL kXlColumns = 16384;
constexpr int32_t kXlMaxText = 32767;

// One rectangle.
struct XLREF12 {
  RW rwFirst;
  RW rwLast;
  COL colFirst;
  COL colLast;
};

// Areas of an external reference: count rectangles follow the count.
struct XLMREF12 {
  uint16_t count;
  XLREF12 reftbl[1];
};

struct xloper12 {
  union {
    double num;      // xltypeNum
    XCHAR* str;      // xltypeStr: str[0] is the length, the characters follow
    int xbool;       // xltypeBool
    int err;         // xltypeErr
    int w;           // xltypeInt
    struct {         // xltypeSRef: one area on the current sheet
      uint16_t count;
      XLREF12 ref;
    } sref;
    struct {         // xltypeRef: areas on the sheet idSheet
      XLMREF12* lpmref;
      IDSHEET idSheet;
    } mref;
    struct {         // xltypeMulti: rows x columns values, row-major
      xloper12* lparray;
      RW rows;
      COL columns;
    } array;
    struct {         // xltypeFlow (not used)
      union {
        int level;
        int tbctrl;
        IDSHEET idSheet;
      } valflow;
      RW rw;
      COL col;
      unsigned char xlflow;
    } flow;
    struct {         // xltypeBigData (not used)
      union {
        unsigned char* lpbData;
        void* hdata;
      } h;
      int32_t cbData;
    } bigdata;
  } val;
  uint32_t xltype;
};
typedef struct xloper12 XLOPER12;
typedef XLOPER12* LPXLOPER12;

// The host's entry point: function number, argument count, arguments, result.
typedef int(XLAPI* EXCEL12PROC)(int xlfn, int coper, struct xloper12** rgpxloper12,
                                struct xloper12* xloper12Res);

// Calls the host.  xlretFailed when no entry point is known, xlretInvCount
// for more than 255 (or a negative number of) arguments.  Excel12 takes the
// arguments as XLOPER12* values.
int Excel12(int xlfn, XLOPER12* result, int count, ...);
int Excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* args[]);

// The layout every host relies on.
static_assert(sizeof(XLREF12) == 16, "XLREF12 is four 32-bit values");
static_assert(offsetof(XLMREF12, reftbl) == 4, "XLMREF12 areas follow a 16-bit count");
static_assert(sizeof(XLMREF12) == 20, "XLMREF12 with one area");
static_assert(offsetof(XLOPER12, val) == 0, "the value comes first");
static_assert(sizeof(((XLOPER12*)nullptr)->val.sref) == 20, "SRef: count, padding, area");
static_assert(offsetof(XLOPER12, val.sref.ref) == 4, "SRef area after the count");
static_assert(offsetof(XLOPER12, val.mref.lpmref) == 0, "Ref areas first");
static_assert(offsetof(XLOPER12, val.array.lparray) == 0, "Multi values first");
#if defined(_WIN32) && !defined(_WIN64)
// 32-bit Windows: 4-byte pointers, doubles aligned to 8 inside structures.
static_assert(sizeof(XCHAR) == 2, "UTF-16 text");
static_assert(sizeof(IDSHEET) == 4, "pointer-sized sheet id");
static_assert(offsetof(XLOPER12, val.mref.idSheet) == 4, "Ref sheet id");
static_assert(offsetof(XLOPER12, val.array.rows) == 4, "Multi rows");
static_assert(offsetof(XLOPER12, val.array.columns) == 8, "Multi columns");
static_assert(offsetof(XLOPER12, xltype) == 24, "type after the 24-byte value");
static_assert(sizeof(XLOPER12) == 32, "XLOPER12 size");
#elif UINTPTR_MAX == UINT64_MAX
// 64-bit Windows and 64-bit Linux alike.
static_assert(sizeof(IDSHEET) == 8, "pointer-sized sheet id");
static_assert(offsetof(XLOPER12, val.mref.idSheet) == 8, "Ref sheet id");
static_assert(offsetof(XLOPER12, val.array.rows) == 8, "Multi rows");
static_assert(offsetof(XLOPER12, val.array.columns) == 12, "Multi columns");
static_assert(offsetof(XLOPER12, xltype) == 24, "type after the 24-byte value");
static_assert(sizeof(XLOPER12) == 32, "XLOPER12 size");
#endif
#if defined(_WIN32)
static_assert(sizeof(XCHAR) == 2, "UTF-16 text on Windows");
#endif
