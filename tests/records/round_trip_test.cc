// Print-then-parse identity: many generated records of every kind are
// written by the writer, the posted lines are served back as a read reply,
// and the reader must give back the very same records.
#include <cmath>
#include <cstdio>
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

  // Printable ISO 8859-1 characters; quoted texts leave out the double quote,
  // words also leave out the blank.
  wchar_t Char(bool quoted, bool word) {
    for (;;) {
      int c = Int(0, 1) ? Int(0x20, 0x7E) : Int(0xC0, 0xFF);
      if ((quoted && c == '"') || (word && c == ' ')) continue;
      return static_cast<wchar_t>(c);
    }
  }
  void Text(wchar_t* out, size_t size, size_t minLength, bool quoted, bool word) {
    size_t length = static_cast<size_t>(Int(static_cast<int>(minLength), static_cast<int>(size - 1)));
    for (size_t i = 0; i < length; ++i) out[i] = Char(quoted, word);
    out[length] = L'\0';
  }
  // A float that the writers' six significant digits carry unchanged.
  float Float() {
    double v = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng_), Int(-30, 30));
    char text[32];
    snprintf(text, sizeof text, "%.6g", v);
    return std::strtof(text, nullptr);
  }

 private:
  std::mt19937 rng_;
};

// The record lines of a save body, checked for its header and "EOF".
std::string RecordLines(const std::string& body, const std::string& header) {
  EXPECT_EQ(body.substr(0, header.size()), header);
  EXPECT_GE(body.size(), header.size() + 4);
  EXPECT_EQ(body.substr(body.size() - 4), "EOF\n");
  return body.substr(header.size(), body.size() - header.size() - 4);
}

template <class Rec>
void ExpectSame(const std::vector<Rec>& written, const std::vector<Rec>& read) {
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(std::memcmp(&written[i], &read[i], sizeof(Rec)), 0) << "record " << i;
  }
}

class RoundTripTest : public RecordTest {};

TEST_F(RoundTripTest, Substances) {
  Generator g(11);
  std::vector<SubRec> written(RecordCount);
  for (SubRec& r : written) {
    std::memset(&r, 0, sizeof r);
    r.index = static_cast<uint16_t>(g.Int(0, 65535));
    g.Text(r.name, SubNameSize, 0, true, false);
  }
  Reply("OK!\n");
  ASSERT_EQ(IORSubPutRec(RecordStart, 4, nullptr), 1) << Error();
  for (const SubRec& r : written) ASSERT_EQ(IORSubPutRec(RecordWrite, 4, &r), 1);
  ASSERT_EQ(IORSubPutRec(RecordFinish, 4, nullptr), 1) << Error();

  Reply(RecordLines(Body(1), SaveHeader("sub", 4, "0", "0")));
  std::vector<SubRec> read;
  SubRec r;
  for (int32_t first = 1, result; (result = IORSubGetRec(first, 4, &r)) != 0; first = 0) {
    ASSERT_EQ(result, 1) << Error();
    read.push_back(r);
  }
  ExpectSame(written, read);
}

TEST_F(RoundTripTest, TimeVariations) {
  Generator g(12);
  std::vector<TimevarRec> written(RecordCount);
  for (TimevarRec& r : written) {
    std::memset(&r, 0, sizeof r);
    r.index = static_cast<uint16_t>(g.Int(0, 65535));
    g.Text(r.name, TimevarNameSize, 0, true, false);
    for (auto& day : r.typeday) {
      for (auto& value : day) g.Text(value, TimevarValueSize, 1, true, true);
    }
    for (int16_t& m : r.month) m = static_cast<int16_t>(g.Int(-32768, 32767));
    for (float& s : r.scenario) s = g.Float();
  }
  Reply("Ok.\n");
  ASSERT_EQ(IORTimevarPutRec(1, RecordStartFlag0, nullptr), 1) << Error();
  for (const TimevarRec& r : written) ASSERT_EQ(IORTimevarPutRec(1, RecordWrite, &r), 1);
  ASSERT_EQ(IORTimevarPutRec(1, RecordFinish, nullptr), 1) << Error();

  Reply(RecordLines(Body(1), SaveHeader("timevarr", -1, "0", "1")));
  std::vector<TimevarRec> read;
  static TimevarRec r;
  for (int32_t first = 1, result; (result = IORTimevarGetRec(1, first, 0, &r)) != 0; first = 0) {
    ASSERT_EQ(result, 1) << Error();
    read.push_back(r);
  }
  ExpectSame(written, read);
}

TEST_F(RoundTripTest, SubstanceGroups) {
  Generator g(13);
  std::vector<SubgrpRec> written(RecordCount / 4);
  for (SubgrpRec& r : written) {
    std::memset(&r, 0, sizeof r);
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
  Reply("Ok.\n");
  ASSERT_EQ(IORSubgrpPutRec(RecordStart, nullptr), 1) << Error();
  for (const SubgrpRec& r : written) ASSERT_EQ(IORSubgrpPutRec(RecordWrite, &r), 1);
  ASSERT_EQ(IORSubgrpPutRec(RecordFinish, nullptr), 1) << Error();

  Reply(RecordLines(Body(1), SaveHeader("subgrp", -1, "0", "0")));
  std::vector<SubgrpRec> read;
  static SubgrpRec r;
  for (int32_t first = 1, result; (result = IORSubgrpGetRec(first, 0, &r)) != 0; first = 0) {
    ASSERT_EQ(result, 1) << Error();
    read.push_back(r);
  }
  ExpectSame(written, read);
}

TEST_F(RoundTripTest, EmissionFactors) {
  Generator g(14);
  std::vector<EmfacRec> written(RecordCount);
  for (size_t k = 0; k < written.size(); ++k) {
    EmfacRec& r = written[k];
    std::memset(&r, 0, sizeof r);
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
  Reply("Ok.\n");
  ASSERT_EQ(IOREmfacPutRec(RecordStart, nullptr), 1) << Error();
  for (const EmfacRec& r : written) ASSERT_EQ(IOREmfacPutRec(RecordWrite, &r), 1);
  ASSERT_EQ(IOREmfacPutRec(RecordFinish, nullptr), 1) << Error();

  Reply(RecordLines(Body(1), SaveHeader("emfac", -1, "0", "0")));
  std::vector<EmfacRec> read;
  static EmfacRec r;
  for (int32_t first = 1, result; (result = IOREmfacGetRec(first, 0, &r)) != 0; first = 0) {
    ASSERT_EQ(result, 1) << Error();
    read.push_back(r);
  }
  ExpectSame(written, read);
}

}  // namespace
}  // namespace records_test
