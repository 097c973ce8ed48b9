// The frame of the record readers' fuzz targets: one read over a reply made
// from the fuzzer's bytes, record after record until the reader says 0 or -1,
// each record checked by the target.  Then the round trip: the records the
// read gave are saved (their writer's body captured) and that body, read
// back, must give the very same records, unless the writer refused them with
// a reason.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/frame.h"
#include "records/record_io.h"

namespace fuzz {

// The records of a save body: the body without its eight header lines and
// its final "EOF" line, as a read reply would bring them.
std::string SavedRecords(const std::string& body);

template <class Rec>
using Records = std::vector<std::unique_ptr<Rec>>;

// Reads every record of the reply into *records (the first `keep` kept).
// read(first, record) is the reader; each record lives on the heap at its
// exact size, so that a write past its end is caught.  The result is the
// reader's last one.
template <class Rec, class Read>
int32_t ReadRecords(fuzz_port::Reply reply, const char* name, Read read, Records<Rec>* records, size_t keep = 64) {
  const size_t bodySize = reply.body.size();
  fuzz_port::Queue(std::move(reply));
  int32_t r = 1;
  for (size_t n = 0; r == 1; ++n) {
    FUZZ_CHECK(n <= bodySize + 1, std::string(name) + " does not come to an end");
    std::unique_ptr<Rec> record(new Rec);
    r = read(n == 0 ? 1 : 0, record.get());
    CheckResult(r, name);
    if (r == 1 && records->size() < keep) records->push_back(std::move(record));
  }
  if (r == 0) {
    std::unique_ptr<Rec> record(new Rec);
    FUZZ_CHECK(read(0, record.get()) == 0, std::string(name) + " read on after the end");
  }
  return r;
}

// Saves the records with the kind's writer write(operation, record) against a
// server that answers `accepted`; the writer's last result (checked).
template <class Rec, class Write>
int32_t SaveRecords(const Records<Rec>& records, Write write, const char* accepted) {
  fuzz_port::Answer(accepted);
  int32_t r = write(RecordStart, nullptr);
  for (size_t i = 0; r == 1 && i < records.size(); ++i) r = write(RecordWrite, records[i].get());
  if (r == 1) r = write(RecordFinish, nullptr);
  CheckResult(r, "the save of the records read");
  return r;
}

// check(record) looks at each record; write(operation, record) is the
// kind's writer and `accepted` the server's reply to a save that went well
// (null: no round trip, as for names-only reads).
template <class Rec, class Read, class Check, class Write>
void ReadAll(FuzzedDataProvider& data, const char* name, Read read, Check check, Write write,
             const char* accepted) {
  Records<Rec> records;
  ReadRecords<Rec>(TakeReply(data), name, read, &records);
  for (const auto& record : records) check(*record);
  if (!accepted || records.empty()) return;
  if (SaveRecords(records, write, accepted) != 1) return;  // refused, with its reason

  fuzz_port::Reply again;
  again.body = SavedRecords(fuzz_port::LastBody());
  Records<Rec> reread;
  int32_t back = ReadRecords<Rec>(again, name, read, &reread);
  FUZZ_CHECK(back == 0, std::string(name) + ": a saved body does not read back:\n" + again.body.substr(0, 2000));
  FUZZ_CHECK(reread.size() == records.size(), std::string(name) + ": " + std::to_string(records.size()) +
                                                   " records saved, " + std::to_string(reread.size()) + " read back");
  for (size_t i = 0; i < records.size(); ++i) {
    FUZZ_CHECK(memcmp(records[i].get(), reread[i].get(), sizeof(Rec)) == 0,
               std::string(name) + ": record " + std::to_string(i) + " changed through a save:\n" +
                   again.body.substr(0, 2000));
  }
}

}  // namespace fuzz
