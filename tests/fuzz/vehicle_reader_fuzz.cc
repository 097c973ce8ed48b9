// The vehicle reader fed arbitrary reply text, full and names-only; what a
// full read gives goes through the writer and back.
#include "reader_fuzz.h"
#include "records/vehicle.h"
#include "transport/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t flags = data.ConsumeBool() ? TransferFlagNamesOnly : 0;
  fuzz::ReadAll<VehicleRec>(
      data, "IORVehicleGetRec",
      [flags](int32_t first, VehicleRec* rec) { return IORVehicleGetRec(first, flags, rec, nullptr); },
      [](const VehicleRec& rec) {
        fuzz::CheckField(rec.name, VehicleNameSize, "vehicle name");
        int32_t n = VehicleSubstanceCount(rec);
        FUZZ_CHECK(n >= 0 && n <= VehicleMaxSubstances, std::to_string(n));
      },
      [](int32_t op, const VehicleRec* rec) { return IORVehiclePutRec(op, rec, nullptr); },
      flags ? nullptr : "Ok.\n");
  return 0;
}
