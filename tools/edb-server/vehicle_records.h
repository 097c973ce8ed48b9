// The traffic records: vehicles ("veh"), the road-vehicle definition
// ("svehsb"), road vehicles ("sveh") and roadtypes ("roadtype").  Each upload
// is read record by record in its kind's line sequence, every value checked
// against the library's record, and kept in the form the library's writer
// prints it, so that a record loaded and saved again is stored unchanged.
//
// A road-vehicle upload opens with the definition block; the definition is
// the server's own (it cannot be saved) and the block must repeat it.  The
// emission lines of a road vehicle are checked against it: a substance,
// one class text per dimension and four factors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reference_upload.h"

namespace edb {

struct RoadVehicleDefinition {
  std::vector<std::string> headers;               // per dimension its header
  std::vector<std::vector<std::string>> classes;  // per dimension its class texts
  int64_t dimspeed = 0;
  int64_t usealtspeed = 0;
};

// Reads a definition block (DIMENSION, DIMn, DIMSPEED, USEALTSPEED, HEADERn
// and TEXTn lines); false with *problem.
bool ReadRoadVehicleDefinition(std::string_view text, RoadVehicleDefinition* definition, std::string* problem);
// The definition's lines as the server sends them, each followed by "\n".
std::string RoadVehicleDefinitionText(const RoadVehicleDefinition& definition);

// True for the kinds read here: "veh", "sveh" and "roadtype".
bool IsVehicleKind(std::string_view kind);

// Reads the record lines of an upload of such a kind into records in index
// order, each in its stored form.  storedDefinition: the EDB's definition
// text ("" when it has none), which a road-vehicle upload must open with.
// false with the reason ("record 3: ...").
bool ReadVehicleKindRecords(std::string_view kind, std::string_view lines, std::string_view storedDefinition,
                            std::vector<ReferenceRecord>* records, std::string* reason);

// The number as the library prints a float: "%g" with the fewest digits
// from 6 to 9 that read back as the same float.
std::string ShortestSingle(float value);

}  // namespace edb
