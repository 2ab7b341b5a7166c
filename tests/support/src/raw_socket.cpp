#include <test_support/raw_socket.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace test_support {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

int remaining_ms(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// True when fd shows `events` before the deadline.
bool wait_for(int fd, short events, Clock::time_point deadline) {
  pollfd watched{fd, events, 0};
  int ready;
  do {
    ready = ::poll(&watched, 1, remaining_ms(deadline));
  } while (ready < 0 && errno == EINTR);
  return ready == 1;
}

}  // namespace

RawSocket::~RawSocket() { close(); }

RawSocket::RawSocket(RawSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

RawSocket& RawSocket::operator=(RawSocket&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool RawSocket::connect(std::uint16_t port, std::chrono::milliseconds timeout) {
  close();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return false;
  const sockaddr_in address = loopback(port);
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  int error = errno;
  if (error == EINPROGRESS && wait_for(fd_, POLLOUT, Clock::now() + timeout)) {
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  }
  if (error == 0) return true;
  close();
  return false;
}

std::uint16_t RawSocket::local_port() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

bool RawSocket::send_all(std::string_view bytes, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!bytes.empty()) {
    bytes.remove_prefix(send_available(bytes));
    if (!bytes.empty() && !wait_for(fd_, POLLOUT, deadline)) return false;
  }
  return true;
}

std::size_t RawSocket::send_available(std::string_view bytes) {
  std::size_t taken = 0;
  while (taken < bytes.size()) {
    const ssize_t sent = ::send(fd_, bytes.data() + taken, bytes.size() - taken, MSG_NOSIGNAL);
    if (sent <= 0) break;
    taken += static_cast<std::size_t>(sent);
  }
  return taken;
}

std::string RawSocket::read_some(std::chrono::milliseconds timeout) {
  if (!wait_for(fd_, POLLIN, Clock::now() + timeout)) return {};
  std::string bytes(64 * 1024, '\0');
  const ssize_t got = ::recv(fd_, bytes.data(), bytes.size(), 0);
  bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return bytes;
}

std::string RawSocket::read_exactly(std::size_t n, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::string bytes;
  while (bytes.size() < n && wait_for(fd_, POLLIN, deadline)) {
    std::string piece(n - bytes.size(), '\0');
    const ssize_t got = ::recv(fd_, piece.data(), piece.size(), 0);
    if (got <= 0) break;
    bytes.append(piece, 0, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool RawSocket::wait_closed(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  char discard[4096];
  while (wait_for(fd_, POLLIN, deadline)) {
    const ssize_t got = ::recv(fd_, discard, sizeof discard, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return true;
  }
  return false;
}

void RawSocket::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void RawSocket::reset() {
  if (fd_ < 0) return;
  const linger abort_on_close{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  close();
}

RawListener::RawListener(std::uint16_t port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return;
  sockaddr_in address = loopback(port);
  socklen_t length = sizeof address;
  if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd_, 16) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
}

RawListener::~RawListener() {
  if (fd_ >= 0) ::close(fd_);
}

RawSocket RawListener::accept(std::chrono::milliseconds timeout) {
  if (fd_ < 0 || !wait_for(fd_, POLLIN, Clock::now() + timeout)) return RawSocket();
  return RawSocket(::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

}  // namespace test_support
