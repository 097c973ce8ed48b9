// The line transport fed arbitrary reply bytes in arbitrary chunkings: every
// line fits the caller's buffer, and a whole reply comes out as exactly the
// lines its bytes hold, however the reads cut it.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/frame.h"
#include "transport/http.h"

namespace {

// The lines of a reply: each ends at CR LF, CR or LF; a last line without
// an end counts when it is not empty.  A line is seen up to its first NUL.
std::vector<std::string> ExpectedLines(const std::string& body) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
      lines.push_back(line.substr(0, line.find('\0')));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line.substr(0, line.find('\0')));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzz::LoginOnce();
  FuzzedDataProvider data(bytes, size);
  int32_t lineSize = data.ConsumeBool() ? data.ConsumeIntegralInRange<int32_t>(1, 64) : 16192;
  fuzz_port::Reply reply = fuzz::TakeReply(data);
  const bool whole = reply.status == 200 && reply.failAt >= reply.body.size() &&
                     static_cast<size_t>(lineSize) > reply.body.size() + 1;
  const std::string body = reply.body;
  fuzz_port::Queue(reply);

  HTTPAbortCommand();
  FUZZ_CHECK(fuzz_port::LiveRequests() == 0, "a request outlived its abort");
  int32_t r = HTTPGet("iedbvk2.cgi&REF&loadxxxdb");
  fuzz::CheckResult(r, "HTTPGet");
  if (r != 1) return 0;

  std::unique_ptr<char[]> line(new char[static_cast<size_t>(lineSize)]);
  std::vector<std::string> lines;
  for (size_t calls = 0;; ++calls) {
    FUZZ_CHECK(calls <= body.size() + 2, "the line reader does not come to an end");
    r = HTTPGetLine(line.get(), lineSize);
    fuzz::CheckResult(r, "HTTPGetLine");
    if (r != 1) break;
    FUZZ_CHECK(memchr(line.get(), '\0', static_cast<size_t>(lineSize)) != nullptr, "line without terminator");
    lines.push_back(line.get());
  }
  if (r == 0) FUZZ_CHECK(HTTPGetLine(line.get(), lineSize) == 0, "a line after the end of the reply");
  if (whole) {
    std::vector<std::string> expected = ExpectedLines(body);
    FUZZ_CHECK(r == 0, "a complete reply failed");
    FUZZ_CHECK(lines == expected, "lines " + std::to_string(lines.size()) + ", expected " +
                                      std::to_string(expected.size()));
  }
  HTTPAbortCommand();
  return 0;
}
