// The record readers fed arbitrary reply text, one fuzz target each: the
// target's name picks its function below (FUZZ_READER, set by fuzz.cmake).
// Every reader answers 1, 0 or -1, comes to an end and keeps its fields
// terminated and within their counts; what a full read gives goes through
// the kind's writer and, read back, gives the same records.
#include <memory>
#include <string>
#include <vector>

#include "reader_fuzz.h"
#include "records/alob.h"
#include "records/code_string.h"
#include "records/emfac.h"
#include "records/grid.h"
#include "records/road.h"
#include "records/roadtype.h"
#include "records/source.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"
#include "records/vehicle.h"
#include "transport/commands.h"

namespace {

// A full or a names-only read (the fuzzer's choice); a full one goes through
// the writer and back.  read(first, flags, record), write(operation, record).
template <class Rec, class Read, class Check, class Write>
void ReadFullOrNames(FuzzedDataProvider& data, const char* name, Read read, Check check, Write write) {
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<Rec>(
      data, name, [flags, read](int32_t first, Rec* rec) { return read(first, flags, rec); }, check, write,
      flags ? nullptr : "Ok.\n");
}

// A road with everything its reader fills.
struct Road {
  RoadRec record;
  Alob alob;
  RoadCoordVector coordinates;
  CodeString geocode;
  RoadTrafficVector traffic;
};

int32_t ReadRoad(int32_t first, Road* road) {
  return IORRoadGetRec(first, &road->record, &road->alob, &road->coordinates, &road->geocode, &road->traffic);
}

// The body of a save of the roads, "" when the writer refused them.
std::string SavedRoads(const fuzz::Records<Road>& roads) {
  auto write = [](int32_t op, const Road* road) {
    return road ? IORRoadPutRec(op, &road->record, &road->alob, &road->coordinates, &road->geocode, &road->traffic)
                : IORRoadPutRec(op, nullptr, nullptr, nullptr, nullptr, nullptr);
  };
  return fuzz::SaveRecords(roads, write, "Ok.\n") == 1 ? fuzz_port::LastBody() : std::string();
}

}  // namespace

