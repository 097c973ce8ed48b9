// Record read replies streamed from a ReadSnapshot: an optional head (the
// source listing header), then every stored record, each followed by an empty
// separator line unless the kind has one line per record.
#pragma once

#include <memory>
#include <string>

#include "reply.h"
#include "store.h"

namespace edb {

class RecordReplyBody : public ReplyBody {
 public:
  RecordReplyBody(std::unique_ptr<ReadSnapshot> snapshot, int64_t edbId, std::string kind, int64_t list,
                  std::string head, bool separators);
  uint64_t Length() const override { return length_; }
  bool Fill(std::string* chunk) override;

 private:
  std::unique_ptr<ReadSnapshot> snapshot_;
  std::string head_;
  bool separators_;
  bool headSent_ = false;
  uint64_t length_ = 0;
};

}  // namespace edb
