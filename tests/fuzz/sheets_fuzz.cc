// The sheet readers and verifiers fed a workbook built from the fuzzer's
// bytes through the substitute host: the update of the name-index lists, the
// verification of every reference-data sheet, and the Save of every kind
// (whose readers turn the rows into records).  The input is text, a line each:
//   =NAME          a sheet (names the host refuses leave the sheet unchanged)
//   R C s TEXT     a text cell (UTF-8 where it is valid, else one byte a character)
//   R C n NUMBER   a number cell
//   R C b 0|1      a boolean cell
//   R C e CODE     an error cell (the code picks one of the seven errors)
// Afterwards the host has every value it handed out back, and every issue
// line and export result is whole.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "host/frame.h"
#include "port/xlcall.h"
#include "sheethost/host.h"
#include "vorkabcom.h"

namespace {

std::wstring Decoded(const std::string& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    uint32_t code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
    bool valid = extra > 0 && i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      unsigned char d = static_cast<unsigned char>(text[i + k]);
      valid = (d & 0xC0) == 0x80;
      code = (code << 6) | (d & 0x3F);
    }
    if (valid && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
      out.push_back(static_cast<wchar_t>(code));
      i += static_cast<size_t>(extra) + 1;
    } else {
      out.push_back(static_cast<wchar_t>(c));
      ++i;
    }
  }
  return out;
}

void BuildWorkbook(const std::string& input, sheethost::Workbook& book) {
  static const int kErrors[] = {xlerrNull, xlerrDiv0, xlerrValue, xlerrRef, xlerrName, xlerrNum, xlerrNA};
  sheethost::Sheet* sheet = nullptr;
  size_t pos = 0;
  while (pos < input.size()) {
    size_t end = input.find('\n', pos);
    if (end == std::string::npos) end = input.size();
    std::string line = input.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line[0] == '=') {
      std::wstring name = Decoded(line.substr(1));
      sheethost::Sheet* found = book.FindSheet(name);
      sheet = found ? found : book.AddSheet(name);
      continue;
    }
    char* p = nullptr;
    long row = strtol(line.c_str(), &p, 10);
    long column = strtol(p, &p, 10);
    if (!sheet || *p != ' ' || !p[1] || (p[2] != ' ' && p[2] != '\0') || row < 0 || column < 0) continue;
    std::string value = p[2] ? std::string(p + 3) : std::string();
    RW r = static_cast<RW>(row);
    COL c = static_cast<COL>(column);
    switch (p[1]) {
      case 's': sheet->Set(r, c, sheethost::Cell::Str(Decoded(value))); break;
      case 'n': sheet->Set(r, c, sheethost::Cell::Num(strtod(value.c_str(), nullptr))); break;
      case 'b': sheet->Set(r, c, sheethost::Cell::Bool(value == "1")); break;
      case 'e': sheet->Set(r, c, sheethost::Cell::Err(kErrors[strtoul(value.c_str(), nullptr, 10) % 7])); break;
      default: break;
    }
  }
}

// Every line of an issue list fits the caller's buffer, and its position is
// a cell of the sheet.
void CheckIssues(int32_t (*list)(int32_t, wchar_t*, int32_t),
                 int32_t (*info)(int32_t, int32_t*, int32_t*, wchar_t*), const char* name) {
  constexpr int32_t kLineSize = 300;
  std::unique_ptr<wchar_t[]> line(new wchar_t[kLineSize]);
  int32_t n = 0;
  for (int32_t first = 1; list(first, line.get(), kLineSize) == 1; first = 0, ++n) {
    FUZZ_CHECK(wmemchr(line.get(), L'\0', kLineSize) != nullptr, std::string(name) + ": line past its buffer");
    std::unique_ptr<wchar_t[]> sheet(new wchar_t[32]);
    int32_t row = 0, column = 0;
    if (info(n, &row, &column, sheet.get()) == 1) {
      FUZZ_CHECK(wmemchr(sheet.get(), L'\0', 32) != nullptr, std::string(name) + ": sheet name past its buffer");
      FUZZ_CHECK(row >= 0 && row <= 1048576 && column >= 0 && column <= 16384, name);
    }
    FUZZ_CHECK(n <= 300, std::string(name) + ": more entries than a list holds");
  }
}

// Runs a Save to its end against a server that accepts it with `reply`.
template <class Call>
void RunSave(const char* name, const char* reply, Call call) {
  fuzz_port::Answer(reply);
  fuzz::RunTransfer(call, 1000000, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce("Ok.\n");
  sheethost::Host host;
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
  BuildWorkbook(std::string(reinterpret_cast<const char*>(bytes), size), host.Book());
  host.RecordCalls(false);

  fuzz::CheckResult(VKUpdateSub(), "VKUpdateSub");
  fuzz::CheckResult(VKVerifySub(), "VKVerifySub");
  CheckIssues(VKListError, VKGetErrorInfo, "errors");
  CheckIssues(VKListWarning, VKGetWarningInfo, "warnings");

  for (int32_t list = 1; list <= 5; ++list) {
    RunSave("VKSubSave", "OK!\n", [list](int32_t mode, wchar_t* count) { return VKSubSave(mode, list, count); });
  }
  for (int32_t kind = 0; kind <= 1; ++kind) {
    RunSave("VKTimevarsSave", "Ok.\n",
            [kind](int32_t mode, wchar_t* count) { return VKTimevarsSave(kind, mode, count); });
  }
  RunSave("VKSubgrpsSave", "Ok.\n", VKSubgrpsSave);
  RunSave("VKEmfacsSave", "Ok.\n", VKEmfacsSave);
  RunSave("VKVehiclesSave", "Ok.\n", VKVehiclesSave);
  RunSave("VKRoadtypesSave", "Ok.\n", VKRoadtypesSave);
  RunSave("VKRoadVehiclesSave", "Ok.\n", VKRoadVehiclesSave);
  fuzz_port::Answer("");
  fuzz::CheckResult(VKEdbRsrcSave(), "VKEdbRsrcSave");

  FUZZ_CHECK(host.Outstanding() == 0, std::to_string(host.Outstanding()) + " host values left unfreed");
  FUZZ_CHECK(host.BadFrees() == 0, "values freed that the host did not hand out");
  SetExcel12EntryPt(nullptr);
  return 0;
}
