// VKCompaniesLoad and VKCompaniesSave: the companies ("Company" sheet) moved
// between the server and the workbook through the incremental transfer
// driver.  A Load rebuilds the company list (name, company ID) that the
// facility sheet names companies by.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/alob.h"
#include "records/company.h"
#include "records/record_io.h"
#include "vorkabcom.h"
#include "workbook/company_sheet.h"

namespace {

class CompanyLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteCompany());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init() != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { CompanyList.Clear(); }
  void SortList() override { CompanyList.Sort(); }
  int32_t ReadRecord(bool first) override { return IORCompanyGetRec(first ? 1 : 0, 0, &m_record, &m_alob); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, CompanyTextSize);
    std::wstring id = FieldText(m_record.id, CompanyIdSize);
    if (!CompanyList.Add(name.c_str(), id.c_str())) {
      SetErrorText("Could not allocate memory for the company list.");
      return false;
    }
    return m_pWriter->Write(m_record, &m_alob) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteCompany> m_pWriter;
  CompanyRec m_record{};
  Alob m_alob;
};

class CompanySave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadCompany());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init() == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORCompanyPutRec(operation, nullptr, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record, &m_alob); }
  int32_t SendRecord() override { return IORCompanyPutRec(RecordWrite, &m_record, &m_alob); }
  int32_t FinishUpload() override { return IORCompanyPutRec(RecordFinish, nullptr, nullptr); }

 private:
  std::unique_ptr<CExcelReadCompany> m_pReader;
  CompanyRec m_record{};
  Alob m_alob;
};

CompanyLoad g_load;
CompanySave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKCompaniesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKCompaniesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKCompaniesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKCompaniesSave", args, g_saveState, g_save, mode, count);
}
