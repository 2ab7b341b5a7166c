#include "socket_ops.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace protocol::detail {

namespace {

// recv into the tail of `out`; returns the byte count, 0 at end of stream, -1 on error/EAGAIN.
ssize_t recv_append(int fd, std::string& out, std::size_t want) {
  const std::size_t old_size = out.size();
  out.resize(old_size + want);
  ssize_t got;
  do {
    got = ::recv(fd, out.data() + old_size, want, 0);
  } while (got < 0 && errno == EINTR);
  out.resize(old_size + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  return got;
}

}  // namespace

ReadResult read_delivery(int fd) {
  ReadResult result;
  int readable = 0;
  // A failed count still leads to a read: skipping it would leave the socket ready forever.
  if (::ioctl(fd, FIONREAD, &readable) != 0 || readable < 1) readable = 1;
  std::size_t want = std::min<std::size_t>(static_cast<std::size_t>(readable), max_delivery);
  while (want > 0) {
    const ssize_t got = recv_append(fd, result.bytes, want);
    if (got == 0) {
      result.closed = true;
      break;
    }
    if (got < 0) {
      result.closed = errno != EAGAIN && errno != EWOULDBLOCK;
      break;
    }
    want = std::min(read_piece, max_delivery - result.bytes.size());
  }
  return result;
}

WriteResult write_some(int fd, std::string_view bytes) {
  WriteResult result;
  while (result.taken < bytes.size()) {
    const ssize_t sent = ::send(fd, bytes.data() + result.taken, bytes.size() - result.taken,
                                MSG_NOSIGNAL);  // a departed peer must not end the program
    if (sent > 0) {
      result.taken += static_cast<std::size_t>(sent);
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else {
      result.failed = sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK;
      break;
    }
  }
  return result;
}

void set_no_delay(int fd) {
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool set_non_blocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string client_id_of(const sockaddr_in& peer) {
  char dotted[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &peer.sin_addr, dotted, sizeof dotted);
  return std::string(dotted) + ":" + std::to_string(ntohs(peer.sin_port));
}

void close_fd(int fd) {
  if (fd >= 0) ::close(fd);
}

}  // namespace protocol::detail
