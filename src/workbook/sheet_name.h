// SheetName: a sheet's name in the form the spreadsheet C API takes a string
// value (a count in element 0, then the characters), kept by every sheet
// object, and the selection of that sheet through xlSheetId.
#pragma once

#include <cstdint>
#include <string>

#include "port/xlcall.h"

class SheetName {
 public:
  // Characters a name holds; longer names are cut.
  static constexpr int32_t kMaxChars = 63;

  SheetName() { m_text[0] = 0; m_text[1] = 0; }
  explicit SheetName(const wchar_t* name) { Set(name); }

  // Copies at most 63 characters of name (null: the empty name, which means
  // the active sheet).
  void Set(const wchar_t* name);

  int32_t Length() const { return static_cast<int32_t>(m_text[0]); }
  // The characters, NUL-terminated.
  const wchar_t* Chars() const { return m_text + 1; }
  // The name as 8-bit text for messages and the log.
  std::string Narrowed() const;

  // Calls xlSheetId with the name (or with no argument for the empty name)
  // and leaves the host's reference in ref.  The host's return code.
  int Select(XLOPER12* ref) const;

 private:
  // Count, characters and a terminator.
  XCHAR m_text[kMaxChars + 2];
};
