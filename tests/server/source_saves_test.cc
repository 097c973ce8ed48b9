// Saves of sources: the seeded sources saved again (as the seed prints them
// and as a listing gives them) are stored unchanged, the listing opens with
// its header, and malformed uploads are refused whole with nothing stored.
#include <gtest/gtest.h>

#include <string>

#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::SaveBody;

namespace {

const char* const kListing = "iedbvk2.cgi&REF&loadxxxdb&demo&Gothenburg2025&source2&0";

std::string SaveSources(const std::string& records) {
  return SaveBody("source", "-1", records, "demo", "Gothenburg2025");
}

// A point source; corners replaces the X2..PY lines, tail what follows NOSEGMENTS.
std::string Source(const std::string& corners = "X2 0\nY2 0\nPX 0\nPY 0\n", const std::string& chimney = "45",
                   const std::string& tail = "NOSEGMENTS 0\nBUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\n"
                                             "BUILD_DISTFARWALL\nBUILD_CENTER\nGEOCODE \nFORMULAMACRO \"\"\nALOB 0\n") {
  return "X1 5\nY1 6\n" + corners + "NAME \"Stack\"\nINFO \"\"\nINFO2 \"\"\nDATE 250101\nCHANGED 000000\n"
         "CHIMNEY HEIGHT " + chimney + "\nGASTEMPERATURE 0\nGAS FLOW 0\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\n"
         "SEARCHKEY4 0\nSEARCHKEY5 0\nCHIMNEY OUT 0\nCHIMNEY IN 0\nHOUSE WIDTH 0\nHOUSE HEIGHT 0\n" + tail;
}

using SourceSaves = servertest::SeededServerTest;

TEST_F(SourceSaves, SeededSourcesSavedAgainAreStoredUnchanged) {
  std::string before = server_.dumpRecords();
  std::string listing = Get(kListing);
  size_t header = 0;
  for (int line = 0; line < 3; ++line) header = listing.find('\n', header) + 1;
  // A substance stands as often as the source with the most blocks of it needs.
  EXPECT_EQ(0u, listing.find("12 1 2 2 3 4 4 5 6 6 8 15 15\n")) << listing.substr(0, header);
  for (const std::string& records : {edb::DemoSourceSaveLines(), listing.substr(header)}) {
    std::string ack = Save(SaveSources(records));
    EXPECT_EQ(0u, ack.find("Import OK\n")) << ack;
    EXPECT_EQ(before, server_.dumpRecords());
  }
  EXPECT_GE(edb::DemoSources(false).size(), 200u);
}

TEST_F(SourceSaves, MalformedUploadsAreRefusedWhole) {
  std::string before = server_.dumpRecords();
  std::string noBuilding = "BUILD_WIDTHS\nBUILD_HEIGHTS\nBUILD_LENGTHS\nBUILD_DISTFARWALL\nBUILD_CENTER\n";
  std::string head = "NOSEGMENTS 0\n" + noBuilding + "GEOCODE \nFORMULAMACRO \"\"\nALOB 0\n";
  const struct {
    std::string records, reply;
  } refused[] = {
      {Source("X2 7\nY2 0\nPX 0\nPY 0\n"), "Error: record 1: X2 and Y2 must both be given or both be 0\n"},
      {Source("X2 7\nY2 8\nPX 0\nPY 0\n"), "Error: record 1: CHIMNEY HEIGHT must be 0 for an area source\n"},
      {Source("X2 0\nY2 0\nPX 0\nPY 0\n", "65536"),
       "Error: record 1: CHIMNEY HEIGHT needs a whole number from 0 to 65535: 65536\n"},
      {Source("X2 0\nY2 0\nPX 0\nPY 0\n", "1", "NOSEGMENTS 1\n" + noBuilding),
       "Error: record 1: BUILD_WIDTHS needs one value for each of the 1 segments\n"},
      {Source() + "EMISSION.2.SUBSTANCE 1\n", "Error: record 1: EMISSION.1.SUBSTANCE line expected: EMISSION.2.SUBSTANCE 1\n"},
      {Source() + "EMISSION.1.SUBSTANCE 1\nEMISSION.1.EMISSION 1e39\n",
       "Error: record 1: EMISSION.1.EMISSION needs a single-precision number: 1e39\n"},
      {Source() + "SUBGRP.1.SUBGRP 1\nSUBGRP.1.ACTIVITY 1\nSUBGRP.1.TIMEVAR 1\nSUBGRP.1.UNIT " + std::string(64, 'u') + "\n",
       "Error: record 1: SUBGRP.1.UNIT is longer than 63 characters\n"},
      {Source() + "\n" + Source() + "NOISE 1\n", "Error: record 2: EMISSION, SUBGRP or ACTIVITY block expected: NOISE 1\n"},
  };
  for (const auto& r : refused) EXPECT_EQ(r.reply, Save(SaveSources(r.records))) << r.records;
  EXPECT_EQ(before, server_.dumpRecords());
}

}  // namespace
