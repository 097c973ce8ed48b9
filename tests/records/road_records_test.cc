// Road records: read and written back byte for byte; malformed roads refused with their place.
#include <string>

#include "record_fixture.h"
#include "records/road.h"

namespace records_test {
namespace {

using RoadRecordsTest = RecordTest;

// A road as the writer prints it: explicit emission factors, traffic with a
// share of 1e-07, noise factors, two attribute lines and three points.
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
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvk2.cgi&REF&loadxxxdb&anna&edb1&road&0");
  EXPECT_STREQ(r.record.name, L"G\u00f6tgatan 1");
  EXPECT_EQ(RoadEmissionFactorCount(r.record), 3);
  ASSERT_EQ(r.traffic.Count(), 2u);
  EXPECT_EQ(r.traffic.value[1], 1e-07f);
  EXPECT_STREQ(r.geocode.Text(), L"1480 A");
  EXPECT_STREQ(r.alob.Text(), L"OWNER=Trafikkontoret\nX0 is no coordinate here");
  ASSERT_EQ(r.coordinates.Count(), 3u);
  EXPECT_EQ(r.coordinates.x[2], 2147483647);
  Roads next;
  EXPECT_EQ(next.Get(0), 0) << Error();  // the listing ends after the road

  NoNoiseFactors = 0;  // not verified: the road's own noise factors still go
  auto put = [&](int32_t op) { return IORRoadPutRec(op, &r.record, &r.alob, &r.coordinates, &r.geocode, &r.traffic); };
  EXPECT_EQ(Posted(put, RecordStartFlag1),
            SaveHeader("road", -1, "1", "0") + kRoad + "EOF\n");
}

TEST_F(RoadRecordsTest, RoadsWithoutTrafficAlobOrCoordinatesEndAtTheEmptyLine) {
  std::string road = kRoad;
  road.replace(road.find("VEH1"), road.find("HEAVYSPEED") - road.find("VEH1"), "");
  road.replace(road.find("NOISE"), road.find("\n\n") - road.find("NOISE") + 1, "ALOB 0\n");
  Reply(road + road);
  Roads r;
  for (int first = 1; first >= 0; --first) {
    ASSERT_EQ(r.Get(first), 1) << Error();
    EXPECT_EQ(r.traffic.Count(), 0u);
    EXPECT_EQ(r.coordinates.Count(), 0u);
    EXPECT_STREQ(r.record.noise, L"");
  }
  EXPECT_EQ(r.Get(0), 0);
}

struct Broken {
  const char* from;  // the text replaced
  const char* to;
  const char* message;
};

const Broken kBroken[] = {
    {"X1 318050 Y1 6400010", "X1 318050", "ROAD (G\xf6tgatan 1): Error in coordinate pair 2"},
    {"X2 2147483647", "X2 2147483648", "Error in coordinate pair 3"},
    {"EMIFAC 4 6 3", "EMIFAC 1 2 3 4 5 6 7 8 9 10 11 12 13", "EMIFAC must hold at most 12"},
    {"EMIFAC 4 6 3", "EMIFAC 4 0 3", "EMIFAC must hold at most 12"},
    {"HEIGHT 15", "HEIGHT 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26", "HEIGHT is longer"},
    {"NAME \"G\xf6tgatan 1\"", "NAME \"A name of forty-eight characters, one too many!!\"", "NAME is longer"},
    {"VEH2 18 4 1e-07", "VEH2 18 4 1e39", "Error in VEH2"},
    {"ALOB 2\nOWNER=Trafikkontoret\nX0 is no coordinate here\n", "NOALOB\n", "ALOB must start with label ALOB"},
};

TEST_F(RoadRecordsTest, MalformedRoadsAreRefusedWithTheirPlace) {
  Roads r;
  for (const Broken& b : kBroken) {
    std::string road = kRoad;
    ExpectRefused(road.replace(road.find(b.from), std::string(b.from).size(), b.to), [&] { return r.Get(1); },
                  b.message, true);
  }
  ExpectRefused(std::string(kRoad).substr(0, std::string(kRoad).find("VEH1")), [&] { return r.Get(1); },
                "Out of data scanning VEH1", true);
}

}  // namespace
}  // namespace records_test
