// Text in workbook files: the host's wide strings (UTF-16 on Windows, UTF-32
// on Linux) to UTF-8 and back.  Characters that XML cannot carry (control
// characters, a carriage return that parsers would fold into a line feed,
// unpaired surrogates, U+FFFE and U+FFFF) travel as "_xHHHH_" escapes of their
// UTF-16 code unit, as spreadsheet programs write them; a literal "_xHHHH_"
// in the text has its underscore escaped as "_x005F_".
#pragma once

#include <cstddef>
#include <string>

namespace xlsx {

// Where the text goes: element content keeps tabs and line feeds as they
// are; attribute values would turn them into spaces, so they are escaped.
enum class XmlPlace { Element, Attribute };

// False when the text holds a value that is no Unicode character (beyond
// U+10FFFF); utf8 is then unspecified.
bool EncodeText(const std::wstring& text, XmlPlace place, std::string* utf8);

// False when the bytes are not well-formed UTF-8.
bool DecodeText(const char* utf8, size_t size, std::wstring* text);
inline bool DecodeText(const std::string& utf8, std::wstring* text) {
  return DecodeText(utf8.data(), utf8.size(), text);
}

// UTF-8 for messages: escapes are not applied, characters that cannot be
// encoded become U+FFFD.
std::string ToUtf8(const std::wstring& text);

}  // namespace xlsx
