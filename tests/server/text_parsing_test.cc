// The server's text handling in isolation: query fields, body lines, save
// headers, record splitting, names-only texts and the source listing header.
#include <gtest/gtest.h>

#include <vector>

#include "latin1.h"
#include "options.h"
#include "record_text.h"
#include "request_text.h"
#include "save_body.h"

namespace {

std::vector<std::string> Records(const std::string& lines, bool oneLine) {
  edb::RecordSplitter splitter(lines, oneLine);
  std::vector<std::string> out;
  std::string_view record;
  while (splitter.Next(&record)) out.emplace_back(record);
  return out;
}

TEST(ServerText, QueryFieldsKeepEmptyFieldsAndDecode) {
  EXPECT_EQ((std::vector<std::string>{"A", "iedbvk2.cgi", "REF", "loadxxxdb", "", "", "veh", "0"}),
            edb::QueryFields("/cgi-bin/ikalvoro/do.cgi?A&iedbvk2.cgi&REF&loadxxxdb&&&veh&0"));
  EXPECT_EQ((std::vector<std::string>{"a b", "\xF6", "%", "%4", "%zz", "+", ""}),
            edb::QueryFields("/p?a%20b&%f6&%&%4&%zz&+&"));
  EXPECT_TRUE(edb::QueryFields("/cgi-bin/ikalvoro/do.cgi").empty());
  EXPECT_EQ((std::vector<std::string>{""}), edb::QueryFields("/p?"));
  EXPECT_EQ((std::vector<std::string>{"a?b"}), edb::QueryFields("/p?a?b"));
  EXPECT_EQ("/p", edb::TargetPath("/p?x?y"));
}

TEST(ServerText, LineReaderHandlesLineEnds) {
  edb::LineReader lines("a\r\nb\n\nc\rd\ne");
  std::vector<std::string> got;
  std::string_view line;
  while (lines.Next(&line)) got.emplace_back(line);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "", "c\rd", "e"}), got);
}

TEST(ServerText, RecordSaveHeaderNeedsTheFinalEof) {
  edb::RecordSaveHeader header;
  std::string reason;
  ASSERT_TRUE(edb::ReadRecordSaveHeader("veh\n-1\n1\n0\nNAME \"A\"\n\nEOF\n\n", &header, &reason));
  EXPECT_EQ("veh", header.kind);
  EXPECT_EQ(-1, header.count);
  EXPECT_TRUE(header.flag7);
  EXPECT_FALSE(header.flag8);
  EXPECT_EQ("NAME \"A\"\n\n", header.records);
  // An attribute line that reads EOF inside a record does not end the upload.
  ASSERT_TRUE(edb::ReadRecordSaveHeader("road\n-1\n0\n0\nALOB 1\nEOF\n\nEOF\n", &header, &reason));
  EXPECT_EQ("ALOB 1\nEOF\n\n", header.records);
  EXPECT_FALSE(edb::ReadRecordSaveHeader("veh\n-1\n0\n0\nEOFX\n", &header, &reason));
  EXPECT_FALSE(edb::ReadRecordSaveHeader("veh\n 1\n0\n0\nEOF\n", &header, &reason));
  EXPECT_FALSE(edb::ReadRecordSaveHeader("veh\n99999999999999999999\n0\n0\nEOF\n", &header, &reason));
}

TEST(ServerText, RecordsSplitAtEmptyLines) {
  EXPECT_EQ((std::vector<std::string>{"A\nB\n", "C\n"}), Records("\nA\nB\n\n\n\nC\n", false));
  EXPECT_EQ((std::vector<std::string>{"A\n", "B\n"}), Records("A\r\n\r\nB", false));
  EXPECT_EQ((std::vector<std::string>{"1 \"a\"\n", "2 \"b\"\n"}), Records("1 \"a\"\n\n2 \"b\"\n", true));
  EXPECT_TRUE(Records("", false).empty());
  EXPECT_TRUE(Records("\n\n", true).empty());
}

