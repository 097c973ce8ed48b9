// Saves of companies and facilities: the seeded records saved again are
// stored unchanged, and malformed uploads (over-long texts, a broken ALOB,
// coordinates out of range, a key given twice) are refused whole with
// nothing stored.
#include <gtest/gtest.h>

#include <string>

#include "seed_records.h"
#include "server/server_client.h"
#include "support/edb_server_process.h"

using servertest::SaveBody;

namespace {

std::string Load(const std::string& kind) { return "iedbvk2.cgi&REF&loadxxxdb&demo&Gothenburg2025&" + kind + "&0"; }

std::string SaveTo(const std::string& kind, const std::string& records) {
  return SaveBody(kind, "-1", records, "demo", "Gothenburg2025");
}

std::string Texts(const std::string& info = "") {
  return "INFO \"" + info + "\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\n";
}

std::string Company(const std::string& id, const std::string& tail = "ALOB 0\n\n") {
  return "ID \"" + id + "\"\nNAME \"Bruk\"\n" + Texts() + tail;
}

std::string Facility(const std::string& x, const std::string& y, const std::string& info = "") {
  return "X " + x + "\nY " + y + "\nNAME \"Plant\"\nCOMPANY \"1\"\n" + Texts(info) + "ALOB 0\n\n";
}

using CompanySaves = servertest::SeededServerTest;

TEST_F(CompanySaves, SeededRecordsSavedAgainAreStoredUnchanged) {
  std::string before = server_.dumpRecords();
  for (const char* kind : {"company", "facility"}) {
    SCOPED_TRACE(kind);
    for (const std::string& records : {edb::DemoCompanySaveLines(kind), Get(Load(kind))}) {
      std::string ack = Save(SaveTo(kind, records));
      EXPECT_EQ(0u, ack.find("Ok.\n")) << ack;
      EXPECT_EQ(before, server_.dumpRecords());
    }
  }
}

TEST_F(CompanySaves, MalformedUploadsAreRefusedWhole) {
  std::string before = server_.dumpRecords();
  const struct {
    std::string kind, records, reply;
  } refused[] = {
      {"company", Company(""), "Error: record 1: the company ID is empty\n"},
      {"company", Company(std::string(32, 'i')), "Error: record 1: ID is longer than 31 characters\n"},
      {"company", Company("1") + Company("1"), "Error: record 2: company ID 1 is also that of record 1\n"},
      {"company", Company("1", "ALOB 2\nA=1\n"), "Error: record 1: the upload ends before the ALOB line 2\n"},
      {"company", Company("1", "ALOB 1\nA=1\nB=2\n\n"), "Error: record 1: an empty line must end the record: B=2\n"},
      {"company", Company("1", "ALOB 1\n" + std::string(255, 'a') + "\n\n"),
       "Error: record 1: ALOB line 1 is longer than 254 characters\n"},
      {"facility", Facility("0", "5"), "Error: record 1: X needs a whole number from 1 to 2147483647: 0\n"},
      {"facility", Facility("5", "2147483648"),
       "Error: record 1: Y needs a whole number from 1 to 2147483647: 2147483648\n"},
      {"facility", Facility("5", "6", std::string(48, 'i')), "Error: record 1: INFO is longer than 47 characters\n"},
      {"facility", Facility("5", "6", "a\"b"), "Error: record 1: INFO needs one quoted text: \"a\"b\"\n"},
      {"facility", Facility("5", "6") + Facility("5", "6"), "Error: record 2: facility at 5 6 is also that of record 1\n"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(r.reply, Save(SaveTo(r.kind, r.records))) << r.kind << "\n" << r.records;
  }
  EXPECT_EQ(before, server_.dumpRecords());
}

}  // namespace
