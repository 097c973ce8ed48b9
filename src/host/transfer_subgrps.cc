// VKSubgrpsLoad and VKSubgrpsSave: the substance groups ("Emission factor"
// sheet) moved between the server and the workbook through the incremental
// transfer driver.  The sheet names substances, so the substances are
// loaded first.
#include <cstdio>

#include "host/named_kind_transfer.h"
#include "records/subgrp.h"
#include "vorkabcom.h"
#include "workbook/subgrp_sheet.h"

namespace {

struct SubgrpKind {
  using Record = SubgrpRec;
  using Writer = CExcelWriteSubgrp;
  using Reader = CExcelReadSubgrp;
  static constexpr size_t NameSize = SubgrpNameSize;
  static constexpr const char* ListLabel = "substance-group";
  static CRecordList& List() { return SubgrpList; }
  static int32_t Get(int32_t first, Record* record) { return IORSubgrpGetRec(first, 0, record); }
  static int32_t Put(int32_t operation, const Record* record) { return IORSubgrpPutRec(operation, record); }
};

NamedKindLoad<SubgrpKind> g_load;
NamedKindSave<SubgrpKind> g_save;
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