TEST(ServerText, NamesOnlyTakesTheFirstNameAndIndexLines) {
  EXPECT_EQ("NAME \"V\"\nINDEX 3\n", edb::NamesOnlyText("NAME \"V\"\nINDEX 3\nACTIVITYCODE\nNAME x\n"));
  EXPECT_EQ("INDEX 2\nNAME \"S\"\n", edb::NamesOnlyText("INDEX 2\nNAMES\nNAME \"S\"\n"));
  EXPECT_EQ("", edb::NamesOnlyText("DIMENSION 2\n"));
}

TEST(ServerText, SourceListingHeaderSkipsAttributeLines) {
  edb::SourceListingHeader header;
  EXPECT_EQ("0\n0\n0\n", header.Text());
  header.Add("X1 1\nALOB 1\nSUBGRP.1.SUBGRP 9\nEMISSION.1.SUBSTANCE 5\nEMISSION.1.ALOB 2\n"
             "EMISSION.2.SUBSTANCE 6\nACTIVITY.1.EMFAC 3\nACTIVITY.1.EMFAC 4\n"
             "ACTIVITY.2.EMFAC 3\nACTIVITY.2.VAR.1 1\n");
  EXPECT_EQ("1 5\n0\n2 3:1 4:0\n", header.Text());
  // Each substance and function stands as often, and with as many variables, as one source needs at most.
  header.Add("EMISSION.1.SUBSTANCE 5\nEMISSION.2.SUBSTANCE 5\nEMISSION.3.SUBSTANCE 2\nSUBGRP.1.SUBGRP 7\n"
             "ACTIVITY.1.EMFAC 3\nACTIVITY.1.VAR.1 1\nACTIVITY.1.VAR.2 1\n");
  header.Add("EMISSION.1.SUBSTANCE 5\n");
  EXPECT_EQ("3 2 5 5\n1 7\n2 3:2 4:0\n", header.Text());
}

TEST(ServerText, Latin1FromUtf8) {
  EXPECT_EQ("G\xF6teborg\xA0", edb::Utf8ToLatin1("G\xC3\xB6teborg\xC2\xA0"));
  EXPECT_EQ("G\xF6teborg", edb::Utf8ToLatin1("G\xF6teborg"));  // already ISO 8859-1
  EXPECT_EQ("\xE2\x82\xAC", edb::Utf8ToLatin1("\xE2\x82\xAC"));  // the euro sign does not fit
  EXPECT_EQ("plain", edb::Utf8ToLatin1("plain"));
}

// The forms and defaults that the program's own tests (which start servers
// with --seed, --add-user, --admin, --clock-offset, --max-request-mb ...) do not show.
TEST(ServerText, OptionFormsAndDefaults) {
  edb::Options options;
  std::string error;
  ASSERT_TRUE(edb::ParseOptions({"--data", "/d", "--port=0", "--header-timeout=7", "--login-delay", "0"}, &options,
                                &error))
      << error;
  EXPECT_EQ(edb::Options::Action::kServe, options.action);
  EXPECT_EQ(0, options.listen.port);
  EXPECT_EQ("127.0.0.1", options.listen.bind);
  EXPECT_EQ(1440, options.auth.windowMinutes);
  EXPECT_EQ(7, options.listen.limits.headerTimeoutSeconds);
  EXPECT_EQ(0, options.auth.throttle.firstDelaySeconds);
  EXPECT_FALSE(options.listen.quiet);

  edb::Options bad;
  EXPECT_FALSE(edb::ParseOptions({"--data", "/d", "--key", "k"}, &bad, &error));
  EXPECT_EQ("--cert and --key go together", error);
  EXPECT_FALSE(edb::ParseOptions({"--quiet=1", "--data", "/d"}, &bad, &error));
  EXPECT_FALSE(edb::ParseOptions({"--data", "/d", "--admin"}, &bad, &error));
  EXPECT_FALSE(edb::ParseOptions({"--data", "/d", "--max-connections-per-address", "0"}, &bad, &error));
  EXPECT_EQ("--max-connections-per-address needs a number from 1 to 10000", error);
}

}  // namespace
