// Saves of the reference kinds: the writer protocol (operations that send nothing, finishing and checking a save) and
// print-then-parse identity (generated records saved, served back and read must be the same).
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "record_fixture.h"
#include "records/emfac.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"

namespace records_test {
namespace {

constexpr int RecordCount = 200;

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}
  int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  uint32_t U32() { return static_cast<uint32_t>(rng_()); }
  // Printable ISO 8859-1 characters; quoted texts leave out the double quote, words also leave out the blank.
  wchar_t Char(bool quoted, bool word) {
    for (;;) {
      int c = Int(0, 1) ? Int(0x20, 0x7E) : Int(0xC0, 0xFF);
      if (!(quoted && c == '"') && !(word && c == ' ')) return static_cast<wchar_t>(c);
    }
  }
  void Text(wchar_t* out, size_t size, size_t minLength, bool quoted, bool word) {
    size_t length = static_cast<size_t>(Int(static_cast<int>(minLength), static_cast<int>(size - 1)));
    for (size_t i = 0; i < length; ++i) out[i] = Char(quoted, word);
    out[length] = L'\0';
  }
  // Any finite float, with all its digits: the writers must carry it unchanged. Now and then one of the edges of the
  // float range.
  float Float() {
    static const float kEdges[] = {FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 16777216.0f, 0.0f};
    if (Int(0, 15) == 0) return kEdges[Int(0, 5)];
    return static_cast<float>(std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng_), Int(-30, 30)));
  }

 private:
  std::mt19937 rng_;
};

class RoundTripTest : public RecordTest {
 protected:
  // Saves the records with put (start operation start, the server replying accepted), serves the posted record lines
  // (checked for their header and "EOF") back as a read reply, and expects get to give back the very same records.
  template <class Rec, class Put, class Get>
  void RoundTrip(const std::vector<Rec>& written, int32_t start, const std::string& header, const char* accepted,
                 Put put, Get get) {
    Reply(accepted);
    ASSERT_EQ(put(start, nullptr), 1) << Error();
    for (const Rec& r : written) ASSERT_EQ(put(RecordWrite, &r), 1);
    ASSERT_EQ(put(RecordFinish, nullptr), 1) << Error();
    std::string body = Body(1);
    ASSERT_EQ(body.substr(0, header.size()), header);
    ASSERT_EQ(body.substr(body.size() - 4), "EOF\n");
    Reply(body.substr(header.size(), body.size() - header.size() - 4));
    static Rec r;
    size_t n = 0;
    for (int32_t first = 1, result; (result = get(first, &r)) != 0; first = 0, ++n) {
      ASSERT_EQ(result, 1) << Error();
      ASSERT_LT(n, written.size());
      EXPECT_EQ(std::memcmp(&written[n], &r, sizeof(Rec)), 0) << "record " << n;
    }
    EXPECT_EQ(n, written.size());
  }
};

TEST_F(RoundTripTest, Substances) {
  Generator g(11);
  std::vector<SubRec> written(RecordCount);
  for (SubRec& r : written) {
    r.index = static_cast<uint16_t>(g.Int(0, 65535));
    g.Text(r.name, SubNameSize, 0, true, false);
  }
  RoundTrip(written, RecordStart, SaveHeader("sub", 4, "0", "0"), "OK!\n",
      [](int32_t op, const SubRec* r) { return IORSubPutRec(op, 4, r); },
      [](int32_t first, SubRec* r) { return IORSubGetRec(first, 4, r); });
}

TEST_F(RoundTripTest, TimeVariations) {
  Generator g(12);
  std::vector<TimevarRec> written(RecordCount);
  for (TimevarRec& r : written) {
    r.index = static_cast<uint16_t>(g.Int(0, 65535));
    g.Text(r.name, TimevarNameSize, 0, true, false);
    for (auto& day : r.typeday) {
      for (auto& value : day) g.Text(value, TimevarValueSize, 1, true, true);
    }
    for (int16_t& m : r.month) m = static_cast<int16_t>(g.Int(-32768, 32767));
    for (float& s : r.scenario) s = g.Float();
  }
  RoundTrip(written, RecordStartFlag0, SaveHeader("timevarr", -1, "0", "1"), "Ok.\n",
      [](int32_t op, const TimevarRec* r) { return IORTimevarPutRec(1, op, r); },
      [](int32_t first, TimevarRec* r) { return IORTimevarGetRec(1, first, 0, r); });
}

TEST_F(RoundTripTest, SubstanceGroups) {
  Generator g(13);
  std::vector<SubgrpRec> written(RecordCount / 4);
  for (SubgrpRec& r : written) {
    g.Text(r.name, SubgrpNameSize, 0, true, false);
    r.index = g.U32();
    int slots = g.Int(0, 4) == 0 ? SubgrpSlots : g.Int(0, 20);
    for (int i = 0; i < slots; ++i) {
      do {
        r.substance[i] = static_cast<int16_t>(g.Int(-32768, 32767));
      } while (r.substance[i] == 0);
      r.slope[i] = g.Float();
      r.m[i] = g.Float();
      g.Text(r.unit[i], SubgrpUnitSize, 1, true, true);
    }
  }
  RoundTrip(written, RecordStart, SaveHeader("subgrp", -1, "0", "0"), "Ok.\n",
      [](int32_t op, const SubgrpRec* r) { return IORSubgrpPutRec(op, r); },
      [](int32_t first, SubgrpRec* r) { return IORSubgrpGetRec(first, 0, r); });
}

