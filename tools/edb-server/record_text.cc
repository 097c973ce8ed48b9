// Names-only record texts and the source listing header (see record_text.h).
#include "record_text.h"

#include <algorithm>
#include <cstdlib>

#include "request_text.h"

namespace edb {

namespace {

// Splits a line into its first word and the rest after one separator.
void SplitKeyword(std::string_view line, std::string_view* keyword, std::string_view* rest) {
  size_t end = line.find_first_of(" \t");
  *keyword = line.substr(0, end);
  *rest = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool StartsWith(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

// The leading decimal integer of text (after blanks); false when there is none.
bool LeadingInteger(std::string_view text, int64_t* value) {
  std::string copy(text.substr(0, 40));
  const char* begin = copy.c_str();
  char* end = nullptr;
  long long v = std::strtoll(begin, &end, 10);
  if (end == begin) return false;
  *value = v;
  return true;
}

}  // namespace

std::string NamesOnlyText(std::string_view record) {
  LineReader lines(record);
  std::string_view line;
  std::string out;
  bool haveName = false, haveIndex = false;
  while ((!haveName || !haveIndex) && lines.Next(&line)) {
    std::string_view keyword, rest;
    SplitKeyword(line, &keyword, &rest);
    if ((keyword == "NAME" && !haveName) || (keyword == "INDEX" && !haveIndex)) {
      (keyword == "NAME" ? haveName : haveIndex) = true;
      out.append(line.data(), line.size());
      out.push_back('\n');
    }
  }
  return out;
}

void SourceListingHeader::Add(std::string_view record) {
  LineReader lines(record);
  std::string_view line;
  int64_t currentFunction = 0;
  int64_t currentVariables = 0;
  bool inActivity = false;
  std::map<int64_t, int64_t> subs, groups, functions;  // blocks of this source
  while (lines.Next(&line)) {
    std::string_view keyword, rest;
    SplitKeyword(line, &keyword, &rest);
    int64_t value = 0;
    if (keyword == "ALOB" || EndsWith(keyword, ".ALOB")) {
      // Attribute lines are free text: skip them.
      if (LeadingInteger(rest, &value)) {
        for (int64_t i = 0; i < value && lines.Next(&line); ++i) {
        }
      }
      continue;
    }
    if (StartsWith(keyword, "EMISSION.") && EndsWith(keyword, ".SUBSTANCE")) {
      if (LeadingInteger(rest, &value)) ++subs[value];
    } else if (StartsWith(keyword, "SUBGRP.") && EndsWith(keyword, ".SUBGRP")) {
      if (LeadingInteger(rest, &value)) ++groups[value];
    } else if (StartsWith(keyword, "ACTIVITY.") && EndsWith(keyword, ".EMFAC")) {
      inActivity = LeadingInteger(rest, &value);
      currentFunction = value;
      currentVariables = 0;
      if (inActivity) {
        ++functions[currentFunction];
        if (!maxVariables_.count(currentFunction)) maxVariables_[currentFunction] = 0;
      }
    } else if (inActivity && StartsWith(keyword, "ACTIVITY.") && keyword.find(".VAR.") != std::string_view::npos) {
      ++currentVariables;
      int64_t& most = maxVariables_[currentFunction];
      if (currentVariables > most) most = currentVariables;
    }
  }
  for (const auto& entry : subs) substances_[entry.first] = std::max(substances_[entry.first], entry.second);
  for (const auto& entry : groups) groups_[entry.first] = std::max(groups_[entry.first], entry.second);
  for (const auto& entry : functions) functions_[entry.first] = std::max(functions_[entry.first], entry.second);
}

std::string SourceListingHeader::Text() const {
  auto line = [](const std::map<int64_t, int64_t>& counts, const std::map<int64_t, int64_t>* variables) {
    int64_t n = 0;
    std::string tokens;
    for (const auto& entry : counts) {
      for (int64_t i = 0; i < entry.second; ++i, ++n) {
        tokens += " " + std::to_string(entry.first);
        if (variables) tokens += ":" + std::to_string(variables->at(entry.first));
      }
    }
    return std::to_string(n) + tokens + "\n";
  };
  return line(substances_, nullptr) + line(groups_, nullptr) + line(functions_, &maxVariables_);
}

}  // namespace edb
