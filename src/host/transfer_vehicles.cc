// VKVehiclesLoad and VKVehiclesSave: the vehicles ("Vehicle" sheet) moved
// between the server and the workbook through the incremental transfer
// driver.  The sheet names substances and speeds, so the substances and the
// resources are loaded first.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/vehicle.h"
#include "vorkabcom.h"
#include "workbook/vehicle_sheet.h"

namespace {

class VehicleLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteVehicle());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(SubLists[0], SpeedList) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { VehicleList.Clear(); }
  void SortList() override { VehicleList.Sort(); }
  int32_t ReadRecord(bool first) override { return IORVehicleGetRec(first ? 1 : 0, 0, m_pRecord.get(), &m_code); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_pRecord->name, VehicleNameSize);
    if (!VehicleList.Add(name.c_str(), m_pRecord->index)) {
      SetErrorText("Could not allocate memory for the vehicle list.");
      return false;
    }
    return m_pWriter->Write(*m_pRecord, &m_code) == 1;
  }

 private:
  std::unique_ptr<CExcelWriteVehicle> m_pWriter;
  std::unique_ptr<VehicleRec> m_pRecord{new VehicleRec()};
  CodeString m_code;
};

class VehicleSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) CExcelReadVehicle());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(SubLists[0], SpeedList) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return IORVehiclePutRec(operation, nullptr, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(m_pRecord.get(), &m_code); }
  int32_t SendRecord() override { return IORVehiclePutRec(RecordWrite, m_pRecord.get(), &m_code); }
  int32_t FinishUpload() override { return IORVehiclePutRec(RecordFinish, nullptr, nullptr); }

 private:
  std::unique_ptr<CExcelReadVehicle> m_pReader;
  std::unique_ptr<VehicleRec> m_pRecord{new VehicleRec()};
  CodeString m_code;
};

VehicleLoad g_load;
VehicleSave g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKVehiclesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKVehiclesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKVehiclesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKVehiclesSave", args, g_saveState, g_save, mode, count);
}
