// Helpers for the workbook-file tests: files written and read whole,
// hand-made packages, and openpyxl scripts run over workbook files.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"
#include "xlsx_package.h"

using test_support::TempFolder;

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// Runs a Python script (openpyxl) with the arguments; its output, or
// "FAILED: ..." when it did not exit 0.
inline std::string Python(const TempFolder& folder, const std::string& script, const std::vector<std::string>& args) {
  std::string path = folder.Path("script.py"), out = folder.Path("py.txt");
  WriteBytes(path, "import sys, openpyxl\n" + script);
  std::string command = "timeout 120 /usr/bin/python3 '" + path + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " > '" + out + "' 2>&1";
  int status = system(command.c_str());
  std::string text = ReadBytes(out);
  return status == 0 ? text : "FAILED: " + text;
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The namespaces of a workbook package's parts.
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kPkg = "http://schemas.openxmlformats.org/package/2006/relationships";

using Parts = std::vector<std::pair<std::string, std::string>>;

// A zip file of the given parts.
inline bool WritePackage(const std::string& path, const Parts& parts) {
  xlsx::PackageWriter writer;
  for (const auto& part : parts) writer.Add(part.first, part.second);
  std::string archive, error;
  if (!writer.Finish(&archive, &error)) return false;
  WriteBytes(path, archive);
  return true;
}

// The parts of a plain one-sheet workbook ("Data") whose sheet part holds the
// given sheetData content and whose shared strings are the given items.
inline Parts OneSheetParts(const std::string& sheetData, const std::string& sharedItems = "") {
  const std::string &main = kMain, &rel = kRel, &pkg = kPkg;
  Parts parts = {
      {"_rels/.rels", "<Relationships xmlns=\"" + pkg + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                          "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                              "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"" + pkg + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                                         "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
                                         rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + main + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
      {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + sharedItems + "</sst>"},
  };
  return parts;
}

// The parts with one replaced (added when missing) or removed.
inline Parts Replaced(Parts parts, const std::string& name, const std::string& bytes, bool remove = false) {
  for (auto it = parts.begin(); it != parts.end(); ++it) {
    if (it->first != name) continue;
    if (remove) {
      parts.erase(it);
    } else {
      it->second = bytes;
    }
    return parts;
  }
  if (!remove) parts.emplace_back(name, bytes);
  return parts;
}
