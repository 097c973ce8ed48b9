// Keyword-line scanners: each reads the next reply line, matches it against
// a pattern made from its keyword and stores the value, bounded by the
// field's size.  Every failure sets ErrorText with one of two messages
// (out of data, or no match) naming the record kind, the record label and
// the keyword, and returns -1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// GetKeyText modes.
enum KeyTextMode : int32_t {
  KeyTextRest = 0,       // the rest of the line after the keyword and one character
  KeyTextNonLetters = 1, // after blanks, the longest run of characters that are not ASCII letters
};

// Quoted text (NAME "..."): 1, 0 at the end of the reply (only when not
// required), -1.  The keyword alone, or two quotes, give an empty text.
int32_t GetKeyString(const wchar_t* kind, bool required, const wchar_t* label, const wchar_t* keyword,
                     wchar_t* out, size_t size);
// Unquoted text by mode: 1, 0 (as GetKeyString), -1.
int32_t GetKeyText(const wchar_t* kind, bool required, int32_t mode, const wchar_t* label, const wchar_t* keyword,
                   wchar_t* out, size_t size);
// Numbers: 1 or -1.  A value outside the field's range does not match.
int32_t GetKeyLong(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, int32_t* out);
int32_t GetKeyULong(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, uint32_t* out);
int32_t GetKeyUShort(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, uint16_t* out);
int32_t GetKeyFloat(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, float* out);

// Building blocks shared with the DYNAMIC scanners and the record readers.
namespace keyscan {

// True when line starts with the keyword's characters.
bool BeginsWith(const wchar_t* line, const wchar_t* keyword);

// The scan pattern keyword + rest; a '%' in the keyword is matched literally.
std::wstring Pattern(const wchar_t* keyword, const wchar_t* rest);

// Reads the next line into IORLine(): 1 a line; 0 end of reply when not
// required; otherwise -1 with the out-of-data message.
int32_t ReadKeyLine(const wchar_t* kind, bool required, const wchar_t* label, const wchar_t* keyword);

// Sets the out-of-data or the no-match message (the latter with the line in
// IORLine()); both return -1.
int32_t OutOfData(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword);
int32_t NoMatch(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword);

// keyword, blanks, a double quote, the text up to the next double quote:
// true and the text cut into out; false when the line has no such text.
bool ScanQuoted(const wchar_t* line, const wchar_t* keyword, wchar_t* out, size_t size);

// keyword, blanks, one word: true and the word cut into out.
bool ScanWord(const wchar_t* line, const wchar_t* keyword, wchar_t* out, size_t size);

// A real number read as a double made a float: false for values no finite
// float holds (beyond its range, infinite, not a number).
bool FloatFits(double value, float* out);

// keyword, blanks, a number as the wide scan's "%lld" and "%lf" read it:
// true and the value.
bool ScanKeyInteger(const wchar_t* line, const wchar_t* keyword, long long* out);
bool ScanKeyDecimal(const wchar_t* line, const wchar_t* keyword, double* out);

// keyword, blanks, a decimal number within the 32-bit signed range.
bool ScanLong(const wchar_t* line, const wchar_t* keyword, int32_t* out);

// GetKeyText's matching of an already read line: 1, or -1 with the no-match
// message.
int32_t MatchKeyText(const wchar_t* kind, int32_t mode, const wchar_t* label, const wchar_t* keyword,
                     const wchar_t* line, wchar_t* out, size_t size);

}  // namespace keyscan
