// VKSubLoad and VKSubSave: the substances ("Substance" sheet, column B) and
// the five searchkey lists ("Searchkey" sheet, columns B to F) moved between
// the server and the workbook through the incremental transfer driver.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/issue_list.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/substance.h"
#include "vorkabcom.h"
#include "workbook/sub_sheet.h"

namespace {

constexpr const wchar_t* SubstanceSheet = L"Substance";
constexpr const wchar_t* SearchkeySheet = L"Searchkey";

bool IsSubList(int32_t list) { return list >= 0 && list < kSubListCount; }

// List 0 is column B of "Substance"; searchkey list k is column k of
// "Searchkey".
const wchar_t* SheetOf(int32_t list) { return list == 0 ? SubstanceSheet : SearchkeySheet; }
int32_t ColumnOf(int32_t list) { return list == 0 ? 1 : list; }

bool RefuseList(int32_t list) {
  SetErrorText("Unknown substance list: %d", static_cast<int>(list));
  return false;
}

class SubLoad final : public LoadKind {
 public:
  // The list of the transfer that the next start call begins.
  void Choose(int32_t list) { m_list = list; }

  bool OpenWriter() override {
    if (!IsSubList(m_list)) return RefuseList(m_list);
    m_pWriter.reset(new (std::nothrow) CExcelWriteSub());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(ColumnOf(m_list), SheetOf(m_list)) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override {
    if (IsSubList(m_list)) SubLists[m_list].Clear();
    m_names.assign(size_t{UINT16_MAX} + 1, std::wstring());
    m_seen.assign(size_t{UINT16_MAX} + 1, false);
  }
  void SortList() override {
    if (IsSubList(m_list)) SubLists[m_list].Sort();
  }
  int32_t ReadRecord(bool first) override { return IORSubGetRec(first ? 1 : 0, m_list, &m_record); }
  bool StoreRecord() override {
    const wchar_t* name = m_record.name;
    bool named = name[0] != L'\0' && !(name[0] == L'-' && name[1] == L'\0');
    if (named && !SubLists[m_list].Add(name, m_record.index)) {
      SetErrorText("Could not allocate memory for the substance list.");
      return false;
    }
    WarnIfNotHeld();
    return m_pWriter->Write(m_record) == 1;
  }

 private:
  // A record the sheet cannot give back to a Save (no row for its index, or
  // its row taken by a later record of the same index) is named in the
  // warning list: the Save replaces the server's list with what the sheet
  // holds.
  void WarnIfNotHeld() {
    const wchar_t* sheet = SheetOf(m_list);
    int32_t column = ColumnOf(m_list);
    uint16_t index = m_record.index;
    int32_t rows = m_list == 0 ? UINT16_MAX + 1 : CExcelReadSub::RowLimit(column);
    if (index == 0 || index >= rows) {
      WarningList.Add(sheet, -1, column, L"%ls %d from Kalvoro (%ls) has no row on the sheet (rows 1 to %d): a save "
                      L"would not send it", m_list == 0 ? L"Substance" : L"Searchkey", static_cast<int>(index),
                      m_record.name, static_cast<int>(rows - 1));
      return;
    }
    if (m_seen[index]) {
      WarningList.Add(sheet, index, column, L"Kalvoro names index %d twice (%ls, then %ls): the sheet keeps the second",
                      static_cast<int>(index), m_names[index].c_str(), m_record.name);
    }
    m_seen[index] = true;
    m_names[index] = m_record.name;
  }

  int32_t m_list = 0;
  std::vector<std::wstring> m_names;  // the name each index had so far in this Load
  std::vector<bool> m_seen;
  std::unique_ptr<CExcelWriteSub> m_pWriter;
  SubRec m_record = {};
};

class SubSave final : public SaveKind {
 public:
  void Choose(int32_t list) { m_list = list; }

  bool OpenReader() override {
    if (!IsSubList(m_list)) return RefuseList(m_list);
    m_pReader.reset(new (std::nothrow) CExcelReadSub());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(ColumnOf(m_list), SheetOf(m_list)) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORSubPutRec(operation, m_list, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record); }
  int32_t SendRecord() override { return IORSubPutRec(RecordWrite, m_list, &m_record); }
  int32_t FinishUpload() override {
    int32_t r = IORSubPutRec(RecordFinish, m_list, nullptr);
    // A save that the server does not confirm has not been saved.
    if (r == 0) {
      SetErrorText("The server did not confirm the save of substance list %d.", static_cast<int>(m_list));
      return -1;
    }
    return r;
  }

 private:
  int32_t m_list = 0;
  std::unique_ptr<CExcelReadSub> m_pReader;
  SubRec m_record = {};
};

SubLoad g_load;
SubSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKSubLoad(int32_t mode, int32_t list, wchar_t* count) {
  char args[32];
  std::snprintf(args, sizeof args, "%d, %d", static_cast<int>(mode), static_cast<int>(list));
  if (mode == TransferStart) g_load.Choose(list);
  return RunLoad("VKSubLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKSubSave(int32_t mode, int32_t list, wchar_t* count) {
  char args[32];
  std::snprintf(args, sizeof args, "%d, %d", static_cast<int>(mode), static_cast<int>(list));
  if (IsSaveStart(mode)) g_save.Choose(list);
  return RunSave("VKSubSave", args, g_saveState, g_save, mode, count);
}
