// The roadtype reader fed arbitrary reply text, full and names-only; what a
// full read gives goes through the writer and back.
#include "reader_fuzz.h"
#include "records/roadtype.h"
#include "transport/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<RoadtypeRec>(
      data, "IORRoadtypeGetRec",
      [flags](int32_t first, RoadtypeRec* rec) { return IORRoadtypeGetRec(first, flags, rec); },
      [](const RoadtypeRec& rec) {
        fuzz::CheckField(rec.name, RoadtypeNameSize, "roadtype name");
        for (const RoadtypeBlock& block : rec.block) {
          for (const auto& day : block.typeday) {
            for (const auto& hour : day) fuzz::CheckField(hour, TimevarValueSize, "roadtype TYPEDAY value");
          }
        }
      },
      [](int32_t op, const RoadtypeRec* rec) { return IORRoadtypePutRec(op, rec); }, flags ? nullptr : "Ok.\n");
  return 0;
}
