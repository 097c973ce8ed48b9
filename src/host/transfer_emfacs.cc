// VKEmfacsLoad and VKEmfacsSave: the emission factors ("Emission function"
// sheet) moved between the server and the workbook through the incremental
// transfer driver.  The sheet names the substance each factor yields, so the
// substances are loaded first.
#include <cstdio>

#include "host/named_kind_transfer.h"
#include "records/emfac.h"
#include "vorkabcom.h"
#include "workbook/emfac_sheet.h"

namespace {

struct EmfacKind {
  using Record = EmfacRec;
  using Writer = CExcelWriteEmfac;
  using Reader = CExcelReadEmfac;
  static constexpr size_t NameSize = EmfacNameSize;
  static constexpr const char* ListLabel = "emission-factor";
  static CRecordList& List() { return EmfacList; }
  static int32_t Get(int32_t first, Record* record) { return IOREmfacGetRec(first, 0, record); }
  static int32_t Put(int32_t operation, const Record* record) { return IOREmfacPutRec(operation, record); }
};

NamedKindLoad<EmfacKind> g_load;
NamedKindSave<EmfacKind> g_save;
TransferState g_loadState;
TransferState g_saveState;

}  // namespace

int32_t VKAPI VKEmfacsLoad(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunLoad("VKEmfacsLoad", args, g_loadState, g_load, mode, count);
}

int32_t VKAPI VKEmfacsSave(int32_t mode, wchar_t* count) {
  char args[16];
  std::snprintf(args, sizeof args, "%d", static_cast<int>(mode));
  return RunSave("VKEmfacsSave", args, g_saveState, g_save, mode, count);
}