TEST_F(RoundTripTest, EmissionFactors) {
  Generator g(14);
  std::vector<EmfacRec> written(RecordCount);
  for (size_t k = 0; k < written.size(); ++k) {
    EmfacRec& r = written[k];
    g.Text(r.name, EmfacNameSize, 0, true, false);
    r.index = g.U32();
    r.substance = static_cast<int32_t>(g.U32());
    // Formulas as long as a reply line can carry them ("FORMULA " and 8087).
    size_t formulaSize = k % 50 == 7 ? MaxRecordLine - 8 + 1 : 300;
    g.Text(r.formula, formulaSize, k % 50 == 7 ? formulaSize - 1 : 0, false, false);
    r.novariable = k % 10 == 3 ? EmfacMaxVariables : g.Int(0, 8);
    for (int n = 0; n < r.novariable; ++n) {
      g.Text(r.varname[n], EmfacVarNameSize, 1, false, false);
      while (r.varname[n][0] == L' ') r.varname[n][0] = g.Char(false, true);
      r.varconst[n] = static_cast<uint8_t>(g.Int(0, 1));
    }
  }
  RoundTrip(written, RecordStart, SaveHeader("emfac", -1, "0", "0"), "Ok.\n",
      [](int32_t op, const EmfacRec* r) { return IOREmfacPutRec(op, r); },
      [](int32_t first, EmfacRec* r) { return IOREmfacGetRec(first, 0, r); });
}

class WriterProtocolTest : public RecordTest {};

// (Each start operation's flag lines: the facility and road saves with RecordStartFlag1 here, tests/host
// TransferExportsTest.SaveStartModesWriteTheFlagLines.)
TEST_F(WriterProtocolTest, OperationsThatSendNothing) {
  // Reference kinds ignore start flag 1 and unknown codes.
  EmfacRec record{};
  EXPECT_EQ(IOREmfacPutRec(RecordStartFlag1, &record), 1);
  EXPECT_EQ(IORSubgrpPutRec(9, nullptr), 1);
  EXPECT_EQ(IORTimevarPutRec(0, -1, nullptr), 1);
  EXPECT_EQ(IOREmfacPutRec(RecordAbort, nullptr), 1);
  // (Substance list 0, never written: tests/host TransferExportsTest.SearchkeySaveTheServerDoesNotConfirmFails.)
  EXPECT_EQ(Requests(), 1u) << "nothing beyond the login was sent";
}

TEST_F(WriterProtocolTest, FinishRequiresEveryReplyLineToBeginWithOk) {
  SubgrpRec record{};
  wcscpy(record.name, L"G");
  record.index = 3;
  auto group = [&](int32_t op) { return IORSubgrpPutRec(op, &record); };
  EXPECT_EQ(Posted(group, RecordStartFlag0, "Ok. 1 saved\nOk. done\n"),
            SaveHeader("subgrp", -1, "0", "1") + "NAME \"G\"\nINDEX 3\nSUBSTANCES\n\nEOF\n");
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvksave2.cgi&x");

  Reply("");
  ASSERT_EQ(IORSubgrpPutRec(RecordStart, &record), 1);
  EXPECT_EQ(IORSubgrpPutRec(RecordFinish, &record), 1) << "an empty reply accepts the save";

  server_.Stop();
  static TimevarRec timevar;
  ASSERT_EQ(IORTimevarPutRec(1, RecordStart, &timevar), 1);  // the body is only collected here
  ASSERT_EQ(IORTimevarPutRec(1, RecordWrite, &timevar), 1);
  EXPECT_EQ(IORTimevarPutRec(1, RecordFinish, &timevar), -1) << "an unreachable server fails the finish";
  EXPECT_NE(Error(), "");
}

TEST_F(WriterProtocolTest, SubstanceSaveChecksTheFirstReplyLineForOk) {
  SubRec record{};
  record.index = 12;
  wcscpy(record.name, L"NOx as NO2");
  auto substances = [&](int32_t op) { return IORSubPutRec(op, 2, &record); };
  EXPECT_EQ(Posted(substances, RecordStartFlag0, "OK! 1 searchkey\nanything\n"),
            SaveHeader("sub", 2, "0", "1") + "12 \"NOx as NO2\"\nEOF\n");

  Reply("Database locked\n");
  ASSERT_EQ(IORSubPutRec(RecordStart, 5, &record), 1);
  EXPECT_EQ(IORSubPutRec(RecordFinish, 5, &record), -1);
  EXPECT_EQ(Error(), "Database locked");
  EXPECT_EQ(Body(2), SaveHeader("sub", 5, "0", "0") + "EOF\n");

  Reply("");
  ASSERT_EQ(IORSubPutRec(RecordStart, 1, &record), 1);
  EXPECT_EQ(IORSubPutRec(RecordFinish, 1, &record), 0) << "an empty reply finishes with 0";
  EXPECT_EQ(IORSubPutRec(RecordAbort, 1, &record), 1);
}

}  // namespace
}  // namespace records_test
