// Record kind words (see record_kinds.h).
#include "record_kinds.h"

namespace edb {

namespace {

// Kinds every EDB keeps, read and saved under the same word.
constexpr std::string_view kCommonKinds[] = {"timevarp", "timevarr", "subgrp",  "emfac",    "veh",
                                             "svehsb",   "sveh",     "roadtype", "company", "facility",
                                             "road"};

bool IsCommonKind(std::string_view kind) {
  for (std::string_view k : kCommonKinds) {
    if (k == kind) return true;
  }
  return false;
}

}  // namespace

bool IsReadKind(std::string_view kind) { return IsCommonKind(kind) || kind == "source2"; }

// The road-vehicle definition ("svehsb") is the server's own: it is read,
// never saved.
bool IsSaveKind(std::string_view kind) {
  return (IsCommonKind(kind) && kind != "svehsb") || kind == "source" || kind == kSubKind;
}

std::string_view StoredKind(std::string_view kind) { return kind == "source2" ? std::string_view("source") : kind; }

bool HasListingHeader(std::string_view kind) { return kind == "source2"; }

bool ReferenceKindOf(std::string_view kind, ReferenceKind* out) {
  if (kind == kSubKind) {
    *out = ReferenceKind::kSubstance;
  } else if (kind == "timevarp" || kind == "timevarr") {
    *out = ReferenceKind::kTimevar;
  } else if (kind == "subgrp") {
    *out = ReferenceKind::kSubgrp;
  } else if (kind == "emfac") {
    *out = ReferenceKind::kEmfac;
  } else {
    return false;
  }
  return true;
}

std::string_view SaveAcknowledgement(std::string_view kind) {
  return kind == "source" ? std::string_view("Import OK") : std::string_view("Ok.");
}

}  // namespace edb
