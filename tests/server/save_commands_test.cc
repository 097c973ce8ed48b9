// The save script "iedbvksave2.cgi": EDB creation, resource files and record
// saves over HTTP, including refused and broken-off uploads.
#include <gtest/gtest.h>

#include "reference_format.h"
#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::KalvoroClient;
using servertest::Lines;

using servertest::SaveBody;

namespace {

// A time variation with every hourly value `value`, as the library writes it.
std::string Timevar(const std::string& name, uint16_t index, const std::string& value) {
  edb::TimevarEntry entry;
  entry.name = name;
  entry.index = index;
  for (auto& hour : entry.typeday) hour.fill(value);
  entry.month.fill(100);
  entry.scenario.fill(1);
  return edb::RecordText(entry);
}

const std::string kTimevar1 = Timevar("Office", 1, "150");
const std::string kTimevar2 = Timevar("Night", 2, "30");

using ServerSaves = servertest::SeededServerTest;

TEST_F(ServerSaves, CreateEmptyMakesAnEdbOfTheLoginUser) {
  // The EDB user line is ignored: the EDB belongs to the login user.
  EXPECT_EQ("OK\n", Save(Lines({"REF", "createempty", "anna", "Uppsala2026"})));
  EXPECT_EQ("Gothenburg2025\nMalmo2024\nUppsala2026\n", Get("iedbvk2.cgi&REF&listedbnames&demo&x"));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Uppsala2026"));
  // In a database where the login user is no EDB user yet, it becomes one.
  EXPECT_EQ("OK\n", Save(Lines({"TEST", "createempty", "", "Trial"})));
  EXPECT_EQ("demo\n", Get("iedbvk2.cgi&TEST&listedbusers&x&x"));
  // Latin-1 and blanks in the name; reads percent-encode them.
  EXPECT_EQ("OK\n", Save(Lines({"REF", "createempty", "demo", "G\xE4vle hamn"})));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&G%E4vle%20hamn"));
}

TEST_F(ServerSaves, CreateEmptyRefusals) {
  std::string before = server_.dumpRecords();
  EXPECT_EQ("Error: EDB Malmo2024 already exists\n", Save(Lines({"REF", "createempty", "demo", "Malmo2024"})));
  EXPECT_EQ("Error: unknown database NOPE\n", Save(Lines({"NOPE", "createempty", "demo", "New"})));
  EXPECT_EQ("Error: invalid EDB name \n", Save(Lines({"REF", "createempty", "demo", ""})));
  EXPECT_EQ("Error: invalid EDB name a&b\n", Save(Lines({"REF", "createempty", "demo", "a&b"})));
  EXPECT_EQ("Error: missing EDB name line\n", Save(Lines({"REF", "createempty", "demo"})));
  EXPECT_EQ("Error: unexpected lines after the EDB name\n", Save(Lines({"REF", "createempty", "demo", "A", "B"})));
  EXPECT_EQ(before, server_.dumpRecords());
  EXPECT_EQ("Gothenburg2025\nMalmo2024\n", Get("iedbvk2.cgi&REF&listedbnames&demo&x"));
}

TEST_F(ServerSaves, ResourceFileIsReplacedWhole) {
  std::string file = "speed 1: 10 km/h\n\nspeed 2: 20 km/h\n\n\nNAME: V\xE4ster\xE5s\nno colon here\n";
  EXPECT_EQ("", Save(Lines({"REF", "saveedbrsrc", "demo", "Malmo2024"}) + file));
  EXPECT_EQ(file, Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024"));
  EXPECT_EQ("", Save(Lines({"REF", "saveedbrsrc", "demo", "Malmo2024", "scenario 1: Only"})));
  EXPECT_EQ("scenario 1: Only\n", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024"));
  // CR LF line ends and a last line without a line end.
  EXPECT_EQ("", Save("REF\r\nsaveedbrsrc\r\ndemo\r\nMalmo2024\r\na: 1\r\n\r\nb: 2"));
  EXPECT_EQ("a: 1\n\nb: 2\n", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024"));
  // An empty file.
  EXPECT_EQ("", Save(Lines({"REF", "saveedbrsrc", "demo", "Malmo2024"})));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024"));
  // Refused for an unknown EDB, leaving everything as it was.
  std::string before = server_.dumpRecords();
  EXPECT_EQ("Error: unknown EDB Lost of EDB user demo\n",
            Save(Lines({"REF", "saveedbrsrc", "demo", "Lost", "speed 1: 1"})));
  EXPECT_EQ(before, server_.dumpRecords());
}

TEST_F(ServerSaves, RecordsReadBackIdentically) {
  EXPECT_EQ("Ok.\nOk.\n", Save(SaveBody("timevarp", "-1", kTimevar1 + "\n" + kTimevar2 + "\n")));
  EXPECT_EQ(kTimevar1 + "\n" + kTimevar2 + "\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0"));
  // The other kinds and EDBs are untouched.
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarr&0"));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&anna&Stockholm2023&timevarp&0"));
  // Names only: NAME and INDEX of each record.
  EXPECT_EQ("NAME \"Office\"\nINDEX 1\n\nNAME \"Night\"\nINDEX 2\n\n",
            Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&1"));
  // A new save replaces all records of the kind.
  EXPECT_EQ("Ok.\n", Save(SaveBody("timevarp", "-1", kTimevar2 + "\n")));
  EXPECT_EQ(kTimevar2 + "\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0"));
  // An empty save empties the kind.
  EXPECT_EQ("", Save(SaveBody("timevarp", "-1", "")));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0"));
}

TEST_F(ServerSaves, SubstanceListsAreKeptPerListNumber) {
  const std::string list3 = edb::DemoSaveLines("sub", 3);
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "2", "1 \"Harbour\"\n2 \"Airport\"\n")));
  EXPECT_EQ("1 \"Harbour\"\n2 \"Airport\"\n", Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&2"));
  EXPECT_EQ(list3, Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&3"));
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "3", "7 \"Rail\"\n")));
  EXPECT_EQ("1 \"Harbour\"\n2 \"Airport\"\n", Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&2"));
  EXPECT_EQ("7 \"Rail\"\n", Get("iedbvk2.cgi&REF&loadsubs&demo&Malmo2024&3"));
  EXPECT_EQ("Error: the substance list number must be 0 to 5\n", Save(SaveBody("sub", "-1", "1 \"x\"\n")));
  // Saving into the shared EDB.
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "4", "1 \"Shared\"\n", "global", "x")));
  EXPECT_EQ("1 \"Shared\"\n", Get("iedbvk2.cgi&REF&loadsubs&global&anything&4"));
}

