#pragma once
// The bytes of one connection that the socket could not take yet, flushed in order when it
// becomes writable. A send is accepted whole or refused whole, so a full send buffer never
// leaves half a text on the wire, and a peer that never reads cannot grow memory past the cap.
#include <cstddef>
#include <string>
#include <string_view>

namespace protocol::detail {

class SendQueue {
 public:
  static constexpr std::size_t capacity = 1024 * 1024;

  // Writes what the socket takes now and keeps the rest. False, with nothing written, when the
  // text would not fit in what is left of the cap or the socket reports an error.
  bool send(int fd, std::string_view bytes);

  // Writes queued bytes; false when the socket reports an error (the queue is then dropped).
  bool flush(int fd);

  bool empty() const { return pending_.size() == head_; }

 private:
  std::size_t queued() const { return pending_.size() - head_; }

  std::string pending_;
  std::size_t head_ = 0;  // bytes of pending_ already written
};

}  // namespace protocol::detail
