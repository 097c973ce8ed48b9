// The lines of a resource file: what each kind of line says and the line a
// save sends for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/edb_rsrc_line.h"

namespace {

TEST(RsrcLineTest, WhatEachLineSaysAndTheLineASaveSends) {
  using F = RsrcLineFault;
  struct Case {
    const wchar_t* line;
    RsrcKind kind;
    uint16_t number;
    const wchar_t* name;
    const wchar_t* value;
    const wchar_t* saved;
    RsrcLineFault fault;
  };
  const Case cases[] = {
      {L"speed   3:  50 km/h", RsrcKind::Speed, 3, L"50 km/h", L"", L"speed 3: 50 km/h", F::kNone},
      {L"temperature 30: 40 C", RsrcKind::Temperature, 30, L"40 C", L"", L"temperature 30: 40 C", F::kNone},
      {L"scenario 10: x", RsrcKind::Scenario, 10, L"x", L"", L"scenario 10: x", F::kNone},
      {L"speed 65535: top", RsrcKind::Speed, 65535, L"top", L"", L"speed 65535: top", F::kNone},
      // An unnamed number: the line a save sends for it.
      {L"speed 5:   \r\n", RsrcKind::Speed, 5, L"", L"", L"speed 5: ", F::kNone},
      // Words after the number are not kept.
      {L"speed +4 km: x", RsrcKind::Speed, 4, L"x", L"", L"speed 4: x", F::kExtraWords},
      // Factor and name are the first two words; tabs and blanks separate
      // them; further words are not kept.
      {L"SubGrpEm 7:\t 2.5e-3 \tkg/s more words", RsrcKind::UnitSubGrpEm, 7, L"kg/s", L"2.5e-3",
       L"SubGrpEm 7: 2.5e-3 kg/s", F::kExtraWords},
      {L"Sub 2: 1000 kg/year  ", RsrcKind::UnitSub, 2, L"kg/year", L"1000", L"Sub 2: 1000 kg/year", F::kNone},
      {L"SubGrp 1: 1 %", RsrcKind::UnitSubGrp, 1, L"%", L"1", L"SubGrp 1: 1 %", F::kNone},
      {L"Search 2:\t3.6 kg/h", RsrcKind::UnitSearch, 2, L"kg/h", L"3.6", L"Search 2: 3.6 kg/h", F::kNone},
      // A free setting's tag is its whole head; its value runs on past
      // further colons and loses its line end.
      {L"NAME 0: Town", RsrcKind::Free, 0, L"NAME 0", L"Town", L"NAME 0: Town", F::kNone},
      {L"layer 1 of 3: roads", RsrcKind::Free, 0, L"layer 1 of 3", L"roads", L"layer 1 of 3: roads", F::kNone},
      {L"  PATH :  C:\\data\\edb\r\n", RsrcKind::Free, 0, L"PATH", L"C:\\data\\edb", L"PATH: C:\\data\\edb", F::kNone},
      // Keywords compare case-sensitively and whole.
      {L"Speed 3: x", RsrcKind::Free, 0, L"Speed 3", L"x", L"Speed 3: x", F::kNone},
      {L"SubGrpEmX 3: 1 x", RsrcKind::Free, 0, L"SubGrpEmX 3", L"1 x", L"SubGrpEmX 3: 1 x", F::kNone},
  };
  for (const Case& c : cases) {
    RsrcLine l = ParseRsrcLine(c.line);
    EXPECT_EQ(l.kind, c.kind) << c.line;
    if (c.kind != RsrcKind::Free) {
      EXPECT_EQ(l.number, c.number) << c.line;
    }
    EXPECT_EQ(l.name, c.name) << c.line;
    EXPECT_EQ(l.value, c.value) << c.line;
    EXPECT_EQ(l.fault, c.fault) << c.line;
    EXPECT_EQ(FormatRsrcLine(l), c.saved) << c.line;
  }
  const std::pair<const wchar_t*, RsrcLineFault> kept[] = {
      {L"", F::kNotSetting},          {L"no colon", F::kNotSetting},     {L": value", F::kNotSetting},
      {L"   : value", F::kNotSetting}, {L"X:  \r\n", F::kNotSetting},    {L"Sub 4: 1000", F::kNoUnit},
      {L"Sub 4:   1000  ", F::kNoUnit}, {L"Sub 4:", F::kNoUnit},          {L"speed: 50", F::kNoNumber},
      {L"speed x: 50", F::kNoNumber},  {L"speed -1: 50", F::kNoNumber},  {L"speed 65536: 50", F::kNoNumber},
      {L"temperature 99999999999: 1", F::kNoNumber}, {nullptr, F::kNotSetting}};
  for (const auto& k : kept) {
    RsrcLine l = ParseRsrcLine(k.first);
    EXPECT_EQ(l.kind, RsrcKind::Kept) << (k.first ? k.first : L"(null)");
    EXPECT_EQ(l.fault, k.second) << (k.first ? k.first : L"(null)");
  }
  EXPECT_EQ(FormatRsrcLine(ParseRsrcLine(L"nothing")), L"");
}

}  // namespace
