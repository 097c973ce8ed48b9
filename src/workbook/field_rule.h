// What a record's text form can carry, checked where a cell's text becomes a
// record field.  Every sheet verifier reports a text that breaks the rule as
// an error at its cell (CCellChecker::CheckText), and every sheet reader that
// feeds a Save refuses the row with the same message (CellTextFits), so that
// nothing the user typed is cut, split into extra body lines or read back as
// another value by the server.
//
// The rule, by how the field stands in its record line:
// - every field: at most size - 1 characters, each with an ISO 8859-1 form,
//   and no line break or other control character (a tab included: the
//   server's lines use tabs as separators);
// - a quoted field (NAME "..."): no double quote either;
// - a word field (read back up to the first blank): no white space either;
// - an unpadded field (read back from its first non-blank): no white space
//   at its start.
#pragma once

#include <cstddef>
#include <cstdint>

enum class FieldForm : int32_t {
  kText = 0,    // the rest of a keyword line, or a tab-separated value
  kQuoted = 1,  // between double quotes
  kWord = 2,    // one word
  kUnpadded = 3,  // the rest of a line, read back from its first non-blank
};

// Size of a message buffer that holds any fault message with a label of up
// to 64 characters.
constexpr size_t kFieldFaultSize = 192;

// REQUIRES: message holds messageSize >= 1 characters.
// False when text (null reads as empty) can be written into a field of size
// characters with its terminator (size 0: any length) in the given form.
// Otherwise true, with the message of the first fault, naming the field by
// label, in message:
//   "To long string for %ls. Max is %d"
//   "%ls cell holds a line break, which a record cannot carry"
//   "%ls cell holds a control character (code %d), which a record cannot carry"
//   "%ls cell holds a double quote, which a quoted field cannot carry"
//   "%ls cell holds a blank, which a one-word field cannot carry"
//   "%ls cell begins with white space, which a record does not keep"
//   "%ls cell holds the character U+%04X, which has no ISO 8859-1 form"
bool FieldFault(const wchar_t* label, const wchar_t* text, size_t size, FieldForm form, wchar_t* message,
                size_t messageSize);

// For the sheet readers of a Save: true when the text can be written (as
// FieldFault decides); otherwise false with ErrorText set to the fault's
// message and its place (CellErrorText).
bool CellTextFits(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* label, const wchar_t* text,
                  size_t size, FieldForm form);

// Sets ErrorText to a sheet reader's message (wide printf format) followed by
// the cell's place as the spreadsheet shows it: "... (sheet Name, cell B7,
// row 7)."  row and column are 0-based; a negative column names the row only.
void CellErrorText(const wchar_t* sheet, int32_t row, int32_t column, const wchar_t* format, ...);
