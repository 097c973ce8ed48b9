// The rows of an EDB's resource tables as the resource sheets show them: a
// numbered name ("Speed-Temp-Scen"), a numbered unit with its factor
// ("Units"), and a free setting, a tag with its value ("Rsrc").  Texts hold
// at most RsrcTextSize - 1 characters.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t RsrcTextSize = 256;

// Rows of the "Speed-Temp-Scen" tables: numbers 1 to the table's count.
constexpr int32_t RsrcSpeedCount = 11;
constexpr int32_t RsrcTemperatureCount = 30;
constexpr int32_t RsrcScenarioCount = 10;

// A speed, temperature or scenario.
struct RsrcNameRow {
  uint16_t number;
  wchar_t name[RsrcTextSize];
};

// A unit of one of the four unit tables; number 0 is the table's fixed
// first unit.
struct RsrcUnitRow {
  uint16_t number;
  wchar_t name[RsrcTextSize];
  wchar_t factor[RsrcTextSize];
};

// A free setting; row is its row on "Rsrc" (row 0 is the heading).
struct RsrcFreeRow {
  uint16_t row;
  wchar_t tag[RsrcTextSize];
  wchar_t value[RsrcTextSize];
};
