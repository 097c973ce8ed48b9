// Vehicle, road-vehicle definition, road-vehicle and roadtype records on the wire.
#include <memory>
#include <string>

#include "record_fixture.h"
#include "records/road_vehicle.h"
#include "records/road_vehicle_definition.h"
#include "records/roadtype.h"
#include "records/vehicle.h"

namespace records_test {
namespace {

using TrafficRecordsTest = RecordTest;

std::string Speeds(int substance) {
  std::string text;
  for (int s = 1; s <= 11; ++s) text += "    SPEED " + std::to_string(s) + " EMISSION " + std::to_string(substance * 100 + s) + "\n";
  return text;
}

std::string VehicleText(int index, const std::string& substances) {
  return "NAME \"Car " + std::to_string(index) + "\"\nINDEX " + std::to_string(index) +
         "\nACTIVITYCODE 7.1 urban\nISHEAVY 1\n" + substances;
}

std::string Block(int vehicle) {
  std::string text = "VEHICLE " + std::to_string(vehicle) + "\n";
  for (int h = 1; h <= 24; ++h) text += std::string(h == 1 ? "TYPEDAY" : "") + "\t 10 20:1 30 " + std::to_string(h) + "\n";
  return text + "MONTH\t   90  100  110  100  100  100\n\t  100  100  100  100  100   -5\nSCENARIO\t 1 0.9 1 1 1\n\t 1 1 1 1 0.1\n"
                "MINSPEED 2 MAXSPEED 7\n";
}

const char* const kRoadVehicleHead =
    "NAME \"PC\"\nINDEX 70000\nACTIVITYCODE\nISHEAVY 0\nISTRAFFIC 1\nWEIGHT 1500\nEMISSIONMODEL 2\nFLOWEQUI 1.5\n"
    "DEPENDENCY 3\nINFO \"HBEFA\"\n";

TEST_F(TrafficRecordsTest, VehicleSlotsAreSortedWithTheirEmissions) {
  Reply(VehicleText(4, "SUBSTANCE 12\n" + Speeds(12) + "SUBSTANCE 3\n" + Speeds(3) + "SUBSTANCE 7\n" + Speeds(7)) + "\n");
  std::unique_ptr<VehicleRec> r(new VehicleRec());
  CodeString code;
  ASSERT_EQ(IORVehicleGetRec(1, 0, r.get(), &code), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&veh&0");
  EXPECT_STREQ(code.Text(), L"7.1 urban");
  ASSERT_EQ(VehicleSubstanceCount(*r), 3);
  const int expected[] = {3, 7, 12};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r->substance[k], expected[k]);
    EXPECT_EQ(r->emission[k][0], expected[k] * 100 + 1);
    EXPECT_EQ(r->emission[k][10], expected[k] * 100 + 11);
  }
  EXPECT_EQ(IORVehicleGetRec(0, 0, r.get(), &code), 0);
}

TEST_F(TrafficRecordsTest, VehicleWrittenBackKeepsEveryFloat) {
  std::unique_ptr<VehicleRec> r(new VehicleRec());
  r->index = 2;
  wcscpy(r->name, L"Bus");
  r->substance[0] = 5;
  for (int s = 0; s < 11; ++s) r->emission[0][s] = 0.5f;
  r->emission[0][1] = 1.2345678e-7f;  // "%f" would print 0.000000
  CodeString code;
  CopyCode(&code, L"7.4");
  std::string body = Posted([&](int32_t op) { return IORVehiclePutRec(op, r.get(), &code); });
  EXPECT_NE(body.find(SaveHeader("veh", -1, "0", "0") + "NAME \"Bus\"\nINDEX 2\nACTIVITYCODE 7.4\nISHEAVY 0\n"
                      "SUBSTANCE 5\n    SPEED   1 EMISSION 0.5\n    SPEED   2 EMISSION 1.2345679e-07\n"),
            std::string::npos)
      << body;
  EXPECT_NE(body.find("    SPEED  11 EMISSION 0.5\n\nEOF\n"), std::string::npos) << body;
}

TEST_F(TrafficRecordsTest, DefinitionWithTwoDimensions) {
  Reply("DIMENSION 2\nDIM1 3\nDIM2 2\nDIMSPEED 2\nUSEALTSPEED 0\nHEADER1 Vehicle category\nTEXT1 Car\nTEXT2 LCV\n"
        "TEXT3 HGV\nHEADER2 Fuel\nTEXT1 Petrol\nTEXT2 Diesel\n\n");
  RoadVehicleDefRec def = {};
  ASSERT_EQ(IORRoadVehicleDefGetRec(0, &def), 1) << Error();
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&svehsb&0");
  EXPECT_EQ(def.dimensions, 2);
  EXPECT_EQ(def.combinations, 6);
  EXPECT_EQ(def.dimspeed, 2);
  EXPECT_STREQ(def.texts[0][0], L"Vehicle category");
  EXPECT_STREQ(def.texts[0][3], L"HGV");
  EXPECT_STREQ(def.texts[1][2], L"Diesel");
  RoadVehicleDefFree(&def);
  EXPECT_EQ(def.texts, nullptr);
  RoadVehicleDefFree(&def);  // twice is harmless
  // No definition at all, and one that ends inside its texts (nothing stays
  // allocated: the sanitizer build sees any leak).
  Reply("");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), 0);
  Reply("DIMENSION 1\nDIM1 2\nDIMSPEED 1\nUSEALTSPEED 0\nHEADER1 Fuel\nTEXT1 Petrol\n");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), -1);
  EXPECT_EQ(def.texts, nullptr);
  Reply("DIMENSION 99\n");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), -1);
}

