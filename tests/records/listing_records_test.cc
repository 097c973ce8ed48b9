// The listing kinds on the wire: companies, facilities, roads, sources and the traffic kinds read, written, refused.
#include <cwchar>
#include <memory>
#include <string>

#include "record_fixture.h"
#include "records/company.h"
#include "records/facility.h"
#include "records/road.h"
#include "records/road_vehicle.h"
#include "records/road_vehicle_definition.h"
#include "records/roadtype.h"
#include "records/source.h"
#include "records/vehicle.h"

namespace records_test {
namespace {

using CompanyRecordsTest = RecordTest;

const char* const kCompany =
    "ID \"556-1\"\nNAME \"Bruk\"\nINFO \"i\"\nINFO2 \"i2\"\nADDRESS \"a\"\nPOSTADDRESS \"p\"\n"
    "INFOSUPPLIER \"s\"\nMISC \"m\"\n";

TEST_F(CompanyRecordsTest, CompanyWithTwoAlobLinesReadsAndWritesBackTheSame) {
  // The second ALOB line is empty and the third looks like a keyword line: both attribute text, taken by the count.
  Reply(std::string(kCompany) + "ALOB 3\nA=1\n\nNAME \"x\"\n\n" + "ID \"2\"\nNAME\nINFO \"\"\nINFO2 \"\"\n"
        "ADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\nALOB 0\n\n");
  CompanyRec r;
  Alob alob;
  ASSERT_EQ(IORCompanyGetRec(1, 0, &r, &alob), 1) << Error();
  CompanyRec second;
  Alob none;
  ASSERT_EQ(IORCompanyGetRec(0, 0, &second, &none), 1) << Error();  // the keyword alone: an empty name
  EXPECT_STREQ(second.name, L"");
  EXPECT_EQ(IORCompanyGetRec(0, 0, &second, &none), 0);
  EXPECT_EQ(Posted([&](int32_t op) { return IORCompanyPutRec(op, &r, &alob); }),
            SaveHeader("company", -1, "0", "0") + kCompany + "ALOB 3\nA=1\n\nNAME \"x\"\n\nEOF\n");
}

TEST_F(CompanyRecordsTest, SavePostsTheRecordsAsTheyWereRead) {
  FacilityRec f{};
  f.x = 4294967295u;
  f.y = 1;
  wcscpy(f.name, std::wstring(47, L'n').c_str());  // a name of 47 characters is written whole
  wcscpy(f.company, L"556-1");
  Alob alob;
  std::string body = Posted([&](int32_t op) { return IORFacilityPutRec(op, &f, &alob); }, RecordStartFlag1);
  EXPECT_NE(body.find("X 4294967295\nY 1\nNAME \"" + std::string(47, 'n') + "\"\nCOMPANY \"556-1\"\n"),
            std::string::npos) << body;
}

using RoadRecordsTest = RecordTest;

// A road as the writer prints it: explicit emission factors, traffic with a share of 1e-07, noise factors, two
// attribute lines and three points.
const char* const kRoad =
    "NAME \"G\xf6tgatan 1\"\nINFO \"Segment 1\"\nINFO2 \"\"\nVEHICLES 12000\nVEHICLEMACRO \"URBAN\"\n"
    "CORRFACTOR 1.2345678\nNOLANES 2\nSPEED 4\nROADTYPE 0\nEMIFAC 4 6 3\nVEH1 13 3 62.5\nVEH2 18 4 1e-07\n"
    "HEAVYSPEED 2\nCONGSPEED1 1\nCONGSPEED2 1\nCONGSPEED3 1\nHEAVYCONGSPEED1 2\nHEAVYCONGSPEED2 2\n"
    "HEAVYCONGSPEED3 2\nPERCHEAVY 0.1\nSEARCHKEY1 5\nSEARCHKEY2 2\nSEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 65535\n"
    "GEOCODE 1480 A\nWIDTH 19\nDISTHOUSES 10\nSLOPE -3\nELEVATION 6\nHEIGHT 15 18 21 24 27 30 12 15 18 21 24 27\n"
    "BARRIERHEIGHT 3.5 16777216\nBARRIERANGLE 90 270\nBARRIERDISTANCE 7.5 0\nNOISE 1 1.5 2.25 0.75\n"
    "ALOB 2\nOWNER=Trafikkontoret\nX0 is no coordinate here\n"
    "X0 318000 Y0 6400000\nX1 318050 Y1 6400010\nX2 2147483647 Y2 1\n\n";

struct Roads {
  RoadRec record{};
  Alob alob;
  RoadCoordVector coordinates;
  CodeString geocode;
  RoadTrafficVector traffic;
  int32_t Get(int32_t first) { return IORRoadGetRec(first, &record, &alob, &coordinates, &geocode, &traffic); }
};

TEST_F(RoadRecordsTest, ARoadReadAndWrittenBackIsTheSameText) {
  Reply(kRoad);
  Roads r;
  ASSERT_EQ(r.Get(1), 1) << Error();
  Roads next;
  EXPECT_EQ(next.Get(0), 0) << Error();  // the listing ends after the road

  NoNoiseFactors = 0;  // not verified: the road's own noise factors still go
  auto put = [&](int32_t op) { return IORRoadPutRec(op, &r.record, &r.alob, &r.coordinates, &r.geocode, &r.traffic); };
  EXPECT_EQ(Posted(put, RecordStartFlag1), SaveHeader("road", -1, "1", "0") + kRoad + "EOF\n");
}

TEST_F(RoadRecordsTest, RoadsWithoutTrafficAlobOrCoordinatesEndAtTheEmptyLine) {
  std::string road = kRoad;
  road.replace(road.find("VEH1"), road.find("HEAVYSPEED") - road.find("VEH1"), "");
  road.replace(road.find("NOISE"), road.find("\n\n") - road.find("NOISE") + 1, "ALOB 0\n");
  Reply(road + road);
  Roads r;
  for (int first = 1; first >= 0; --first) {
    ASSERT_EQ(r.Get(first), 1) << Error();
    EXPECT_EQ(r.traffic.Count() + r.coordinates.Count() + wcslen(r.record.noise), 0u);
  }
  EXPECT_EQ(r.Get(0), 0);
}

using SourceRecordsTest = RecordTest;

std::string Fixed(const std::string& x2y2, int segments, const std::string& build) {
  return "X1 1270001\nY1 6160001\n" + x2y2 + "PX 1270000\nPY 6160000\nNAME \"Boiler 1\"\nINFO \"i\"\nINFO2 \"\"\n"
         "DATE 250115\nCHANGED 000000\nCHIMNEY HEIGHT 45\nGASTEMPERATURE 120\nGAS FLOW 30\nSEARCHKEY1 1\n"
         "SEARCHKEY2 0\nSEARCHKEY3 3\nSEARCHKEY4 4\nSEARCHKEY5 0\nCHIMNEY OUT 1.25\nCHIMNEY IN 0.33333334\n"
         "HOUSE WIDTH 12\nHOUSE HEIGHT 8\nNOSEGMENTS " + std::to_string(segments) + "\n" + build +
         "GEOCODE 1480-1\nFORMULAMACRO \"WORKDAYS\"\nALOB 2\nA=1\n\n";
}

std::string Replaced(std::string text, const std::string& what, const std::string& by) {
  return text.replace(text.find(what), what.size(), by);
}

const char* const kNoBuilding = "BUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\nBUILD_DISTFARWALL\nBUILD_CENTER\n";

// Two emissions of one substance, a substance-group block (read before the emission blocks when groupFirst, written
// after them), an activity with three variables.
std::string Blocks(bool groupFirst) {
  std::string group = "SUBGRP.1.SUBGRP 7\nSUBGRP.1.ACTIVITY 2.5e-05\nSUBGRP.1.TIMEVAR 3\nSUBGRP.1.UNIT MWh/year\n"
                      "SUBGRP.1.ACTCODE 1.A.4.b\nSUBGRP.1.ALOB 0\n";
  std::string emissions =
         "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1e-07\nEMISSION.1.TIMEVAR 5\nEMISSION.1.UNIT kg/year\n"
         "EMISSION.1.MACRO \nEMISSION.1.ACTCODE \nEMISSION.1.ALOB 1\nMETHOD=measured\n"
         "EMISSION.2.SUBSTANCE 1\nEMISSION.2.EMISSION -3.4028235e+38\nEMISSION.2.TIMEVAR 1\n"
         "EMISSION.2.UNIT ton/year\nEMISSION.2.MACRO CORR\nEMISSION.2.ACTCODE 1.A.1.a\nEMISSION.2.ALOB 0\n";
  return (groupFirst ? group + emissions : emissions + group) +
         "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\nACTIVITY.1.VAR.1 0.1\nACTIVITY.1.VAR.2 123456.79\n"
         "ACTIVITY.1.VAR.3 0\nACTIVITY.1.ACTCODE 2.D.3\nACTIVITY.1.ALOB 0\n";
}

TEST_F(SourceRecordsTest, ListingReadsTheHeaderAndWritesEachSourceBackLineForLine) {
  std::string area = Fixed("X2 1270101\nY2 6160101\n", 2,
                           "BUILD_WIDTHS 10 20\nBUILD_HEIGHTS 5 6\nBUILD_LENGTHS 1 2\nBUILD_DISTFARWALL 3 4\n"
                           "BUILD_CENTER 32000 0\n");
  std::string point = Fixed("X2 0\nY2 0\n", 0, kNoBuilding);
  Reply("3 1 4 9\n1 7\n2 12:3 15:0 99\n" + point + Blocks(true) + "\n" + area + "\n");
  SourceRec rec;
  ASSERT_EQ(IORSourceGetRec(1, &rec), 1) << Error();
  EXPECT_EQ(rec.header.subs, (std::vector<int32_t>{1, 4, 9}));
  EXPECT_EQ(rec.header.groups, (std::vector<int32_t>{7}));
  EXPECT_EQ(rec.header.formulas, (std::vector<int32_t>{12, 15}));
  EXPECT_EQ(rec.header.maxvars, (std::vector<int32_t>{3, 0}));
  SourceRec second;
  ASSERT_EQ(IORSourceGetRec(0, &second), 1) << Error();
  SourceRec end;
  EXPECT_EQ(IORSourceGetRec(0, &end), 0);
  Reply("Import OK\nImport OK\n");
  ASSERT_EQ(IORSourcePutRec(RecordStartFlag1, &rec), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordWrite, &rec), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordWrite, &second), 1) << Error();
  ASSERT_EQ(IORSourcePutRec(RecordFinish, &rec), 1) << Error();
  std::string body = Body(Requests() - 1);
  EXPECT_NE(body.find(SaveHeader("source", -1, "1", "0") + point + Blocks(false) + "\n" + area + "\nEOF\n"),
            std::string::npos) << body;
}

