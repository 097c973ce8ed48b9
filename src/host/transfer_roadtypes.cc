// VKRoadtypesLoad and VKRoadtypesSave: the roadtypes ("Roadtype" sheet) moved
// between the server and the workbook through the incremental transfer
// driver.  The sheet names vehicles, speeds and scenarios, so the resources
// and the vehicles are loaded first.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/roadtype.h"
#include "vorkabcom.h"
#include "workbook/roadtype_sheet.h"

namespace {

class RoadtypeLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteRoadtype());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(VehicleList, SpeedList, ScenarioList) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { RoadtypeList.Clear(); }
  void SortList() override { RoadtypeList.Sort(); }
  int32_t ReadRecord(bool first) override { return IORRoadtypeGetRec(first ? 1 : 0, 0, m_pRecord.get()); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_pRecord->name, RoadtypeNameSize);
    if (!RoadtypeList.Add(name.c_str(), m_pRecord->index)) {
      SetErrorText("Could not allocate memory for the roadtype list.");
      return false;
    }
    return m_pWriter->Write(*m_pRecord) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteRoadtype> m_pWriter;
  std::unique_ptr<RoadtypeRec> m_pRecord{new RoadtypeRec()};
};

class RoadtypeSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadRoadtype());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(VehicleList, SpeedList) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORRoadtypePutRec(operation, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(m_pRecord.get()); }
  int32_t SendRecord() override { return IORRoadtypePutRec(RecordWrite, m_pRecord.get()); }
  int32_t FinishUpload() override { return IORRoadtypePutRec(RecordFinish, nullptr); }

 private:
  std::unique_ptr<CExcelReadRoadtype> m_pReader;
  std::unique_ptr<RoadtypeRec> m_pRecord{new RoadtypeRec()};
};

RoadtypeLoad g_load;
RoadtypeSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKRoadtypesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKRoadtypesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKRoadtypesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKRoadtypesSave", args, g_saveState, g_save, mode, count);
}
