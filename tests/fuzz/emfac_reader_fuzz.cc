// The emission-factor reader fed arbitrary reply text, full and names-only;
// what a full read gives goes through the writer and back.
#include "reader_fuzz.h"
#include "records/emfac.h"
#include "transport/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<EmfacRec>(
      data, "IOREmfacGetRec", [flags](int32_t first, EmfacRec* rec) { return IOREmfacGetRec(first, flags, rec); },
      [](const EmfacRec& rec) {
        fuzz::CheckField(rec.name, EmfacNameSize, "emission-factor name");
        fuzz::CheckField(rec.formula, EmfacFormulaSize, "formula");
        FUZZ_CHECK(rec.novariable >= 0 && rec.novariable <= EmfacMaxVariables, std::to_string(rec.novariable));
        for (const auto& var : rec.varname) fuzz::CheckField(var, EmfacVarNameSize, "variable name");
      },
      [](int32_t op, const EmfacRec* rec) { return IOREmfacPutRec(op, rec); }, flags ? nullptr : "Ok.\n");
  return 0;
}
