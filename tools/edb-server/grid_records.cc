// Grids on the server (see grid_records.h).
#include "grid_records.h"

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "edb_lookup.h"
#include "line_words.h"
#include "record_reply.h"
#include "request_text.h"

namespace edb {

namespace {

constexpr std::string_view kGridPrefix = "grid ";
constexpr size_t kLinesPerChunk = 4096;
constexpr int64_t kMaxSubstances = 249;
constexpr int64_t kMaxDate = 999999;

// What a header item is, for its header line and its data-line field.
enum class ItemKind { kText, kDate, kIndex, kFormula, kFuel, kCode };

struct Item {
  const char* keyword;
  ItemKind kind;
  size_t maxChars;  // texts
};

// The items in header order; their data-line fields come in the order of
// kFieldOrder.
const Item kItems[] = {
    {"NAME", ItemKind::kText, 255},    {"INFO", ItemKind::kText, 47},       {"INFO2", ItemKind::kText, 63},
    {"ADDRESS", ItemKind::kText, 47},  {"POSTADDRESS", ItemKind::kText, 47}, {"INFOGIVER", ItemKind::kText, 47},
    {"DATE", ItemKind::kDate, 0},      {"CHANGED", ItemKind::kDate, 0},     {"MISC", ItemKind::kText, 47},
    {"FUEL", ItemKind::kFuel, 0},      {"FORMULA", ItemKind::kFormula, 0},  {"SEARCHKEY1", ItemKind::kIndex, 0},
    {"SEARCHKEY2", ItemKind::kIndex, 0}, {"SEARCHKEY3", ItemKind::kIndex, 0}, {"SEARCHKEY4", ItemKind::kIndex, 0},
    {"SEARCHKEY5", ItemKind::kIndex, 0}, {"ACTIVITYCODE", ItemKind::kCode, 0}, {"GEOCODE", ItemKind::kCode, 0},
};
constexpr size_t kItemCount = sizeof kItems / sizeof kItems[0];

// The layout a header gives the data lines.
struct Layout {
  bool dynamic[kItemCount] = {};
  size_t values = 0;  // value fields per line
  size_t fields = 0;  // all fields per line
};

bool IsText(std::string_view text, size_t maxChars, bool quoted) {
  if (text.size() > maxChars) return false;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || (quoted && ch == '"') || ch == '@') return false;
  }
  return true;
}

// One header line of an item: "" or the fault; *dynamic and *value set.
std::string ItemLine(std::string_view line, const Item& item, bool* dynamic, int64_t* value) {
  std::string_view rest;
  std::string name(item.keyword);
  if (!TakeKeyword(line, item.keyword, &rest)) return "expected the " + name + " line, not " + Shown(line);
  *dynamic = rest == "DYNAMIC";
  *value = 0;
  if (*dynamic) return std::string();
  switch (item.kind) {
    case ItemKind::kText:
      if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"' ||
          !IsText(rest.substr(1, rest.size() - 2), item.maxChars, true)) {
        return name + " must be a quoted text of at most " + std::to_string(item.maxChars) + " characters";
      }
      return std::string();
    case ItemKind::kDate:
      if (!ParseWhole(rest, 0, kMaxDate, value)) return name + " must be a date code YYMMDD";
      return std::string();
    case ItemKind::kFormula:
      if (!ParseWhole(rest, 1, INT32_MAX, value)) return name + " must name a time variation by its index";
      return std::string();
    case ItemKind::kIndex:
    case ItemKind::kFuel:
      if (!ParseWhole(rest, 0, INT32_MAX, value)) return name + " must be an index";
      return std::string();
    case ItemKind::kCode:
      if (!IsText(rest, 1023, false)) return name + " holds characters a grid code cannot carry";
      return std::string();
  }
  return std::string();
}

// One data-line field of a dynamic item: true when it is sound.
bool FieldFits(std::string_view field, const Item& item) {
  int64_t value = 0;
  switch (item.kind) {
    case ItemKind::kText:
      return IsText(field, item.maxChars, false);
    case ItemKind::kDate:
      return ParseWhole(field, 0, kMaxDate, &value);
    case ItemKind::kFormula:
    case ItemKind::kFuel:
      return ParseWhole(field, 1, INT32_MAX, &value);
    case ItemKind::kIndex:
      return ParseWhole(field, 0, INT32_MAX, &value);
    case ItemKind::kCode:
      return IsText(field, 1023, false);
  }
  return false;
}

