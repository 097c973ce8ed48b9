// The merge check: before the workbook's records go into an EDB, the
// workbook's (name, index) pairs of a kind are compared with the server's,
// and every index the server already uses for another name is reported.
// Indexes the server does not know are new records and pass.
//
// Each check reads the kind's names and indexes from the server and compares
// them with the kind's catalogue list; the catalogue lists are left as they
// are.  Results: 1 compatible and the ErrorList empty, 0 the ErrorList holds
// entries (from this check or earlier ones; a full ErrorList skips the check),
// -1 the server could not be read (ErrorText set).
#pragma once

#include <cstdint>

#include "catalogue/record_list.h"
#include "host/issue_list.h"

// Adds "Index %d has different name in Kalvoro (%ls)" to errors, on the sheet
// and column given and without a row, for every pair of the workbook list
// whose index the server list holds under another name (exact comparison).
// server: sorted by index, its bad-reference flag off.  Walks the workbook
// list with its listing cursor.  Always 1.
int32_t IsCompatible(const wchar_t* sheet, int32_t column, CRecordList& workbook, const CRecordList& server,
                     IssueList& errors, IssueList& warnings);

// Substances (list 0, sheet "Substance", column A) or searchkey list 1-5
// (sheet "Searchkey", the list's own column); server names that are empty or
// "-" are left out.
int32_t MergeCheckSub(int32_t list);
// Source (kind 0) or road (kind 1) time variations, on their own sheet,
// column B.
int32_t MergeCheckTimevar(int32_t kind);
// Substance groups, sheet "Emission factor", column B.
int32_t MergeCheckSubgrp();
// Vehicles, road vehicles and roadtypes, sheets "Vehicle", "Road Vehicle"
// and "Roadtype", column B.
int32_t MergeCheckVehicle();
int32_t MergeCheckRoadVehicle();
int32_t MergeCheckRoadtype();

// Every check in order: substances and searchkeys 1-5, source and road time
// variations, substance groups, vehicles, road vehicles, roadtypes.  Stops after a check that fails or that
// leaves the ErrorList full; the result of the last check run.
int32_t MergeCheckAll();
