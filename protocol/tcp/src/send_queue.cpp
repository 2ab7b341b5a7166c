#include "send_queue.h"

#include "socket_ops.h"

namespace protocol::detail {

bool SendQueue::send(int fd, std::string_view bytes) {
  if (bytes.size() > capacity - queued()) return false;
  if (bytes.empty()) return true;
  if (!empty()) {
    // Earlier bytes are still waiting: writing now would put these ahead of them.
    pending_.append(bytes);
    return true;
  }
  const WriteResult written = write_some(fd, bytes);
  if (written.failed && written.taken == 0) return false;
  // After a partial write the rest must follow; an error is reported by the next read.
  if (!written.failed) pending_.assign(bytes.substr(written.taken));
  head_ = 0;
  return true;
}

bool SendQueue::flush(int fd) {
  const WriteResult written = write_some(fd, std::string_view(pending_).substr(head_));
  if (written.failed) {
    pending_.clear();
    head_ = 0;
    return false;
  }
  head_ += written.taken;
  if (empty()) {
    pending_.clear();
    head_ = 0;
  } else if (head_ > pending_.size() / 2) {
    pending_.erase(0, head_);
    head_ = 0;
  }
  return true;
}

}  // namespace protocol::detail
