// Grid saves on the server: a seeded grid read and saved again is stored
// unchanged, a new grid is listed and read back, and an upload with a
// malformed header or data line is refused whole with nothing stored.
#include <gtest/gtest.h>

#include <string>

#include "server/server_client.h"
#include "support/edb_server_process.h"

namespace {

using GridSaves = servertest::SeededServerTest;

std::string Read(const std::string& command, const std::string& grid) {
  return "iedbvk2.cgi&REF&" + command + "&demo&Gothenburg2025&" + grid;
}

std::string Upload(const std::string& grid, const std::string& header, const std::string& data) {
  return "REF\nsavegrid\ndemo\nGothenburg2025\n" + grid + "\n#GRIDASC\n" + header + "#GRIDDATA\n" + data + "#EOF\n";
}

// A header of substance values with two substances and a dynamic name.
std::string Header(const std::string& fuel = "0", const std::string& substances = "SUBSTANCE 1\nSUBSTANCE 3\n") {
  return "X 100\nY 200\nNX 2\nNY 1\nDX 10\nDY 10\nNAME DYNAMIC\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\n"
         "POSTADDRESS \"\"\nINFOGIVER \"\"\nDATE 250101\nCHANGED 0\nMISC \"\"\nFUEL " +
         fuel + "\nFORMULA 1\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 0\nACTIVITYCODE\n"
         "GEOCODE 1480\n" + substances;
}

constexpr const char* kAccepted = "Examining data\nWrite index\nWrite data 2 cells\nOK!\n";

TEST_F(GridSaves, SeededGridsSavedAgainAreStoredUnchanged) {
  std::string before = server_.dumpRecords();
  for (const char* grid : {"Heating2025", "Traffic2025", "Shipping2025"}) {
    SCOPED_TRACE(grid);
    std::string reply = Save(Upload(grid, Get(Read("loadgridasc", grid)), Get(Read("loadgriddata", grid))));
    EXPECT_EQ(0u, reply.find("Examining data\nWrite index\nWrite data")) << reply;
    EXPECT_EQ(before, server_.dumpRecords());
  }
}

TEST_F(GridSaves, ANewGridIsListedAndReadBack) {
  std::string data = "100@200@North@1.5@2\n110@200@South@0@0.25\n";
  EXPECT_EQ(kAccepted, Save(Upload("Test grid", Header(), data)));
  EXPECT_NE(std::string::npos,
            Get("iedbvk2.cgi&REF&listgrids&demo&Gothenburg2025").find("Shipping2025\nTest grid\nTraffic2025\n"));
  EXPECT_EQ(Header(), Get(Read("loadgridasc", "Test%20grid")));
  EXPECT_EQ(data, Get(Read("loadgriddata", "Test%20grid")));
  // Saved again with one cell: the grid is replaced whole.
  EXPECT_EQ("Examining data\nWrite index\nWrite data 1 cells\nOK!\n",
            Save(Upload("Test grid", Header(), "100@200@North@1.5@2\n")));
  EXPECT_EQ("100@200@North@1.5@2\n", Get(Read("loadgriddata", "Test%20grid")));
}

TEST_F(GridSaves, MalformedUploadsAreRefusedWithNothingStored) {
  std::string before = server_.dumpRecords();
  const std::string cells = "100@200@North@1.5@2\n", full = Upload("Heating2025", Header(), cells);
  const struct {
    std::string upload, reply;
  } refused[] = {
      {Upload("Heating2025", "X 100\n", cells), "Error: grid header: Y must be a whole number from 0 to 4294967295\n"},
      {Upload("Heating2025", Header("4"), cells),
       "Error: grid header: SUBSTANCE lines belong only to a grid whose FUEL is 0\n"},
      {Upload("Heating2025", Header("0", ""), cells),
       "Error: grid header: a grid whose FUEL is 0 needs at least one SUBSTANCE line\n"},
      {Upload("Heating2025", Header("x"), cells), "Error: grid header: FUEL must be an index\n"},
      {Upload("Heating2025", Header().replace(Header().find("FORMULA 1"), 9, "FORMULA 0"), cells),
       "Error: grid header: FORMULA must name a time variation by its index\n"},
      {Upload("", Header(), cells), "Error: grid header: invalid grid name \"\"\n"},
      {Upload("Heating2025", Header(), "100@200@North@1.5\n"),
       "Examining data\nError: grid Heating2025: data line 1: 4 fields where the header makes 5\n"},
      {Upload("Heating2025", Header(), cells + "100@200@North@x@2\n"),
       "Examining data\nError: grid Heating2025: data line 2: the value x is not a number\n"},
      {full.substr(0, full.size() - 5), "Examining data\nError: grid Heating2025: the #EOF line is missing\n"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(r.reply, Save(r.upload));
    EXPECT_EQ(before, server_.dumpRecords());
  }
}

}  // namespace
