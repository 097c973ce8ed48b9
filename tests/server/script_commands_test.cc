// The commands of the read and save scripts over HTTP against the seeded
// server: replies, error lines, EDB creation and refused uploads.
#include <gtest/gtest.h>

#include "server/server_client.h"
#include "support/edb_server_process.h"
#include "support/road_text.h"

using servertest::Lines;
using servertest::Load;
using servertest::SaveBody;

namespace {

using ServerReads = servertest::SeededServerTest;

TEST_F(ServerReads, RepliesAndErrorLines) {
  const struct {
    const char* query;
    const char* reply;
  } reads[] = {
      {"iedbvk2.cgi&REF&listedbusers&x&x",
       "global;Shared reference data\ndemo;Demonstration user\nanna;Anna Lindqvist, City of Stockholm\n"},
      // A database without EDB users answers an empty list, a fresh EDB an empty file.
      {"iedbvk2.cgi&ARCHIVE&listedbusers&x&x", ""},
      {"iedbvk2.cgi&REF&loadedbrsrc&anna&Stockholm2023", ""},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0", ""},
      // An empty source listing still has its three header lines.
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source2&0", "0\n0\n0\n"},
      {"iedbvk2.cgi&REF&listgrids&demo&Malmo2024", ""},
      {"iedbvk2.cgi&R%45F&listedbnames&%64emo&x", "Gothenburg2025\nMalmo2024\n"},
      {"iedbvk2.cgi&REF&listedbnames&d%20emo&x", "Error: unknown EDB user d emo in database REF\n"},
      {"iedbvk2.cgi&NOPE&listedbusers&x&x", "Error: unknown database NOPE\n"},
      {"iedbvk2.cgi&REF&loadedbrsrc&demo&Nowhere", "Error: unknown EDB Nowhere of EDB user demo\n"},
      // After login the library names no EDB user yet.
      {"iedbvk2.cgi&REF&loadxxxdb&&&timevarp&0", "Error: no EDB user chosen\n"},
      {"iedbvk2.cgi&REF&loadsubs&global&x&6", "Error: the substance list number must be 0 to 5\n"},
      {"iedbvk2.cgi&REF", "Error: missing command field\n"},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp", "Error: missing sixth field\n"},
      // Sources are read as source2 only.
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source&0", "Error: unknown record kind source\n"},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&2", "Error: the names-only field must be 0 or 1\n"},
      {"iedbvk2.cgi&REF&dropdb&x&x", "Error: unknown command dropdb\n"},
      {"rm.cgi&x", "Error: unknown script rm.cgi\n"},
      {"", "Error: missing script name\n"},
      {"iedbvk2.cgi&REF&loadgridasc&demo&Malmo2024&g", "Error: no grid g in this EDB\n"},
      // Control characters of a field never split the error line.
      {"iedbvk2.cgi&REF&a%0Ab&x&x", "Error: unknown command a?b\n"},
      {"iedbvksave2.cgi&x", "Error: iedbvksave2.cgi answers POST requests only\n"},
  };
  for (const auto& r : reads) EXPECT_EQ(r.reply, Get(r.query)) << r.query;
  servertest::KalvoroClient client(server_);
  EXPECT_EQ("Error: iedbvk2.cgi answers GET requests only\n",
            client.RawPost("/cgi-bin/ikalvoro/do.cgi?" + client.authenticator + "&iedbvk2.cgi&x&listdb&x&x", "").body);
}

TEST_F(ServerReads, ResourceFilesAndSubstanceLists) {
  // (The seeded resource file and lists come back through the workbook in tests/e2e.)
  std::string subs = Get("iedbvk2.cgi&REF&loadsubs&global&x&0");
  EXPECT_EQ(0u, subs.find("1 \"NOx\"\n2 \"SO2\"\n"));
  EXPECT_EQ(std::string::npos, subs.find("\n\n"));  // no separators
  for (const char* name : {"global", "", "Gothenburg2025"}) {
    EXPECT_EQ(subs, Get("iedbvk2.cgi&REF&loadsubs&global&" + std::string(name) + "&0")) << name;
  }
}


const std::string kMalmo = "demo&Malmo2024";
const std::string kResource = "iedbvk2.cgi&REF&loadedbrsrc&demo&Malmo2024";

using ServerSaves = servertest::SeededServerTest;

// (That the EDB belongs to the login user, whatever EDB user the request
// names: ServerAccess.EachRoleTouchesOnlyWhatItMay.)
TEST_F(ServerSaves, CreateEmptyMakesAnEdbOfTheLoginUser) {
  // In a database where the login user is no EDB user yet, it becomes one.
  EXPECT_EQ("OK\n", Save(Lines({"TEST", "createempty", "", "Trial"})));
  EXPECT_EQ("demo\n", Get("iedbvk2.cgi&TEST&listedbusers&x&x"));
  // Latin-1 and blanks in the name; reads percent-encode them.
  EXPECT_EQ("OK\n", Save(Lines({"REF", "createempty", "demo", "G\xE4vle hamn"})));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&G%E4vle%20hamn"));
}

