// CoercedValue: the value the host hands out for an area of a sheet
// (xlCoerce), held until the next coercion or the holder's end and then
// given back with xlFree.
#pragma once

#include "port/xlcall.h"
#include "workbook/sheet_ref.h"

class CoercedValue {
 public:
  CoercedValue();
  ~CoercedValue() { Release(); }
  CoercedValue(const CoercedValue&) = delete;
  CoercedValue& operator=(const CoercedValue&) = delete;

  // Gives back the value held, then coerces the reference's area: the host's
  // return code (xlretSuccess: the value is held).
  int Coerce(SheetRef& ref);
  // Gives back the value held, if any.
  void Release();

  bool Held() const { return m_held; }
  const XLOPER12& Value() const { return m_value; }

 private:
  bool m_held = false;
  XLOPER12 m_value;
};
