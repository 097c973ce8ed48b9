// The catalogue's process-wide objects (see catalogue.h).  Every constructor
// here is constexpr, so the objects are ready before any code runs.
#include "catalogue/catalogue.h"

CRecordList SubLists[kSubListCount];

CRecordList EmfacList;
CRecordList SourceTimevarList;
CRecordList RoadTimevarList;
CRecordList SubgrpList;
CRecordList VehicleList;
CRecordList RoadVehicleList;
CRecordList RoadtypeList;
CRoadVehicleDef RoadVehicleDef;

CRecordListKey CompanyList;
CRecordListKey FacilityList;

CRecordList DatabaseList;
CRecordList EdbNameList;
CRecordList EdbUserList;
CRecordList GridList;

CRecordList SpeedList(CRecordList::kByIndex);
CRecordList TemperatureList(CRecordList::kByIndex);
CRecordList ScenarioList(CRecordList::kByIndex);
CRecordList UnitSubList(CRecordList::kByIndex);
CRecordList UnitSubGrpList(CRecordList::kByIndex);
CRecordList UnitSubGrpEmList(CRecordList::kByIndex);

CSourceInfo SourceInfo;
