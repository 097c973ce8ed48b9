// The shared part of the library's fuzz targets (see fuzz_support.h).
#include "fuzz_support.h"

#include <cstdlib>
#include <cwchar>

#include "host/frame.h"
#include "vorkabcom.h"

namespace fuzz {

void LoginOnce(const std::string& defaultBody) {
  static bool loggedIn = false;
  fuzz_port::ClearQueue();
  if (!loggedIn) {
    fuzz_port::Answer("OK\n");
    wchar_t user[] = L"anna";
    int32_t r = VKInit(user, L"pw", L"", L"k:http://fuzz.invalid:8080", L"", L"", 0);
    FUZZ_CHECK(r == 1 || r == 0, GetErrorText());
    VKDatabaseSet(L"REF");
    VKEdbUserSet(L"anna");
    VKEdbNameSet(L"edb1");
    loggedIn = true;
  }
  fuzz_port::Reply reply;
  reply.body = defaultBody;
  fuzz_port::SetDefault(reply);
  ClearErrorText();
}

fuzz_port::Reply TakeReply(FuzzedDataProvider& data, size_t maxBody) {
  fuzz_port::Reply reply;
  uint8_t shape = data.ConsumeIntegral<uint8_t>();
  if ((shape & 0x0F) == 0x0F) reply.status = data.ConsumeIntegralInRange<int>(100, 599);
  reply.hasContentLength = (shape & 0x10) == 0;
  int chunks = (shape >> 5) & 0x03;
  for (int i = 0; i < chunks; ++i) reply.chunks.push_back(data.ConsumeIntegralInRange<uint32_t>(1, 70000));
  bool failing = (shape & 0x80) != 0 && (shape & 0x0F) == 0x0E;
  size_t failAt = failing ? data.ConsumeIntegral<uint16_t>() : SIZE_MAX;
  reply.body = data.ConsumeBytesAsString(std::min(maxBody, data.remaining_bytes()));
  reply.failAt = failAt;
  return reply;
}

void CheckResult(int32_t result, const char* where) {
  FUZZ_CHECK(result == 1 || result == 0 || result == -1, std::string(where) + " = " + std::to_string(result));
  if (result == -1) FUZZ_CHECK(GetErrorText()[0] != '\0', std::string(where) + " failed without a reason");
  ClearErrorText();
}

void CheckField(const wchar_t* field, size_t size, const char* where) {
  const wchar_t* end = wmemchr(field, L'\0', size);
  FUZZ_CHECK(end != nullptr, std::string(where) + ": no terminator within the field");
  for (const wchar_t* p = field; p < end; ++p) {
    FUZZ_CHECK(static_cast<uint32_t>(*p) <= 0xFF, std::string(where) + ": a character no 8-bit line holds");
  }
}

bool RoundTrip() {
  static const bool on = getenv("VORKAB_FUZZ_ROUND_TRIP") && std::string(getenv("VORKAB_FUZZ_ROUND_TRIP")) == "1";
  return on;
}

std::string SavedRecords(const std::string& body) {
  size_t pos = 0;
  for (int line = 0; line < 8 && pos != std::string::npos; ++line) {
    pos = body.find('\n', pos);
    if (pos != std::string::npos) ++pos;
  }
  if (pos == std::string::npos) return std::string();
  std::string records = body.substr(pos);
  const std::string eof = "EOF\n";
  if (records.size() >= eof.size() && records.compare(records.size() - eof.size(), eof.size(), eof) == 0) {
    records.resize(records.size() - eof.size());
  }
  return records;
}

}  // namespace fuzz
