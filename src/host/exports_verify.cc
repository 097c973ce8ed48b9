// The verification pass the macro runs before a save: VKUpdateSub rebuilds the
// catalogue from the workbook's name-index sheets (after emptying both issue
// lists), VKVerifySub checks the reference-data sheets against it, and
// VKMergeCheck compares the workbook's indexes with the server's.  Each adds
// its findings to the ErrorList and the WarningList and answers 1 only when
// the ErrorList is empty afterwards; -1 when a sheet or the server could not
// be read.
#include <cstdint>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/index_update.h"
#include "host/issue_list.h"
#include "host/merge_check.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/company_sheet.h"
#include "workbook/emfac_sheet.h"
#include "workbook/road_vehicle_def_sheet.h"
#include "workbook/road_sheet.h"
#include "workbook/road_vehicle_sheet.h"
#include "workbook/roadtype_sheet.h"
#include "workbook/row_gap_check.h"
#include "workbook/rsrc_verify.h"
#include "workbook/source_sheet.h"
#include "workbook/subgrp_sheet.h"
#include "workbook/timevar_sheet.h"
#include "workbook/vehicle_sheet.h"

namespace {

// 1 becomes 0 while the ErrorList holds anything; other results stay.
int32_t Verdict(int32_t result) { return (result == 1 && ErrorList.Count() > 0) ? 0 : result; }

// Opens a verifier and, unless that failed, runs it over its sheet.
template <class Verifier, class Open>
int32_t OpenAndRun(const char* label, Open open) {
  if (DebugLevel > 0) DebugPrint("\t%s\n", label);
  Verifier verifier;
  int32_t r = open(verifier);
  if (r == -1) return -1;
  return verifier.VerifyRec();
}

// The same for the verifiers that check one record per run: run while they
// answer 1; 0 ends the sheet with 1.
template <class Verifier, class Open>
int32_t OpenAndRunEach(const char* label, Open open) {
  if (DebugLevel > 0) DebugPrint("\t%s\n", label);
  Verifier verifier;
  if (open(verifier) == -1) return -1;
  int32_t r;
  while ((r = verifier.VerifyRec()) == 1) {
  }
  return r == 0 ? 1 : r;
}

}  // namespace

int32_t VKAPI VKUpdateSub(void) {
  if (DebugLevel > 0) DebugPrint("--> VKUpdateSub()\n");
  ErrorList.Clear();
  WarningList.Clear();
  int32_t r = Verdict(UpdateAllIdx());
  if (DebugLevel > 0) DebugPrint("<-- VKUpdateSub = %d\n", static_cast<int>(r));
  return r;
}

