// VKSubgrpsLoad and VKSubgrpsSave: the substance groups ("Emission factor"
// sheet) moved between the server and the workbook through the incremental
// transfer driver.  The sheet names substances, so the substances are
// loaded first.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/subgrp.h"
#include "vorkabcom.h"
#include "workbook/subgrp_sheet.h"

namespace {

class SubgrpLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteSubgrp());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(SubLists[0]) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { SubgrpList.Clear(); }
  void SortList() override { SubgrpList.Sort(); }
  int32_t ReadRecord(bool first) override { return IORSubgrpGetRec(first ? 1 : 0, 0, &m_record); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, SubgrpNameSize);
    if (!SubgrpList.Add(name.c_str(), static_cast<int32_t>(m_record.index))) {
      SetErrorText("Could not allocate memory for the substance-group list.");
      return false;
    }
    return m_pWriter->Write(m_record) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteSubgrp> m_pWriter;
  SubgrpRec m_record = {};
};

class SubgrpSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadSubgrp());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(SubLists[0]) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORSubgrpPutRec(operation, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record); }
  int32_t SendRecord() override { return IORSubgrpPutRec(RecordWrite, &m_record); }
  int32_t FinishUpload() override { return IORSubgrpPutRec(RecordFinish, nullptr); }

 private:
  std::unique_ptr<CExcelReadSubgrp> m_pReader;
  SubgrpRec m_record = {};
};

SubgrpLoad g_load;
SubgrpSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKSubgrpsLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKSubgrpsLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKSubgrpsSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKSubgrpsSave", args, g_saveState, g_save, mode, count);
}
