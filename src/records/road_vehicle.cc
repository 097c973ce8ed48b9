// Road-vehicle records (see road_vehicle.h).
#include "records/road_vehicle.h"

#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/activity_code.h"
#include "records/float_text.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/http.h"

namespace {

constexpr const wchar_t* VehicleKind = L"VEHICLE";
constexpr const wchar_t* Kind = L"ROAD VEHICLE";

// The index of the record read last, for the emission lines' messages.
uint32_t g_lastIndex = 0;

int32_t ReadRecord(int32_t flags, RoadVehicleRec* record, CodeString* code) {
  int32_t r = GetKeyString(VehicleKind, false, L"", L"NAME", record->name, RoadVehicleNameSize);
  if (r != 1) return r;
  if (GetKeyULong(VehicleKind, record->name, L"INDEX", &record->index) != 1) return -1;
  g_lastIndex = record->index;
  if (flags & TransferFlagNamesOnly) return IORRecordEnd("ROAD VEHICLE", record->index);
  if (IORReadActivityCode("ROAD VEHICLE", record->name, code) != 1) return -1;
  if (GetKeyLong(Kind, record->name, L"ISHEAVY", &record->isheavy) != 1 ||
      GetKeyLong(Kind, record->name, L"ISTRAFFIC", &record->istraffic) != 1 ||
      GetKeyLong(Kind, record->name, L"WEIGHT", &record->weight) != 1 ||
      GetKeyLong(Kind, record->name, L"EMISSIONMODEL", &record->emissionmodel) != 1 ||
      GetKeyFloat(Kind, record->name, L"FLOWEQUI", &record->flowequi) != 1 ||
      GetKeyULong(VehicleKind, record->name, L"DEPENDENCY", &record->dependency) != 1) {
    return -1;
  }
  // INFO is the record's last line: a reply that ends before it has lost
  // the record, which is a failure, not the end of the records.
  return GetKeyString(Kind, true, record->name, L"INFO", record->info, RoadVehicleInfoSize) == 1 ? 1 : -1;
}

int32_t WriteRecord(const RoadVehicleRec* record, const CodeString* code) {
  if (IOLSendLine(L"NAME \"%ls\"", FieldText(record->name, RoadVehicleNameSize).c_str()) != 1) return -1;
  if (IOLSendLine(L"INDEX %lu", static_cast<unsigned long>(record->index)) != 1) return -1;
  if (IOLSendLine(L"ACTIVITYCODE %ls", code ? code->Text() : L"") != 1) return -1;
  if (IOLSendLine(L"ISHEAVY %ld", static_cast<long>(record->isheavy)) != 1) return -1;
  if (IOLSendLine(L"ISTRAFFIC %ld", static_cast<long>(record->istraffic)) != 1) return -1;
  if (IOLSendLine(L"WEIGHT %f", static_cast<double>(record->weight)) != 1) return -1;
  if (IOLSendLine(L"EMISSIONMODEL %ld", static_cast<long>(record->emissionmodel)) != 1) return -1;
  if (IOLSendLine(L"FLOWEQUI %ls", FloatText(record->flowequi).c_str()) != 1) return -1;
  if (IOLSendLine(L"DEPENDENCY %lu", static_cast<unsigned long>(record->dependency)) != 1) return -1;
  return IOLSendLine(L"INFO \"%ls\"", FieldText(record->info, RoadVehicleInfoSize).c_str());
}

}  // namespace

int32_t IORRoadVehicleGetRec(int32_t first, int32_t flags, RoadVehicleRec* record, CodeString* code) {
  if (DebugLevel > 0) {
    DebugPrint(" --> IORRoadVehicleGetRec(%d, 0x%02x)\n", static_cast<int>(first), static_cast<unsigned>(flags));
  }
  if (first) {
    IORStartRead();
    if (IOLRoadVehiclesGetAll(flags) != 1) return IORLogged("IORRoadVehicleGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  return IORLogged("IORRoadVehicleGetRec", ReadRecord(flags, record, code));
}

int32_t IORRoadVehicleGetEmFac(const wchar_t** line) {
  *line = L"";
  int32_t r = IORGetLine();
  if (r < 0) AppendErrorText("ROAD VEHICLE %lu: Out of data scanning emission", static_cast<unsigned long>(g_lastIndex));
  if (r != 1) return r;  // the end of the reply also ends the record's lines
  *line = IORLine();
  return IORLine()[0] != L'\0' ? 1 : 0;
}

int32_t IORRoadVehiclePutRec(int32_t operation, const RoadVehicleRec* record, const CodeString* code) {
  if (DebugLevel > 0) DebugPrint(" --> IORRoadVehiclePutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLRoadVehiclesPut(flags); };
  save.write = [record, code]() { return WriteRecord(record, code); };
  return IORLogged("IORRoadVehiclePutRec", RunRecordOperation(operation, save));
}

int32_t IORRoadVehiclePutLine(int32_t unused, const wchar_t* line) {
  if (IOLSendLine(L"%ls", line ? line : L"") == 1) return 1;
  HTTPAbortCommand();
  return -1;
}
