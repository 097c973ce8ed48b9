// Opening the cell writers and readers of the single-cell sheets (see
// sheet_open.h).
#include "workbook/sheet_open.h"

#include <new>

#include "host/frame.h"
#include "transport/latin1.h"

int32_t OpenCellWriter(std::unique_ptr<CSheetCellWriter>& writer, int32_t maxSize, const wchar_t* sheet) {
  writer.reset(new (std::nothrow) CSheetCellWriter(maxSize, sheet));
  if (!writer) {
    SetErrorText("Could not allocate memory for buffer");
    return -1;
  }
  return writer->Init() == 1 ? 1 : -1;
}

int32_t OpenCellReader(std::unique_ptr<CSheetCellReader>& reader, int32_t maxText, const wchar_t* sheet,
                       const char* outOfMemory) {
  reader.reset(new (std::nothrow) CSheetCellReader(maxText, sheet));
  if (!reader) {
    SetErrorText("%s", outOfMemory);
    return -1;
  }
  return reader->Init() == 1 ? 1 : -1;
}

int32_t WriteBeforeOpen(int32_t row, int32_t column) {
  SetErrorText("Could not write cell: (%d %d).", static_cast<int>(row), static_cast<int>(column));
  return -1;
}

int32_t ReadBeforeOpen(int32_t row, int32_t column, const wchar_t* sheet) {
  SetErrorText("Couldn't read cell: (%d, %d). Error %d, sheet %s.", static_cast<int>(row), static_cast<int>(column),
               xlretFailed, Narrow(sheet ? sheet : L"").c_str());
  return -1;
}
