// Float texts against "%.*g" with the fewest digits (6..9) that read back as the same float.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "records/float_text.h"
#include "transport/latin1.h"

namespace {

std::string PrintfText(float value) {
  char text[64];
  if (!std::isfinite(value)) {
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
  }
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

void ExpectPrintfText(float value) {
  char narrow[32];
  size_t n = FloatChars(value, narrow);
  std::string want = PrintfText(value);
  EXPECT_EQ(std::string(narrow, n), want) << "bits " << std::hex << [value] {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }();
  EXPECT_EQ(Narrow(FloatText(value).c_str()), want);
}

TEST(FloatChars, GivesWhatPrintfGives) {
  const float special[] = {0.0f, -0.0f, 1.0f, 0.1f, 1.2345678f, 16777217.0f, 100000.0f, 1e6f, 123456.7f,
                           999999.0f, 999999.5f, 9999999.0f, 0.0001f, 0.00009999f, 1e-5f, 9.9999999e-5f,
                           FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 1e-40f, 3e38f, 120.0f, -2.5f,
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::nanf("")};
  for (float value : special) ExpectPrintfText(value);
  std::mt19937 rng(19);
  for (int i = 0; i < 100000 && !HasFailure(); ++i) {
    uint32_t bits = static_cast<uint32_t>(rng());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    ExpectPrintfText(value);
  }
  // Decimals of 1 to 7 digits at every decimal exponent a float reaches,
  // and their neighbouring floats.
  for (int i = 0; i < 100000 && !HasFailure(); ++i) {
    int digits = 1 + static_cast<int>(rng() % 7);
    long mantissa = static_cast<long>(rng() % 10000000) % static_cast<long>(std::pow(10, digits));
    int exponent = static_cast<int>(rng() % 80) - 45;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lde%d", rng() % 2 ? "-" : "", mantissa, exponent);
    float value = std::strtof(text, nullptr);
    ExpectPrintfText(value);
    ExpectPrintfText(std::nextafter(value, 0.0f));
    ExpectPrintfText(std::nextafter(value, FLT_MAX));
  }
}

}  // namespace
