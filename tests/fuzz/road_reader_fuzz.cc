// The road reader fed arbitrary reply text.  What it reads must survive its
// writer: the roads saved, that body read back and saved again give the same
// body, so no field is lost or changed between the reader and the writer.
#include <memory>
#include <string>
#include <vector>

#include "reader_fuzz.h"
#include "records/alob.h"
#include "records/code_string.h"
#include "records/road.h"

namespace {

// A road with everything its reader fills.
struct Road {
  RoadRec record;
  Alob alob;
  RoadCoordVector coordinates;
  CodeString geocode;
  RoadTrafficVector traffic;
};

int32_t Read(int32_t first, Road* road) {
  return IORRoadGetRec(first, &road->record, &road->alob, &road->coordinates, &road->geocode, &road->traffic);
}

// The body of a save of the roads, "" when the writer refused them.
std::string Saved(const fuzz::Records<Road>& roads) {
  fuzz_port::Reply ok;
  ok.body = "Ok.\n";
  fuzz_port::ClearQueue();
  fuzz_port::Queue(ok);
  int32_t r = IORRoadPutRec(RecordStart, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (size_t i = 0; r == 1 && i < roads.size(); ++i) {
    const Road& road = *roads[i];
    r = IORRoadPutRec(RecordWrite, &road.record, &road.alob, &road.coordinates, &road.geocode, &road.traffic);
  }
  if (r == 1) r = IORRoadPutRec(RecordFinish, nullptr, nullptr, nullptr, nullptr, nullptr);
  fuzz::CheckResult(r, "the save of the roads read");
  return r == 1 ? fuzz_port::LastBody() : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  fuzz::Records<Road> roads;
  fuzz::ReadRecords<Road>(fuzz::TakeReply(data), "IORRoadGetRec", Read, &roads);
  for (const auto& road : roads) {
    fuzz::CheckField(road->record.name, RoadNameSize, "road name");
    fuzz::CheckField(road->record.height, RoadHeightSize, "road heights");
    fuzz::CheckField(road->record.noise, RoadNoiseSize, "road noise factors");
  }
  if (roads.empty()) return 0;
  std::string first = Saved(roads);
  if (first.empty()) return 0;
  fuzz_port::Reply again;
  again.body = fuzz::SavedRecords(first);
  fuzz::Records<Road> reread;
  FUZZ_CHECK(fuzz::ReadRecords<Road>(again, "IORRoadGetRec", Read, &reread) == 0,
             "a saved body does not read back:\n" + again.body.substr(0, 2000));
  FUZZ_CHECK(reread.size() == roads.size(), "roads lost through a save:\n" + again.body.substr(0, 2000));
  FUZZ_CHECK(Saved(reread) == first, "roads changed through a save:\n" + again.body.substr(0, 2000));
  return 0;
}
