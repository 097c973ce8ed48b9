// Grid data lines split at every '@'; too many fields are refused, never cut.
#include <gtest/gtest.h>

#include <string>

#include "records/grid.h"

namespace {

TEST(GridDataLine, SplitsAtEveryAtSignUpToTheFieldsAGridCarries) {
  std::wstring most = L"1";
  for (int i = 1; i < GridMaxFields; ++i) most += L"@1";
  const struct {
    std::wstring line;
    GridFields fields;
  } cases[] = {
      {L"12@34@1.5\n", {L"12", L"34", L"1.5"}},
      {L"12@34@@North@", {L"12", L"34", L"", L"North", L""}},
      {L"7", {L"7"}},
      {most, GridFields(GridMaxFields, L"1")},
  };
  GridFields fields{L"left", L"over", L"from", L"before", L"x", L"y"};
  for (const auto& c : cases) {
    ASSERT_TRUE(SplitGridLine(c.line.c_str(), &fields));
    EXPECT_EQ(fields, c.fields);
  }
  EXPECT_FALSE(SplitGridLine((most + L"@1").c_str(), &fields));
}

}  // namespace
