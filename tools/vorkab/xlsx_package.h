// The zip package of a workbook file: reading its parts by name, and
// building a new package in memory.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct zip;

namespace xlsx {

// The style sheet with the one default format every cell uses, for the
// packages vorkab makes.
inline constexpr char kDefaultStyles[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

// The largest part the reader takes in (uncompressed).
constexpr size_t kMaxPartBytes = size_t{512} << 20;

class PackageReader {
 public:
  PackageReader() = default;
  ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  // Opens the file; false with the reason (without the file's name).
  bool Open(const std::string& path, std::string* error);
  // Part names compare without regard to ASCII letter case.
  bool Has(const std::string& part) const;
  // The part's bytes; false with the reason when it is missing, too large or
  // damaged.
  bool Read(const std::string& part, std::string* bytes, std::string* error) const;
  // Every part name in the archive's order (folders left out).
  std::vector<std::string> Names() const;

 private:
  struct zip* m_zip = nullptr;
};

class PackageWriter {
 public:
  // Adds a part (compressed) in the order of the calls; a part of the same
  // name in the archive started from is replaced in its place.
  void Add(std::string part, std::string bytes) { m_parts.emplace_back(std::move(part), std::move(bytes)); }
  // Starts from an existing archive (its bytes): the parts not added or
  // removed are copied as they are stored, without recompressing them.
  void StartFrom(std::string archive) { m_base = std::move(archive); }
  // Leaves out a part of the archive started from (names compare without
  // regard to ASCII case).
  void Remove(std::string part) { m_removed.push_back(std::move(part)); }
  // The whole zip archive; false with the reason.
  bool Finish(std::string* archive, std::string* error) const;

 private:
  std::vector<std::pair<std::string, std::string>> m_parts;
  std::string m_base;
  std::vector<std::string> m_removed;
};

}  // namespace xlsx