TEST_F(TrafficRecordsTest, RoadVehicleEmissionLinesOneAtATime) {
  Reply(std::string(kRoadVehicleHead) + "1 Car Petrol 0.1 0.2 0.3 0.4\n3 Car Petrol 1 2 3 4\n\n" + kRoadVehicleHead + "\n");
  RoadVehicleRec r = {};
  CodeString code;
  // (The fields of seeded road vehicles, read and written back unchanged:
  // tests/e2e TrafficRoundTrip.LoadThenSaveLeavesTheStoredRecordsAsTheyWere.)
  ASSERT_EQ(IORRoadVehicleGetRec(1, 0, &r, &code), 1) << Error();
  EXPECT_EQ(r.index, 70000u);
  EXPECT_STREQ(code.Text(), L"");
  const wchar_t* line = nullptr;
  EXPECT_EQ(IORRoadVehicleGetEmFac(&line), 1);
  EXPECT_STREQ(line, L"1 Car Petrol 0.1 0.2 0.3 0.4");
  EXPECT_EQ(IORRoadVehicleGetEmFac(&line), 1);
  EXPECT_EQ(IORRoadVehicleGetEmFac(&line), 0);
  ASSERT_EQ(IORRoadVehicleGetRec(0, 0, &r, &code), 1) << Error();
  EXPECT_EQ(IORRoadVehicleGetEmFac(&line), 0);  // no emission lines
  EXPECT_EQ(IORRoadVehicleGetRec(0, 0, &r, &code), 0);
}

TEST_F(TrafficRecordsTest, RoadVehicleSaveSendsLinesAsTheyStand) {
  RoadVehicleRec r = {};
  r.index = 4;
  wcscpy(r.name, L"Bus");
  r.weight = 14000;
  r.flowequi = 2.5f;
  Reply("Ok.\n");
  ASSERT_EQ(IORRoadVehiclePutRec(RecordStart, nullptr, nullptr), 1);
  ASSERT_EQ(IORRoadVehiclePutRec(RecordWrite, &r, nullptr), 1);
  ASSERT_EQ(IORRoadVehiclePutLine(0, L"1 Bus Diesel 1 2 3 4 "), 1);
  ASSERT_EQ(IORRoadVehiclePutLine(0, L""), 1);
  ASSERT_EQ(IORRoadVehiclePutRec(RecordFinish, nullptr, nullptr), 1) << Error();
  EXPECT_NE(Body(Requests() - 1).find("NAME \"Bus\"\nINDEX 4\nACTIVITYCODE \nISHEAVY 0\nISTRAFFIC 0\nWEIGHT 14000.000000\n"
                                      "EMISSIONMODEL 0\nFLOWEQUI 2.5\nDEPENDENCY 0\nINFO \"\"\n1 Bus Diesel 1 2 3 4 \n\nEOF\n"),
            std::string::npos);
}

