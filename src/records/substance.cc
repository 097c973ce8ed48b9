// Substance and searchkey records (see substance.h).
#include "records/substance.h"

#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/line_scan.h"
#include "records/record_line.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "transport/commands.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace {

// "EOF", the body, then the first reply line must begin with "OK!".
int32_t FinishSave() {
  int32_t r = IOLSendLine(L"EOF");
  if (r == 1) r = IOLPutDone();
  if (r != 1) return r;
  const wchar_t* line = IORLine();
  r = IORGetLine();
  if (r < 0) return -1;
  if (r == 0) {
    HTTPAbortCommand();
    return 0;
  }
  if (wcsncmp(line, L"OK!", 3) != 0) {
    SetErrorText("%s", Narrow(line).c_str());
    r = -1;
  }
  HTTPAbortCommand();
  return r;
}

}  // namespace

int32_t IORSubGetRec(int32_t first, int32_t list, SubRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORSubGetRec(%d, %d)\n", static_cast<int>(first), static_cast<int>(list));
  if (first) {
    IORStartRead();
    // A request that could not be sent is a failure, not an empty list.
    if (IOLSubGetAll(list) != 1) return IORLogged("IORSubGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  int32_t r = IORGetLine();
  if (r != 1) return IORLogged("IORSubGetRec", r);

  static_assert(SubNameSize == 256, "the name is cut to 255 characters");
  static wchar_t name[LineBufferSize];
  long long index = 0;
  const wchar_t* line = IORLine();
  LineScan scan(line);
  const wchar_t *begin = nullptr, *end = nullptr;
  int n = -1;
  if (scan.Integer(&index) && scan.Blanks()) {
    // Without a quote, or with nothing between the quotes, only the index.
    n = scan.Literal(L'"') && scan.UpToQuote(&begin, &end) ? 2 : 1;
  }
  if (n < 0) {
    n = swscanf(line, L"%lld \"%8095l[^\"]", &index, name);
    begin = name;
    end = name + (n == 2 ? wcslen(name) : 0);
  }
  // An index beyond 16 bits is refused, never wrapped onto another row.
  if (n < 1 || index < 0 || index > UINT16_MAX) {
    SetErrorText("Error in input: %s\n", Narrow(IORLine()).c_str());
    return IORLogged("IORSubGetRec", -1);
  }
  record->index = static_cast<uint16_t>(index);
  if (n == 2) CopyRange(record->name, SubNameSize, begin, end);
  return IORLogged("IORSubGetRec", 1);
}

int32_t IORSubPutRec(int32_t operation, int32_t list, const SubRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORSubPutRec(%d, %d)\n", static_cast<int>(operation), static_cast<int>(list));
  int32_t r = 1;
  switch (operation) {
    case RecordStart:
    case RecordStartFlag0:
      HTTPAbortCommand();  // one request at a time
      r = IOLSubPut(list, operation == RecordStartFlag0 ? TransferFlagSave0 : 0) == 1 ? 1 : -1;
      break;
    case RecordWrite:
      r = RecordLine().Int(record->index).Put(" \"").Field(record->name, SubNameSize).Put('"').Send() == 1 ? 1 : -1;
      break;
    case RecordFinish:
      r = FinishSave();
      break;
    case RecordAbort:
      HTTPAbortCommand();
      break;
    default:
      break;
  }
  return IORLogged("IORSubPutRec", r);
}
