// Helpers for the workbook-file tests: files written and read whole,
// hand-made packages, and openpyxl scripts run over workbook files.
#pragma once

#include <algorithm>
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
  return {
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
}

// A package laid out as no vorkab file is: the workbook elsewhere, prefixed
// namespaces, 1904 dates, a chart sheet, an external link, a calculation
// chain, a picture, and the sheet "\u00c5r & \ttab" (an escaped name, a part
// name with a blank reached through "..") whose A1 is a styled formula with
// its value 2 in a tall row and a wide column, C2 the date 1904-01-03 and B9
// the number 7.
inline Parts UnusualPackage() {
  return {
      {"[Content_Types].xml",
       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
       "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
       "<Override PartName=\"/book/chain.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
       "spreadsheetml.calcChain+xml\"/></Types>"},
      {"_rels/.rels", "<Relationships xmlns=\"" + kPkg + "\"><Relationship Id=\"a\" Type=\"" + kRel +
                          "/officeDocument\" Target=\"/book/main.xml\"/></Relationships>"},
      {"book/main.xml",
       "<x:workbook xmlns:x=\"" + kMain + "\" xmlns:rel=\"" + kRel + "\"><x:workbookPr date1904=\"1\"/><x:sheets>"
       "<x:sheet name=\"Chart\" sheetId=\"3\" rel:id=\"c\"/>"
       "<x:sheet name=\"&#xC5;r &amp; _x0009_tab\" sheetId=\"9\" rel:id=\"s\"/></x:sheets></x:workbook>"},
      {"book/_rels/main.xml.rels",
       "<Relationships xmlns=\"" + kPkg + "\"><Relationship Id=\"s\" Type=\"" + kRel +
           "/worksheet\" Target=\"sheets/../sheets/my%20sheet.xml\"/><Relationship Id=\"c\" Type=\"" + kRel +
           "/chartsheet\" Target=\"/book/chart.xml\"/><Relationship Id=\"w\" Type=\"" + kRel +
           "/hyperlink\" Target=\"http://example.invalid/\" TargetMode=\"External\"/><Relationship Id=\"k\" Type=\"" +
           kRel + "/calcChain\" Target=\"chain.xml\"/></Relationships>"},
      {"book/sheets/my sheet.xml",
       "<x:worksheet xmlns:x=\"" + kMain + "\"><x:cols><x:col min=\"1\" max=\"1\" width=\"33\"/></x:cols>"
       "<x:sheetData><x:row r=\"1\" ht=\"30\"><x:c r=\"A1\" s=\"4\"><x:f>1+1</x:f><x:v>2</x:v></x:c></x:row>"
       "<x:row r=\"2\"><x:c r=\"c2\" t=\"d\"><x:v>1904-01-03</x:v></x:c></x:row>"
       "<x:row r=\"9\"><x:c r=\"B9\"><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>"},
      {"book/chart.xml", "<chartsheet/>"},
      {"book/chain.xml", "<calcChain xmlns=\"" + kMain + "\"><c r=\"A1\" i=\"9\"/></calcChain>"},
      {"book/media/picture.bin", std::string("\x89PNG\0\1\2", 7)},
  };
}

// The parts with one replaced (added when missing; moved to the end) or removed.
inline Parts Replaced(Parts parts, const std::string& name, const std::string& bytes, bool remove = false) {
  auto it = std::find_if(parts.begin(), parts.end(), [&](const auto& part) { return part.first == name; });
  if (it != parts.end()) parts.erase(it);
  if (!remove) parts.emplace_back(name, bytes);
  return parts;
}
