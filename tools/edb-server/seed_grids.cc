// Demonstration grids of the full demonstration EDB: one of substance
// values, one in emission-factor mode (an activity per cell), one whose
// items vary per cell (DYNAMIC), and one of 150,000 cells, more than one
// sheet of a workbook holds.  Header and data lines are printed as the
// library's writer prints them and stored through the same checks as a save.
#include <string>
#include <vector>

#include "grid_records.h"
#include "line_words.h"
#include "seed_records.h"

namespace edb {

namespace {

struct GridHeader {
  uint32_t x, y, nx, ny, dx, dy;
  // The items in header order, each a line's text after its keyword.
  std::vector<std::string> items;
  std::vector<int> substances;
};

std::string HeaderText(const GridHeader& h) {
  static const char* const kKeywords[] = {"NAME",    "INFO",       "INFO2",      "ADDRESS",    "POSTADDRESS",
                                          "INFOGIVER", "DATE",     "CHANGED",    "MISC",       "FUEL",
                                          "FORMULA", "SEARCHKEY1", "SEARCHKEY2", "SEARCHKEY3", "SEARCHKEY4",
                                          "SEARCHKEY5", "ACTIVITYCODE", "GEOCODE"};
  std::string text;
  const uint32_t raster[] = {h.x, h.y, h.nx, h.ny, h.dx, h.dy};
  const char* rasterKeys[] = {"X", "Y", "NX", "NY", "DX", "DY"};
  for (int i = 0; i < 6; ++i) AppendLine(&text, std::string(rasterKeys[i]) + " " + std::to_string(raster[i]));
  for (size_t i = 0; i < h.items.size(); ++i) {
    AppendLine(&text, h.items[i].empty() ? std::string(kKeywords[i]) : std::string(kKeywords[i]) + " " + h.items[i]);
  }
  for (int s : h.substances) AppendLine(&text, "SUBSTANCE " + std::to_string(s));
  return text;
}

// A value that varies smoothly over the raster, as single-precision text.
std::string Value(uint32_t i, uint32_t j, float scale) {
  float v = scale * static_cast<float>((i * 37 + j * 11) % 400 + 1) / 16.0f;
  return SingleText(v);
}

std::string Cell(const GridHeader& h, uint32_t i, uint32_t j) {
  return std::to_string(h.x + i * h.dx) + "@" + std::to_string(h.y + j * h.dy);
}

}  // namespace

void SeedDemoGrids(Store& store, int64_t edbId) {
  // Residential heating: the activity (MWh) of wood stoves per cell.
  GridHeader heating{310000, 6390000, 40, 30, 500, 500,
                     {"\"Residential heating 2025\"", "\"Small-scale combustion\"", "\"Wood stoves, older models\"",
                      "\"Environmental Administration\"", "\"404 82 G\xf6teborg\"", "\"Energy statistics\"", "250115",
                      "250301", "\"\"", "4", "1", "1", "0", "0", "0", "0", "C.1.4", "1480"},
                     {}};
  std::vector<std::string> lines;
  for (uint32_t j = 0; j < heating.ny; ++j) {
    for (uint32_t i = 0; i < heating.nx; ++i) lines.push_back(Cell(heating, i, j) + "@" + Value(i, j, 3.0f));
  }
  SeedGrid(store, edbId, "Heating2025", HeaderText(heating), lines);

  // Road traffic: NOx, SO2 and PM10 (t/year) per cell.
  GridHeader traffic{315000, 6395000, 30, 20, 1000, 1000,
                     {"\"Road traffic 2025\"", "\"Minor roads\"", "\"\"", "\"\"", "\"\"", "\"Traffic model\"", "250201",
                      "250201", "\"Spread by population\"", "0", "2", "2", "0", "0", "0", "0", "", ""},
                     {1, 2, 3}};
  lines.clear();
  for (uint32_t j = 0; j < traffic.ny; ++j) {
    for (uint32_t i = 0; i < traffic.nx; ++i) {
      lines.push_back(Cell(traffic, i, j) + "@" + Value(i, j, 0.5f) + "@" + Value(j, i, 0.01f) + "@" +
                      Value(i + j, j, 0.05f));
    }
  }
  SeedGrid(store, edbId, "Traffic2025", HeaderText(traffic), lines);

  // Shipping lanes: name, date, time variation, sector and activity code per cell.
  GridHeader shipping{300000, 6385000, 10, 5, 2000, 2000,
                      {"DYNAMIC", "\"Ships under way\"", "\"\"", "\"\"", "\"\"", "\"AIS positions\"", "DYNAMIC",
                       "250110", "\"\"", "0", "DYNAMIC", "DYNAMIC", "0", "0", "0", "0", "DYNAMIC", "1480"},
                      {1, 2}};
  static const char* const kLanes[] = {"Dana fairway", "G\xf6ta \xe4lv", "Vinga approach", "Torshamnen"};
  lines.clear();
  for (uint32_t j = 0; j < shipping.ny; ++j) {
    for (uint32_t i = 0; i < shipping.nx; ++i) {
      uint32_t n = j * shipping.nx + i;
      lines.push_back(Cell(shipping, i, j) + "@" + kLanes[n % 4] + "@" + std::to_string(250101 + n % 28) + "@" +
                      std::to_string(1 + n % 3) + "@" + std::to_string(1 + n % 5) + "@" + "H.50." +
                      std::to_string(n % 7) + "@" + Value(i, j, 2.0f) + "@" + Value(j, i, 0.2f));
    }
  }
  SeedGrid(store, edbId, "Shipping2025", HeaderText(shipping), lines);

  // Population-weighted PM2.5 from small sources: 500 x 300 cells of 100 m.
  GridHeader fine{305000, 6380000, 500, 300, 100, 100,
                  {"\"PM2.5 small sources 2025\"", "\"Fine raster\"", "\"\"", "\"\"", "\"\"", "\"\"", "250301",
                   "250301", "\"\"", "0", "1", "0", "0", "0", "0", "0", "", ""},
                  {4}};
  lines.clear();
  lines.reserve(fine.nx * fine.ny);
  for (uint32_t j = 0; j < fine.ny; ++j) {
    for (uint32_t i = 0; i < fine.nx; ++i) lines.push_back(Cell(fine, i, j) + "@" + Value(i, j, 0.001f));
  }
  SeedGrid(store, edbId, "FinePM2025", HeaderText(fine), lines);
}

}  // namespace edb
