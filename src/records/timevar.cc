// Time-variation records (see timevar.h).
#include "records/timevar.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/float_text.h"
#include "records/line_scan.h"
#include "records/record_line.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"TIMEVAR";

// Every value of a line is read whole (as long as the line at most) and then
// cut to the field.
static_assert(MaxRecordLine == 8095, "the scan width below assumes lines of 8095 characters");
constexpr const wchar_t* TypedayShown = L" %ls %ls %ls %ls";
constexpr const wchar_t* TypedayScan = L" %8095ls %8095ls %8095ls %8095ls";

// The 24 TYPEDAY lines: the first with its keyword, the others with the
// four values alone.
int32_t ReadTypeday(TimevarRec* record) {
  static wchar_t words[TimevarDayTypes][LineBufferSize];
  for (int hour = 1; hour <= TimevarHours; ++hour) {
    const wchar_t* keyword = hour == 1 ? L"TYPEDAY" : L"";
    if (IORGetLine() != 1) {
      AppendErrorText("TIMEVAR %hu: Out of data scanning TYPEDAY, hour %d", record->index, hour);
      return -1;
    }
    const wchar_t* line = IORLine();
    LineScan scan(line);
    const wchar_t *begin[TimevarDayTypes], *end[TimevarDayTypes];
    bool quick = scan.Keyword(keyword);
    for (int day = 0; day < TimevarDayTypes && quick; ++day) quick = scan.Word(&begin[day], &end[day]);
    if (quick) {
      for (int day = 0; day < TimevarDayTypes; ++day) {
        CopyRange(record->typeday[day][hour - 1], TimevarValueSize, begin[day], end[day]);
      }
      continue;
    }
    int n = swscanf(line, keyscan::Pattern(keyword, TypedayScan).c_str(), words[0], words[1], words[2], words[3]);
    if (n != TimevarDayTypes) {
      SetErrorText("TIMEVAR %hu: Error scanning TYPEDAY, hour %d: %s (Number of fields %d) (pattern %s)",
                   record->index, hour, Narrow(IORLine()).c_str(), n < 0 ? 0 : n,
                   Narrow((std::wstring(keyword) + TypedayShown).c_str()).c_str());
      return -1;
    }
    for (int day = 0; day < TimevarDayTypes; ++day) {
      CopyCut(record->typeday[day][hour - 1], TimevarValueSize, words[day]);
    }
  }
  return 1;
}

int32_t ReadMonths(TimevarRec* record) {
  for (int part = 1; part <= 2; ++part) {
    const wchar_t* keyword = part == 1 ? L"MONTH" : L"";
    if (IORGetLine() != 1) {
      AppendErrorText("TIMEVAR %hu: Out of data scanning MONTH, part %d", record->index, part);
      return -1;
    }
    long long v[6];
    LineScan scan(IORLine());
    int n = scan.Keyword(keyword) ? 0 : -1;
    while (n >= 0 && n < 6 && scan.Integer(&v[n])) ++n;
    if (n != 6) {
      n = swscanf(IORLine(), keyscan::Pattern(keyword, L" %lld %lld %lld %lld %lld %lld").c_str(), &v[0], &v[1],
                  &v[2], &v[3], &v[4], &v[5]);
    }
    // A value beyond 16 bits is refused, never wrapped.
    for (int i = 0; i < n && n == 6; ++i) {
      if (v[i] < INT16_MIN || v[i] > INT16_MAX) n = i;
    }
    if (n != 6) {
      SetErrorText("TIMEVAR %hu: Error scanning MONTH, part %d: %s", record->index, part,
                   Narrow(IORLine()).c_str());
      return -1;
    }
    for (int i = 0; i < 6; ++i) record->month[(part - 1) * 6 + i] = static_cast<int16_t>(v[i]);
  }
  return 1;
}