TEST_F(SourceRecordsTest, VariableKeywordAloneReadsAsZero) {
  Reply("0\n0\n1 12:2\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding) +
        "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\nACTIVITY.1.VAR.1 4\nACTIVITY.1.VAR.2\nACTIVITY.1.ACTCODE\n"
        "ACTIVITY.1.ALOB 0\n");  // the reply ends after a whole block
  SourceRec rec;
  ASSERT_EQ(IORSourceGetRec(1, &rec), 1) << Error();
  ASSERT_EQ(rec.activities[0].novariable, 2);
  EXPECT_EQ(rec.activities[0].var[1], 0.0f);
}

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
  EXPECT_STREQ(code.Text(), L"7.1 urban");
  ASSERT_EQ(VehicleSubstanceCount(*r), 3);
  const int expected[] = {3, 7, 12};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r->substance[k], expected[k]);
    EXPECT_EQ(r->emission[k][10], expected[k] * 100 + 11);
  }
  EXPECT_EQ(IORVehicleGetRec(0, 0, r.get(), &code), 0);
}

TEST_F(TrafficRecordsTest, VehicleWrittenBackKeepsEveryFloat) {
  std::unique_ptr<VehicleRec> r(new VehicleRec());
  r->substance[0] = 5;
  r->emission[0][1] = 1.2345678e-7f;  // "%f" would print 0.000000
  CodeString code;
  std::string body = Posted([&](int32_t op) { return IORVehiclePutRec(op, r.get(), &code); });
  EXPECT_NE(body.find("SUBSTANCE 5\n    SPEED   1 EMISSION 0\n    SPEED   2 EMISSION 1.2345679e-07\n"),
            std::string::npos) << body;
}