std::string ReadHeader(std::string_view header, Layout* layout) {
  LineReader lines(header);
  std::string_view line;
  const char* raster[] = {"X", "Y", "NX", "NY", "DX", "DY"};
  for (int i = 0; i < 6; ++i) {
    std::string_view rest;
    int64_t value = 0;
    if (!lines.Next(&line) || !TakeKeyword(line, raster[i], &rest) ||
        !ParseWhole(rest, i < 2 ? 0 : 1, UINT32_MAX, &value)) {
      return std::string(raster[i]) + (i < 2 ? " must be a whole number from 0 to 4294967295"
                                             : " must be a whole number from 1 to 4294967295");
    }
  }
  int64_t fuel = 0;
  for (size_t i = 0; i < kItemCount; ++i) {
    if (!lines.Next(&line)) return std::string("the ") + kItems[i].keyword + " line is missing";
    int64_t value = 0;
    std::string fault = ItemLine(line, kItems[i], &layout->dynamic[i], &value);
    if (!fault.empty()) return fault;
    if (kItems[i].kind == ItemKind::kFuel) fuel = layout->dynamic[i] ? -1 : value;
  }
  int64_t substances = 0;
  while (lines.Next(&line)) {
    std::string_view rest;
    int64_t index = 0;
    if (line.empty()) continue;
    if (!TakeKeyword(line, "SUBSTANCE", &rest)) return "unexpected header line " + Shown(line);
    if (fuel != 0) return "SUBSTANCE lines belong only to a grid whose FUEL is 0";
    if (!ParseWhole(rest, 1, INT16_MAX, &index)) return "a substance must be named by its index";
    if (++substances > kMaxSubstances) return "more than " + std::to_string(kMaxSubstances) + " substances";
  }
  if (fuel == 0 && substances == 0) return "a grid whose FUEL is 0 needs at least one SUBSTANCE line";
  layout->values = fuel == 0 ? static_cast<size_t>(substances) : 1;
  layout->fields = 2 + layout->values;
  for (size_t i = 0; i < kItemCount; ++i) layout->fields += layout->dynamic[i] ? 1 : 0;
  return std::string();
}

// The fault of a data line, "" when it is sound.
std::string DataLineFault(std::string_view line, const Layout& layout) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t at = line.find('@', start);
    fields.push_back(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  if (fields.size() != layout.fields) {
    return std::to_string(fields.size()) + " fields where the header makes " + std::to_string(layout.fields);
  }
  int64_t coordinate = 0;
  if (!ParseWhole(fields[0], 0, UINT32_MAX, &coordinate) || !ParseWhole(fields[1], 0, UINT32_MAX, &coordinate)) {
    return "the coordinates must be whole numbers";
  }
  size_t f = 2;
  for (size_t i = 0; i < kItemCount; ++i) {
    if (!layout.dynamic[i]) continue;
    if (!FieldFits(fields[f], kItems[i])) return std::string("the ") + kItems[i].keyword + " field " + Shown(fields[f]);
    ++f;
  }
  for (; f < fields.size(); ++f) {
    float value = 0;
    if (!ParseSingle(fields[f], &value)) return "the value " + Shown(fields[f]) + " is not a number";
  }
  return std::string();
}

class ChunkSource : public RecordSource {
 public:
  explicit ChunkSource(const std::vector<std::string>& chunks) : chunks_(chunks) {}
  bool Next(std::string_view* record) override {
    if (next_ >= chunks_.size()) return false;
    *record = chunks_[next_++];
    return true;
  }

 private:
  const std::vector<std::string>& chunks_;
  size_t next_ = 0;
};

bool HasGrid(Store& store, int64_t edbId, std::string_view name) {
  ReadSnapshot snapshot(store.file());
  snapshot.Start(edbId, GridKind(name), 0);
  std::string_view record;
  return snapshot.Next(&record);
}

Reply UnknownGrid(std::string_view name) { return Reply::Error("no grid " + Shown(name) + " in this EDB"); }

}  // namespace

std::string GridKind(std::string_view name) { return std::string(kGridPrefix) + std::string(name); }

bool IsValidGridName(std::string_view name) { return !name.empty() && IsText(name, 255, false); }

std::string GridHeaderFault(std::string_view header, size_t* fieldsPerLine) {
  Layout layout;
  std::string fault = ReadHeader(header, &layout);
  if (fieldsPerLine) *fieldsPerLine = layout.fields;
  return fault;
}

