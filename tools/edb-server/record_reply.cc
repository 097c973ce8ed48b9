// Streamed record read replies (see record_reply.h).
#include "record_reply.h"

namespace edb {

namespace {
constexpr size_t kChunkBytes = 64 * 1024;
}

RecordReplyBody::RecordReplyBody(std::unique_ptr<ReadSnapshot> snapshot, int64_t edbId, std::string kind,
                                 int64_t list, std::string head, bool separators)
    : snapshot_(std::move(snapshot)), head_(std::move(head)), separators_(separators) {
  uint64_t bytes = 0, count = 0;
  snapshot_->Measure(edbId, kind, list, &bytes, &count);
  length_ = head_.size() + bytes + (separators_ ? count : 0);
  snapshot_->Start(edbId, kind, list);
}

bool RecordReplyBody::Fill(std::string* chunk) {
  if (!headSent_) {
    headSent_ = true;
    chunk->append(head_);
  }
  std::string_view record;
  while (chunk->size() < kChunkBytes && snapshot_->Next(&record)) {
    chunk->append(record.data(), record.size());
    if (separators_) chunk->push_back('\n');
  }
  return !chunk->empty();
}

}  // namespace edb