TEST_F(ServerSaves, RefusedUploadsStoreNothing) {
  const std::string car = test_support::RoadText("Car") + "\n";
  ASSERT_EQ("Ok.\n", Save(SaveBody("road", "-1", car)));
  std::string before = server_.dumpRecords();
  std::string head = Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "-1", "0", "0"});
  // Broken off: the final EOF line is missing.
  EXPECT_EQ("Error: the upload is incomplete (no EOF line)\n", Save(head + "NAME \"Bus\"\nINDEX 2\n\n"));
  EXPECT_EQ("Error: the upload is incomplete (no EOF line)\n", Save(head + "NAME \"Bus\"\nINDEX 2\n\nEO"));
  EXPECT_EQ("Error: the upload is incomplete (no EOF line)\n", Save(head));
  // EOF in the middle only.
  EXPECT_EQ("Error: the upload is incomplete (no EOF line)\n", Save(head + "EOF\nNAME \"Bus\"\n"));
  // Malformed headers.
  EXPECT_EQ("Error: missing count or flag lines\n",
            Save(Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road"})));
  EXPECT_EQ("Error: missing kind line\n", Save(Lines({"REF", "savexxxdb", "demo", "Malmo2024"})));
  EXPECT_EQ("Error: the count line is not a number\n",
            Save(Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "many", "0", "0", "EOF"})));
  EXPECT_EQ("Error: the flag lines must be 0 or 1\n",
            Save(Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "-1", "2", "0", "EOF"})));
  EXPECT_EQ("Error: unknown record kind cars\n", Save(SaveBody("cars", "-1", "NAME \"Bus\"\n\n")));
  EXPECT_EQ("Error: unknown EDB Lost of EDB user demo\n",
            Save(SaveBody("road", "-1", "NAME \"Bus\"\n\n", "demo", "Lost")));
  EXPECT_EQ("Error: missing database line\n", Save(""));
  EXPECT_EQ("Error: unknown command dropall\n", Save(Lines({"REF", "dropall", "demo", "Malmo2024"})));
  EXPECT_EQ("Error: grid header: X must be a whole number from 0 to 4294967295\n",
            Save(Lines({"REF", "savegrid", "demo", "Malmo2024", "g", "#GRIDASC", "#GRIDDATA", "#EOF"})));
  EXPECT_EQ(before, server_.dumpRecords());
  EXPECT_EQ(car, Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&road&0"));
}

TEST_F(ServerSaves, CarriageReturnsAndStrayEmptyLines) {
  std::string body = "REF\r\nsavexxxdb\r\ndemo\r\nMalmo2024\r\nroadtype\r\n-1\r\n1\r\n0\r\n\r\n"
                     "NAME \"A\"\r\nINDEX 1\r\n\r\n\r\nNAME \"B\"\r\nINDEX 2\r\nEOF\r\n\r\n";
  EXPECT_EQ("Ok.\nOk.\n", Save(body));
  EXPECT_EQ("NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\n\n",
            Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&roadtype&0"));
}

TEST_F(ServerSaves, LargeSaveAndRead) {
  // About 40 MiB in 60,000 roads, sent as one body and read back whole.
  std::string records;
  const std::string filler(180, 'x');
  for (int i = 0; i < 60000; ++i) {
    records += test_support::RoadText("R" + std::to_string(i), "ALOB 1\n" + filler + "\n") + "\n";
  }
  std::string reply = Save(SaveBody("road", "-1", records));
  ASSERT_EQ(60000u * 4, reply.size());
  EXPECT_EQ("Ok.\n", reply.substr(reply.size() - 4));
  std::string read = Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&road&0");
  EXPECT_EQ(records.size(), read.size());
  EXPECT_TRUE(read == records);
}

}  // namespace
