// Words and numbers of record lines (see line_words.h).
#include "line_words.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace edb {

namespace {

// Longer words are no numbers the library could have printed.
constexpr size_t kMaxNumberChars = 64;

}  // namespace

std::string_view Trimmed(std::string_view line) {
  size_t begin = 0, end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  return line.substr(begin, end - begin);
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool TakeKeyword(std::string_view line, std::string_view keyword, std::string_view* rest) {
  if (line.size() < keyword.size() || line.compare(0, keyword.size(), keyword) != 0) return false;
  size_t i = keyword.size();
  if (i < line.size() && !IsBlank(line[i])) return false;
  while (i < line.size() && IsBlank(line[i])) ++i;
  *rest = line.substr(i);
  return true;
}

bool ParseWhole(std::string_view word, int64_t low, int64_t high, int64_t* value) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
  if (i == word.size() || word.size() - i > 18) return false;
  int64_t v = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
    v = v * 10 + (word[i] - '0');
  }
  if (negative) v = -v;
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseSingle(std::string_view word, float* value) {
  if (word.empty() || word.size() > kMaxNumberChars) return false;
  std::string copy(word);
  char* end = nullptr;
  double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(v) || std::fabs(v) >= 0x1.ffffffp+127) return false;  // rounds past FLT_MAX
  *value = static_cast<float>(v);
  return true;
}

std::string SingleText(float value) {
  // The fewest digits (6 to 9) that read back as the same float: what %g
  // prints is kept where it suffices.
  char text[32];
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (!std::isfinite(value) || std::strtof(text, nullptr) == value) break;
  }
  return text;
}

}  // namespace edb