bool ReadGridUpload(std::string_view rest, GridUpload* upload, std::string* headerFault, std::string* dataFault) {
  LineReader lines(rest);
  std::string_view line;
  if (!lines.Next(&line) || !IsValidGridName(line)) {
    *headerFault = "invalid grid name \"" + Shown(line) + "\"";
    return false;
  }
  upload->name = std::string(line);
  if (!lines.Next(&line) || line != "#GRIDASC") {
    *headerFault = "the header section must begin with #GRIDASC";
    return false;
  }
  bool data = false;
  while (lines.Next(&line)) {
    if (line == "#GRIDDATA") {
      data = true;
      break;
    }
    AppendLine(&upload->header, line);
  }
  Layout layout;
  *headerFault = data ? ReadHeader(upload->header, &layout) : "the #GRIDDATA line is missing";
  if (!headerFault->empty()) return false;
  bool ended = false;
  size_t number = 0;
  std::string chunk;
  while (lines.Next(&line)) {
    if (ended) {
      if (!line.empty()) {
        *dataFault = "lines after #EOF";
        return false;
      }
      continue;
    }
    if (line == "#EOF") {
      ended = true;
      continue;
    }
    ++number;
    std::string fault = DataLineFault(line, layout);
    if (!fault.empty()) {
      *dataFault = "data line " + std::to_string(number) + ": " + fault;
      return false;
    }
    AppendLine(&chunk, line);
    if (number % kLinesPerChunk == 0) upload->chunks.push_back(std::move(chunk)), chunk.clear();
  }
  if (!ended) {
    *dataFault = "the #EOF line is missing";
    return false;
  }
  if (!chunk.empty()) upload->chunks.push_back(std::move(chunk));
  upload->cells = number;
  return true;
}

void StoreGrid(Store& store, int64_t edbId, const GridUpload& upload) {
  std::vector<std::string> header{upload.header};
  ChunkSource headerSource(header);
  ChunkSource dataSource(upload.chunks);
  store.InTransaction([&] {
    std::string kind = GridKind(upload.name);
    store.PutRecords(edbId, kind, 0, headerSource);
    store.PutRecords(edbId, kind, 1, dataSource);
  });
}

std::vector<std::string> GridNames(Store& store, int64_t edbId) {
  return store.KindsWithPrefix(edbId, kGridPrefix);
}

Reply GridHeaderReply(Store& store, int64_t edbId, std::string_view name) {
  ReadSnapshot snapshot(store.file());
  snapshot.Start(edbId, GridKind(name), 0);
  std::string_view record;
  if (!snapshot.Next(&record)) return UnknownGrid(name);
  return Reply::Text(std::string(record));
}

Reply GridDataReply(Store& store, int64_t edbId, std::string_view name) {
  if (!HasGrid(store, edbId, name)) return UnknownGrid(name);
  Reply reply;
  reply.body = std::make_shared<RecordReplyBody>(std::make_unique<ReadSnapshot>(store.file()), edbId,
                                                 GridKind(name), 1, std::string(), false);
  return reply;
}

Reply SaveGrid(Store& store, const SaveHeader& header) {
  int64_t edbId = 0;
  Reply refusal;
  if (!ResolveEdb(store, header.database, header.edbUser, header.edbName, &edbId, &refusal)) return refusal;
  GridUpload upload;
  std::string headerFault;
  std::string dataFault;
  // The header is answered first: a refused header stops the exchange there.
  if (!ReadGridUpload(header.rest, &upload, &headerFault, &dataFault)) {
    if (!headerFault.empty()) return Reply::Error("grid header: " + headerFault);
    return Reply::Text("Examining data\nError: grid " + Shown(upload.name) + ": " + dataFault + "\n");
  }
  StoreGrid(store, edbId, upload);
  return Reply::Text("Examining data\nWrite index\nWrite data " + std::to_string(upload.cells) + " cells\nOK!\n");
}

void SeedGrid(Store& store, int64_t edbId, std::string_view name, const std::string& header,
              const std::vector<std::string>& lines) {
  std::string body = std::string(name) + "\n#GRIDASC\n" + header + "#GRIDDATA\n";
  for (const std::string& line : lines) AppendLine(&body, line);
  body += "#EOF\n";
  GridUpload upload;
  std::string headerFault;
  std::string dataFault;
  if (!ReadGridUpload(body, &upload, &headerFault, &dataFault)) {
    throw std::logic_error("demonstration grid " + std::string(name) + ": " + headerFault + dataFault);
  }
  std::vector<std::string> headerRecord{upload.header};
  ChunkSource headerSource(headerRecord);
  ChunkSource dataSource(upload.chunks);
  store.PutRecords(edbId, GridKind(name), 0, headerSource);
  store.PutRecords(edbId, GridKind(name), 1, dataSource);
}

}  // namespace edb
