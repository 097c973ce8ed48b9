// The layout of a save body: four header lines (database, command, EDB user,
// EDB name), for record saves four more (kind, count, two flags), then the
// records and the closing "EOF" line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store.h"

namespace edb {

struct SaveHeader {
  std::string_view database;
  std::string_view command;
  std::string_view edbUser;
  std::string_view edbName;
  std::string_view rest;  // everything after the fourth line
};

// False with the reason when the body has fewer than four lines.
bool ReadSaveHeader(std::string_view body, SaveHeader* header, std::string* reason);

struct RecordSaveHeader {
  std::string_view kind;
  int64_t count = 0;   // -1, or the substance list number for "sub"
  bool flag7 = false;  // the seventh and eighth body lines
  bool flag8 = false;
  std::string_view records;  // the record lines, without the final "EOF" line
};

// Reads the kind, count and flag lines from `rest` and finds the closing
// "EOF" line, which must be the body's last non-empty line.
bool ReadRecordSaveHeader(std::string_view rest, RecordSaveHeader* header, std::string* reason);

// The lines of a text, each ended by "\n" (CR before LF dropped), as a
// resource file is stored.
std::string NormalizedLines(std::string_view text);

// Splits record lines into records: each record is a run of non-empty lines
// ended by an empty line (or the end); with oneLinePerRecord every non-empty
// line is a record.  Each record is handed out with "\n" after every line.
class RecordSplitter : public RecordSource {
 public:
  RecordSplitter(std::string_view lines, bool oneLinePerRecord);
  bool Next(std::string_view* record) override;

 private:
  std::string cleaned_;  // the lines without CR, only when they had any
  std::string_view text_;
  size_t pos_ = 0;
  bool oneLinePerRecord_;
};

}  // namespace edb
