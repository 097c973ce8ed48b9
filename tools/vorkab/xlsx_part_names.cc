// Part names of a workbook package (see xlsx_part_names.h).
#include "xlsx_part_names.h"

#include <vector>

namespace xlsx {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

// The part a relationship target names, relative to the part that holds the
// relationship; empty when it leads out of the package.
std::string ResolveTarget(const std::string& source, const std::string& target) {
  std::string decoded;
  for (size_t i = 0; i < target.size(); ++i) {
    if (target[i] == '%' && i + 2 < target.size() && HexDigit(target[i + 1]) >= 0 && HexDigit(target[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexDigit(target[i + 1]) * 16 + HexDigit(target[i + 2])));
      i += 2;
    } else {
      decoded.push_back(target[i]);
    }
  }
  std::string path;
  if (!decoded.empty() && decoded[0] == '/') {
    path = decoded.substr(1);
  } else {
    size_t slash = source.rfind('/');
    path = (slash == std::string::npos ? std::string() : source.substr(0, slash + 1)) + decoded;
  }
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (segments.empty()) return std::string();
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const auto& segment : segments) resolved += (resolved.empty() ? "" : "/") + segment;
  return resolved;
}

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for the package.
std::string RelationshipsPart(const std::string& source) {
  size_t slash = source.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : source.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? source : source.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

}  // namespace xlsx
