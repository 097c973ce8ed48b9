// The record writers' narrow float text against the wide FloatText it
// stands in for, over floats of every magnitude and bit pattern.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "records/float_text.h"
#include "transport/latin1.h"

namespace {

void ExpectSameText(float value) {
  char narrow[32];
  size_t n = FloatChars(value, narrow);
  std::string wide = Narrow(FloatText(value).c_str());
  EXPECT_EQ(std::string(narrow, n), wide) << "bits " << std::hex << [value] {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }();
}

TEST(FloatChars, GivesFloatTextsText) {
  const float special[] = {0.0f, -0.0f, 1.0f, 0.1f, 1.2345678f, 16777217.0f, 100000.0f, 1e6f, 123456.7f,
                           FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 1e-40f, 3e38f, 1e-5f, 9.9999999e-5f,
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::nanf("")};
  for (float value : special) ExpectSameText(value);
  std::mt19937 rng(19);
  for (int i = 0; i < 200000; ++i) {
    uint32_t bits = static_cast<uint32_t>(rng());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    ExpectSameText(value);
    if (HasFailure()) break;
  }
}

}  // namespace