int32_t ReadScenarios(TimevarRec* record) {
  for (int part = 1; part <= 2; ++part) {
    const wchar_t* keyword = part == 1 ? L"SCENARIO" : L"";
    if (IORGetLine() != 1) {
      AppendErrorText("TIMEVAR %hu: Out of data scanning SCENARIO, part %d", record->index, part);
      return -1;
    }
    double v[5];
    float f[5];
    LineScan scan(IORLine());
    int n = scan.Keyword(keyword) ? 0 : -1;
    while (n >= 0 && n < 5 && scan.Decimal(&v[n])) ++n;
    if (n != 5) {
      n = swscanf(IORLine(), keyscan::Pattern(keyword, L" %lf %lf %lf %lf %lf").c_str(), &v[0], &v[1], &v[2], &v[3],
                  &v[4]);
    }
    // A value no float holds is refused, never made infinite.
    for (int i = 0; i < n && n == 5; ++i) {
      if (!keyscan::FloatFits(v[i], &f[i])) n = i;
    }
    if (n != 5) {
      SetErrorText("TIMEVAR %hu: Error scanning SCENARIO, part %d: %s", record->index, part,
                   Narrow(IORLine()).c_str());
      return -1;
    }
    for (int i = 0; i < 5; ++i) record->scenario[(part - 1) * 5 + i] = f[i];
  }
  return 1;
}

int32_t ReadRecord(int32_t flags, TimevarRec* record) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, TimevarNameSize);
  if (r != 1) return r;
  if (GetKeyUShort(Kind, record->name, L"INDEX", &record->index) != 1) return -1;
  if (!(flags & TransferFlagNamesOnly)) {
    if (ReadTypeday(record) != 1 || ReadMonths(record) != 1 || ReadScenarios(record) != 1) return -1;
  }
  // The separator; the reply may also end here.
  return IORRecordEnd("FORMULA", record->index);
}

int32_t WriteRecord(const TimevarRec* record) {
  RecordLine line;
  if (line.Put("NAME \"").Field(record->name, TimevarNameSize).Put('"').Send() != 1) return -1;
  if (line.Put("INDEX ").Int(record->index).Send() != 1) return -1;
  for (int hour = 0; hour < TimevarHours; ++hour) {
    line.Put(hour == 0 ? "TYPEDAY\t" : "\t");
    for (int day = 0; day < TimevarDayTypes; ++day) {
      if (day > 0) line.Put(' ');
      line.Field(record->typeday[day][hour], TimevarValueSize);
    }
    if (line.Send() != 1) return -1;
  }
  for (int part = 0; part < 2; ++part) {
    line.Put(part == 0 ? "MONTH\t" : "\t");
    for (int i = 0; i < 6; ++i) {
      if (i > 0) line.Put(' ');
      line.Int(record->month[part * 6 + i]);
    }
    if (line.Send() != 1) return -1;
  }
  for (int part = 0; part < 2; ++part) {
    line.Put(part == 0 ? "SCENARIO\t" : "\t");
    for (int i = 0; i < 5; ++i) {
      if (i > 0) line.Put(' ');
      line.Float(record->scenario[part * 5 + i]);
    }
    if (line.Send() != 1) return -1;
  }
  return line.Send();
}

}  // namespace

int32_t IORTimevarGetRec(int32_t kind, int32_t first, int32_t flags, TimevarRec* record) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IORTimevarGetRec(%d, %d, 0x%02x)\n", static_cast<int>(kind), static_cast<int>(first),
               static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    // A request that could not be sent is a failure, not an empty list.
    if (IOLTimevarsGetAll(kind, flags) != 1) return IORLogged("IORTimevarGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IORTimevarGetRec", ReadRecord(flags, record));
}

int32_t IORTimevarPutRec(int32_t kind, int32_t operation, const TimevarRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORTimevarPutRec(%d, %d)\n", static_cast<int>(kind), static_cast<int>(operation));
  RecordSave save;
  save.start = [kind](int32_t flags) { return IOLTimevarsPut(kind, flags); };
  save.write = [record]() { return WriteRecord(record); };
  return IORLogged("IORTimevarPutRec", RunRecordOperation(operation, save));
}
