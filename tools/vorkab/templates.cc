// Sheet names and heading rows of the workbook templates (see templates.h).
#include "templates.h"

#include <string>

using sheethost::Cell;
using sheethost::Workbook;

namespace {

struct Heading {
  int column;
  const wchar_t* text;
};

void WriteHeadings(sheethost::Sheet& sheet, const std::vector<Heading>& headings) {
  for (const Heading& h : headings) sheet.Set(0, h.column, Cell::Str(h.text));
}

void TimevarHeadings(sheethost::Sheet& sheet) {
  sheet.Set(0, 0, Cell::Str(L"Name"));
  sheet.Set(0, 1, Cell::Str(L"Index"));
  for (int hour = 0; hour < 24; ++hour) sheet.Set(0, 2 + hour, Cell::Str(L"h" + std::to_wstring(hour)));
  static const wchar_t* const months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                          L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  for (int m = 0; m < 12; ++m) sheet.Set(0, 26 + m, Cell::Str(months[m]));
  // Columns 38 to 47 name the scenarios; the Load writes them.
}

void RoadtypeHeadings(sheethost::Sheet& sheet) {
  WriteHeadings(sheet, {{0, L"Name"}, {1, L"Index"}, {2, L"Vehicle"}, {3, L"Min speed"}, {4, L"Max speed"}});
  for (int hour = 0; hour < 24; ++hour) sheet.Set(0, 5 + hour, Cell::Str(L"h" + std::to_wstring(hour)));
  static const wchar_t* const months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                          L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  for (int m = 0; m < 12; ++m) sheet.Set(0, 29 + m, Cell::Str(months[m]));
  // Columns 41 to 50 name the scenarios; the Load writes them.
}

void EmissionFunctionHeadings(sheethost::Sheet& sheet) {
  WriteHeadings(sheet, {{0, L"Name"}, {1, L"Index"}, {2, L"Substance"}, {3, L"Formula"}});
  for (int i = 0; i < 46; ++i) {
    sheet.Set(0, 4 + 2 * i, Cell::Str(L"Variable " + std::to_wstring(i + 1)));
    sheet.Set(0, 5 + 2 * i, Cell::Str(L"Type " + std::to_wstring(i + 1)));
  }
}

// The road sheets: the fixed columns; the emission-factor columns (one per
// road-vehicle dimension) and the sections that follow are the Load's.
void RoadHeadings(sheethost::Sheet& sheet) {
  static const wchar_t* const headings[] = {
      L"Name",         L"Info",          L"Info2",          L"Vehicles",       L"Vehicle macro",
      L"Corr",         L"Lanes",         L"Speed",          L"Roadtype",       L"Cong. speed 1",
      L"Cong. speed 2", L"Cong. speed 3", L"Heavy speed",   L"Heavy cong. speed 1", L"Heavy cong. speed 2",
      L"Heavy cong. speed 3", L"Percent heavy", L"Searchkey 1", L"Searchkey 2", L"Searchkey 3",
      L"Searchkey 4",  L"Searchkey 5",   L"Geocode",        L"Width",          L"Dist. houses",
      L"Slope",        L"Elevation",     L"Building heights", L"Barrier height 1", L"Barrier height 2",
      L"Barrier angle 1", L"Barrier angle 2", L"Barrier distance 1", L"Barrier distance 2", L"Noise factors"};
  for (int c = 0; c < 35; ++c) sheet.Set(0, c, Cell::Str(headings[c]));
}

void WriteTemplate(sheethost::Sheet& sheet) {
  const std::wstring& name = sheet.Name();
  if (name == L"Substance") {
    WriteHeadings(sheet, {{0, L"Index"}, {1, L"Substance"}});
  } else if (name == L"Searchkey") {
    WriteHeadings(sheet, {{0, L"Index"}, {1, L"Searchkey 1"}, {2, L"Searchkey 2"}, {3, L"Searchkey 3"},
                          {4, L"Searchkey 4"}, {5, L"Searchkey 5"}});
  } else if (name == L"Source timevar" || name == L"Road timevar") {
    TimevarHeadings(sheet);
  } else if (name == L"Emission factor") {
    // Substance blocks (name, "m", "Unit") are headed by the Load as needed.
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"Index"}});
  } else if (name == L"Emission function") {
    EmissionFunctionHeadings(sheet);
  } else if (name == L"Speed-Temp-Scen") {
    WriteHeadings(sheet, {{0, L"Number"}, {1, L"Speed"}, {2, L"Temperature"}, {3, L"Scenario"}});
  } else if (name == L"Units") {
    WriteHeadings(sheet, {{0, L"Substance unit"}, {1, L"Factor"}, {2, L"Group unit"}, {3, L"Factor"},
                          {4, L"Group emission unit"}, {5, L"Factor"}, {6, L"Searchkey unit"}, {7, L"Factor"}});
  } else if (name == L"Rsrc") {
    WriteHeadings(sheet, {{0, L"Tag"}, {1, L"Value"}});
  } else if (name == L"Company") {
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"Company ID"}, {2, L"Info"}, {3, L"Info2"}, {4, L"Address"},
                          {5, L"Postaddress"}, {6, L"Infosupp"}, {7, L"Misc"}, {8, L"ALOB"}});
  } else if (name == L"Facility") {
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"X"}, {2, L"Y"}, {3, L"Company"}, {4, L"Info"}, {5, L"Info2"},
                          {6, L"Address"}, {7, L"Postaddress"}, {8, L"Infosupp"}, {9, L"Misc"}, {10, L"ALOB"}});
  } else if (name == L"Source") {
    // The emission blocks from AF are headed by the Load.
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"X1"}, {2, L"Y1"}, {3, L"X2"}, {4, L"Y2"}, {5, L"Facility"},
                          {6, L"Info"}, {7, L"Info2"}, {8, L"Date"}, {9, L"Changed"}, {10, L"Chimney height"},
                          {11, L"Gas temperature"}, {12, L"Gas flow"}, {13, L"Chimney outer diam."},
                          {14, L"Chimney inner diam."}, {15, L"House width"}, {16, L"House height"},
                          {17, L"No seg"}, {18, L"Building widths"}, {19, L"Building heights"},
                          {20, L"Building lengths"}, {21, L"Distances to farthest wall"},
                          {22, L"Distances to centre"}, {23, L"Searchkey 1"}, {24, L"Searchkey 2"},
                          {25, L"Searchkey 3"}, {26, L"Searchkey 4"}, {27, L"Searchkey 5"},
                          {28, L"Formula macro"}, {29, L"Geocode"}, {30, L"ALOB"}});
  } else if (name == L"Vehicle") {
    // Substance columns from E are headed by the Load.
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"Index"}, {2, L"Activity code / Is heavy"}, {3, L"Speed"}});
  } else if (name == L"Road Vehicle") {
    // Dimension and traffic-situation columns from L are headed by the Load.
    WriteHeadings(sheet, {{0, L"Name"}, {1, L"Index"}, {2, L"Activity code"}, {3, L"Is heavy"}, {4, L"Is traffic"},
                          {5, L"Weight"}, {6, L"Emission model"}, {7, L"Flow equi"}, {8, L"Dependency"},
                          {9, L"Info"}, {10, L"Substance"}});
  } else if (name == L"Roadtype") {
    RoadtypeHeadings(sheet);
  } else if (name == L"Road" || name.compare(0, 6, L"Road (") == 0) {
    RoadHeadings(sheet);
  }
  // "Road Vehicle Def." starts empty: its dimensions are rows from row 3.
}

}  // namespace

const std::vector<std::wstring>& TemplateSheetNames() {
  static const std::vector<std::wstring> names = {
      L"Substance",       L"Searchkey",         L"Source timevar", L"Road timevar", L"Emission factor",
      L"Emission function", L"Speed-Temp-Scen", L"Units",          L"Rsrc",         L"Vehicle",
      L"Road Vehicle Def.", L"Road Vehicle",    L"Roadtype",       L"Company",      L"Facility",
      L"Source",          L"Road"};
  return names;
}

bool ResetTemplateSheet(Workbook& book, const std::wstring& name) {
  sheethost::Sheet* sheet = book.FindSheet(name);
  if (!sheet) sheet = book.AddSheet(name);
  if (!sheet) return false;
  sheet->ClearAll();
  WriteTemplate(*sheet);
  return true;
}

void AddTemplateSheets(Workbook& book) {
  for (const std::wstring& name : TemplateSheetNames()) ResetTemplateSheet(book, name);
}
