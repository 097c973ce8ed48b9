// The grid reader fed arbitrary header and data replies: whatever they hold,
// it answers 1, 0 or -1, comes to an end, keeps its header fields
// terminated, and never gives more substances or fields than a grid holds.
#include <string>

#include "fuzz_support.h"
#include "records/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  fuzz_port::Reply header;
  header.body = data.ConsumeRandomLengthString(16384);
  fuzz_port::Reply cells = fuzz::TakeReply(data);
  const size_t dataSize = cells.body.size();
  fuzz_port::ClearQueue();
  fuzz_port::Queue(header);
  fuzz_port::Queue(cells);

  GridRec rec{};
  GridSubstances substances{};
  GridFields fields;
  CodeString activity;
  CodeString geo;
  int32_t r = IORGridGet(1, L"Fuzz", &rec, &substances, &fields, &activity, &geo);
  fuzz::CheckResult(r, "IORGridGet (header)");
  if (r != 1) return 0;
  fuzz::CheckField(rec.name, GridNameSize, "grid name");
  fuzz::CheckField(rec.info, GridTextSize, "grid info");
  fuzz::CheckField(rec.info2, GridInfo2Size, "grid info2");
  fuzz::CheckField(rec.misc, GridTextSize, "grid misc");
  FUZZ_CHECK(substances.count >= 0 && substances.count <= GridMaxSubstances, std::to_string(substances.count));
  for (size_t n = 0; (r = IORGridGet(0, L"Fuzz", &rec, &substances, &fields, &activity, &geo)) == 1; ++n) {
    FUZZ_CHECK(n <= dataSize + 1, "IORGridGet does not come to an end");
    FUZZ_CHECK(fields.size() <= static_cast<size_t>(GridMaxFields), std::to_string(fields.size()) + " fields");
  }
  fuzz::CheckResult(r, "IORGridGet (data)");
  return 0;
}
