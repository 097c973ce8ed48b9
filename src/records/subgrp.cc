// Substance-group records (see subgrp.h).
#include "records/subgrp.h"

#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"SUBGRP";

// substance, slope, m and the unit, cut to its field.
static_assert(SubgrpUnitSize == 64, "the unit's scan width is 63");
constexpr const wchar_t* SlotPattern = L"\t%lld\t%lf\t%lf %63ls";

int32_t ReadSlots(SubgrpRec* record) {
  std::string name = Narrow(record->name);
  if (IORGetLine() != 1) {
    SetLineErrorText("SUBGRP %s: Out of data scanning SUBSTANCES\n", name.c_str());
    return -1;
  }
  if (!keyscan::BeginsWith(IORLine(), L"SUBSTANCES")) {
    SetErrorText("SUBGRP %s: Error in SUBSTANCES header: %s\n", name.c_str(), Narrow(IORLine()).c_str());
    return -1;
  }
  for (int slot = 1;; ++slot) {
    if (IORGetLine() != 1) {
      SetLineErrorText("SUBGRP %s: Out of data scanning SUBSTANCE line %d\n", name.c_str(), slot);
      return -1;
    }
    long long substance = 0;
    double slopeRead = 0, mRead = 0;
    float slope = 0, m = 0;
    wchar_t unit[SubgrpUnitSize];
    int n = swscanf(IORLine(), SlotPattern, &substance, &slopeRead, &mRead, unit);
    if (n < 1) return 1;  // the separator
    // A substance index or a number the slot cannot hold is refused, never
    // wrapped or made infinite.  Substance 0 marks an unused slot, which no
    // line stands for (the writer would drop it).
    if (n < 4 || substance == 0 || substance < INT16_MIN || substance > INT16_MAX || !keyscan::FloatFits(slopeRead, &slope) ||
        !keyscan::FloatFits(mRead, &m)) {
      SetErrorText("SUBGRP %s: Error in SUBSTANCES line %d: %s\n", name.c_str(), slot, Narrow(IORLine()).c_str());
      return -1;
    }
    if (slot > SubgrpSlots) {
      SetErrorText("SUBGRP %s: More than %d SUBSTANCES lines: %s\n", name.c_str(), SubgrpSlots,
                   Narrow(IORLine()).c_str());
      return -1;
    }
    record->substance[slot - 1] = static_cast<int16_t>(substance);
    record->slope[slot - 1] = slope;
    record->m[slot - 1] = m;
    CopyCut(record->unit[slot - 1], SubgrpUnitSize, unit);
  }
}

int32_t ReadRecord(int32_t flags, SubgrpRec* record) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, SubgrpNameSize);
  if (r != 1) return r;
  if (GetKeyULong(Kind, record->name, L"INDEX", &record->index) != 1) return -1;
  if (!(flags & TransferFlagNamesOnly)) return ReadSlots(record);
  return IORRecordEnd("SUBGRP", record->index);
}

int32_t WriteRecord(const SubgrpRec* record) {
  if (IOLSendLine(L"NAME \"%ls\"", FieldText(record->name, SubgrpNameSize).c_str()) != 1) return -1;
  if (IOLSendLine(L"INDEX %lu", static_cast<unsigned long>(record->index)) != 1) return -1;
  if (IOLSendLine(L"SUBSTANCES") != 1) return -1;
  for (int slot = 0; slot < SubgrpSlots; ++slot) {
    if (record->substance[slot] == 0) continue;
    if (IOLSendLine(L"\t%d \t%ls \t%ls \t%ls", static_cast<int>(record->substance[slot]),
                    FloatText(record->slope[slot]).c_str(), FloatText(record->m[slot]).c_str(),
                    FieldText(record->unit[slot], SubgrpUnitSize).c_str()) != 1) {
      return -1;
    }
  }
  return IOLSendLine(L"");
}

}  // namespace

int32_t IORSubgrpGetRec(int32_t first, int32_t flags, SubgrpRec* record) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IORSubgrpGetRec(%d, 0x%02x)\n", static_cast<int>(first), static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    // A request that could not be sent is a failure, not an empty list.
    if (IOLSubgrpsGetAll(flags) != 1) return IORLogged("IORSubgrpGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IORSubgrpGetRec", ReadRecord(flags, record));
}

int32_t IORSubgrpPutRec(int32_t operation, const SubgrpRec* record) {
  if (DebugLevel > 0) DebugPrint(" --> IORSubgrpPutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLSubgrpsPut(flags); };
  save.write = [record]() { return WriteRecord(record); };
  return IORLogged("IORSubgrpPutRec", RunRecordOperation(operation, save));
}
