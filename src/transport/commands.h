// The server commands: one GET per read or list, one POST per save, each
// naming the current database, EDB user and EDB.
#pragma once

#include <cstdint>
#include <string>

// Option bits of reads and saves.
enum TransferFlags : int32_t {
  TransferFlagSave0 = 1,      // save: eighth header line "1"
  TransferFlagSave1 = 2,      // save: seventh header line "1"
  TransferFlagNamesOnly = 4,  // read: records hold only NAME and INDEX
};

// Kind words of the record kinds.
namespace KindWord {
constexpr const wchar_t* Substance = L"sub";
constexpr const wchar_t* SourceTimevar = L"timevarp";
constexpr const wchar_t* RoadTimevar = L"timevarr";
constexpr const wchar_t* Subgrp = L"subgrp";
constexpr const wchar_t* Emfac = L"emfac";
constexpr const wchar_t* Vehicle = L"veh";
constexpr const wchar_t* RoadVehicleDef = L"svehsb";
constexpr const wchar_t* RoadVehicle = L"sveh";
constexpr const wchar_t* Roadtype = L"roadtype";
constexpr const wchar_t* Company = L"company";
constexpr const wchar_t* Facility = L"facility";
constexpr const wchar_t* SourceRead = L"source2";
constexpr const wchar_t* SourceSave = L"source";
constexpr const wchar_t* Road = L"road";
}  // namespace KindWord

// Lists and loads: 1 request sent, -1 failed ("Request '...' failed" added).
int32_t IOLDatabasesList();
int32_t IOLEdbUsersList();
int32_t IOLEdbNamesList();
int32_t IOLEdbRsrcLoad();
int32_t IOLGridsGetAllNames();
int32_t IOLSubGetAll(int32_t list);
int32_t IOLTimevarsGetAll(int32_t kind, int32_t flags);
int32_t IOLSubgrpsGetAll(int32_t flags);
int32_t IOLEmfacsGetAll(int32_t flags);
int32_t IOLVehiclesGetAll(int32_t flags);
int32_t IOLRoadVehicleDefsGetAll(int32_t flags);
int32_t IOLRoadVehiclesGetAll(int32_t flags);
int32_t IOLRoadtypesGetAll(int32_t flags);
int32_t IOLCompaniesGetAll();
int32_t IOLFacilitiesGetAll();
int32_t IOLSourcesGetAll();
int32_t IOLRoadsGetAll();
int32_t IOLGridGetInit(const wchar_t* grid);
int32_t IOLGridGetAsc(const wchar_t* grid);
int32_t IOLGridGetData(const wchar_t* grid);
int32_t IOLGridCleanup(const wchar_t* grid);

// Saves: the POST and its header lines; the records follow with IOLSendLine.
int32_t IOLSubPut(int32_t list, int32_t flags);
int32_t IOLTimevarsPut(int32_t kind, int32_t flags);
int32_t IOLSubgrpsPut(int32_t flags);
int32_t IOLEmfacsPut(int32_t flags);
int32_t IOLVehiclesPut(int32_t flags);
int32_t IOLRoadVehiclesPut(int32_t flags);
int32_t IOLRoadtypesPut(int32_t flags);
int32_t IOLCompaniesPut(int32_t flags);
int32_t IOLFacilitiesPut(int32_t flags);
int32_t IOLSourcesPut(int32_t flags);
int32_t IOLRoadsPut(int32_t flags);
int32_t IOLEdbRsrcSave();
int32_t IOLEdbCreate(const wchar_t* name);
int32_t IOLGridPutInit(const wchar_t* grid);
int32_t IOLGridPutAsc(const wchar_t* grid);
int32_t IOLGridPutData(const wchar_t* grid);
int32_t IOLGridPutDone(const wchar_t* grid);

// Formats a wide line and appends it to the body (embedded LFs make several
// body lines).
int32_t IOLSendLine(const wchar_t* format, ...);
// The same for a line already in ISO 8859-1, one byte a character (what
// IOLSendLine makes of its wide line).
int32_t IOLSendNarrowLine(const std::string& line);
int32_t IOLPutDone();

int32_t SendDbReadCmd(wchar_t* url, const wchar_t* kind, int32_t flags);
int32_t SendDbWriteCmd(wchar_t* url, const wchar_t* kind, int32_t count, int32_t flags);
// Every reply line must begin with `expected`: 1, or -1 with the first other
// line added to ErrorText.
int32_t VerifyDbWrite(const wchar_t* expected);
