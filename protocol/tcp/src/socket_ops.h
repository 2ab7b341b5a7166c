#pragma once
// The POSIX socket calls both components share: reads capped per delivery, whole-or-queued
// writes, and the options every connection gets.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct sockaddr_in;

namespace protocol::detail {

// One delivery holds at most this much; the rest stays in the socket for the next turn, so a
// peer that never stops sending can neither hold the window thread nor grow memory.
inline constexpr std::size_t max_delivery = 64 * 1024;

// Where deliveries are read before they become texts; one per component, reused.
using ReadBuffer = std::array<char, max_delivery>;

struct ReadResult {
  std::string bytes;
  bool closed = false;  // the peer closed or reset; only meaningful when bytes is empty
};

// One read of what is readable now, up to max_delivery bytes, from a non-blocking socket. A
// close behind the bytes is not looked for: the socket stays readable and the next read sees it.
ReadResult read_delivery(int fd, ReadBuffer& buffer);

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

}  // namespace protocol::detail
