// VKFacilitiesLoad and VKFacilitiesSave: the facilities ("Facility" sheet) moved
// between the server and the workbook through the incremental transfer
// driver.  A Load rebuilds the facility list (name, "X Y"); the sheet names
// each facility's company by name, through the company list.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/alob.h"
#include "records/facility.h"
#include "records/record_io.h"
#include "vorkabcom.h"
#include "workbook/company_sheet.h"

namespace {

class FacilityLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteFacility());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    // The writer looks companies up by ID, the other users by name: by ID
    // while the Load runs, so that each lookup bisects.
    m_companySort = CompanyList.SortKey();
    CompanyList.Sort(CRecordListKey::kByKey);
    if (m_pWriter->Init(CompanyList) != 1) {
      CompanyList.Sort(m_companySort);
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override {
    if (m_pWriter) CompanyList.Sort(m_companySort);
    m_pWriter.reset();
  }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { FacilityList.Clear(); }
  void SortList() override { FacilityList.Sort(); }
  int32_t ReadRecord(bool first) override { return IORFacilityGetRec(first ? 1 : 0, 0, &m_record, &m_alob); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, CompanyTextSize);
    if (!FacilityList.Add(name.c_str(), FacilityList.MakeKey(m_record.x, m_record.y))) {
      SetErrorText("Could not allocate memory for the facility list.");
      return false;
    }
    return m_pWriter->Write(m_record, &m_alob) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteFacility> m_pWriter;
  uint32_t m_companySort = CRecordListKey::kByName;
  FacilityRec m_record{};
  Alob m_alob;
};

class FacilitySave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadFacility());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    CompanyList.Sort(CRecordListKey::kByName);  // the reader looks companies up by name
    return m_pReader->Init(CompanyList) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORFacilityPutRec(operation, nullptr, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record, &m_alob); }
  int32_t SendRecord() override { return IORFacilityPutRec(RecordWrite, &m_record, &m_alob); }
  int32_t FinishUpload() override { return IORFacilityPutRec(RecordFinish, nullptr, nullptr); }
  bool KnowsFlag1() const override { return true; }

 private:
  std::unique_ptr<CExcelReadFacility> m_pReader;
  FacilityRec m_record{};
  Alob m_alob;
};

FacilityLoad g_load;
FacilitySave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKFacilitiesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKFacilitiesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKFacilitiesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKFacilitiesSave", args, g_saveState, g_save, mode, count);
}
