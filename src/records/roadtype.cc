// Roadtype records (see roadtype.h).
#include "records/roadtype.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/float_text.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"ROADTYPE";

// A value line of a group: the first opens with the keyword, the others with
// white space.  Returns the rest after the keyword, or null.
const wchar_t* ValueRest(const wchar_t* line, const wchar_t* keyword, bool first) {
  if (first) {
    if (!keyscan::BeginsWith(line, keyword)) return nullptr;
    const wchar_t* rest = line + wcslen(keyword);
    return (*rest == 0 || *rest == L' ' || *rest == L'\t') ? rest : nullptr;
  }
  return (*line == L' ' || *line == L'\t') ? line : nullptr;
}

// Reads the next line of the block; false with the out-of-data message.
bool NextLine(const RoadtypeRec* record, const char* what, int number) {
  int32_t r = IORGetLine();
  if (r == 1) return true;
  if (r == 0) {
    SetLineErrorText("ROADTYPE %s: Out of data scanning %s %d\n", Narrow(record->name).c_str(), what, number);
  }
  return false;
}

int32_t ReadTypeday(RoadtypeRec* record, int k) {
  static wchar_t words[TimevarDayTypes + 1][LineBufferSize];
  uint16_t vehicle = record->vehicle[k];
  for (int hour = 1; hour <= TimevarHours; ++hour) {
    if (!NextLine(record, "TYPEDAY hour", hour)) return -1;
    const wchar_t* rest = ValueRest(IORLine(), L"TYPEDAY", hour == 1);
    if (rest) {
      // Four words that fit their fields and nothing after them.
      LineScan scan(rest);
      const wchar_t *begin[TimevarDayTypes], *end[TimevarDayTypes];
      bool quick = true;
      for (int day = 0; day < TimevarDayTypes && quick; ++day) {
        quick = scan.Word(&begin[day], &end[day]) && end[day] - begin[day] < static_cast<std::ptrdiff_t>(TimevarValueSize);
      }
      if (quick && scan.AtEnd()) {
        for (int day = 0; day < TimevarDayTypes; ++day) {
          CopyRange(record->block[k].typeday[day][hour - 1], TimevarValueSize, begin[day], end[day]);
        }
        continue;
      }
    }
    int n = rest ? swscanf(rest, L"%8095ls %8095ls %8095ls %8095ls %8095ls", words[0], words[1], words[2],
                           words[3], words[4])
                 : 0;
    bool ok = n == TimevarDayTypes;
    for (int day = 0; ok && day < TimevarDayTypes; ++day) ok = wcslen(words[day]) < TimevarValueSize;
    if (!ok) {
      SetErrorText("ROADTYPE %s: Error in typedays for VEHICLE %hu, hour %d\n", Narrow(record->name).c_str(), vehicle,
                   hour);
      return -1;
    }
    for (int day = 0; day < TimevarDayTypes; ++day) {
      CopyCut(record->block[k].typeday[day][hour - 1], TimevarValueSize, words[day]);
    }
  }
  return 1;
}

int32_t ReadMonths(RoadtypeRec* record, int k) {
  for (int part = 1; part <= 2; ++part) {
    if (!NextLine(record, "MONTH line", part)) return -1;
    const wchar_t* rest = ValueRest(IORLine(), L"MONTH", part == 1);
    int v[6];
    int end = -1;
    LineScan scan(rest ? rest : L"");
    int quick = 0;
    while (rest && quick < 6 && scan.Int32(&v[quick])) ++quick;
    bool ok = (quick == 6 && scan.AtEnd()) ||
              (rest && swscanf(rest, L" %d %d %d %d %d %d %n", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &end) == 6 &&
               end >= 0 && rest[end] == 0);
    for (int i = 0; ok && i < 6; ++i) ok = v[i] >= INT16_MIN && v[i] <= INT16_MAX;
    if (!ok) {
      SetErrorText("ROADTYPE %s: Error in months for VEHICLE %hu, line %d\n", Narrow(record->name).c_str(),
                   record->vehicle[k], part);
      return -1;
    }
    for (int i = 0; i < 6; ++i) record->block[k].month[(part - 1) * 6 + i] = static_cast<int16_t>(v[i]);
  }
  return 1;
}

