// The list and read commands of "iedbvk2.cgi" over HTTP against the seeded server.
#include <gtest/gtest.h>

#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::KalvoroClient;
using servertest::Lines;

namespace {

class ServerReads : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new EdbServerProcess(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(server_->ok()); }
  std::string Get(const std::string& rest) {
    servertest::HttpReply reply = KalvoroClient(*server_).Get(rest);
    EXPECT_EQ(200, reply.status);
    return reply.body;
  }
  static EdbServerProcess* server_;
};

EdbServerProcess* ServerReads::server_ = nullptr;

TEST_F(ServerReads, Lists) {
  EXPECT_EQ("REF\nTEST\nARCHIVE\n", Get("iedbvk2.cgi&x&listdb&x&x"));
  EXPECT_EQ(
      "global;Shared reference data\n"
      "demo;Demonstration user\n"
      "anna;Anna Lindqvist, City of Stockholm\n",
      Get("iedbvk2.cgi&REF&listedbusers&x&x"));
  EXPECT_EQ("Gothenburg2025\nMalmo2024\n", Get("iedbvk2.cgi&REF&listedbnames&demo&x"));
  EXPECT_EQ("Stockholm2023\n", Get("iedbvk2.cgi&REF&listedbnames&anna&x"));
  EXPECT_EQ("global\n", Get("iedbvk2.cgi&REF&listedbnames&global&x"));
  // A database without EDB users answers an empty list.
  EXPECT_EQ("", Get("iedbvk2.cgi&ARCHIVE&listedbusers&x&x"));
}

TEST_F(ServerReads, UnknownNamesAreRefused) {
  EXPECT_EQ("Error: unknown database NOPE\n", Get("iedbvk2.cgi&NOPE&listedbusers&x&x"));
  EXPECT_EQ("Error: unknown EDB user bob in database REF\n", Get("iedbvk2.cgi&REF&listedbnames&bob&x"));
  EXPECT_EQ("Error: unknown EDB Nowhere of EDB user demo\n", Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Nowhere"));
  // After login the library names no EDB user yet.
  EXPECT_EQ("Error: no EDB user chosen\n", Get("iedbvk2.cgi&REF&loadxxxdb&&&timevarp&0"));
  EXPECT_EQ("Error: unknown EDB user global in database TEST\n", Get("iedbvk2.cgi&TEST&loadedbrsrc&global&x"));
}

TEST_F(ServerReads, ResourceFileComesWithItsLinesAndLatin1Text) {
  std::string file = Get("iedbvk2.cgi&REF&loadedbrsrc&demo&Gothenburg2025");
  EXPECT_EQ(0u, file.find("speed 1: 20 km/h\nspeed 2: 30 km/h\n"));
  EXPECT_NE(std::string::npos, file.find("speed 11: 120 km/h\nscenario 1: Base year 2025\n"));
  EXPECT_NE(std::string::npos, file.find("temperature 30: 600 C\n"));
  EXPECT_NE(std::string::npos, file.find("\nSub 1: 1000 kg/year\n"));
  EXPECT_NE(std::string::npos, file.find("\nNAME: G\xF6teborg 2025\n"));
  // A fresh EDB has an empty file.
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadedbrsrc&anna&Stockholm2023"));
}

TEST_F(ServerReads, SubstancesAndSearchkeys) {
  std::string subs = Get("iedbvk2.cgi&REF&loadsubs&global&x&0");
  EXPECT_EQ(0u, subs.find("1 \"NOx\"\n2 \"SO2\"\n"));
  EXPECT_EQ(std::string::npos, subs.find("\n\n"));  // no separators
  EXPECT_EQ(0u, Get("iedbvk2.cgi&REF&loadsubs&global&x&1")
                    .find("1 \"Energy\"\n2 \"Industry\"\n3 \"Shipping\"\n4 \"Domestic heating\"\n"));
  EXPECT_EQ(0u, Get("iedbvk2.cgi&REF&loadsubs&global&x&5").find("1 \"Environmental report\"\n"));
  EXPECT_EQ("Error: the substance list number must be 0 to 5\n", Get("iedbvk2.cgi&REF&loadsubs&global&x&6"));
  EXPECT_EQ("Error: the substance list number must be 0 to 5\n", Get("iedbvk2.cgi&REF&loadsubs&global&x&-1"));
}

TEST_F(ServerReads, TheGlobalEdbAnswersToAnyName) {
  std::string expected = Get("iedbvk2.cgi&REF&loadsubs&global&global&0");
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(expected, Get("iedbvk2.cgi&REF&loadsubs&global&x&0"));
  EXPECT_EQ(expected, Get("iedbvk2.cgi&REF&loadsubs&global&&0"));
  EXPECT_EQ(expected, Get("iedbvk2.cgi&REF&loadsubs&global&Gothenburg2025&0"));
}

TEST_F(ServerReads, RecordReadsOfEmptyKinds) {
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&0"));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&veh&1"));
  // An empty source listing still has its three header lines.
  EXPECT_EQ("0\n0\n0\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source2&0"));
  EXPECT_EQ("", Get("iedbvk2.cgi&REF&listgrids&demo&Malmo2024"));
}

TEST_F(ServerReads, MalformedReadsAreAnsweredWithOneErrorLine) {
  EXPECT_EQ("Error: missing command field\n", Get("iedbvk2.cgi&REF"));
  EXPECT_EQ("Error: missing EDB user field\n", Get("iedbvk2.cgi&REF&listedbnames"));
  EXPECT_EQ("Error: missing sixth field\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp"));
  EXPECT_EQ("Error: unknown record kind nonsense\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&nonsense&0"));
  // Sources are read as source2 only.
  EXPECT_EQ("Error: unknown record kind source\n", Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&source&0"));
  EXPECT_EQ("Error: the names-only field must be 0 or 1\n",
            Get("iedbvk2.cgi&REF&loadxxxdb&demo&Malmo2024&timevarp&2"));
  EXPECT_EQ("Error: unknown command dropdb\n", Get("iedbvk2.cgi&REF&dropdb&x&x"));
  EXPECT_EQ("Error: unknown script rm.cgi\n", Get("rm.cgi&x"));
  EXPECT_EQ("Error: missing script name\n", Get(""));
  EXPECT_EQ("Error: no grid g in this EDB\n", Get("iedbvk2.cgi&REF&loadgridasc&demo&Malmo2024&g"));
  // Control characters of a field never split the error line.
  EXPECT_EQ("Error: unknown command a?b\n", Get("iedbvk2.cgi&REF&a%0Ab&x&x"));
  // Reads are GET requests, saves POST requests.
  KalvoroClient client(*server_);
  EXPECT_EQ("Error: iedbvk2.cgi answers GET requests only\n",
            client.RawPost("/cgi-bin/ikalvoro/do.cgi?" + client.authenticator + "&iedbvk2.cgi&x&listdb&x&x", "")
                .body);
  EXPECT_EQ("Error: iedbvksave2.cgi answers POST requests only\n", Get("iedbvksave2.cgi&x"));
}

TEST_F(ServerReads, FieldsArePercentDecoded) {
  EXPECT_EQ("Gothenburg2025\nMalmo2024\n", Get("iedbvk2.cgi&R%45F&listedbnames&%64emo&x"));
  EXPECT_EQ("Error: unknown EDB user d emo in database REF\n", Get("iedbvk2.cgi&REF&listedbnames&d%20emo&x"));
}

}  // namespace
