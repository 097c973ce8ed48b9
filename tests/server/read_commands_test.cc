// The list and read commands of "iedbvk2.cgi" over HTTP against the seeded server.
#include <gtest/gtest.h>

#include "server/server_client.h"
#include "support/edb_server_process.h"

namespace {

using ServerReads = servertest::SeededServerTest;

TEST_F(ServerReads, RepliesAndErrorLines) {
  const struct {
    const char* query;
    const char* reply;
  } reads[] = {
      {"iedbvk2.cgi&x&listdb&x&x", "REF\nTEST\nARCHIVE\n"},
      {"iedbvk2.cgi&REF&listedbusers&x&x",
       "global;Shared reference data\ndemo;Demonstration user\nanna;Anna Lindqvist, City of Stockholm\n"},
      {"iedbvk2.cgi&REF&listedbnames&demo&x", "Gothenburg2025\nMalmo2024\n"},
      {"iedbvk2.cgi&REF&listedbnames&anna&x", "Stockholm2023\n"},
      {"iedbvk2.cgi&REF&listedbnames&global&x", "global\n"},
      // A database without EDB users answers an empty list, a fresh EDB an empty file.
      {"iedbvk2.cgi&ARCHIVE&listedbusers&x&x", ""},
      {"iedbvk2.cgi&REF&loadedbrsrc&anna&Stockholm2023", ""},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0", ""},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&veh&1", ""},
      // An empty source listing still has its three header lines.
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source2&0", "0\n0\n0\n"},
      {"iedbvk2.cgi&REF&listgrids&demo&Malmo2024", ""},
      {"iedbvk2.cgi&R%45F&listedbnames&%64emo&x", "Gothenburg2025\nMalmo2024\n"},
      {"iedbvk2.cgi&REF&listedbnames&d%20emo&x", "Error: unknown EDB user d emo in database REF\n"},
      {"iedbvk2.cgi&NOPE&listedbusers&x&x", "Error: unknown database NOPE\n"},
      {"iedbvk2.cgi&REF&listedbnames&bob&x", "Error: unknown EDB user bob in database REF\n"},
      {"iedbvk2.cgi&REF&loadedbrsrc&demo&Nowhere", "Error: unknown EDB Nowhere of EDB user demo\n"},
      // After login the library names no EDB user yet.
      {"iedbvk2.cgi&REF&loadxxxdb&&&timevarp&0", "Error: no EDB user chosen\n"},
      {"iedbvk2.cgi&TEST&loadedbrsrc&global&x", "Error: unknown EDB user global in database TEST\n"},
      {"iedbvk2.cgi&REF&loadsubs&global&x&6", "Error: the substance list number must be 0 to 5\n"},
      {"iedbvk2.cgi&REF&loadsubs&global&x&-1", "Error: the substance list number must be 0 to 5\n"},
      {"iedbvk2.cgi&REF", "Error: missing command field\n"},
      {"iedbvk2.cgi&REF&listedbnames", "Error: missing EDB user field\n"},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp", "Error: missing sixth field\n"},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&nonsense&0", "Error: unknown record kind nonsense\n"},
      // Sources are read as source2 only.
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source&0", "Error: unknown record kind source\n"},
      {"iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&2", "Error: the names-only field must be 0 or 1\n"},
      {"iedbvk2.cgi&REF&dropdb&x&x", "Error: unknown command dropdb\n"},
      {"rm.cgi&x", "Error: unknown script rm.cgi\n"},
      {"", "Error: missing script name\n"},
      {"iedbvk2.cgi&REF&loadgridasc&demo&Malmo2024&g", "Error: no grid g in this EDB\n"},
      // Control characters of a field never split the error line.
      {"iedbvk2.cgi&REF&a%0Ab&x&x", "Error: unknown command a?b\n"},
      // Reads are GET requests, saves POST requests.
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
  // The global EDB answers to any name.
  for (const char* name : {"global", "", "Gothenburg2025"}) {
    EXPECT_EQ(subs, Get("iedbvk2.cgi&REF&loadsubs&global&" + std::string(name) + "&0")) << name;
  }
}

}  // namespace
