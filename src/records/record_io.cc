// The record layer's reply lines and the writer protocol (see record_io.h).
#include "records/record_io.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "transport/commands.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace {

// One character more than the lines we take, so that a longer line shows.
wchar_t g_line[LineBufferSize + 1];
bool g_refused = false;
bool g_pushedBack = false;

// How much of a refused line its message shows.
constexpr int RefusedLineShown = 60;

int32_t Finish(const wchar_t* expected) {
  int32_t r = IOLSendLine(L"EOF");
  if (r == 1) r = IOLPutDone();
  if (r == 1) r = VerifyDbWrite(expected);
  HTTPAbortCommand();
  return r;
}

}  // namespace

wchar_t* IORLine() { return g_line; }

int32_t IORGetLine() {
  if (g_pushedBack) {
    g_pushedBack = false;
    return 1;
  }
  g_refused = false;
  size_t length = 0;
  int32_t r = WcsGetLineCounted(g_line, LineBufferSize + 1, &length);
  if (r != 1) return r;
  if (length > MaxRecordLine) {
    g_refused = true;
    SetErrorText("Line longer than %u characters refused: %.*s...\n", static_cast<unsigned>(MaxRecordLine),
                 RefusedLineShown, Narrow(g_line).c_str());
    g_line[0] = L'\0';
    return -1;
  }
  return 1;
}

bool IORLineRefused() { return g_refused; }

void SetLineErrorText(const char* format, ...) {
  static char text[ErrorTextSize];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (g_refused) {
    AppendErrorText("%s", text);
  } else {
    SetErrorText("%s", text);
  }
}

void IORUngetLine() { g_pushedBack = true; }

void IORStartRead() {
  g_pushedBack = false;
  g_refused = false;
  g_line[0] = L'\0';
  HTTPAbortCommand();
}

int32_t RunRecordOperation(int32_t operation, const RecordSave& save) {
  int32_t r = 1;
  switch (operation) {
    case RecordStart:
    case RecordStartFlag0:
    case RecordStartFlag1: {
      if (operation == RecordStartFlag1 && !save.knowsStartFlag1) return 1;
      int32_t flags = operation == RecordStartFlag0   ? TransferFlagSave0
                      : operation == RecordStartFlag1 ? TransferFlagSave1
                                                      : 0;
      HTTPAbortCommand();  // one request at a time
      r = save.start(flags);
      break;
    }
    case RecordWrite:
      r = save.write();
      break;
    case RecordFinish:
      return Finish(save.expectedReply) == 1 ? 1 : -1;
    case RecordAbort:
      HTTPAbortCommand();
      return 1;
    default:
      return 1;
  }
  if (r != 1) {
    HTTPAbortCommand();
    return -1;
  }
  return 1;
}

void CopyCut(wchar_t* out, size_t size, const wchar_t* text) {
  if (size == 0) return;
  size_t n = 0;
  if (text) {
    for (; text[n] && n + 1 < size; ++n) out[n] = text[n];
  }
  out[n] = L'\0';
}

std::wstring FieldText(const wchar_t* field, size_t size) {
  if (!field || size == 0) return std::wstring();
  size_t n = 0;
  while (n + 1 < size && field[n]) ++n;
  return std::wstring(field, n);
}
