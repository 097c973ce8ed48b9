// The time-variation reader fed arbitrary reply text: both kinds, full and
// names-only reads; what a full read gives goes through the writer and back.
#include "reader_fuzz.h"
#include "records/timevar.h"
#include "transport/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t kind = data.ConsumeIntegralInRange<int32_t>(0, 1);
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<TimevarRec>(
      data, "IORTimevarGetRec",
      [kind, flags](int32_t first, TimevarRec* rec) { return IORTimevarGetRec(kind, first, flags, rec); },
      [](const TimevarRec& rec) {
        fuzz::CheckField(rec.name, TimevarNameSize, "time-variation name");
        for (const auto& day : rec.typeday) {
          for (const auto& hour : day) fuzz::CheckField(hour, TimevarValueSize, "TYPEDAY value");
        }
      },
      [kind](int32_t op, const TimevarRec* rec) { return IORTimevarPutRec(kind, op, rec); }, flags ? nullptr : "Ok.\n");
  return 0;
}
