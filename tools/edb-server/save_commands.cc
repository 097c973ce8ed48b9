// Save commands (see save_commands.h).
#include "save_commands.h"

#include "company_records.h"
#include "edb_lookup.h"
#include "grid_records.h"
#include "record_kinds.h"
#include "reference_upload.h"
#include "request_text.h"
#include "road_records.h"
#include "save_body.h"
#include "source_records.h"
#include "vehicle_records.h"

namespace edb {

namespace {

constexpr size_t kMaxEdbNameBytes = 255;

Reply CreateEmpty(Store& store, const std::string& loginUser, const SaveHeader& header) {
  // Nothing may follow the four lines but empty lines.
  LineReader rest(header.rest);
  std::string_view line;
  while (rest.Next(&line)) {
    if (!line.empty()) return Reply::Error("unexpected lines after the EDB name");
  }
  if (!IsValidEdbName(header.edbName)) return Reply::Error("invalid EDB name " + Shown(header.edbName));
  if (loginUser == kGlobalEdbUser) return Reply::Error("the EDB user global has only its shared EDB");
  switch (store.CreateEdb(header.database, loginUser, header.edbName)) {
    case Store::Created::kOk:
      return Reply::Text("OK\n");
    case Store::Created::kNoDatabase:
      return Reply::Error(LookupFailure(Lookup::kNoDatabase, header.database, "", ""));
    case Store::Created::kExists:
      break;
  }
  return Reply::Error("EDB " + Shown(header.edbName) + " already exists");
}

Reply SaveResourceFile(Store& store, const SaveHeader& header) {
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, header.database, header.edbUser, header.edbName, &edbId, &refusal)) return refusal;
  store.SaveResourceFile(edbId, NormalizedLines(header.rest));
  return Reply::Text(std::string());  // accepted: no reply line at all
}

// The EDB's road-vehicle definition as stored ("" when it has none).
std::string StoredRoadVehicleDefinition(Store& store, int64_t edbId) {
  ReadSnapshot snapshot(store.file());
  snapshot.Start(edbId, "svehsb", 0);
  std::string_view record;
  return snapshot.Next(&record) ? std::string(record) : std::string();
}

Reply SaveRecords(Store& store, const SaveHeader& header) {
  RecordSaveHeader records;
  std::string reason;
  if (!ReadRecordSaveHeader(header.rest, &records, &reason)) return Reply::Error(reason);
  if (!IsSaveKind(records.kind)) return Reply::Error("unknown record kind " + Shown(records.kind));
  bool sub = records.kind == kSubKind;
  int64_t list = 0;
  if (sub) {
    if (records.count < 0 || records.count >= kSubListCount) {
      return Reply::Error("the substance list number must be 0 to " + std::to_string(kSubListCount - 1));
    }
    list = records.count;
  }
  // The substances themselves are the server's to keep; only searchkey
  // lists come back from the workbook.
  if (sub && list == 0) return Reply::Error("substances cannot be written");
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, header.database, header.edbUser, header.edbName, &edbId, &refusal)) return refusal;

  size_t stored = 0;
  ReferenceKind reference;
  if (ReferenceKindOf(records.kind, &reference)) {
    // Read whole before anything is stored: a malformed record refuses the upload.
    std::vector<ReferenceRecord> parsed;
    if (!ReadReferenceRecords(reference, records.records, &parsed, &reason)) return Reply::Error(reason);
    if (sub) DropUnnamed(&parsed);
    ReferenceRecordSource source(parsed);
    stored = store.ReplaceRecords(edbId, StoredKind(records.kind), list, source);
  } else if (IsVehicleKind(records.kind)) {
    std::vector<ReferenceRecord> parsed;
    std::string definition = records.kind == "sveh" ? StoredRoadVehicleDefinition(store, edbId) : std::string();
    if (!ReadVehicleKindRecords(records.kind, records.records, definition, &parsed, &reason)) {
      return Reply::Error(reason);
    }
    ReferenceRecordSource source(parsed);
    stored = store.ReplaceRecords(edbId, records.kind, list, source);
  } else if (IsCompanyKind(records.kind)) {
    std::vector<ReferenceRecord> parsed;
    if (!ReadCompanyKindRecords(records.kind, records.records, &parsed, &reason)) return Reply::Error(reason);
    ReferenceRecordSource source(parsed);
    stored = store.ReplaceRecords(edbId, records.kind, list, source);
  } else if (IsSourceKind(records.kind)) {
    std::vector<ReferenceRecord> parsed;
    if (!ReadSourceRecords(records.records, &parsed, &reason)) return Reply::Error(reason);
    ReferenceRecordSource source(parsed);
    stored = store.ReplaceRecords(edbId, records.kind, list, source);
  } else if (records.kind == "road") {
    // A workbook holds its roads over several sheets: the first sheet's save
    // replaces the EDB's roads, the further sheets' saves (seventh header
    // line 1, the library's TransferFlags bit 1) add theirs after them.
    std::vector<ReferenceRecord> parsed;
    if (!ReadRoadRecords(records.records, &parsed, &reason)) return Reply::Error(reason);
    ReferenceRecordSource source(parsed);
    stored = records.flag7 ? store.AppendRecords(edbId, records.kind, list, source)
                           : store.ReplaceRecords(edbId, records.kind, list, source);
  } else {
    RecordSplitter splitter(records.records, false);
    stored = store.ReplaceRecords(edbId, StoredKind(records.kind), list, splitter);
  }
  if (sub) return Reply::Text(std::string(kSubSaveAcknowledgement) + "\n");
  std::string line = std::string(SaveAcknowledgement(records.kind)) + "\n";
  std::string text;
  text.reserve(line.size() * stored);
  for (size_t i = 0; i < stored; ++i) text += line;
  return Reply::Text(std::move(text));
}

}  // namespace

bool IsValidEdbName(std::string_view name) {
  if (name.empty() || name.size() > kMaxEdbNameBytes) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || ch == '&' || ch == '%' || ch == '#') return false;
  }
  return true;
}

Reply HandleSaveCommand(Store& store, const std::string& loginUser, std::string_view body) {
  SaveHeader header;
  std::string reason;
  if (!ReadSaveHeader(body, &header, &reason)) return Reply::Error(reason);
  if (header.command == "createempty") return CreateEmpty(store, loginUser, header);
  if (header.command == "saveedbrsrc") return SaveResourceFile(store, header);
  if (header.command == "savexxxdb") return SaveRecords(store, header);
  if (header.command == "savegrid") return SaveGrid(store, header);
  return Reply::Error("unknown command " + Shown(header.command));
}

}  // namespace edb
