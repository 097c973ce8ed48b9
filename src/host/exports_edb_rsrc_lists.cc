// The six resource list exports: the speeds, temperatures, scenarios and the
// substance, substance-group and substance-group emission units of the
// current EDB, one name per call, in the order the lists are kept (by number
// after VKEdbRsrcLoad or an update from the sheets).  The caller's buffer
// holds 256 characters: the longest unit name and its terminator; a longer
// speed, temperature or scenario name is handed out cut to 255 characters.
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue.h"
#include "catalogue/edb_rsrc_rows.h"
#include "host/frame.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

namespace {

int32_t ListNames(const char* name, CRecordList& list, int32_t first, wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, first ? "first" : "next");
  int32_t r = list.List(first, buffer, buffer ? RsrcTextSize : 0);
  if (DebugLevel > 0) DebugPrint("<-- %s = %d [%s]\n", name, static_cast<int>(r), r == 1 ? Narrow(buffer).c_str() : "");
  return r;
}

}  // namespace

int32_t VKAPI VKEdbSpeedList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbSpeedList", SpeedList, first, buffer);
}

int32_t VKAPI VKEdbTemperatureList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbTemperatureList", TemperatureList, first, buffer);
}

int32_t VKAPI VKEdbScenarioList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbScenarioList", ScenarioList, first, buffer);
}

int32_t VKAPI VKEdbUnitSubList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbUnitSubList", UnitSubList, first, buffer);
}

int32_t VKAPI VKEdbUnitSubGrpList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbUnitSubGrpList", UnitSubGrpList, first, buffer);
}

int32_t VKAPI VKEdbUnitSubGrpEmList(int32_t first, wchar_t* buffer) {
  return ListNames("VKEdbUnitSubGrpEmList", UnitSubGrpEmList, first, buffer);
}
