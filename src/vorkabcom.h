/* VORKABCOM's exported functions, as a workbook (or any host) calls them.
 *
 * Text arguments are the platform's wide strings (UTF-16 on Windows);
 * buffers are the caller's, sized as each function says.  Results: 1 success
 * (or "call again" in incremental transfers), 0 finished or nothing found,
 * -1 failure with the reason waiting in VKError.
 */
#ifndef VORKABCOM_H
#define VORKABCOM_H

#include <stdint.h>
#include <wchar.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VKAPI __stdcall
#else
#define VKAPI
#endif

#if defined(_WIN32)
#define VKEXPORT
#else
#define VKEXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Frame and login */
VKEXPORT int32_t VKAPI VKInit(wchar_t* user, const wchar_t* password, const wchar_t* unused3,
                              const wchar_t* server, const wchar_t* unused5,
                              const wchar_t* unused6, int32_t unused7);
VKEXPORT int32_t VKAPI VKFree(void);
VKEXPORT int32_t VKAPI VKError(char* buffer, int32_t size);
VKEXPORT int32_t VKAPI VKAbout(wchar_t* text, int32_t* flag, wchar_t* server);
VKEXPORT void VKAPI VKTest(void);

/* Selection.  Load: refill a list from the server (1 loaded; failure -1 for
 * databases, 0 for EDB users and EDB names).  List: 1 and the next name
 * (buffers hold 1024 characters), 0 at the end.  Get buffers hold 1024
 * characters.  An empty EDB name selects "x"; with the EDB user "global"
 * VKEdbNameGet gives an empty text. */