TEST_F(TrafficRecordsTest, RoadtypeBlocksUpToTheSeparator) {
  Reply("NAME \"Street\"\nINDEX 5\n" + Block(3) + Block(9) + "\n");
  std::unique_ptr<RoadtypeRec> r(new RoadtypeRec());
  ASSERT_EQ(IORRoadtypeGetRec(1, 0, r.get()), 1) << Error();
  EXPECT_EQ(RoadtypeVehicleCount(*r), 2);
  EXPECT_EQ(r->vehicle[1], 9);
  for (int k = 2; k < 10; ++k) EXPECT_EQ(r->vehicle[k], 0);
  EXPECT_STREQ(r->block[1].typeday[1][0], L"20:1");
  EXPECT_STREQ(r->block[1].typeday[3][23], L"24");
  EXPECT_EQ(r->block[0].month[11], -5);
  EXPECT_EQ(r->block[0].scenario[9], 0.1f);
  EXPECT_EQ(r->block[0].minspeed, 2);
  EXPECT_EQ(r->block[0].maxspeed, 7);
  std::unique_ptr<RoadtypeRec> end(new RoadtypeRec());
  EXPECT_EQ(IORRoadtypeGetRec(0, 0, end.get()), 0);

  // Written back as it was read.
  std::string body = Posted([&](int32_t op) { return IORRoadtypePutRec(op, r.get()); });
  EXPECT_NE(body.find("NAME \"Street\"\nINDEX 5\n" + Block(3) + Block(9) + "\nEOF\n"), std::string::npos) << body;
}

// Every reply here ends or goes wrong inside a record: a failure, never the
// end of the records.
TEST_F(TrafficRecordsTest, BrokenRecordsFail) {
  std::unique_ptr<VehicleRec> vehicle(new VehicleRec());
  std::unique_ptr<RoadtypeRec> roadtype(new RoadtypeRec());
  RoadVehicleRec roadVehicle = {};
  CodeString code;
  const std::function<int32_t()> reads[] = {[&] { return IORVehicleGetRec(1, 0, vehicle.get(), &code); },
                                             [&] { return IORRoadVehicleGetRec(1, 0, &roadVehicle, &code); },
                                             [&] { return IORRoadtypeGetRec(1, 0, roadtype.get()); }};
  std::string blocks = "NAME \"Street\"\nINDEX 5\n";
  for (int b = 1; b <= 11; ++b) blocks += Block(b);
  const struct {
    const char* what;
    std::string reply;
    int read;  // vehicle, road vehicle, roadtype
  } cases[] = {
      {"vehicle ends in its SPEED lines", VehicleText(1, "SUBSTANCE 3\n" + Speeds(3).substr(0, 60)), 0},
      {"vehicle ends before ISHEAVY", "NAME \"Car\"\nINDEX 1\nACTIVITYCODE 7\n", 0},
      {"SPEED line that does not match", VehicleText(1, "SUBSTANCE 3\n    SPEED 1 EMISSION x\n"), 0},
      {"substance 0", VehicleText(1, "SUBSTANCE 0\n" + Speeds(0)), 0},
      {"road vehicle ends before INFO", std::string(kRoadVehicleHead).substr(0, 100), 1},
      {"roadtype ends in a block", "NAME \"Street\"\nINDEX 5\n" + Block(3).substr(0, 200), 2},
      {"roadtype of 11 blocks", blocks + "\n", 2},
      {"roadtype hour value longer than its field",
       "NAME \"Street\"\nINDEX 5\nVEHICLE 1\nTYPEDAY\t 1234567890123456 1 1 1\n", 2},
  };
  for (const auto& c : cases) {
    Reply(c.reply);
    EXPECT_EQ(reads[c.read](), -1) << c.what;
    EXPECT_NE(Error(), "") << c.what;
    ClearErrorText();
  }
}

}  // namespace
}  // namespace records_test
