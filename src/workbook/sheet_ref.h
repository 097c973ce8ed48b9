// SheetRef: the reference through which every sheet object reaches its
// sheet: the sheet selected by name (xlSheetId) and one area on it whose
// rows and columns the object sets before each host call.
#pragma once

#include <cstdint>

#include "port/xlcall.h"
#include "workbook/sheet_name.h"

class SheetRef {
 public:
  SheetRef();
  SheetRef(const SheetRef&) = delete;
  SheetRef& operator=(const SheetRef&) = delete;

  // Selects the sheet (the active sheet for the empty name) and makes the
  // reference one area on it: 1.  When the named sheet cannot be selected:
  // "Couldn't set sheet <name>" (with a full stop when fullStop is set) and
  // 0; when the active sheet cannot: "Couldn't set active sheet." and -1.
  int32_t Select(const SheetName& sheet, bool fullStop);

  void SetRows(RW first, RW last) {
    m_mref.reftbl[0].rwFirst = first;
    m_mref.reftbl[0].rwLast = last;
  }
  void SetColumns(COL first, COL last) {
    m_mref.reftbl[0].colFirst = first;
    m_mref.reftbl[0].colLast = last;
  }
  void SetCell(RW row, COL column) {
    SetRows(row, row);
    SetColumns(column, column);
  }

  // The reference value for the host calls.
  XLOPER12* Value() { return &m_ref; }

 private:
  XLOPER12 m_ref;
  XLMREF12 m_mref;
};