namespace readers {

// Substances and searchkeys, for every list; the searchkey writer.
void sub_reader_fuzz(FuzzedDataProvider& data) {
  int32_t list = data.ConsumeIntegralInRange<int32_t>(0, 5);
  fuzz::ReadAll<SubRec>(
      data, "IORSubGetRec", [list](int32_t first, SubRec* rec) { return IORSubGetRec(first, list, rec); },
      [](const SubRec& rec) { fuzz::CheckField(rec.name, SubNameSize, "substance name"); },
      // Substance list 0 is never saved; its lines have the searchkeys' form.
      [list](int32_t op, const SubRec* rec) { return IORSubPutRec(op, list == 0 ? 1 : list, rec); }, "OK!\n");
}

// Time variations of both kinds.
void timevar_reader_fuzz(FuzzedDataProvider& data) {
  int32_t kind = data.ConsumeIntegralInRange<int32_t>(0, 1);
  ReadFullOrNames<TimevarRec>(
      data, "IORTimevarGetRec",
      [kind](int32_t first, int32_t flags, TimevarRec* rec) { return IORTimevarGetRec(kind, first, flags, rec); },
      [](const TimevarRec& rec) {
        fuzz::CheckField(rec.name, TimevarNameSize, "time-variation name");
        for (const auto& day : rec.typeday) {
          for (const auto& hour : day) fuzz::CheckField(hour, TimevarValueSize, "TYPEDAY value");
        }
      },
      [kind](int32_t op, const TimevarRec* rec) { return IORTimevarPutRec(kind, op, rec); });
}

void subgrp_reader_fuzz(FuzzedDataProvider& data) {
  ReadFullOrNames<SubgrpRec>(
      data, "IORSubgrpGetRec", IORSubgrpGetRec,
      [](const SubgrpRec& rec) {
        fuzz::CheckField(rec.name, SubgrpNameSize, "substance-group name");
        for (const auto& unit : rec.unit) fuzz::CheckField(unit, SubgrpUnitSize, "substance-group unit");
      },
      IORSubgrpPutRec);
}

void emfac_reader_fuzz(FuzzedDataProvider& data) {
  ReadFullOrNames<EmfacRec>(
      data, "IOREmfacGetRec", IOREmfacGetRec,
      [](const EmfacRec& rec) {
        fuzz::CheckField(rec.name, EmfacNameSize, "emission-factor name");
        fuzz::CheckField(rec.formula, EmfacFormulaSize, "formula");
        FUZZ_CHECK(rec.novariable >= 0 && rec.novariable <= EmfacMaxVariables, std::to_string(rec.novariable));
        for (const auto& var : rec.varname) fuzz::CheckField(var, EmfacVarNameSize, "variable name");
      },
      IOREmfacPutRec);
}

void vehicle_reader_fuzz(FuzzedDataProvider& data) {
  ReadFullOrNames<VehicleRec>(
      data, "IORVehicleGetRec",
      [](int32_t first, int32_t flags, VehicleRec* rec) { return IORVehicleGetRec(first, flags, rec, nullptr); },
      [](const VehicleRec& rec) {
        fuzz::CheckField(rec.name, VehicleNameSize, "vehicle name");
        int32_t n = VehicleSubstanceCount(rec);
        FUZZ_CHECK(n >= 0 && n <= VehicleMaxSubstances, std::to_string(n));
      },
      [](int32_t op, const VehicleRec* rec) { return IORVehiclePutRec(op, rec, nullptr); });
}

void roadtype_reader_fuzz(FuzzedDataProvider& data) {
  ReadFullOrNames<RoadtypeRec>(
      data, "IORRoadtypeGetRec", IORRoadtypeGetRec,
      [](const RoadtypeRec& rec) {
        fuzz::CheckField(rec.name, RoadtypeNameSize, "roadtype name");
        for (const RoadtypeBlock& block : rec.block) {
          for (const auto& day : block.typeday) {
            for (const auto& hour : day) fuzz::CheckField(hour, TimevarValueSize, "roadtype TYPEDAY value");
          }
        }
      },
      IORRoadtypePutRec);
}

// Roads: saved, that body read back and saved again gives the same body, so
// no field is lost or changed between the reader and the writer.
void road_reader_fuzz(FuzzedDataProvider& data) {
  fuzz::Records<Road> roads;
  fuzz::ReadRecords<Road>(fuzz::TakeReply(data), "IORRoadGetRec", ReadRoad, &roads);
  for (const auto& road : roads) {
    fuzz::CheckField(road->record.name, RoadNameSize, "road name");
    fuzz::CheckField(road->record.height, RoadHeightSize, "road heights");
    fuzz::CheckField(road->record.noise, RoadNoiseSize, "road noise factors");
  }
  std::string first = roads.empty() ? std::string() : SavedRoads(roads);
  if (first.empty()) return;
  fuzz_port::Reply again;
  again.body = fuzz::SavedRecords(first);
  fuzz::Records<Road> reread;
  FUZZ_CHECK(fuzz::ReadRecords<Road>(again, "IORRoadGetRec", ReadRoad, &reread) == 0,
             "a saved body does not read back:\n" + again.body.substr(0, 2000));
  FUZZ_CHECK(reread.size() == roads.size(), "roads lost through a save:\n" + again.body.substr(0, 2000));
  FUZZ_CHECK(SavedRoads(reread) == first, "roads changed through a save:\n" + again.body.substr(0, 2000));
}

// Sources (the listing's header lines, then the sources): saved without a fault.
void source_reader_fuzz(FuzzedDataProvider& data) {
  fuzz::Records<SourceRec> sources;
  fuzz::ReadRecords<SourceRec>(fuzz::TakeReply(data), "IORSourceGetRec",
                               [](int32_t first, SourceRec* rec) { return IORSourceGetRec(first, rec); }, &sources);
  for (const auto& source : sources) {
    fuzz::CheckField(source->name, SourceNameSize, "source name");
    fuzz::CheckField(source->info, SourceNameSize, "source info");
    fuzz::CheckField(source->info2, SourceInfo2Size, "source info2");
    fuzz::CheckField(source->formulaMacro, SourceMacroSize, "source formula macro");
  }
  if (!sources.empty()) fuzz::SaveRecords(sources, IORSourcePutRec, "Import OK\n");
}

// A grid's header and data replies: never more substances or fields than a grid holds.
void grid_reader_fuzz(FuzzedDataProvider& data) {
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
  if (r != 1) return;
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
}

}  // namespace readers

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  readers::FUZZ_READER(data);
  return 0;
}
