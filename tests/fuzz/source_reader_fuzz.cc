// The source reader fed arbitrary reply text (the listing's header lines,
// then the sources); what it reads must hold its fields' terminators and go
// through its writer without a fault.
#include <string>

#include "reader_fuzz.h"
#include "records/source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  fuzz::Records<SourceRec> sources;
  fuzz::ReadRecords<SourceRec>(fuzz::TakeReply(data), "IORSourceGetRec",
                               [](int32_t first, SourceRec* rec) { return IORSourceGetRec(first, rec); }, &sources);
  for (const auto& source : sources) {
    fuzz::CheckField(source->name, SourceNameSize, "source name");
    fuzz::CheckField(source->info, SourceNameSize, "source info");
    fuzz::CheckField(source->info2, SourceInfo2Size, "source info2");
    fuzz::CheckField(source->formulaMacro, SourceMacroSize, "source formula macro");
  }
  if (sources.empty()) return 0;
  fuzz_port::Reply ok;
  ok.body = "Import OK\n";
  fuzz_port::ClearQueue();
  fuzz_port::Queue(ok);
  int32_t r = IORSourcePutRec(RecordStart, nullptr);
  for (size_t i = 0; r == 1 && i < sources.size(); ++i) r = IORSourcePutRec(RecordWrite, sources[i].get());
  if (r == 1) r = IORSourcePutRec(RecordFinish, nullptr);
  fuzz::CheckResult(r, "the save of the sources read");
  return 0;
}
