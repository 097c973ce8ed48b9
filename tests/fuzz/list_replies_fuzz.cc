// The list replies (databases, EDB users, EDB names) and the EDB's resource
// file fed arbitrary reply text through their exports; every name handed out
// fits the caller's buffer of the documented size.
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "vorkabcom.h"

namespace {

// Hands out every name of a list export into a buffer of exactly `size`
// characters.
void ListAll(int32_t (*list)(int32_t, wchar_t*), size_t size, const char* name) {
  std::unique_ptr<wchar_t[]> buffer(new wchar_t[size]);
  int32_t r = list(1, buffer.get());
  for (size_t n = 0; r == 1; ++n) {
    FUZZ_CHECK(n < 1000000, std::string(name) + " does not come to an end");
    fuzz::CheckField(buffer.get(), size, name);
    r = list(0, buffer.get());
  }
  fuzz::CheckResult(r, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int which = data.ConsumeIntegralInRange<int>(0, 3);
  fuzz_port::Queue(fuzz::TakeReply(data));
  switch (which) {
    case 0:
      fuzz::CheckResult(VKDatabasesLoad(), "VKDatabasesLoad");
      ListAll(VKDatabasesList, 1024, "VKDatabasesList");
      break;
    case 1:
      fuzz::CheckResult(VKEdbUsersLoad(), "VKEdbUsersLoad");
      ListAll(VKEdbUsersList, 1024, "VKEdbUsersList");
      break;
    case 2:
      fuzz::CheckResult(VKEdbNamesLoad(), "VKEdbNamesLoad");
      ListAll(VKEdbNamesList, 1024, "VKEdbNamesList");
      break;
    default:
      fuzz::CheckResult(VKEdbRsrcLoad(), "VKEdbRsrcLoad");
      ListAll(VKEdbSpeedList, 256, "VKEdbSpeedList");
      ListAll(VKEdbTemperatureList, 256, "VKEdbTemperatureList");
      ListAll(VKEdbScenarioList, 256, "VKEdbScenarioList");
      ListAll(VKEdbUnitSubList, 256, "VKEdbUnitSubList");
      ListAll(VKEdbUnitSubGrpList, 256, "VKEdbUnitSubGrpList");
      ListAll(VKEdbUnitSubGrpEmList, 256, "VKEdbUnitSubGrpEmList");
      break;
  }
  return 0;
}