VKEXPORT int32_t VKAPI VKDatabasesLoad(void);
VKEXPORT int32_t VKAPI VKDatabasesList(int32_t first, wchar_t* buffer);
VKEXPORT void VKAPI VKDatabaseSet(const wchar_t* name);
VKEXPORT void VKAPI VKDatabaseGet(wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbUsersLoad(void);
VKEXPORT int32_t VKAPI VKEdbUsersList(int32_t first, wchar_t* buffer);
VKEXPORT void VKAPI VKEdbUserSet(const wchar_t* name);
VKEXPORT void VKAPI VKEdbUserGet(wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbNamesLoad(void);
VKEXPORT int32_t VKAPI VKEdbNamesList(int32_t first, wchar_t* buffer);
VKEXPORT void VKAPI VKEdbNameSet(const wchar_t* name);
VKEXPORT void VKAPI VKEdbNameGet(wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbCreate(const wchar_t* name);

/* Incremental transfers.  mode 1 starts, 0 continues, any other value aborts
 * (result 0); a Save's start mode may add 2 (TransferFlags bit 0).  Results:
 * 1 call again, 0 finished, -1 failure.  count (12 characters) receives the
 * running count.  list: 0 substances (Load only), 1-5 searchkeys; kind: 0
 * source time variations, other road time variations. */
VKEXPORT int32_t VKAPI VKSubLoad(int32_t mode, int32_t list, wchar_t* count);
VKEXPORT int32_t VKAPI VKSubSave(int32_t mode, int32_t list, wchar_t* count);
VKEXPORT int32_t VKAPI VKTimevarsLoad(int32_t kind, int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKTimevarsSave(int32_t kind, int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKEmfacsLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKEmfacsSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKSubgrpsLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKSubgrpsSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKVehiclesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKVehiclesSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadtypesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadtypesSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadVehiclesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadVehiclesSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKCompaniesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKCompaniesSave(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKFacilitiesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKFacilitiesSave(int32_t mode, wchar_t* count);
/* Sources ("Source" sheet): the Load lays the emission block columns out from
 * the listing header; the Save reads the rows through the layout of the
 * heading row, as VKVerifySource finds it, and fails when it is damaged. */
VKEXPORT int32_t VKAPI VKSourcesLoad(int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKSourcesSave(int32_t mode, wchar_t* count);

/* Grids: sheet is the grid sheet "Grid." followed by the grid name.  A Load
 * moves 500 cells a call and 60000 a sheet; after a full sheet it returns the
 * number n of the next sheet (2, 3 ...), which the caller adds as "sheet (n)"
 * before it calls again with mode 0.  A Save reads those sheets in turn.
 * GridsList: with first != 0 fetches the EDB's grids; 1 and the next grid
 * sheet name in buffer (261 characters), 0 at the end, -1 failure.
 * VerifyGrid: the sheet and its continuation sheets; 1, 0 or -1 as the
 * verifications below. */
VKEXPORT int32_t VKAPI VKGridLoad(int32_t mode, const wchar_t* sheet, wchar_t* count);
VKEXPORT int32_t VKAPI VKGridSave(int32_t mode, const wchar_t* sheet, wchar_t* count);
VKEXPORT int32_t VKAPI VKGridsList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKVerifyGrid(const wchar_t* sheet);
/* Roads, one per row of the sheet named.  Load: 200 roads a call and at
 * most 60000 a sheet; a full sheet answers 2, and the next call (mode 8, the
 * name of a new sheet) goes on there.  Save: one sheet; mode value 4 adds
 * its roads to those saved before (the further sheets of a Load). */
VKEXPORT int32_t VKAPI VKRoadsLoad(const wchar_t* sheet, int32_t mode, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadsSave(const wchar_t* sheet, int32_t mode, wchar_t* count);

/* The road-vehicle definition, loaded before the road vehicles.  DefLoad: a
 * single call; flags are passed to the server's read; count receives the
 * number of dimensions; 1 read, 0 the EDB has none, -1 failure.  DefDim: the
 * number of dimensions into buffer (12 characters); 1.  DefDimText: the name
 * of dimension (0-based) into buffer (256 characters, cut); 1, or -1 when
 * there is no such dimension. */
VKEXPORT int32_t VKAPI VKRoadVehiclesDefLoad(int32_t flags, wchar_t* count);
VKEXPORT int32_t VKAPI VKRoadVehiclesDefDim(wchar_t* buffer);
VKEXPORT int32_t VKAPI VKRoadVehiclesDefDimText(int32_t dimension, wchar_t* buffer);

/* EDB resources.  Load: 1 the file was read, 0 it was not (what was read
 * stays).  Save: 1 accepted, else the failure.  Lists: 1 and the next name
 * (buffers hold 256 characters), 0 at the end; kept by number. */
VKEXPORT int32_t VKAPI VKEdbRsrcLoad(void);
VKEXPORT int32_t VKAPI VKEdbRsrcSave(void);
VKEXPORT int32_t VKAPI VKEdbSpeedList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbTemperatureList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbScenarioList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbUnitSubList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbUnitSubGrpList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEdbUnitSubGrpEmList(int32_t first, wchar_t* buffer);

/* Error and warning lists.  first != 0 restarts at the first entry; a line
 * "sheet [cell]: message" is cut to size - 1 characters (size at least 1).
 * Info: row and column are 1-based (0 = none); sheet holds 32 characters. */
VKEXPORT int32_t VKAPI VKListError(int32_t first, wchar_t* buffer, int32_t size);
VKEXPORT int32_t VKAPI VKListWarning(int32_t first, wchar_t* buffer, int32_t size);
VKEXPORT int32_t VKAPI VKGetErrorInfo(int32_t index, int32_t* row, int32_t* column, wchar_t* sheet);
VKEXPORT int32_t VKAPI VKGetWarningInfo(int32_t index, int32_t* row, int32_t* column,
                                        wchar_t* sheet);

/* Catalogue lists: 1 and the next name in buffer, 0 when no name is left.
 * first != 0 sorts the list and restarts.  Buffers hold 20 characters, 48 for
 * companies and facilities, 256 for substances, searchkeys and road-vehicle
 * classes.  list: 0 substances, 1-5 searchkeys; kind: 0 source time
 * variations, other road time variations; dimension: 0-based. */
VKEXPORT int32_t VKAPI VKSubList(int32_t first, int32_t list, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKEmfacsList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKTimevarsList(int32_t kind, int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKSubgrpsList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKVehiclesList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKRoadVehiclesList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKRoadtypesList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKCompaniesList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKFacilitiesList(int32_t first, wchar_t* buffer);
VKEXPORT int32_t VKAPI VKRoadVehiclesDefList(int32_t first, int32_t dimension, wchar_t* buffer);

/* Verification before a save.  VKUpdateSub empties the error and warning
 * lists and rebuilds the catalogue lists from the workbook's name-index
 * sheets; VKVerifySub checks the reference-data sheets; VKMergeCheck compares
 * the workbook's indexes with the server's.  1 passed and no errors listed,
 * 0 errors listed (see VKListError), -1 a sheet or the server could not be
 * read. */
VKEXPORT int32_t VKAPI VKUpdateSub(void);
VKEXPORT int32_t VKAPI VKVerifySub(void);
VKEXPORT int32_t VKAPI VKMergeCheck(void);

/* One sheet each: "Company", and "Facility" against the company list.  A
 * missing sheet is nothing to verify.  1, 0 or -1 as above. */
VKEXPORT int32_t VKAPI VKVerifyCompany(void);
VKEXPORT int32_t VKAPI VKVerifyFacility(void);
/* "Source": reads the block layout from the heading row, reporting damaged
 * headings at their cells, then checks every row.  1, 0 or -1 as above. */
VKEXPORT int32_t VKAPI VKVerifySource(void);
/* The road sheet named; sets the number of noise factors the Saves send. */
VKEXPORT int32_t VKAPI VKVerifyRoad(const wchar_t* sheet);

/* The spreadsheet host hands over its C API entry point (see port/xlcall.h
 * for the value layout); null makes the library look for the host's own. */
struct xloper12;
VKEXPORT void VKAPI SetExcel12EntryPt(int(VKAPI* entry)(int xlfn, int coper, struct xloper12** args,
                                                        struct xloper12* result));

#ifdef __cplusplus
}
#endif

#endif /* VORKABCOM_H */