// (Definitions and emission lines as the seed data has them: the e2e round trips.)
TEST_F(TrafficRecordsTest, MissingOrCutDefinitionLeavesNothingAllocated) {
  RoadVehicleDefRec def = {};
  Reply("");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), 0);
  // (Nothing stays allocated: the sanitizer build sees any leak.)
  Reply("DIMENSION 1\nDIM1 2\nDIMSPEED 1\nUSEALTSPEED 0\nHEADER1 Fuel\nTEXT1 Petrol\n");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), -1);
  EXPECT_EQ(def.texts, nullptr);
  Reply("DIMENSION 99\n");
  EXPECT_EQ(IORRoadVehicleDefGetRec(0, &def), -1);
}

TEST_F(TrafficRecordsTest, RoadVehicleWithoutEmissionLines) {
  Reply(std::string(kRoadVehicleHead) + "\n" + kRoadVehicleHead + "\n");
  RoadVehicleRec r = {};
  CodeString code;
  const wchar_t* line = nullptr;
  for (int first = 1; first >= 0; --first) {
    ASSERT_EQ(IORRoadVehicleGetRec(first, 0, &r, &code), 1) << Error();
    EXPECT_EQ(IORRoadVehicleGetEmFac(&line), 0);
  }
  EXPECT_STREQ(code.Text(), L"");
  EXPECT_EQ(IORRoadVehicleGetRec(0, 0, &r, &code), 0);
}

