// The road vehicles and their definition.  VKRoadVehiclesDefLoad reads the
// EDB's road-vehicle definition into the "Road Vehicle Def." sheet and the
// catalogue (dimension names and class lists); VKRoadVehiclesDefDim and
// VKRoadVehiclesDefDimText hand out its dimensions.  VKRoadVehiclesLoad and
// VKRoadVehiclesSave move the road vehicles ("Road Vehicle" sheet) with
// their emission lines through the incremental transfer driver; a Save sends
// the definition from its sheet in front of them, for the server to check.
#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/list_text.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"
#include "records/road_vehicle.h"
#include "records/road_vehicle_definition.h"
#include "transport/http.h"
#include "vorkabcom.h"
#include "workbook/road_vehicle_def_sheet.h"
#include "workbook/road_vehicle_sheet.h"

namespace {

// Characters the dimension-name buffer of VKRoadVehiclesDefDimText holds.
constexpr size_t kDimensionTextSize = 256;

// Builds the catalogue's dimension names and class lists (0-based class
// positions) from the definition; false with the error text set.
bool TakeDefinition(const RoadVehicleDefRec& record) {
  bool ok = RoadVehicleDef.Create(record.dimensions);
  for (int32_t d = 0; ok && d < record.dimensions; ++d) {
    ok = RoadVehicleDef.SetName(d, record.texts[d][0]);
    CRecordList* classes = RoadVehicleDef.List(d);
    for (int32_t t = 1; ok && t <= record.classes[d]; ++t) ok = classes && classes->Add(record.texts[d][t], t - 1);
  }
  if (!ok) {
    RoadVehicleDef.Free();
    SetErrorText("Could not allocate memory for road vehicle definition %d", static_cast<int>(record.dimensions));
  }
  return ok;
}

class RoadVehicleLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) CExcelWriteRoadVehicle());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(SubLists[0], RoadVehicleDef, RoadVehicleList) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { RoadVehicleList.Clear(); }
  void SortList() override { RoadVehicleList.Sort(); }
  int32_t ReadRecord(bool first) override {
    int32_t r = IORRoadVehicleGetRec(first ? 1 : 0, 0, &m_record, &m_code);
    // Dependencies may name road vehicles that came later: their cells are
    // written once all are in.
    if (r == 0 && m_pWriter->WriteDependencies() != 1) return -1;
    return r;
  }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, RoadVehicleNameSize);
    if (!RoadVehicleList.Add(name.c_str(), static_cast<int32_t>(m_record.index))) {
      SetErrorText("Could not allocate memory for the road-vehicle list.");
      return false;
    }
    if (m_pWriter->Write(m_record, &m_code) != 1) return false;
    const wchar_t* line = nullptr;
    int32_t r;
    while ((r = IORRoadVehicleGetEmFac(&line)) == 1) {
      if (m_pWriter->WriteEmFac(line) != 1) return false;
    }
    m_pWriter->EndRecord();
    return r == 0;
  }

 private:
  std::unique_ptr<CExcelWriteRoadVehicle> m_pWriter;
  RoadVehicleRec m_record = {};
  CodeString m_code;
};

class RoadVehicleSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pDefinition.reset(new (std::nothrow) CExcelReadRoadVehicleDef());
    m_pReader.reset(new (std::nothrow) CExcelReadRoadVehicle());
    if (!m_pDefinition || !m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    int32_t dimensions = RoadVehicleDef.Dimensions();
    return m_pDefinition->Init(dimensions) == 1 && m_pReader->Init(SubLists[0], dimensions, RoadVehicleList) == 1;
  }
  void CloseReader() override {
    m_pDefinition.reset();
    m_pReader.reset();
  }
  bool HasReader() const override { return m_pReader != nullptr; }
  // Opens the upload and sends the definition block from its sheet.
  int32_t StartUpload(int32_t operation) override {
    if (IORRoadVehiclePutRec(operation, nullptr, nullptr) != 1) return -1;
    std::unique_ptr<wchar_t[]> line(new (std::nothrow) wchar_t[CExcelReadRoadVehicleDef::kMaxText + 16]);
    if (!line) {
      SetErrorText("Could not allocate memory for buffer");
      HTTPAbortCommand();
      return -1;
    }
    int32_t r;
    while ((r = m_pDefinition->Read(line.get())) == 1) {
      if (IORRoadVehiclePutLine(0, line.get()) != 1) return -1;
    }
    m_pDefinition.reset();
    if (r < 0) {
      HTTPAbortCommand();
      return -1;
    }
    return IORRoadVehiclePutLine(0, L"");
  }
  int32_t ReadRow() override { return m_pReader->Read(&m_record, &m_code); }
  int32_t SendRecord() override {
    if (IORRoadVehiclePutRec(RecordWrite, &m_record, &m_code) != 1) return -1;
    int32_t r;
    while ((r = m_pReader->ReadEmFac(&m_line)) == 1) {
      if (IORRoadVehiclePutLine(0, m_line.c_str()) != 1) return -1;
    }
    if (r < 0) {
      HTTPAbortCommand();
      return -1;
    }
    return IORRoadVehiclePutLine(0, L"");
  }
  int32_t FinishUpload() override { return IORRoadVehiclePutRec(RecordFinish, nullptr, nullptr); }

 private:
  std::unique_ptr<CExcelReadRoadVehicleDef> m_pDefinition;
  std::unique_ptr<CExcelReadRoadVehicle> m_pReader;
  RoadVehicleRec m_record = {};
  CodeString m_code;
  std::wstring m_line;
};

RoadVehicleLoad g_load;
RoadVehicleSave g_save;
TransferState g_loadState;
TransferState g_saveState;

void WriteNumber(wchar_t* buffer, long value) {
  if (buffer) swprintf(buffer, CountBufferSize, L"%ld", value);
}

}  // namespace

int32_t VKAPI VKRoadVehiclesDefLoad(int32_t flags, wchar_t* count) {
  if (DebugLevel > 0) DebugPrint("--> VKRoadVehiclesDefLoad(0x%02x)\n", static_cast<unsigned>(flags));
  RoadVehicleDef.Free();
  int32_t result = -1;
  CExcelWriteRoadVehicleDef writer;
  RoadVehicleDefRec record = {};
  if (writer.Init() == 1) {
    int32_t r = IORRoadVehicleDefGetRec(flags, &record);
    if (r == 1) {
      WriteNumber(count, record.dimensions);
      if (TakeDefinition(record) && writer.Write(record) == 1) {
        for (int32_t d = 0; d < RoadVehicleDef.Dimensions(); ++d) RoadVehicleDef.List(d)->Sort();
        result = 1;
      }
    } else {
      WriteNumber(count, 0);
      result = r;  // 0: the EDB has no definition
    }
  }
  RoadVehicleDefFree(&record);
  if (DebugLevel > 0) DebugPrint("<-- VKRoadVehiclesDefLoad = %d\n", static_cast<int>(result));
  return result;
}

int32_t VKAPI VKRoadVehiclesDefDim(wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> VKRoadVehiclesDefDim()\n");
  WriteNumber(buffer, RoadVehicleDef.Dimensions());
  if (DebugLevel > 0) DebugPrint("<-- VKRoadVehiclesDefDim = 1\n");
  return 1;
}

int32_t VKAPI VKRoadVehiclesDefDimText(int32_t dimension, wchar_t* buffer) {
  if (DebugLevel > 0) DebugPrint("--> VKRoadVehiclesDefDimText(%d)\n", static_cast<int>(dimension));
  int32_t result = -1;
  if (dimension >= 0 && dimension < RoadVehicleDef.Dimensions()) {
    listtext::CopyCut(buffer, kDimensionTextSize, RoadVehicleDef.Name(dimension));
    result = 1;
  } else {
    SetErrorText("No road-vehicle dimension %d; the definition has %d", static_cast<int>(dimension),
                 static_cast<int>(RoadVehicleDef.Dimensions()));
  }
  if (DebugLevel > 0) DebugPrint("<-- VKRoadVehiclesDefDimText = %d\n", static_cast<int>(result));
  return result;
}

int32_t VKAPI VKRoadVehiclesLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKRoadVehiclesLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKRoadVehiclesSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKRoadVehiclesSave", args, g_saveState, g_save, mode, count);
}
