// The Load exports fed arbitrary reply text: each kind's reader and sheet
// writer together, call by call as a macro drives them, into the substitute
// host.  The running count fits its buffer, results are 1, 0 or -1 (with a
// reason), and the host has every value it handed out back.
#include <functional>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "sheethost/host.h"
#include "vorkabcom.h"

namespace {

using Load = std::function<int32_t(int32_t mode, wchar_t* count)>;

Load KindLoad(int which) {
  if (which <= 5) return [which](int32_t mode, wchar_t* count) { return VKSubLoad(mode, which, count); };
  switch (which) {
    case 6: return [](int32_t mode, wchar_t* count) { return VKTimevarsLoad(0, mode, count); };
    case 7: return [](int32_t mode, wchar_t* count) { return VKTimevarsLoad(1, mode, count); };
    case 8: return VKSubgrpsLoad;
    default: return VKEmfacsLoad;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  Load load = KindLoad(data.ConsumeIntegralInRange<int>(0, 9));
  fuzz_port::Reply reply = fuzz::TakeReply(data);
  const size_t bodySize = reply.body.size();
  fuzz_port::Queue(std::move(reply));

  sheethost::Host host;
  host.RecordCalls(false);
  for (const wchar_t* sheet : {L"Substance", L"Searchkey", L"Source timevar", L"Road timevar", L"Emission factor",
                               L"Emission function"}) {
    host.Book().AddSheet(sheet);
  }
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
  std::unique_ptr<wchar_t[]> count(new wchar_t[12]);
  int32_t r = load(1, count.get());
  for (size_t calls = 0; r == 1; ++calls) {
    FUZZ_CHECK(calls <= bodySize + 1, "a Load does not come to an end");
    FUZZ_CHECK(wmemchr(count.get(), L'\0', 12) != nullptr, "the count past its buffer");
    r = load(0, count.get());
  }
  fuzz::CheckResult(r, "Load");
  FUZZ_CHECK(host.Outstanding() == 0, std::to_string(host.Outstanding()) + " host values left unfreed");
  FUZZ_CHECK(host.BadFrees() == 0, "values freed that the host did not hand out");
  SetExcel12EntryPt(nullptr);
  return 0;
}
