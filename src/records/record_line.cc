// Record lines built in ISO 8859-1 (see record_line.h).
#include "records/record_line.h"

#include <charconv>

#include "records/float_text.h"
#include "transport/commands.h"
#include "transport/latin1.h"

RecordLine& RecordLine::Field(const wchar_t* field, size_t size) {
  if (!field) return *this;
  for (size_t n = 0; n + 1 < size && field[n]; ++n) {
    unsigned long c = static_cast<unsigned long>(field[n]);
    text_ += c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : NoLatin1Form;
  }
  return *this;
}

RecordLine& RecordLine::Int(int32_t value) {
  char digits[16];
  std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
  text_.append(digits, r.ptr);
  return *this;
}

RecordLine& RecordLine::Float(float value) {
  char digits[32];
  text_.append(digits, FloatChars(value, digits));
  return *this;
}

int32_t RecordLine::Send() {
  int32_t r = IOLSendNarrowLine(text_);
  text_.clear();
  return r;
}
