// Vehicle records (see vehicle.h).
#include "records/vehicle.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "host/frame.h"
#include "records/activity_code.h"
#include "records/float_text.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"VEHICLE";

// "SPEED s EMISSION value" with only white space around; true and the value.
bool ScanSpeed(const wchar_t* line, int speed, float* value) {
  int number = 0;
  int end = -1;
  float v = 0;
  LineScan scan(line);
  if (scan.Blanks() && scan.Keyword(L"SPEED") && scan.Int32(&number) && scan.Blanks() && scan.Keyword(L"EMISSION") &&
      scan.Float(&v) && scan.AtEnd()) {
    if (number != speed) return false;
    *value = v;
    return true;
  }
  if (swscanf(line, L" SPEED %d EMISSION %f %n", &number, &v, &end) != 2 || end < 0) return false;
  if (line[end] != 0 || number != speed) return false;
  *value = v;
  return true;
}

// The SUBSTANCE blocks up to the separator (or the end of the reply, where a
// block may end the record).
int32_t ReadSubstances(VehicleRec* record) {
  int k = 0;
  for (;;) {
    int32_t r = IORGetLine();
    if (r < 0) return -1;
    if (r == 0 || wcslen(IORLine()) < 2) return 1;  // the separator, or the end after a whole block
    int value = 0;
    int end = -1;
    LineScan scan(IORLine());
    bool quick = scan.Keyword(L"SUBSTANCE") && scan.Int32(&value) && scan.AtEnd();
    if (!quick && (swscanf(IORLine(), L"SUBSTANCE %d %n", &value, &end) != 1 || end < 0 || IORLine()[end] != 0)) {
      SetErrorText("VEHICLE %hu: Expecting SUBSTANCE not %s", record->index, Narrow(IORLine()).c_str());
      return -1;
    }
    // Substance 0 would end the list, and the record holds 252 slots.
    if (value < 1 || value > INT16_MAX) {
      SetErrorText("VEHICLE %hu: Invalid substance %d", record->index, value);
      return -1;
    }
    if (k == VehicleMaxSubstances) {
      SetErrorText("VEHICLE %hu: More than %d substances", record->index, VehicleMaxSubstances);
      return -1;
    }
    record->substance[k] = static_cast<int16_t>(value);
    for (int s = 1; s <= VehicleSpeeds; ++s) {
      r = IORGetLine();
      if (r != 1) {
        if (r == 0) {
          SetLineErrorText("VEHICLE %hu: Out of data scanning SPEED %d for SUBSTANCE %d", record->index, s, value);
        }
        return -1;
      }
      if (!ScanSpeed(IORLine(), s, &record->emission[k][s - 1])) {
        SetErrorText("VEHICLE %hu: Error scanning SPEED %d for SUBSTANCE %d: %s", record->index, s, value,
                     Narrow(IORLine()).c_str());
        return -1;
      }
    }
    ++k;
  }
}

// Exchange sort of the filled slots by substance; each slot's emissions and
// slot word move with it.
void SortSlots(VehicleRec* record) {
  int n = VehicleSubstanceCount(*record);
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      if (record->substance[j] < record->substance[i]) {
        std::swap(record->substance[i], record->substance[j]);
        std::swap(record->emission[i], record->emission[j]);
        std::swap(record->slotWord[i], record->slotWord[j]);
      }
    }
  }
}

int32_t ReadRecord(int32_t flags, VehicleRec* record, CodeString* code) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, VehicleNameSize);
  if (r != 1) return r;
  if (GetKeyUShort(Kind, record->name, L"INDEX", &record->index) != 1) return -1;
  if (flags & TransferFlagNamesOnly) return IORRecordEnd("VEHICLE", record->index);
  if (IORReadActivityCode("VEHICLE", record->name, code) != 1) return -1;
  if (GetKeyLong(Kind, record->name, L"ISHEAVY", &record->isheavy) != 1) return -1;
  if (ReadSubstances(record) != 1) return -1;
  SortSlots(record);
  return 1;
}

int32_t WriteRecord(const VehicleRec* record, const CodeString* code) {
  if (IOLSendLine(L"NAME \"%ls\"", FieldText(record->name, VehicleNameSize).c_str()) != 1) return -1;
  if (IOLSendLine(L"INDEX %hu", static_cast<unsigned short>(record->index)) != 1) return -1;
  if (IOLSendLine(L"ACTIVITYCODE %ls", code ? code->Text() : L"") != 1) return -1;
  if (IOLSendLine(L"ISHEAVY %ld", static_cast<long>(record->isheavy)) != 1) return -1;
  int n = VehicleSubstanceCount(*record);
  for (int k = 0; k < n; ++k) {
    if (IOLSendLine(L"SUBSTANCE %d", static_cast<int>(record->substance[k])) != 1) return -1;
    for (int s = 1; s <= VehicleSpeeds; ++s) {
      if (IOLSendLine(L"    SPEED %3d EMISSION %ls", s, FloatText(record->emission[k][s - 1]).c_str()) != 1) {
        return -1;
      }
    }
  }
  return IOLSendLine(L"");
}

}  // namespace

int32_t VehicleSubstanceCount(const VehicleRec& record) {
  int32_t n = 0;
  while (n < VehicleMaxSubstances && record.substance[n] != 0) ++n;
  return n;
}

int32_t IORVehicleGetRec(int32_t first, int32_t flags, VehicleRec* record, CodeString* code) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IORVehicleGetRec(%d, 0x%02x)\n", static_cast<int>(first), static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    if (IOLVehiclesGetAll(flags) != 1) return IORLogged("IORVehicleGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IORVehicleGetRec", ReadRecord(flags, record, code));
}

int32_t IORVehiclePutRec(int32_t operation, const VehicleRec* record, const CodeString* code) {
  if (DebugLevel > 0) DebugPrint(" --> IORVehiclePutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLVehiclesPut(flags); };
  save.write = [record, code]() { return WriteRecord(record, code); };
  return IORLogged("IORVehiclePutRec", RunRecordOperation(operation, save));
}
