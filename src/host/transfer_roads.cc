// VKRoadsLoad and VKRoadsSave: the roads moved between the server and the
// road sheets the macro names, through the incremental transfer driver.  A
// Load moves 200 roads a call and fills at most RoadSheetLines rows a
// sheet; then it answers 2, and the macro adds a sheet and goes on with mode
// 8 and that sheet's name.  A Save uploads one sheet; a further sheet's Save
// (mode value 4) adds its roads to those already saved.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/road.h"
#include "transport/latin1.h"
#include "vorkabcom.h"
#include "workbook/road_sheet.h"

namespace {

// Roads a sheet holds.
constexpr int32_t RoadSheetLines = 60000;
constexpr int32_t RoadLoadBatch = 200;

class RoadLoad final : public LoadKind {
 public:
  void SetSheet(const wchar_t* sheet) { m_sheet = sheet ? sheet : L""; }
  bool OpenWriter() override {
    m_lines = 0;
    m_pWriter.reset(new (std::nothrow) CExcelWriteRoad());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(m_sheet.c_str(), CatalogueRoadLists()) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override {}
  void SortList() override {}
  int32_t ReadRecord(bool first) override {
    return IORRoadGetRec(first ? 1 : 0, &m_record, &m_alob, &m_coordinates, &m_geocode, &m_traffic);
  }
  bool StoreRecord() override {
    int32_t lines = m_pWriter->Write(m_record, &m_alob, m_coordinates, &m_geocode, m_traffic);
    if (lines < 1) return false;
    m_lines += lines;
    return true;
  }
  int32_t Batch() const override { return RoadLoadBatch; }
  bool SpansSheets() const override { return true; }
  bool SheetFull() const override { return m_lines >= RoadSheetLines; }

 private:
  std::wstring m_sheet;
  std::unique_ptr<CExcelWriteRoad> m_pWriter;
  int32_t m_lines = 0;
  RoadRec m_record{};
  Alob m_alob;
  RoadCoordVector m_coordinates;
  CodeString m_geocode;
  RoadTrafficVector m_traffic;
};

class RoadSave final : public SaveKind {
 public:
  void SetSheet(const wchar_t* sheet) { m_sheet = sheet ? sheet : L""; }
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadRoad());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    // A missing sheet is a failure: nothing would be saved.
    return m_pReader->Init(m_sheet.c_str(), CatalogueRoadLists()) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override {
    return IORRoadPutRec(operation, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  int32_t ReadRow() override { return m_pReader->Read(&m_record, &m_alob, &m_coordinates, &m_geocode, &m_traffic); }
  int32_t SendRecord() override {
    return IORRoadPutRec(RecordWrite, &m_record, &m_alob, &m_coordinates, &m_geocode, &m_traffic);
  }
  int32_t FinishUpload() override { return IORRoadPutRec(RecordFinish, nullptr, nullptr, nullptr, nullptr, nullptr); }
  bool KnowsFlag1() const override { return true; }

 private:
  std::wstring m_sheet;
  std::unique_ptr<CExcelReadRoad> m_pReader;
  RoadRec m_record{};
  Alob m_alob;
  RoadCoordVector m_coordinates;
  CodeString m_geocode;
  RoadTrafficVector m_traffic;
};

RoadLoad g_load;
RoadSave g_save;
TransferState g_loadState;
TransferState g_saveState;

std::string Args(const wchar_t* sheet, int32_t mode) {
  char args[320];
  std::snprintf(args, sizeof args, "%.256s, %d", Narrow(sheet ? sheet : L"").c_str(), static_cast<int>(mode));
  return args;
}

}  // namespace

int32_t VKAPI VKRoadsLoad(const wchar_t* sheet, int32_t mode, wchar_t* count) {
  g_load.SetSheet(sheet);
  return RunLoad("VKRoadsLoad", Args(sheet, mode).c_str(), g_loadState, g_load, mode, count);
}

int32_t VKAPI VKRoadsSave(const wchar_t* sheet, int32_t mode, wchar_t* count) {
  if (IsSaveStart(mode)) g_save.SetSheet(sheet);
  return RunSave("VKRoadsSave", Args(sheet, mode).c_str(), g_saveState, g_save, mode, count);
}