using ListingRecordsTest = RecordTest;

// A reply that goes wrong or ends inside a record fails the read with its message (or a message holding it, where
// marked), never the end of the records.
TEST_F(ListingRecordsTest, MalformedRecordsOfEveryKindFailWithTheirMessages) {
  CompanyRec companyRecord;
  FacilityRec facilityRecord;
  Alob alob;
  Roads road;
  SourceRec source;
  std::unique_ptr<VehicleRec> vehicle(new VehicleRec());
  RoadVehicleRec roadVehicle = {};
  std::unique_ptr<RoadtypeRec> roadtype(new RoadtypeRec());
  CodeString code;
  const std::function<int32_t()> companies = [&] { return IORCompanyGetRec(1, 0, &companyRecord, &alob); };
  const std::function<int32_t()> facilities = [&] { return IORFacilityGetRec(1, 0, &facilityRecord, &alob); };
  const std::function<int32_t()> roads = [&] { return road.Get(1); };
  const std::function<int32_t()> sources = [&] { return IORSourceGetRec(1, &source); };
  const std::function<int32_t()> vehicles = [&] { return IORVehicleGetRec(1, 0, vehicle.get(), &code); };
  const std::function<int32_t()> roadVehicles = [&] { return IORRoadVehicleGetRec(1, 0, &roadVehicle, &code); };
  const std::function<int32_t()> roadtypes = [&] { return IORRoadtypeGetRec(1, 0, roadtype.get()); };
  const std::string company(kCompany), aRoad(kRoad);
  const std::string point = "0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 0, kNoBuilding);
  const std::string activity = "ACTIVITY.1.EMFAC 12\nACTIVITY.1.TIMEVAR 2\n";
  std::string vars;
  for (int v = 1; v <= 46; ++v) vars += "ACTIVITY.1.VAR." + std::to_string(v) + " 1\n";
  std::string blocks = "NAME \"Street\"\nINDEX 5\n";
  for (int b = 1; b <= 11; ++b) blocks += Block(b);
  const struct {
    const std::function<int32_t()>& read;
    std::string reply;
    std::string message;
    bool part = false;
  } cases[] = {
      {companies, "ID \"\"\n", "Company: Error in ID: ID \"\"\n"},
      {companies, company, "Company (Bruk): Out of data scanning ALOB\n"},
      // Texts the record cannot hold whole are refused, never cut.
      {companies, "ID \"" + std::string(32, 'i') + "\"\n",
       "Company (" + std::string(31, 'i') + "): ID is longer than 31 characters, which the record cannot hold\n"},
      {companies, company + "ALOB x\n", "Company (Bruk): ALOB must start with label ALOB\n"},
      {companies, company + "ALOB 2\nA\n" + std::string(255, 'a') + "\n",
       "Company (Bruk): ALOB error:  " + std::string(255, 'a') + "\n"},
      {companies, company + "ALOB 1\nA\n", "Company (Bruk): Out of data scanning empty line\n"},
      {facilities, "X 12\n", "Facility (12,?\?): Out of data scanning Y1\n"},
      {facilities, "X -3\n", "Facility: Error in X1: X -3\n"},
      {roads, Replaced(aRoad, "X1 318050 Y1 6400010", "X1 318050"), "ROAD (G\xf6tgatan 1): Error in coordinate pair 2",
       true},
      {roads, Replaced(aRoad, "X2 2147483647", "X2 2147483648"), "Error in coordinate pair 3", true},
      {roads, Replaced(aRoad, "EMIFAC 4 6 3", "EMIFAC 1 1 1 1 1 1 1 1 1 1 1 1 1"), "EMIFAC must hold at most 12", true},
      {roads, Replaced(aRoad, "EMIFAC 4 6 3", "EMIFAC 4 0 3"), "EMIFAC must hold at most 12", true},
      {roads, Replaced(aRoad, "HEIGHT 15", "HEIGHT " + std::string(80, '1')), "HEIGHT is longer", true},
      {roads, Replaced(aRoad, "NAME \"G", "NAME \"" + std::string(40, 'n') + "G"), "NAME is longer", true},
      {roads, Replaced(aRoad, "VEH2 18 4 1e-07", "VEH2 18 4 1e39"), "Error in VEH2", true},
      {roads, Replaced(aRoad, "ALOB 2", "NOALOB"), "ALOB must start with label ALOB", true},
      {roads, aRoad.substr(0, aRoad.find("VEH1")), "Out of data scanning VEH1", true},
      {sources, point + activity + vars + "ACTIVITY.1.ACTCODE \n", "To many actvities", true},
      {sources, "0\n0\n0\n" + Fixed("X2 0\nY2 0\n", 2, kNoBuilding), "BUILD_WIDTHS holds 0 values for 2 segments", true},
      {sources, point.substr(0, 66), "Out of data", true},
      {sources, point + "EMISSION.2.SUBSTANCE 1\n", "No substance specified", true},
      {sources, point + activity + "ACTIVITY.1.VAR.1 x\n", "Error in ACTIVITY.1.VAR.1", true},
      {sources, point + "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1\nEMISSION.1.TIMEVAR 1\nEMISSION.1.UNIT " +
       std::string(64, 'u') + "\n", "longer than 63", true},
      {sources, "x\n", "Source: Error parsing new record", true},
      {sources, Replaced(point, "CHIMNEY OUT 1.25", "CHIMNEY OUT 1.25x"),
       "Source (Boiler 1): Error in CHIMNEY OUT: CHIMNEY OUT 1.25x", true},
      {sources, Replaced(point, "HOUSE WIDTH 12", "HOUSE WIDTH 65536"),
       "Source (Boiler 1): Error in HOUSE WIDTH: HOUSE WIDTH 65536", true},
      {vehicles, "NAME \"Car\"\nINDEX 1\nACTIVITYCODE 7\n", "VEHICLE (Car): Out of data scanning ISHEAVY\n"},
      {vehicles, VehicleText(1, "SUBSTANCE 3\n    SPEED 1 EMISSION x\n"),
       "VEHICLE 1: Error scanning SPEED 1 for SUBSTANCE 3:     SPEED 1 EMISSION x"},
      {vehicles, VehicleText(1, "SUBSTANCE 0\n" + Speeds(0)), "VEHICLE 1: Invalid substance 0"},
      {roadVehicles, std::string(kRoadVehicleHead).substr(0, 100), "VEHICLE (PC): Error in DEPENDENCY: DE\n"},
      {roadtypes, "NAME \"Street\"\nINDEX 5\n" + Block(3).substr(0, 200),
       "ROADTYPE Street: Out of data scanning TYPEDAY hour 13\n"},
      {roadtypes, blocks + "\n", "ROADTYPE Street: More than 10 vehicles\n"},
      {roadtypes, "NAME \"Street\"\nINDEX 5\nVEHICLE 1\nTYPEDAY\t 1234567890123456 1 1 1\n",  // longer than its field
       "ROADTYPE Street: Error in typedays for VEHICLE 1, hour 1\n"},
  };
  for (const auto& c : cases) ExpectRefused(c.reply, c.read, c.message, c.part);
}

}  // namespace
}  // namespace records_test