int32_t ReadScenarios(RoadtypeRec* record, int k) {
  for (int part = 1; part <= 2; ++part) {
    if (!NextLine(record, "SCENARIO line", part)) return -1;
    const wchar_t* rest = ValueRest(IORLine(), L"SCENARIO", part == 1);
    float* v = record->block[k].scenario + (part - 1) * 5;
    int end = -1;
    LineScan scan(rest ? rest : L"");
    int quick = 0;
    while (rest && quick < 5 && scan.Float(&v[quick])) ++quick;
    if (quick == 5 && scan.AtEnd()) continue;
    if (!rest || swscanf(rest, L" %f %f %f %f %f %n", &v[0], &v[1], &v[2], &v[3], &v[4], &end) != 5 || end < 0 ||
        rest[end] != 0) {
      SetErrorText("ROADTYPE %s: Error in scenarios for VEHICLE %hu, line %d\n", Narrow(record->name).c_str(),
                   record->vehicle[k], part);
      return -1;
    }
  }
  return 1;
}

int32_t ReadSpeeds(RoadtypeRec* record, int k) {
  int32_t r = IORGetLine();
  if (r != 1) {
    if (r == 0) {
      SetLineErrorText("ROADTYPE %s: Out of data scanning MINSPEED/MAXSPEED for VEHICLE %hu\n",
                       Narrow(record->name).c_str(), record->vehicle[k]);
    }
    return -1;
  }
  int low = 0, high = 0, end = -1;
  LineScan scan(IORLine());
  bool quick = scan.Keyword(L"MINSPEED") && scan.Int32(&low) && scan.Blanks() && scan.Keyword(L"MAXSPEED") &&
               scan.Int32(&high) && scan.AtEnd();
  bool ok = quick || (swscanf(IORLine(), L"MINSPEED %d MAXSPEED %d %n", &low, &high, &end) == 2 && end >= 0 &&
                      IORLine()[end] == 0);
  if (!ok || low < INT16_MIN || low > INT16_MAX || high < INT16_MIN || high > INT16_MAX) {
    SetErrorText("ROADTYPE %s: Error in MINSPEED/MAXSPEED for VEHICLE %hu\n", Narrow(record->name).c_str(),
                 record->vehicle[k]);
    return -1;
  }
  record->block[k].minspeed = static_cast<int16_t>(low);
  record->block[k].maxspeed = static_cast<int16_t>(high);
  return 1;
}

int32_t ReadBlocks(RoadtypeRec* record) {
  for (int k = 0;; ++k) {
    if (!NextLine(record, "VEHICLE number", k + 1)) return -1;
    unsigned vehicle = 0;
    int end = -1;
    LineScan scan(IORLine());
    if (scan.Keyword(L"VEHICLE") && scan.Unsigned(&vehicle) && scan.AtEnd()) {
      end = static_cast<int>(scan.Rest() - IORLine());
    } else if (swscanf(IORLine(), L"VEHICLE %u %n", &vehicle, &end) != 1 || end < 0) {
      // Not a VEHICLE line: the separator.
      if (wcslen(IORLine()) >= 2) {
        SetErrorText("ROADTYPE %hu: Unexpected end of record: %s", record->index, Narrow(IORLine()).c_str());
        return -1;
      }
      return 1;
    }
    // Vehicle 0 would end the blocks, and the record holds ten.
    if (vehicle < 1 || vehicle > UINT16_MAX || IORLine()[end] != 0) {
      SetErrorText("ROADTYPE %s: Invalid VEHICLE line: %s\n", Narrow(record->name).c_str(), Narrow(IORLine()).c_str());
      return -1;
    }
    if (k == RoadtypeMaxVehicles) {
      SetErrorText("ROADTYPE %s: More than %d vehicles\n", Narrow(record->name).c_str(), RoadtypeMaxVehicles);
      return -1;
    }
    record->vehicle[k] = static_cast<uint16_t>(vehicle);
    if (ReadTypeday(record, k) != 1 || ReadMonths(record, k) != 1 || ReadScenarios(record, k) != 1 ||
        ReadSpeeds(record, k) != 1) {
      return -1;
    }
  }
}

