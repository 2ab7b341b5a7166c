#include "socket_ops.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace protocol::detail {

ReadResult read_delivery(int fd, ReadBuffer& buffer) {
  ReadResult result;
  ssize_t got;
  do {
    got = ::recv(fd, buffer.data(), buffer.size(), 0);
  } while (got < 0 && errno == EINTR);
  if (got > 0) {
    result.bytes.assign(buffer.data(), static_cast<std::size_t>(got));
  } else {
    result.closed = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
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

}  // namespace protocol::detail
