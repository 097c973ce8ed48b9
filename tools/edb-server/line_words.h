// Strict reading of the words on a record line: blank- and tab-separated
// words, keyword lines, whole numbers and single-precision numbers, and the
// "%g" text the library prints for a number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace edb {

// True for the blank and the tab, the only white space inside a line.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Appends line and its line feed to text.
inline void AppendLine(std::string* text, std::string_view line) {
  text->append(line);
  text->push_back('\n');
}

// The line without leading and trailing blanks and tabs.
std::string_view Trimmed(std::string_view line);

// The blank- and tab-separated words of text.
std::vector<std::string_view> Words(std::string_view text);

// True when line begins with keyword followed by the end of the line or by a
// blank or tab; *rest is then what follows the run of blanks and tabs after
// the keyword.
bool TakeKeyword(std::string_view line, std::string_view keyword, std::string_view* rest);

// A decimal whole number (optional sign, digits only) from low to high.
bool ParseWhole(std::string_view word, int64_t low, int64_t high, int64_t* value);

// A number that a single-precision float holds as a finite value.
bool ParseSingle(std::string_view word, float* value);

// The number in "%g" form with the fewest digits (6 to 9) that read back as
// the same float.
std::string SingleText(float value);

}  // namespace edb