int32_t ReadRecord(int32_t flags, RoadtypeRec* record) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, RoadtypeNameSize);
  if (r != 1) return r;
  if (GetKeyUShort(Kind, record->name, L"INDEX", &record->index) != 1) return -1;
  if (flags & TransferFlagNamesOnly) return IORRecordEnd("ROADTYPE", record->index);
  return ReadBlocks(record);
}

int32_t WriteBlock(const RoadtypeBlock& block, uint16_t vehicle) {
  if (IOLSendLine(L"VEHICLE %hu", static_cast<unsigned short>(vehicle)) != 1) return -1;
  for (int hour = 0; hour < TimevarHours; ++hour) {
    std::wstring v[TimevarDayTypes];
    for (int day = 0; day < TimevarDayTypes; ++day) v[day] = FieldText(block.typeday[day][hour], TimevarValueSize);
    if (IOLSendLine(L"%ls\t %ls %ls %ls %ls", hour == 0 ? L"TYPEDAY" : L"", v[0].c_str(), v[1].c_str(), v[2].c_str(),
                    v[3].c_str()) != 1) {
      return -1;
    }
  }
  for (int part = 0; part < 2; ++part) {
    const int16_t* m = block.month + part * 6;
    if (IOLSendLine(L"%ls\t %4d %4d %4d %4d %4d %4d", part == 0 ? L"MONTH" : L"", m[0], m[1], m[2], m[3], m[4],
                    m[5]) != 1) {
      return -1;
    }
  }
  for (int part = 0; part < 2; ++part) {
    const float* s = block.scenario + part * 5;
    if (IOLSendLine(L"%ls\t %ls %ls %ls %ls %ls", part == 0 ? L"SCENARIO" : L"", FloatText(s[0]).c_str(),
                    FloatText(s[1]).c_str(), FloatText(s[2]).c_str(), FloatText(s[3]).c_str(),
                    FloatText(s[4]).c_str()) != 1) {
      return -1;
    }
  }
  return IOLSendLine(L"MINSPEED %hd MAXSPEED %hd", block.minspeed, block.maxspeed);
}

int32_t WriteRecord(const RoadtypeRec* record) {
  if (IOLSendLine(L"NAME \"%ls\"", FieldText(record->name, RoadtypeNameSize).c_str()) != 1) return -1;
  if (IOLSendLine(L"INDEX %hu", static_cast<unsigned short>(record->index)) != 1) return -1;
  int n = RoadtypeVehicleCount(*record);
  for (int k = 0; k < n; ++k) {
    if (WriteBlock(record->block[k], record->vehicle[k]) != 1) return -1;
  }
  return IOLSendLine(L"");
}

}  // namespace

int32_t RoadtypeVehicleCount(const RoadtypeRec& record) {
  int32_t n = 0;
  while (n < RoadtypeMaxVehicles && record.vehicle[n] != 0) ++n;
  return n;
}

int32_t IORRoadtypeGetRec(int32_t first, int32_t flags, RoadtypeRec* record) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IORRoadtypeGetRec(%d, 0x%02x)\n", static_cast<int>(first), static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    if (IOLRoadtypesGetAll(flags) != 1) return IORLogged("IORRoadtypeGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IORRoadtypeGetRec", ReadRecord(flags, record));
}

int32_t IORRoadtypePutRec(int32_t operation, const RoadtypeRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORRoadtypePutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLRoadtypesPut(flags); };
  save.write = [record]() { return WriteRecord(record); };
  return IORLogged("IORRoadtypePutRec", RunRecordOperation(operation, save));
}
