// The Load exports fed arbitrary reply text: each kind's reader and sheet
// writer together, call by call as a macro drives them, into the substitute
// host.  The running count fits its buffer, results are 1, 0 or -1 (with a
// reason), and the host has every value it handed out back.  With
// VORKAB_FUZZ_ROUND_TRIP=1 a Load that went well is saved back from the
// sheet, and the records of the Save's body must be those of the reply.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "host/issue_list.h"
#include "reader_fuzz.h"
#include "records/emfac.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"
#include "sheethost/host.h"
#include "vorkabcom.h"
#include "workbook/row_gap_check.h"

namespace {

using Transfer = std::function<int32_t(int32_t mode, wchar_t* count)>;

struct Kind {
  Transfer load;
  Transfer save;            // none for substance list 0
  const char* accepted;     // the server's reply to a good save
  // Whether two reply texts hold the same records.
  std::function<bool(const std::string&, const std::string&)> same;
};

template <class Rec, class Read>
std::function<bool(const std::string&, const std::string&)> SameRecords(Read read) {
  return [read](const std::string& a, const std::string& b) {
    fuzz::Records<Rec> x, y;
    fuzz_port::Reply reply;
    reply.body = a;
    fuzz::ReadRecords<Rec>(reply, "the reply", read, &x, SIZE_MAX);
    reply.body = b;
    fuzz::ReadRecords<Rec>(reply, "the saved body", read, &y, SIZE_MAX);
    // A searchkey Save sends every slot of its list (the unused ones as empty
    // names) row by row, that is by index, whatever order the reply had.
    for (fuzz::Records<Rec>* records : {&x, &y}) {
      if constexpr (std::is_same_v<Rec, SubRec>) {
        records->erase(std::remove_if(records->begin(), records->end(), [](const auto& r) { return !r->name[0]; }),
                       records->end());
        std::stable_sort(records->begin(), records->end(),
                         [](const auto& a, const auto& b) { return a->index < b->index; });
      }
    }
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
      if (memcmp(x[i].get(), y[i].get(), sizeof(Rec)) != 0) return false;
    }
    return true;
  };
}

Kind KindOf(int which) {
  if (which <= 5) {
    return {[which](int32_t mode, wchar_t* count) { return VKSubLoad(mode, which, count); },
            which == 0 ? Transfer() : [which](int32_t mode, wchar_t* count) { return VKSubSave(mode, which, count); },
            "OK!\n", SameRecords<SubRec>([which](int32_t first, SubRec* r) { return IORSubGetRec(first, which, r); })};
  }
  if (which <= 7) {
    int32_t kind = which - 6;
    return {[kind](int32_t mode, wchar_t* count) { return VKTimevarsLoad(kind, mode, count); },
            [kind](int32_t mode, wchar_t* count) { return VKTimevarsSave(kind, mode, count); }, "Ok.\n",
            SameRecords<TimevarRec>([kind](int32_t first, TimevarRec* r) { return IORTimevarGetRec(kind, first, 0, r); })};
  }
  if (which >= 10) {  // no round trip yet
    Transfer load = which == 10 ? VKVehiclesLoad : which == 11 ? VKRoadtypesLoad : VKRoadVehiclesLoad;
    return {load, Transfer(), nullptr, nullptr};
  }
  if (which == 8) {
    return {VKSubgrpsLoad, VKSubgrpsSave, "Ok.\n",
            SameRecords<SubgrpRec>([](int32_t first, SubgrpRec* r) { return IORSubgrpGetRec(first, 0, r); })};
  }
  return {VKEmfacsLoad, VKEmfacsSave, "Ok.\n",
          SameRecords<EmfacRec>([](int32_t first, EmfacRec* r) { return IOREmfacGetRec(first, 0, r); })};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  Kind kind = KindOf(data.ConsumeIntegralInRange<int>(0, 12));
  fuzz_port::Reply reply = fuzz::TakeReply(data);
  const std::string body = reply.body;
  const bool whole = reply.status == 200 && reply.failAt >= body.size();
  fuzz_port::Queue(std::move(reply));

  sheethost::Host host;
  host.RecordCalls(false);
  for (const wchar_t* sheet : {L"Substance", L"Searchkey", L"Source timevar", L"Road timevar", L"Emission factor",
                               L"Emission function", L"Vehicle", L"Roadtype", L"Road Vehicle"}) {
    host.Book().AddSheet(sheet);
  }
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
  WarningList.Clear();
  int32_t r = fuzz::RunTransfer(kind.load, body.size() + 1, "Load");
  // A Load that named records the sheet cannot hold, or left rows below an
  // empty one (the verification before a Save reports them), is not saved.
  ErrorList.Clear();
  if (r == 0 && whole && kind.save && WarningList.Count() == 0 && fuzz::RoundTrip() &&
      CheckAllRowGaps(ErrorList) == 1 && ErrorList.Count() == 0) {
    fuzz_port::Answer(kind.accepted);
    if (fuzz::RunTransfer(kind.save, 100000, "Save") == 0) {
      std::string saved = fuzz::SavedRecords(fuzz_port::LastBody());
      FUZZ_CHECK(kind.same(body, saved), "records changed through a Load and a Save:\n" + saved.substr(0, 2000));
    }
  }
  FUZZ_CHECK(host.Outstanding() == 0, std::to_string(host.Outstanding()) + " host values left unfreed");
  FUZZ_CHECK(host.BadFrees() == 0, "values freed that the host did not hand out");
  SetExcel12EntryPt(nullptr);
  return 0;
}