TEST_F(ServerSaves, ResourceFileIsReplacedWhole) {
  const struct {
    std::string body, stored;
  } saves[] = {
      {"speed 1: 10 km/h\n\nNAME: V\xE4ster\xE5s\n", "speed 1: 10 km/h\n\nNAME: V\xE4ster\xE5s\n"},
      {"scenario 1: Only\n", "scenario 1: Only\n"},
      // CR LF line ends and a last line without a line end.
      {"a: 1\r\n\r\nb: 2", "a: 1\n\nb: 2\n"},
      {"", ""},
  };
  for (const auto& s : saves) {
    bool crlf = s.body.find('\r') != std::string::npos;
    std::string head = crlf ? "REF\r\nsaveedbrsrc\r\ndemo\r\nMalmo2024\r\n" : "REF\nsaveedbrsrc\ndemo\nMalmo2024\n";
    EXPECT_EQ("", Save(head + s.body));
    EXPECT_EQ(s.stored, Get(kResource));
  }
}

// (Each searchkey list kept apart: the unchanged round trip of every list in
// tests/e2e/round_trip_test.cc; a list's exact reply: ReferenceSaves.)
TEST_F(ServerSaves, SearchkeysSaveIntoTheSharedEdb) {
  EXPECT_EQ("OK!\n", Save(SaveBody("sub", "4", "1 \"Shared\"\n", "global", "x")));
  EXPECT_EQ("1 \"Shared\"\n", Get("iedbvk2.cgi&REF&loadsubs&global&anything&4"));
}

TEST_F(ServerSaves, RefusedSavesStoreNothing) {
  const std::string car = test_support::RoadText("Car") + "\n";
  ASSERT_EQ("Ok.\n", Save(SaveBody("road", "-1", car)));
  std::string before = server_.dumpRecords();
  const std::string head = Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "-1", "0", "0"});
  const std::string noEof = "Error: the upload is incomplete (no EOF line)\n";
  const struct {
    std::string body, reply;
  } refused[] = {
      {Lines({"REF", "createempty", "demo", "Malmo2024"}), "Error: EDB Malmo2024 already exists\n"},
      {Lines({"REF", "createempty", "demo", "a&b"}), "Error: invalid EDB name a&b\n"},
      {Lines({"REF", "createempty", "demo"}), "Error: missing EDB name line\n"},
      {Lines({"REF", "createempty", "demo", "A", "B"}), "Error: unexpected lines after the EDB name\n"},
      // Broken off: the final EOF line is missing, or EOF stands in the middle only.
      {head + "NAME \"Bus\"\nINDEX 2\n\n", noEof},
      {head + "EOF\nNAME \"Bus\"\n", noEof},
      {Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road"}), "Error: missing count or flag lines\n"},
      {Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "many", "0", "0", "EOF"}),
       "Error: the count line is not a number\n"},
      {Lines({"REF", "savexxxdb", "demo", "Malmo2024", "road", "-1", "2", "0", "EOF"}),
       "Error: the flag lines must be 0 or 1\n"},
      {SaveBody("cars", "-1", "NAME \"Bus\"\n\n"), "Error: unknown record kind cars\n"},
      {SaveBody("road", "-1", "NAME \"Bus\"\n\n", "demo", "Lost"), "Error: unknown EDB Lost of EDB user demo\n"},
      {"", "Error: missing database line\n"},
      {Lines({"REF", "dropall", "demo", "Malmo2024"}), "Error: unknown command dropall\n"},
  };
  for (const auto& r : refused) EXPECT_EQ(r.reply, Save(r.body)) << r.body;
  EXPECT_EQ(before, server_.dumpRecords());
  EXPECT_EQ("Gothenburg2025\nMalmo2024\n", Get("iedbvk2.cgi&REF&listedbnames&demo&x"));
  EXPECT_EQ(car, Get(Load(kMalmo, "road")));
}

TEST_F(ServerSaves, CarriageReturnsAndStrayEmptyLines) {
  std::string body = "REF\r\nsavexxxdb\r\ndemo\r\nMalmo2024\r\nroadtype\r\n-1\r\n1\r\n0\r\n\r\n"
                     "NAME \"A\"\r\nINDEX 1\r\n\r\n\r\nNAME \"B\"\r\nINDEX 2\r\nEOF\r\n\r\n";
  EXPECT_EQ("Ok.\nOk.\n", Save(body));
  EXPECT_EQ("NAME \"A\"\nINDEX 1\n\nNAME \"B\"\nINDEX 2\n\n", Get(Load(kMalmo, "roadtype")));
}

}  // namespace