int32_t VKAPI VKVerifySub(void) {
  if (DebugLevel > 0) DebugPrint("--> VKVerifySub()\n");
  using Step = int32_t (*)();
  static const Step kSteps[] = {
      [] { return CheckAllRowGaps(ErrorList); },  // rows a save would not reach
      [] {
        return OpenAndRun<CExcelVerifyTimevar>("Timevar source", [](CExcelVerifyTimevar& v) {
          return v.Init(0, SourceTimevarList, ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifyTimevar>("Timevar road", [](CExcelVerifyTimevar& v) {
          return v.Init(1, RoadTimevarList, ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifySubgrp>("Substance groups", [](CExcelVerifySubgrp& v) {
          return v.Init(SubLists[0], UnitSubGrpList, ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifyEmfac>("Emission factors", [](CExcelVerifyEmfac& v) {
          return v.Init(SubLists[0], ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifyRsrc>("Resources", [](CExcelVerifyRsrc& v) {
          return v.Init(ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifyVehicle>("Vehicles", [](CExcelVerifyVehicle& v) {
          return v.Init(SubLists[0], SpeedList, ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRun<CExcelVerifyRoadVehicleDef>("Road Vehicles Def", [](CExcelVerifyRoadVehicleDef& v) {
          return v.Init(RoadVehicleDef.Dimensions(), ErrorList, WarningList);
        });
      },
      [] {
        return OpenAndRunEach<CExcelVerifyRoadVehicle>("Road Vehicles", [](CExcelVerifyRoadVehicle& v) {
          return v.Init(SubLists[0], RoadVehicleDef, RoadVehicleList, RoadVehicleDef.Dimensions(), ErrorList,
                        WarningList);
        });
      },
      [] {
        return OpenAndRunEach<CExcelVerifyRoadtype>("Roadtypes", [](CExcelVerifyRoadtype& v) {
          return v.Init(VehicleList, SpeedList, ErrorList, WarningList);
        });
      },
  };
  int32_t r = 1;
  for (Step step : kSteps) {
    if (r == -1 || ErrorList.IsFull()) break;
    r = step();
  }
  r = Verdict(r);
  if (DebugLevel > 0) DebugPrint("<-- VKVerifySub = %d\n", static_cast<int>(r));
  return r;
}

int32_t VKAPI VKMergeCheck(void) {
  if (DebugLevel > 0) DebugPrint("--> VKMergeCheck()\n");
  int32_t r = MergeCheckAll();
  if (DebugLevel > 0) DebugPrint("<-- VKMergeCheck = %d\n", static_cast<int>(r));
  return r;
}

namespace {

// One sheet's verification: a missing sheet is nothing to verify; rows below
// the first one without a name, which a save would not reach, are errors.
template <class Verifier, class Open>
int32_t VerifyOneSheet(const char* name, const wchar_t* sheet, Open open) {
  if (DebugLevel > 0) DebugPrint("--> %s()\n", name);
  int32_t r = 0;
  if (!ErrorList.IsFull()) {
    Verifier verifier;
    r = open(verifier);
    if (r == 0) {
      r = Verdict(1);
    } else if (r == 1) {
      r = verifier.VerifyRec();
      if (r == 1) r = CheckRowGap(RowGapSheet{sheet, 1, 1, 1}, ErrorList);
      r = Verdict(r);
    }
  }
  if (DebugLevel > 0) DebugPrint("<-- %s = %d\n", name, static_cast<int>(r));
  return r;
}

}  // namespace

int32_t VKAPI VKVerifyCompany(void) {
  return VerifyOneSheet<CExcelVerifyCompany>("VKVerifyCompany", CompanySheetName, [](CExcelVerifyCompany& v) {
    return v.Init(ErrorList, WarningList);
  });
}

int32_t VKAPI VKVerifyFacility(void) {
  return VerifyOneSheet<CExcelVerifyFacility>("VKVerifyFacility", FacilitySheetName, [](CExcelVerifyFacility& v) {
    CompanyList.Sort(CRecordListKey::kByName);  // looked up by name
    return v.Init(CompanyList, ErrorList, WarningList);
  });
}

int32_t VKAPI VKVerifySource(void) {
  return VerifyOneSheet<CExcelVerifySource>("VKVerifySource", SourceSheetName, [](CExcelVerifySource& v) {
    FacilityList.Sort(CRecordListKey::kByName);  // looked up by name
    SourceSheetLists lists{SubLists,      &SourceTimevarList, &EmfacList,     &SubgrpList,
                           &FacilityList, &UnitSubList,       &UnitSubGrpList};
    return v.Init(lists, &SourceInfo, ErrorList, WarningList);
  });
}

int32_t VKAPI VKVerifyRoad(const wchar_t* sheet) {
  const wchar_t* name = sheet ? sheet : L"";
  if (DebugLevel > 0) DebugPrint("--> VKVerifyRoad(%s)\n", Narrow(name).c_str());
  int32_t r = 0;
  if (!ErrorList.IsFull()) {
    CExcelVerifyRoad verifier;
    r = verifier.Init(name, CatalogueRoadLists(), ErrorList, WarningList);
    if (r == 0) {
      r = Verdict(1);
    } else if (r == 1) {
      while ((r = verifier.VerifyRec()) == 1) {
      }
      if (r == 0) r = CheckRowGap(RowGapSheet{name, 1, 1, 1}, ErrorList);
      r = Verdict(r);
    }
  }
  if (DebugLevel > 0) DebugPrint("<-- VKVerifyRoad = %d\n", static_cast<int>(r));
  return r;
}
