// Read and list commands (see read_commands.h).
#include "read_commands.h"

#include "edb_lookup.h"
#include "grid_records.h"
#include "record_kinds.h"
#include "record_reply.h"
#include "record_text.h"

namespace edb {

namespace {

enum Field { kDatabase = 0, kCommand = 1, kEdbUser = 2, kEdbName = 3, kArg1 = 4, kArg2 = 5 };

const char* const kFieldNames[] = {"database", "command", "EDB user", "EDB name", "fifth", "sixth"};

// True when fields has all fields up to `last`; else sets the refusal.
bool Require(const std::vector<std::string>& fields, Field last, Reply* refusal) {
  if (fields.size() > static_cast<size_t>(last)) return true;
  *refusal = Reply::Error(std::string("missing ") + kFieldNames[fields.size()] + " field");
  return false;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

Reply ListDatabases(Store& store) { return Reply::Text(JoinLines(store.Databases())); }

Reply ListEdbUsers(Store& store, const std::vector<std::string>& fields) {
  std::vector<EdbUserEntry> users;
  if (!store.EdbUsers(fields[kDatabase], &users)) {
    return Reply::Error(LookupFailure(Lookup::kNoDatabase, fields[kDatabase], "", ""));
  }
  std::string text;
  for (const auto& user : users) {
    text += user.name;
    if (!user.description.empty()) text += ";" + user.description;
    text += "\n";
  }
  return Reply::Text(text);
}

Reply ListEdbNames(Store& store, const std::vector<std::string>& fields) {
  std::vector<std::string> names;
  Lookup status = store.EdbNames(fields[kDatabase], fields[kEdbUser], &names);
  if (status != Lookup::kOk) return Reply::Error(LookupFailure(status, fields[kDatabase], fields[kEdbUser], ""));
  return Reply::Text(JoinLines(names));
}

Reply LoadResourceFile(Store& store, const std::vector<std::string>& fields) {
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, fields[kDatabase], fields[kEdbUser], fields[kEdbName], &edbId, &refusal)) return refusal;
  return Reply::Text(store.ResourceFile(edbId));
}

// Names-only reads are small: NAME and INDEX of each record.
Reply NamesOnlyReply(Store& store, int64_t edbId, std::string_view kind) {
  ReadSnapshot snapshot(store.file());
  snapshot.Start(edbId, kind, 0);
  std::string text;
  std::string_view record;
  while (snapshot.Next(&record)) text += NamesOnlyText(record) + "\n";
  return Reply::Text(text);
}

std::string ListingHeader(ReadSnapshot& snapshot, int64_t edbId, std::string_view kind) {
  snapshot.Start(edbId, kind, 0);
  SourceListingHeader header;
  std::string_view record;
  while (snapshot.Next(&record)) header.Add(record);
  return header.Text();
}

Reply LoadRecords(Store& store, const std::vector<std::string>& fields) {
  const std::string& kind = fields[kArg1];
  const std::string& namesOnly = fields[kArg2];
  if (!IsReadKind(kind)) return Reply::Error("unknown record kind " + Shown(kind));
  if (namesOnly != "0" && namesOnly != "1") return Reply::Error("the names-only field must be 0 or 1");
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, fields[kDatabase], fields[kEdbUser], fields[kEdbName], &edbId, &refusal)) return refusal;
  std::string stored(StoredKind(kind));
  if (namesOnly == "1" && !HasListingHeader(kind)) return NamesOnlyReply(store, edbId, stored);

  // The body reads one snapshot, taken now, while it is being sent; the
  // listing header comes from the same snapshot.
  auto snapshot = std::make_unique<ReadSnapshot>(store.file());
  std::string head;
  if (HasListingHeader(kind)) head = ListingHeader(*snapshot, edbId, stored);
  Reply reply;
  reply.body = std::make_shared<RecordReplyBody>(std::move(snapshot), edbId, stored, 0, std::move(head), true);
  return reply;
}

Reply LoadSubstances(Store& store, const std::vector<std::string>& fields) {
  const std::string& list = fields[kArg1];
  if (list.size() != 1 || list[0] < '0' || list[0] >= '0' + kSubListCount) {
    return Reply::Error("the substance list number must be 0 to " + std::to_string(kSubListCount - 1));
  }
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, fields[kDatabase], fields[kEdbUser], fields[kEdbName], &edbId, &refusal)) return refusal;
  Reply reply;
  reply.body = std::make_shared<RecordReplyBody>(std::make_unique<ReadSnapshot>(store.file()), edbId,
                                                 std::string(kSubKind), list[0] - '0', std::string(), false);
  return reply;
}

}  // namespace

Reply HandleReadCommand(Store& store, const std::vector<std::string>& fields) {
  Reply refusal;
  if (!Require(fields, kCommand, &refusal)) return refusal;
  const std::string& command = fields[kCommand];
  if (command == "listdb") return ListDatabases(store);
  if (command == "listedbusers") return ListEdbUsers(store, fields);
  if (command == "listedbnames") {
    if (!Require(fields, kEdbUser, &refusal)) return refusal;
    return ListEdbNames(store, fields);
  }
  if (command == "loadedbrsrc") {
    if (!Require(fields, kEdbName, &refusal)) return refusal;
    return LoadResourceFile(store, fields);
  }
  if (command == "loadxxxdb") {
    if (!Require(fields, kArg2, &refusal)) return refusal;
    return LoadRecords(store, fields);
  }
  if (command == "loadsubs") {
    if (!Require(fields, kArg1, &refusal)) return refusal;
    return LoadSubstances(store, fields);
  }
  if (command == "listgrids") {
    if (!Require(fields, kEdbName, &refusal)) return refusal;
    int64_t edbId = 0;
    if (!ResolveEdb(store, fields[kDatabase], fields[kEdbUser], fields[kEdbName], &edbId, &refusal)) return refusal;
    return Reply::Text(JoinLines(GridNames(store, edbId)));
  }
  if (command == "loadgridasc" || command == "loadgriddata") {
    if (!Require(fields, kArg1, &refusal)) return refusal;
    int64_t edbId = 0;
    if (!ResolveEdb(store, fields[kDatabase], fields[kEdbUser], fields[kEdbName], &edbId, &refusal)) return refusal;
    if (command == "loadgridasc") return GridHeaderReply(store, edbId, fields[kArg1]);
    return GridDataReply(store, edbId, fields[kArg1]);
  }
  return Reply::Error("unknown command " + Shown(command));
}

}  // namespace edb

