// A quick reader of record lines: a cursor over one wide line that takes a
// keyword, blanks, integers, decimal numbers, words and quoted texts, each
// exactly as the C library's wide scan conversions take them (the keyword
// like literal pattern characters, `%lld`, `%lf`, `%d`, `%u`, `%f`, `%ls`,
// `%l[^"]`).
//
// It only answers for the plain shapes that real replies are made of.  For
// anything else (a character whose blankness depends on the C library, a
// number with a hex digit, an exponent without digits, "inf", more digits
// than fit), a step returns false; the caller then scans the whole line with
// the pattern of old, so that every line, also a malformed one, gives the
// same values, counts and messages as before.
#pragma once

#include <cstddef>

class LineScan {
 public:
  // REQUIRES: line is terminated and outlives the scan.
  explicit LineScan(const wchar_t* line) : p_(line) {}

  // The keyword's characters, matched one for one.  REQUIRES: keyword holds
  // neither blanks nor '%' (see PlainKeyword).
  bool Keyword(const wchar_t* keyword);
  // Skips blanks, as a blank in a pattern does.
  bool Blanks();
  // One exact character (a literal in a pattern).
  bool Literal(wchar_t c);
  // Blanks, then a decimal integer (an optional sign and at most 18 digits).
  bool Integer(long long* out);
  // Blanks, then a plain decimal number (sign, digits, point, exponent)
  // followed by a blank or the end of the line.
  bool Decimal(double* out);
  // Blanks, then a decimal integer that an int holds (`%d`).
  bool Int32(int* out);
  // Blanks, then digits without a sign of a number below 10^9 (`%u`).
  bool Unsigned(unsigned* out);
  // Blanks, then a plain decimal number as Decimal, read as a float the way
  // `%f` reads it (rounded once, to the nearest float).
  bool Float(float* out);
  // Blanks up to the end of the line (a pattern's trailing " %n" that finds
  // the end).
  bool AtEnd();
  // Blanks, then the characters up to the next blank or the end: at least one.
  // The word is [*begin, *end).
  bool Word(const wchar_t** begin, const wchar_t** end);
  // At least one character up to the next '"' or the end: [*begin, *end).
  bool UpToQuote(const wchar_t** begin, const wchar_t** end);
  // At least one character up to the next ASCII letter or the end.
  bool UpToLetter(const wchar_t** begin, const wchar_t** end);

  const wchar_t* Rest() const { return p_; }

  // True when the keyword is matched by its characters alone in a pattern
  // (no blanks, no '%').
  static bool PlainKeyword(const wchar_t* keyword);

 private:
  static constexpr size_t kDecimalText = 64;
  // Blanks, then a plain decimal number copied narrow into text[64] (its
  // length; *after where the number ends); false for anything else.
  bool DecimalText(char* text, size_t* length, const wchar_t** after);

  const wchar_t* p_;
};

// Copies [begin, end) cut to size - 1 characters into out and terminates it.
// REQUIRES: size >= 1.
void CopyRange(wchar_t* out, size_t size, const wchar_t* begin, const wchar_t* end);
