// CoercedValue: a host value held until it is given back (see
// coerced_value.h).
#include "workbook/coerced_value.h"

#include <cstring>

CoercedValue::CoercedValue() { std::memset(&m_value, 0, sizeof m_value); }

int CoercedValue::Coerce(SheetRef& ref) {
  Release();
  int code = Excel12(xlCoerce, &m_value, 1, ref.Value());
  if (code != xlretSuccess) {
    std::memset(&m_value, 0, sizeof m_value);
    return code;
  }
  m_held = true;
  return code;
}

void CoercedValue::Release() {
  if (!m_held) return;
  Excel12(xlFree, nullptr, 1, &m_value);
  m_held = false;
  std::memset(&m_value, 0, sizeof m_value);
}
