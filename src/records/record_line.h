// A record line for a save, built straight in ISO 8859-1 from fields and
// numbers and sent as one line: what IOLSendLine would send for the same
// format, without formatting a wide line first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class RecordLine {
 public:
  RecordLine() { text_.reserve(128); }

  // Literal ASCII text (keywords, blanks, quotes).
  RecordLine& Put(const char* text) {
    text_ += text;
    return *this;
  }
  RecordLine& Put(char c) {
    text_ += c;
    return *this;
  }
  // A fixed text field: at most size - 1 characters, up to its terminator;
  // characters without an 8-bit form become '?'.
  RecordLine& Field(const wchar_t* field, size_t size);
  RecordLine& Int(int32_t value);
  // FloatText's text of the value.
  RecordLine& Float(float value);

  // Sends the line and starts an empty one: 1 or -1 (IOLSendLine's result).
  int32_t Send();

 private:
  std::string text_;
};
