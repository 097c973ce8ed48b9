// Reading the records of a reference upload (see reference_upload.h).
#include "reference_upload.h"

#include <algorithm>
#include <map>

#include "record_fault.h"
#include "reference_format.h"
#include "reference_lines.h"
#include "request_text.h"

namespace edb {

namespace {

// Reads the record that begins with `first` into its stored form.
bool ReadOne(ReferenceKind kind, std::string_view first, LineReader& lines, ReferenceRecord* record,
             std::string* problem) {
  switch (kind) {
    case ReferenceKind::kSubstance: {
      SubstanceEntry entry;
      if (!ReadSubstanceRecord(first, &entry, problem)) return false;
      record->index = entry.index;
      record->text = RecordText(entry);
      record->unnamed = entry.name.empty();
      return true;
    }
    case ReferenceKind::kTimevar: {
      TimevarEntry entry;
      if (!ReadTimevarRecord(first, lines, &entry, problem)) return false;
      record->index = entry.index;
      record->text = RecordText(entry);
      return true;
    }
    case ReferenceKind::kSubgrp: {
      SubgrpEntry entry;
      if (!ReadSubgrpRecord(first, lines, &entry, problem)) return false;
      record->index = entry.index;
      record->text = RecordText(entry);
      return true;
    }
    case ReferenceKind::kEmfac: {
      EmfacEntry entry;
      if (!ReadEmfacRecord(first, lines, &entry, problem)) return false;
      record->index = entry.index;
      record->text = RecordText(entry, TextForm::kStored);
      return true;
    }
  }
  return false;
}

// True when every line of text fits the library's line buffer.
bool LinesFit(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end - start > kMaxLineChars) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

bool ReadReferenceRecords(ReferenceKind kind, std::string_view lines, std::vector<ReferenceRecord>* records,
                          std::string* reason) {
  LineReader reader(lines);
  std::map<uint32_t, size_t> numberOfIndex;
  bool read = ReadEachRecord(reader, records, reason, [&](std::string_view first, size_t number) {
    ReferenceRecord record;
    std::string problem;
    if (!ReadOne(kind, first, reader, &record, &problem)) Fail(problem);
    if (!LinesFit(record.text)) Fail("a line is longer than " + std::to_string(kMaxLineChars) + " characters");
    auto known = numberOfIndex.emplace(record.index, number);
    if (!known.second) {
      Fail("index " + std::to_string(record.index) + " is also that of record " + std::to_string(known.first->second));
    }
    return record;
  });
  if (!read) return false;
  std::stable_sort(records->begin(), records->end(),
                   [](const ReferenceRecord& a, const ReferenceRecord& b) { return a.index < b.index; });
  return true;
}

void DropUnnamed(std::vector<ReferenceRecord>* records) {
  records->erase(std::remove_if(records->begin(), records->end(), [](const ReferenceRecord& r) { return r.unnamed; }),
                 records->end());
}

bool ReferenceRecordSource::Next(std::string_view* record) {
  if (next_ >= records_.size()) return false;
  *record = records_[next_++].text;
  return true;
}

}  // namespace edb
