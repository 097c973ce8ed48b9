// Saves of roads: the seeded roads saved again are stored unchanged, a save
// with the seventh header line 1 adds its roads after the stored ones, and
// malformed roads refuse the whole upload with nothing stored.
#include <gtest/gtest.h>

#include <string>

#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

namespace {

const std::string kLoad = "iedbvk2.cgi&REF&loadxxxdb&demo&Gothenburg2025&road&0";

std::string SaveTo(const std::string& records, const char* flag7 = "0") {
  return "REF\nsavexxxdb\ndemo\nGothenburg2025\nroad\n-1\n" + std::string(flag7) + "\n0\n" + records + "EOF\n";
}

// One road as the library's writer prints it; `from` is replaced by `to`.
std::string Road(const std::string& from = "", const std::string& to = "") {
  std::string road =
      "NAME \"Avenyn\"\nINFO \"\"\nINFO2 \"\"\nVEHICLES 100\nVEHICLEMACRO \"\"\nCORRFACTOR 1\nNOLANES 2\nSPEED 3\n"
      "ROADTYPE 1\nEMIFAC \nVEH1 1 1 100\nHEAVYSPEED 0\nCONGSPEED1 0\nCONGSPEED2 0\nCONGSPEED3 0\n"
      "HEAVYCONGSPEED1 0\nHEAVYCONGSPEED2 0\nHEAVYCONGSPEED3 0\nPERCHEAVY 5\nSEARCHKEY1 0\nSEARCHKEY2 0\n"
      "SEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 0\nGEOCODE \nWIDTH 0\nDISTHOUSES 0\nSLOPE 0\nELEVATION 0\n"
      "HEIGHT 0 0 0 0 0 0 0 0 0 0 0 0\nBARRIERHEIGHT 0 0\nBARRIERANGLE 0 0\nBARRIERDISTANCE 0 0\nALOB 0\n"
      "X0 1 Y0 2\nX1 3 Y1 4\n\n";
  if (!from.empty()) road.replace(road.find(from), from.size(), to);
  return road;
}

using RoadSaves = servertest::SeededServerTest;

TEST_F(RoadSaves, SeededRoadsSavedAgainAreStoredUnchanged) {
  std::string before = server_.dumpRecords();
  for (const std::string& records : {edb::DemoRoadSaveLines(), Get(kLoad)}) {
    std::string ack = Save(SaveTo(records));
    EXPECT_EQ(0u, ack.find("Ok.\n")) << ack.substr(0, 200);
    EXPECT_EQ(before, server_.dumpRecords());
  }
}

TEST_F(RoadSaves, AFurtherSheetsSaveAddsItsRoads) {
  ASSERT_EQ("Ok.\n", Save(SaveTo(Road())));
  ASSERT_EQ("Ok.\nOk.\n", Save(SaveTo(Road("Avenyn", "Second") + Road("Avenyn", "Third"), "1")));
  std::string roads = Get(kLoad);
  EXPECT_EQ(Road() + Road("Avenyn", "Second") + Road("Avenyn", "Third"), roads);
}

TEST_F(RoadSaves, MalformedRoadsAreRefusedWhole) {
  std::string before = server_.dumpRecords();
  const struct {
    std::string records, reply;
  } refused[] = {
      {Road("Avenyn", std::string(48, 'n')), "Error: record 1: NAME is longer than 47 characters\n"},
      {Road("EMIFAC ", "EMIFAC 1 2 3 4 5 6 7 8 9 10 11 12 13"), "Error: record 1: EMIFAC holds more than 12 emission factors\n"},
      {Road("VEH1 1 1 100", "VEH1 1 1"), "Error: record 1: VEH1 needs an index, a time variation and a value: 1 1\n"},
      {Road("X1 3 Y1 4", "X2 3 Y2 4"), "Error: record 1: coordinate pair 2 must be X1 x Y1 y: X2 3 Y2 4\n"},
      {Road("X1 3 Y1 4", "X1 3 Y1 2147483648"),
       "Error: record 1: coordinate pair 2 must be X1 x Y1 y: X1 3 Y1 2147483648\n"},
      {Road("ALOB 0", "ALOB 2\nA=1\n"), "Error: record 1: ALOB line 2 is empty, which a road sheet cannot show\n"},
      {Road("HEIGHT 0", "HEIGHT x0"), "Error: record 1: HEIGHT holds a letter: x0 0 0 0 0 0 0 0 0 0 0 0\n"},
      {Road() + Road("SPEED 3", "SPEED 3.5"), "Error: record 2: SPEED needs a whole number from -2147483648 to 2147483647: 3.5\n"},
  };
  for (const auto& r : refused) EXPECT_EQ(r.reply, Save(SaveTo(r.records))) << r.records;
  std::string many;
  for (int i = 0; i <= 2000; ++i) many += "X" + std::to_string(i) + " 1 Y" + std::to_string(i) + " 1\n";
  EXPECT_EQ("Error: record 1: more than 2000 coordinate pairs\n",
            Save(SaveTo(Road("X0 1 Y0 2\nX1 3 Y1 4\n", many))));
  EXPECT_EQ(before, server_.dumpRecords());
}

}  // namespace
