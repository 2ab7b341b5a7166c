#pragma once
// The POSIX socket calls both components share: reads capped per delivery, whole-or-queued
// writes, and the options every connection gets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct sockaddr_in;

namespace protocol::detail {

// One delivery holds at most this much; the rest stays in the socket for the next turn, so a
// peer that never stops sending can neither hold the window thread nor grow memory.
inline constexpr std::size_t max_delivery = 64 * 1024;
// After the first read (of the readable count) the socket is drained in pieces of this size.
inline constexpr std::size_t read_piece = 1024;

struct ReadResult {
  std::string bytes;
  bool closed = false;  // the peer closed or reset; only meaningful when bytes is empty
};

// Reads what is readable now, up to max_delivery bytes, from a non-blocking socket.
ReadResult read_delivery(int fd);

// Result of one non-blocking write attempt.
struct WriteResult {
  std::size_t taken = 0;
  bool failed = false;  // a real error, not a full buffer
};
WriteResult write_some(int fd, std::string_view bytes);

// TCP_NODELAY, so each text leaves at once instead of waiting to be joined with the next.
void set_no_delay(int fd);
bool set_non_blocking(int fd);

// "dotted-address:port", the port in host order without padding.
std::string client_id_of(const sockaddr_in& peer);

// Closes fd, retrying nothing: after EINTR the descriptor is gone on Linux.
void close_fd(int fd);

}  // namespace protocol::detail
