// VKSourcesLoad and VKSourcesSave: the point and area sources ("Source" sheet)
// moved between the server and the workbook through the incremental transfer
// driver.  A Load lays the sheet's block columns out from the listing header
// before the first source; a Save reads the layout back from the heading row
// (SourceInfo), as VKVerifySource does, and refuses a damaged one.
#include <cstdio>
#include <memory>
#include <new>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/source.h"
#include "vorkabcom.h"
#include "workbook/source_sheet.h"

namespace {

SourceSheetLists Lists() {
  return SourceSheetLists{SubLists,      &SourceTimevarList, &EmfacList,     &SubgrpList,
                          &FacilityList, &UnitSubList,       &UnitSubGrpList};
}

class SourceLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteSource());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    // The writer looks facilities up by key: sorted by key while the Load
    // runs, so that each lookup bisects.
    m_facilitySort = FacilityList.SortKey();
    FacilityList.Sort(CRecordListKey::kByKey);
    m_headerWritten = false;
    if (m_pWriter->Init(Lists()) != 1) {
      CloseWriter();
      return false;
    }
    return true;
  }
  void CloseWriter() override {
    if (m_pWriter) FacilityList.Sort(m_facilitySort);
    m_pWriter.reset();
  }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  // Sources move 200 records a Load call.
  int32_t Batch() const override { return 200; }
  void ClearList() override {}
  void SortList() override {}
  int32_t ReadRecord(bool first) override { return IORSourceGetRec(first ? 1 : 0, &m_record); }
  bool StoreRecord() override {
    if (!m_headerWritten) {
      if (m_pWriter->WriteHeader(m_record) != 0) return false;
      m_headerWritten = true;
    }
    return m_pWriter->Write(m_record) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteSource> m_pWriter;
  uint32_t m_facilitySort = CRecordListKey::kByName;
  bool m_headerWritten = false;
  SourceRec m_record;
};

class SourceSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadSource());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    FacilityList.Sort(CRecordListKey::kByName);  // the reader looks facilities up by name
    return m_pReader->Init(Lists(), &SourceInfo) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORSourcePutRec(operation, nullptr); }
  int32_t ReadRow() override {
    int32_t r = m_pReader->Read(&m_record);
    if (r < 0) AppendErrorText("Read from Excel failed.");
    return r;
  }
  int32_t SendRecord() override {
    int32_t r = IORSourcePutRec(RecordWrite, &m_record);
    if (r != 1) AppendErrorText("Write record to server failed.");
    return r;
  }
  int32_t FinishUpload() override { return IORSourcePutRec(RecordFinish, nullptr); }
  bool KnowsFlag1() const override { return true; }

 private:
  std::unique_ptr<CExcelReadSource> m_pReader;
  SourceRec m_record;
};

SourceLoad g_load;
SourceSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKSourcesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKSourcesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKSourcesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKSourcesSave", args, g_saveState, g_save, mode, count);
}
