// VKTimevarsLoad and VKTimevarsSave: the time variations of sources (kind 0,
// "Source timevar") and of roads (any other kind, "Road timevar") moved
// between the server and the workbook through the incremental transfer
// driver.  The Load names the scenario columns from the scenario list, so
// the resources are loaded first.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/timevar.h"
#include "vorkabcom.h"
#include "workbook/timevar_sheet.h"

namespace {

// The record layer knows kinds 0 and 1.
int32_t RecordKind(int32_t kind) { return kind == 0 ? 0 : 1; }

class TimevarLoad final : public LoadKind {
 public:
  void Choose(int32_t kind) { m_kind = RecordKind(kind); }

  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteTimevar());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(m_kind, ScenarioList) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { TimevarList(m_kind).Clear(); }
  void SortList() override { TimevarList(m_kind).Sort(); }
  int32_t ReadRecord(bool first) override { return IORTimevarGetRec(m_kind, first ? 1 : 0, 0, &m_record); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, TimevarNameSize);
    if (!TimevarList(m_kind).Add(name.c_str(), m_record.index)) {
      SetErrorText("Could not allocate memory for the time-variation list.");
      return false;
    }
    return m_pWriter->Write(m_record) == 1;
  }

 private:
  int32_t m_kind = 0;
  std::unique_ptr<CExcelWriteTimevar> m_pWriter;
  TimevarRec m_record = {};
};

class TimevarSave final : public SaveKind {
 public:
  void Choose(int32_t kind) { m_kind = RecordKind(kind); }

  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadTimevar());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(m_kind) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORTimevarPutRec(m_kind, operation, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record); }
  int32_t SendRecord() override { return IORTimevarPutRec(m_kind, RecordWrite, &m_record); }
  int32_t FinishUpload() override { return IORTimevarPutRec(m_kind, RecordFinish, nullptr); }

 private:
  int32_t m_kind = 0;
  std::unique_ptr<CExcelReadTimevar> m_pReader;
  TimevarRec m_record = {};
};

TimevarLoad g_load;
TimevarSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKTimevarsLoad(int32_t kind, int32_t mode, wchar_t* count) {
  char args[32];
  std::snprintf(args, sizeof args, "%d, %d", static_cast<int>(kind), static_cast<int>(mode));
  if (mode == TransferStart) g_load.Choose(kind);
  return RunLoad("VKTimevarsLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKTimevarsSave(int32_t kind, int32_t mode, wchar_t* count) {
  char args[32];
  std::snprintf(args, sizeof args, "%d, %d", static_cast<int>(kind), static_cast<int>(mode));
  if (IsSaveStart(mode)) g_save.Choose(kind);
  return RunSave("VKTimevarsSave", args, g_saveState, g_save, mode, count);
}
