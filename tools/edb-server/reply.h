// A reply of the server: a short text built in memory, or a body that is
// produced piece by piece while it is sent (large record reads).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace edb {

class ReplyBody {
 public:
  virtual ~ReplyBody() = default;
  // The exact number of bytes Fill will produce in total.
  virtual uint64_t Length() const = 0;
  // Appends the next part to chunk; false when nothing is left.
  virtual bool Fill(std::string* chunk) = 0;
};

struct Reply {
  std::string text;                 // the reply when body is not set
  std::shared_ptr<ReplyBody> body;  // a streamed reply

  static Reply Text(std::string text) {
    Reply r;
    r.text = std::move(text);
    return r;
  }
  // One "Error: <reason>" line.
  static Reply Error(std::string_view reason) { return Text("Error: " + std::string(reason) + "\n"); }

  // The first line, for the request log.
  std::string Summary() const;
};

// A request value for use inside a reply line: control characters become
// '?', and a long value is cut.
std::string Shown(std::string_view value);

}  // namespace edb
