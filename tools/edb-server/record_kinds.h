// The kind words that name record kinds in reads ("loadxxxdb") and saves
// ("savexxxdb"), where each kind's records are kept, which kinds are read
// record by record, and how a save of each kind is acknowledged.
#pragma once

#include <string_view>

namespace edb {

// The substance and searchkey lists ("loadsubs" and saves of kind "sub").
constexpr std::string_view kSubKind = "sub";
constexpr int kSubListCount = 6;  // list 0 = substances, 1..5 = searchkey lists

bool IsReadKind(std::string_view kind);
bool IsSaveKind(std::string_view kind);

// The kind under which records are stored: sources are read as "source2"
// (a listing with a header) and saved as "source".
std::string_view StoredKind(std::string_view kind);

// True when a read of this kind opens with the source listing header.
bool HasListingHeader(std::string_view kind);

// The kinds whose records the server reads line by line in their own
// sequence and keys by index: substances and searchkeys ("sub"), time
// variations ("timevarp", "timevarr"), substance groups ("subgrp") and
// emission factors ("emfac").  Other kinds are stored as they come.
enum class ReferenceKind { kSubstance, kTimevar, kSubgrp, kEmfac };
bool ReferenceKindOf(std::string_view kind, ReferenceKind* out);

// The line that acknowledges each stored record of a save ("sub" saves are
// acknowledged once with "OK!" instead).
std::string_view SaveAcknowledgement(std::string_view kind);
constexpr std::string_view kSubSaveAcknowledgement = "OK!";

}  // namespace edb
