// The worksheets a workbook needs for each kind of record, with the heading
// rows of the workbook templates.
#pragma once

#include <string>
#include <vector>

#include "sheethost/workbook.h"

// Every sheet the library reads or writes, in workbook order.
const std::vector<std::wstring>& TemplateSheetNames();

// Adds the named sheet when it is missing, or empties it, and writes its
// heading row.  False when the host refuses the sheet.
bool ResetTemplateSheet(sheethost::Workbook& book, const std::wstring& name);

// A new workbook: every template sheet with its heading row.
void AddTemplateSheets(sheethost::Workbook& book);
