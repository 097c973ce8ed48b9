// The rows of an EDB's resource tables as the resource sheets show them: a
// numbered name ("Speed-Temp-Scen"), a numbered unit with its factor
// ("Units"), and a free setting, a tag with its value ("Rsrc").
//
// A unit name or a tag holds at most RsrcTextSize - 1 characters; a speed,
// temperature or scenario name, a factor and a value at most RsrcValueSize -
// 1, so that any resource line fits the line buffer a Load reads it into.
// The row buffers hold one character more than that, so a text read from a
// sheet that is too long is seen as too long instead of being cut unnoticed.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t RsrcTextSize = 256;
constexpr size_t RsrcValueSize = 4096;

// Rows of the "Speed-Temp-Scen" tables: numbers 1 to the table's count.
constexpr int32_t RsrcSpeedCount = 11;
constexpr int32_t RsrcTemperatureCount = 30;
constexpr int32_t RsrcScenarioCount = 10;

// A speed, temperature or scenario.
struct RsrcNameRow {
  uint16_t number;
  wchar_t name[RsrcValueSize + 1];
};

// A unit of one of the four unit tables; number 0 is the table's fixed
// first unit.
struct RsrcUnitRow {
  uint16_t number;
  wchar_t name[RsrcTextSize + 1];
  wchar_t factor[RsrcValueSize + 1];
};

// A free setting; row is its row on "Rsrc" (row 0 is the heading).
struct RsrcFreeRow {
  uint16_t row;
  wchar_t tag[RsrcTextSize + 1];
  wchar_t value[RsrcValueSize + 1];
};
