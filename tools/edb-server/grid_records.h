// Grids on the server: the header text and the data lines of each grid of an
// EDB, stored as records of the kind "grid NAME" (list 0 the header, list 1
// the data lines in chunks), read back as the "loadgridasc" and
// "loadgriddata" replies, and the "savegrid" upload, which is checked whole
// before the grid is replaced in one transaction.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reply.h"
#include "save_body.h"
#include "store.h"

namespace edb {

// The stored kind of a grid.
std::string GridKind(std::string_view name);

// True for a name a grid may have: 1 to 255 bytes, no control characters.
bool IsValidGridName(std::string_view name);

// What a checked upload holds.
struct GridUpload {
  std::string name;
  std::string header;               // the header lines, each ended by "\n"
  std::vector<std::string> chunks;  // the data lines, each ended by "\n", in chunks
  size_t cells = 0;
};

// Checks the header section: "" when it is sound, else the fault.
std::string GridHeaderFault(std::string_view header, size_t* fieldsPerLine);

// Reads an upload (what follows the save body's four lines).  False with
// *headerFault or *dataFault set when it cannot be stored.
bool ReadGridUpload(std::string_view rest, GridUpload* upload, std::string* headerFault, std::string* dataFault);

// Stores the grid (replacing one of the same name) in one transaction.
void StoreGrid(Store& store, int64_t edbId, const GridUpload& upload);

// The names of the EDB's grids, sorted.
std::vector<std::string> GridNames(Store& store, int64_t edbId);

// The replies; an unknown grid is an "Error:" line.
Reply GridHeaderReply(Store& store, int64_t edbId, std::string_view name);
Reply GridDataReply(Store& store, int64_t edbId, std::string_view name);

// The "savegrid" command.
Reply SaveGrid(Store& store, const SaveHeader& header);

// A grid as the seed stores it: its header lines and data lines.
void SeedGrid(Store& store, int64_t edbId, std::string_view name, const std::string& header,
              const std::vector<std::string>& lines);

}  // namespace edb
