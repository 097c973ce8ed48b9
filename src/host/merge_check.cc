// The merge check of the workbook's indexes against the server's (see
// merge_check.h).
#include "host/merge_check.h"

#include <cwchar>
#include <memory>
#include <new>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "records/road_vehicle.h"
#include "records/roadtype.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"
#include "records/vehicle.h"
#include "transport/commands.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "workbook/timevar_sheet.h"

namespace {

// Room for any name a catalogue list holds (the sheets' names have at most
// 255 characters).
constexpr size_t kNameSize = 1024;

int32_t Logged(const char* name, int32_t result) {
  if (DebugLevel > 0) DebugPrint(" <-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

// Reads the server's (name, index) pairs of a kind into list; 1 or -1.
// read(record, first) takes the next record of the kind's reply (first != 0
// starts the read): 1, 0 no more, -1; name(record) and index(record) give its
// pair.  With skipDash, empty names and "-" (no substance or searchkey) are
// left out.
template <class Rec, class Read, class Name, class Index>
int32_t ReadServerList(Read read, Name name, Index index, bool skipDash, CRecordList& list) {
  std::unique_ptr<Rec> record(new (std::nothrow) Rec);
  if (!record) {
    SetErrorText("Could not allocate memory for a record of the merge check");
    return -1;
  }
  int32_t r;
  for (int32_t first = 1; (r = read(record.get(), first)) == 1; first = 0) {
    const wchar_t* text = name(*record);
    if (skipDash && (text[0] == L'\0' || wcscmp(text, L"-") == 0)) continue;
    if (!list.Add(text, index(*record))) {
      SetErrorText("Could not allocate memory for %s", Narrow(text).c_str());
      r = -1;
      break;
    }
  }
  HTTPAbortCommand();  // the reply is done with, read to its end or not
  return r < 0 ? -1 : 1;
}

// One check: the server's pairs (read by readServer into a list sorted by
// index) against the workbook list.
template <class ReadServer>
int32_t RunCheck(const wchar_t* sheet, int32_t column, CRecordList& workbook, ReadServer readServer) {
  if (ErrorList.IsFull()) return 0;
  HTTPAbortCommand();
  CRecordList server;
  server.SetBadReference(false);
  server.SetSortKey(CRecordList::kByIndex);
  if (readServer(server) != 1) return -1;
  server.Sort();
  IsCompatible(sheet, column, workbook, server, ErrorList, WarningList);
  return ErrorList.Count() > 0 ? 0 : 1;
}

}  // namespace

int32_t IsCompatible(const wchar_t* sheet, int32_t column, CRecordList& workbook, const CRecordList& server,
                     IssueList& errors, IssueList& warnings) {
  if (DebugLevel > 0) DebugPrint("  --> IsCompatible()\n");
  static wchar_t name[kNameSize];
  int32_t index = 0;
  for (int32_t first = 1; workbook.ListWithIndex(first, name, kNameSize, &index) == 1; first = 0) {
    const wchar_t* known = server.NameOf(index);
    if (known && wcscmp(known, name) != 0) {
      errors.Add(sheet, -1, column, L"Index %d has different name in Kalvoro (%ls)", static_cast<int>(index), known);
    }
  }
  if (DebugLevel > 0) DebugPrint("  <-- IsCompatible = %d\n", 1);
  return 1;
}

int32_t MergeCheckSub(int32_t list) {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckSub(%d)\n", static_cast<int>(list));
  if (list < 0 || list >= kSubListCount) {
    SetErrorText("Unknown sub column: %d", static_cast<int>(list));
    return Logged("MergeCheckSub", -1);
  }
  const wchar_t* sheet = list == 0 ? L"Substance" : L"Searchkey";
  int32_t r = RunCheck(sheet, list, SubLists[list], [list](CRecordList& server) {
    return ReadServerList<SubRec>([list](SubRec* rec, int32_t first) { return IORSubGetRec(first, list, rec); },
                                  [](const SubRec& rec) { return rec.name; },
                                  [](const SubRec& rec) { return static_cast<int32_t>(rec.index); }, true, server);
  });
  return Logged("MergeCheckSub", r);
}

int32_t MergeCheckTimevar(int32_t kind) {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckTimevar(%d)\n", static_cast<int>(kind));
  int32_t k = kind == 0 ? 0 : 1;
  int32_t r = RunCheck(TimevarSheetName(k), 1, TimevarList(k), [k](CRecordList& server) {
    return ReadServerList<TimevarRec>(
        [k](TimevarRec* rec, int32_t first) { return IORTimevarGetRec(k, first, TransferFlagNamesOnly, rec); },
        [](const TimevarRec& rec) { return rec.name; },
        [](const TimevarRec& rec) { return static_cast<int32_t>(rec.index); }, false, server);
  });
  return Logged("MergeCheckTimevar", r);
}

int32_t MergeCheckSubgrp() {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckSubgrp()\n");
  int32_t r = RunCheck(L"Emission factor", 1, SubgrpList, [](CRecordList& server) {
    return ReadServerList<SubgrpRec>(
        [](SubgrpRec* rec, int32_t first) { return IORSubgrpGetRec(first, TransferFlagNamesOnly, rec); },
        [](const SubgrpRec& rec) { return rec.name; },
        [](const SubgrpRec& rec) { return static_cast<int32_t>(rec.index); }, false, server);
  });
  return Logged("MergeCheckSubgrp", r);
}

int32_t MergeCheckVehicle() {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckVehicle()\n");
  int32_t r = RunCheck(L"Vehicle", 1, VehicleList, [](CRecordList& server) {
    return ReadServerList<VehicleRec>(
        [](VehicleRec* rec, int32_t first) { return IORVehicleGetRec(first, TransferFlagNamesOnly, rec, nullptr); },
        [](const VehicleRec& rec) { return rec.name; },
        [](const VehicleRec& rec) { return static_cast<int32_t>(rec.index); }, false, server);
  });
  return Logged("MergeCheckVehicle", r);
}

int32_t MergeCheckRoadVehicle() {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckRoadVehicle()\n");
  int32_t r = RunCheck(L"Road Vehicle", 1, RoadVehicleList, [](CRecordList& server) {
    return ReadServerList<RoadVehicleRec>(
        [](RoadVehicleRec* rec, int32_t first) {
          return IORRoadVehicleGetRec(first, TransferFlagNamesOnly, rec, nullptr);
        },
        [](const RoadVehicleRec& rec) { return rec.name; },
        [](const RoadVehicleRec& rec) { return static_cast<int32_t>(rec.index); }, false, server);
  });
  return Logged("MergeCheckRoadVehicle", r);
}

int32_t MergeCheckRoadtype() {
  if (DebugLevel > 0) DebugPrint(" --> MergeCheckRoadtype()\n");
  int32_t r = RunCheck(L"Roadtype", 1, RoadtypeList, [](CRecordList& server) {
    return ReadServerList<RoadtypeRec>(
        [](RoadtypeRec* rec, int32_t first) { return IORRoadtypeGetRec(first, TransferFlagNamesOnly, rec); },
        [](const RoadtypeRec& rec) { return rec.name; },
        [](const RoadtypeRec& rec) { return static_cast<int32_t>(rec.index); }, false, server);
  });
  return Logged("MergeCheckRoadtype", r);
}

int32_t MergeCheckAll() {
  int32_t r = 1;
  for (int32_t list = 0; list < kSubListCount; ++list) {
    r = MergeCheckSub(list);
    if (r == -1 || ErrorList.IsFull()) return r;
  }
  using Check = int32_t (*)();
  static const Check kChecks[] = {
      [] { return MergeCheckTimevar(0); },
      [] { return MergeCheckTimevar(1); },
      MergeCheckSubgrp,
      MergeCheckVehicle,
      MergeCheckRoadVehicle,
      MergeCheckRoadtype,
  };
  for (Check check : kChecks) {
    if (r == -1 || ErrorList.IsFull()) break;
    r = check();
  }
  return r;
}
