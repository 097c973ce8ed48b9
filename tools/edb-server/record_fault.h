// What the server's strict readers of uploaded records share: the fault
// that ends a record's reading with what is wrong, the loop over an upload's
// records, the next line an upload must hold, and the ALOB attribute lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "reference_upload.h"
#include "request_text.h"

namespace edb {

// Thrown inside a record's reading; `what` becomes the refusal's text.
struct RecordFault {
  std::string what;
};

[[noreturn]] inline void Fail(const std::string& what) { throw RecordFault{what}; }

// The longest attribute line and the most lines an ALOB may have.
constexpr size_t kAlobLineChars = 254;
constexpr int64_t kMaxAlobLines = 100000;

// Fails naming `what` when text holds a control character.
void NoControlChars(const std::string& what, std::string_view text);

// The text of one quoted field, `quoted` being what follows its keyword
// without the blanks around it: at most `chars` characters, no double quote
// inside, no control character.
std::string_view QuotedText(const std::string& keyword, std::string_view quoted, size_t chars);

// Reads the records of an upload one after another, skipping the blank lines
// between them: read(first, number) reads the record that begins with line
// `first` (number counts from 1) on from `reader` and Fails when it is wrong.
// Each record gets its number.  False, with "record N: " and the fault as
// *reason, at the first record that Fails; *records then holds those before it.
bool ReadEachRecord(LineReader& reader, std::vector<ReferenceRecord>* records, std::string* reason,
                    const std::function<ReferenceRecord(std::string_view first, size_t number)>& read);

// The next line of the upload; the upload ending fails the record naming
// `what` ("the upload ends before the ALOB line 2").
std::string_view NeedLine(LineReader& reader, const std::string& what);

// Appends "<prefix>ALOB n" and the n attribute lines that follow in the
// upload to text.  Each line is at most kAlobLineChars long and passes
// `check` (given its name, "ALOB line 3", and the line) when there is one.
// REQUIRES: 0 <= n <= kMaxAlobLines.
void AppendAlob(LineReader& reader, const std::string& prefix, int64_t n, std::string* text,
                const std::function<void(const std::string& what, std::string_view line)>& check = nullptr);

}  // namespace edb
