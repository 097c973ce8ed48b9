// The .xlsx reader of vorkab fed arbitrary package bytes: either the file
// itself, or (input starting "@@ ") its parts, each "@@ NAME" line followed by
// the part's bytes, zipped here so that the XML readers get the mutations.
// A failed load leaves the workbook as it was and says why; a successful one
// saves and loads back to the same cells.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "xlsx_file.h"
#include "xlsx_package.h"

namespace {

std::string TempPath(const char* what) {
  return "/tmp/vorkab-xlsx-fuzz-" + std::to_string(getpid()) + what + ".xlsx";
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

// The parts of an "@@ " input zipped into a package.
std::string Zipped(const std::string& input) {
  xlsx::PackageWriter writer;
  size_t pos = 0;
  while (pos < input.size() && input.compare(pos, 3, "@@ ") == 0) {
    size_t nameEnd = input.find('\n', pos);
    if (nameEnd == std::string::npos) nameEnd = input.size();
    std::string name = input.substr(pos + 3, nameEnd - pos - 3);
    size_t next = input.find("\n@@ ", nameEnd);
    size_t bodyStart = std::min(nameEnd + 1, input.size());
    size_t bodyEnd = next == std::string::npos ? input.size() : next;
    writer.Add(name, input.substr(bodyStart, bodyEnd - bodyStart));
    pos = next == std::string::npos ? input.size() : next + 1;
  }
  std::string archive, error;
  return writer.Finish(&archive, &error) ? archive : std::string();
}

bool SameCells(const sheethost::Workbook& a, const sheethost::Workbook& b) {
  std::vector<sheethost::Sheet*> x = a.Sheets(), y = b.Sheets();
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    if (x[i]->Name() != y[i]->Name() || x[i]->Cells() != y[i]->Cells()) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::string input(reinterpret_cast<const char*>(bytes), size);
  const std::string path = TempPath("");
  if (!WriteFile(path, input.compare(0, 3, "@@ ") == 0 ? Zipped(input) : input)) return 0;

  sheethost::Workbook book;
  book.AddSheet(L"Before")->Set(1, 2, sheethost::Cell::Str(L"kept"));
  std::string error;
  bool loaded = LoadXlsx(path, book, &error);
  remove(path.c_str());
  if (!loaded) {
    FUZZ_CHECK(!error.empty(), "a failed load without a reason");
    FUZZ_CHECK(book.SheetCount() == 1 && book.GetCell(L"Before", 1, 2) == sheethost::Cell::Str(L"kept"),
               "a failed load changed the workbook: " + error);
    return 0;
  }
  if (book.SheetCount() == 0) return 0;  // nothing a workbook file could hold
  const std::string again = TempPath("-again");
  FUZZ_CHECK(SaveXlsx(again, book, &error), "a loaded workbook cannot be saved: " + error);
  sheethost::Workbook reloaded;
  FUZZ_CHECK(LoadXlsx(again, reloaded, &error), "a saved workbook cannot be loaded: " + error);
  FUZZ_CHECK(SameCells(book, reloaded), "cells changed through a save and a load");
  remove(again.c_str());
  return 0;
}
