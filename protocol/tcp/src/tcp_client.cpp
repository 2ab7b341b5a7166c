#include <protocol/tcp_client.h>

#include "current_event.h"
#include "send_queue.h"
#include "socket_ops.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace protocol {

using namespace detail;

namespace {

// A dotted IPv4 address as it is, otherwise the first IPv4 address the name resolves to.
std::optional<in_addr> resolve(const std::string& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1) return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* answer = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &answer) != 0 || !answer) return std::nullopt;
  address = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr;
  ::freeaddrinfo(answer);
  return address;
}

// Blocks until connected or failed; an interrupted connect goes on in the background, so wait
// for its outcome instead of starting over.
bool connect_blocking(int fd, const sockaddr_in& address) {
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno != EINTR) return false;
  pollfd watched{fd, POLLOUT, 0};
  int ready;
  do {
    ready = ::poll(&watched, 1, -1);
  } while (ready < 0 && errno == EINTR);
  int error = 0;
  socklen_t length = sizeof error;
  return ready == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

}  // namespace

class TcpClient::Impl {
 public:
  explicit Impl(TcpClient* owner) : owner_(owner) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  bool connect(std::string_view address, std::int32_t port);
  bool send(std::string_view data);

  CurrentEvents current;

 private:
  void close_socket();
  void retire(QSocketNotifier*& notifier);
  void on_readable();
  void on_writable();
  bool raise(void (TcpClient::*event)(), std::string data);

  TcpClient* owner_;
  int fd_ = -1;
  bool connected_ = false;
  bool broken_ = false;  // reported once; the socket then stays as it is until destruction
  SendQueue queue_;
  QSocketNotifier* reader_ = nullptr;
  QSocketNotifier* writer_ = nullptr;
  int raising_ = 0;  // handlers running; a notifier cannot be deleted under its own signal then
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

TcpClient::Impl::~Impl() {
  *alive_ = false;
  // The notifiers are children of the component and go with it.
  if (reader_) reader_->setEnabled(false);
  if (writer_) writer_->setEnabled(false);
  close_fd(fd_);
}

bool TcpClient::Impl::connect(std::string_view address, std::int32_t port) {
  port = std::max<std::int32_t>(port, 1);
  close_socket();
  const std::string host(address);
  if (host.empty()) return false;
  const std::optional<in_addr> resolved = resolve(host);
  if (!resolved) return false;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_addr = *resolved;
  target.sin_port = htons(static_cast<std::uint16_t>(port));
  if (!connect_blocking(fd, target) || !set_non_blocking(fd)) {
    close_fd(fd);
    return false;
  }
  set_no_delay(fd);
  fd_ = fd;
  reader_ = new QSocketNotifier(fd_, QSocketNotifier::Read, owner_);
  writer_ = new QSocketNotifier(fd_, QSocketNotifier::Write, owner_);
  writer_->setEnabled(false);  // only while queued bytes wait
  QObject::connect(reader_, &QSocketNotifier::activated, owner_, [this] { on_readable(); });
  QObject::connect(writer_, &QSocketNotifier::activated, owner_, [this] { on_writable(); });
  connected_ = true;
  return true;
}

void TcpClient::Impl::close_socket() {
  retire(reader_);
  retire(writer_);
  close_fd(fd_);
  fd_ = -1;
  connected_ = false;
  broken_ = false;
  queue_ = SendQueue();
}

void TcpClient::Impl::retire(QSocketNotifier*& notifier) {
  if (!notifier) return;
  notifier->setEnabled(false);
  QObject::disconnect(notifier, nullptr, owner_, nullptr);
  if (raising_ > 0) {
    notifier->deleteLater();
  } else {
    delete notifier;
  }
  notifier = nullptr;
}

bool TcpClient::Impl::send(std::string_view data) {
  if (fd_ < 0 || !connected_) return false;
  if (!queue_.send(fd_, data)) return false;
  if (!queue_.empty()) writer_->setEnabled(true);
  return true;
}

// Data is delivered first; the close behind it stays readable and comes on the next turn.
void TcpClient::Impl::on_readable() {
  if (broken_) return;
  ReadResult result = read_delivery(fd_);
  if (!result.bytes.empty()) {
    raise(&TcpClient::on_data_arrived, std::move(result.bytes));
  } else if (result.closed) {
    broken_ = true;
    reader_->setEnabled(false);  // a closed socket stays readable; report it once
    writer_->setEnabled(false);
    raise(&TcpClient::on_connection_broken, {});
  }
}

void TcpClient::Impl::on_writable() {
  queue_.flush(fd_);
  if (queue_.empty()) writer_->setEnabled(false);
}

bool TcpClient::Impl::raise(void (TcpClient::*event)(), std::string data) {
  TcpClient* owner = owner_;
  ++raising_;
  const std::shared_ptr<bool> alive = alive_;
  const bool survived =
      current.raise({{}, std::move(data)}, alive_, [owner, event] { (owner->*event)(); });
  if (*alive) --raising_;
  return survived;
}

TcpClient::TcpClient(QObject* parent) : QObject(parent), impl_(std::make_unique<Impl>(this)) {}

TcpClient::~TcpClient() = default;

bool TcpClient::connect(std::string_view address, std::int32_t port) {
  return impl_->connect(address, port);
}

bool TcpClient::send(std::string_view data) { return impl_->send(data); }

std::string TcpClient::received_data() const { return impl_->current.data(); }

}  // namespace protocol
