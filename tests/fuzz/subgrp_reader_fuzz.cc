// The substance-group reader fed arbitrary reply text, full and names-only;
// what a full read gives goes through the writer and back.
#include "reader_fuzz.h"
#include "records/subgrp.h"
#include "transport/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<SubgrpRec>(
      data, "IORSubgrpGetRec", [flags](int32_t first, SubgrpRec* rec) { return IORSubgrpGetRec(first, flags, rec); },
      [](const SubgrpRec& rec) {
        fuzz::CheckField(rec.name, SubgrpNameSize, "substance-group name");
        for (const auto& unit : rec.unit) fuzz::CheckField(unit, SubgrpUnitSize, "substance-group unit");
      },
      [](int32_t op, const SubgrpRec* rec) { return IORSubgrpPutRec(op, rec); }, flags ? nullptr : "Ok.\n");
  return 0;
}
