// The substance and searchkey reader fed arbitrary reply text, for every
// list; what it reads goes through the searchkey writer and back.
#include "reader_fuzz.h"
#include "records/substance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t list = data.ConsumeIntegralInRange<int32_t>(0, 5);
  fuzz::ReadAll<SubRec>(
      data, "IORSubGetRec", [list](int32_t first, SubRec* rec) { return IORSubGetRec(first, list, rec); },
      [](const SubRec& rec) { fuzz::CheckField(rec.name, SubNameSize, "substance name"); },
      // Substance list 0 is never saved; its lines have the searchkeys' form.
      [list](int32_t op, const SubRec* rec) { return IORSubPutRec(op, list == 0 ? 1 : list, rec); }, "OK!\n");
  return 0;
}
