#include <protocol/tcp_server.h>

#include "current_event.h"
#include "send_queue.h"
#include "socket_ops.h"

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <limits>
#include <unordered_map>
#include <vector>

namespace protocol {

using namespace detail;

namespace {

// epoll data of the listening socket; connections get ids from 1 up, never reused, so an
// event collected for a connection that has gone meanwhile finds nothing.
constexpr std::uint64_t listener_id = 0;
constexpr int events_per_wake = 256;
// How long accepting pauses when a pending connection cannot be taken off the queue.
constexpr std::chrono::milliseconds accept_pause{100};

struct Connection {
  std::uint64_t id = 0;
  int fd = -1;
  std::string client_id;
  SendQueue queue;
  bool awaiting_dispatch = false;
};

}  // namespace

class TcpServer::Impl {
 public:
  Impl(TcpServer* owner, std::int32_t port);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  std::int32_t port() const { return port_; }
  void set_port(std::int32_t port);
  bool is_listening() const { return listen_fd_ >= 0; }
  bool send(std::string_view client_id, std::string_view data);
  int connection_count() const { return static_cast<int>(connections_.size()); }

  CurrentEvents current;

 private:
  void listen();
  void close_listener();
  void on_ready();
  void collect();
  void dispatch();
  bool handle(std::uint64_t id);
  bool accept_one();
  void accept_failed(int error);
  void pause_accepting();
  void resume_accepting();
  bool receive(Connection& connection);
  bool depart(Connection& connection);
  void flush(Connection& connection);
  void watch(int fd, std::uint64_t id, std::uint32_t events);
  Connection* find(std::uint64_t id);
  void forget(const Connection& connection);
  bool raise(void (TcpServer::*event)(), std::string client, std::string data);

  TcpServer* owner_;
  std::int32_t port_;
  int epoll_fd_ = -1;
  int listen_fd_ = -1;
  int spare_fd_ = -1;  // given up to accept and drop a connection when descriptors run out
  bool listener_awaiting_dispatch_ = false;
  bool accepting_paused_ = false;
  QSocketNotifier* notifier_ = nullptr;
  std::uint64_t next_id_ = listener_id + 1;
  std::unordered_map<std::uint64_t, std::unique_ptr<Connection>> connections_;
  // Connections by client_id in order of acceptance; send goes to the first.
  std::unordered_map<std::string, std::vector<Connection*>> by_client_id_;
  // Ready sockets not yet handled, in the order epoll reported them. A nested event loop
  // inside a handler appends to and drains the same queue, which keeps each connection's order.
  std::deque<std::uint64_t> ready_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

TcpServer::Impl::Impl(TcpServer* owner, std::int32_t port)
    : owner_(owner), port_(std::max<std::int32_t>(port, 1)) {
  epoll_fd_ = ::epoll_create1(EPOLL_CLOEXEC);
  if (epoll_fd_ < 0) return;  // without it no socket is ever opened
  spare_fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  notifier_ = new QSocketNotifier(epoll_fd_, QSocketNotifier::Read, owner_);
  QObject::connect(notifier_, &QSocketNotifier::activated, owner_, [this] { on_ready(); });
  listen();
}

TcpServer::Impl::~Impl() {
  *alive_ = false;
  if (notifier_) notifier_->setEnabled(false);  // deleted with its parent, the component
  for (const auto& [id, connection] : connections_) close_fd(connection->fd);
  close_fd(listen_fd_);
  close_fd(epoll_fd_);
  close_fd(spare_fd_);
}

void TcpServer::Impl::set_port(std::int32_t port) {
  port = std::max<std::int32_t>(port, 1);
  if (port == port_) return;
  port_ = port;
  listen();
}

void TcpServer::Impl::close_listener() {
  if (listen_fd_ < 0) return;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, listen_fd_, nullptr);
  close_fd(listen_fd_);
  listen_fd_ = -1;
  accepting_paused_ = false;
}

// Open connections are not touched; failures leave the component without a listening socket.
void TcpServer::Impl::listen() {
  if (epoll_fd_ < 0) return;
  close_listener();
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  // Lets the port be taken again while connections accepted on it earlier are still open.
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<std::uint16_t>(port_));
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = listener_id;
  // The system cuts the backlog down to the largest it allows.
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, std::numeric_limits<int>::max()) != 0 ||
      ::epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &event) != 0) {
    close_fd(fd);
    return;
  }
  listen_fd_ = fd;
}

void TcpServer::Impl::on_ready() {
  collect();
  dispatch();
}

// Takes what epoll reports now; sockets already waiting for dispatch are not queued twice.
void TcpServer::Impl::collect() {
  epoll_event events[events_per_wake];
  int count;
  do {
    count = ::epoll_wait(epoll_fd_, events, events_per_wake, 0);
  } while (count < 0 && errno == EINTR);
  for (int i = 0; i < count; ++i) {
    const std::uint64_t id = events[i].data.u64;
    if (id == listener_id) {
      if (!listener_awaiting_dispatch_) ready_.push_back(id);
      listener_awaiting_dispatch_ = true;
      continue;
    }
    Connection* connection = find(id);
    if (!connection) continue;
    if (events[i].events & EPOLLOUT) flush(*connection);
    if ((events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) && !connection->awaiting_dispatch) {
      connection->awaiting_dispatch = true;
      ready_.push_back(id);
    }
  }
}

void TcpServer::Impl::dispatch() {
  while (!ready_.empty()) {
    const std::uint64_t id = ready_.front();
    ready_.pop_front();
    if (!handle(id)) return;  // the component was destroyed by a handler
  }
}

// False when a handler destroyed the component.
bool TcpServer::Impl::handle(std::uint64_t id) {
  if (id == listener_id) {
    listener_awaiting_dispatch_ = false;
    return accept_one();
  }
  Connection* connection = find(id);
  if (!connection) return true;  // closed while it waited
  connection->awaiting_dispatch = false;
  return receive(*connection);
}

// One connection per turn; level-triggered readiness brings the next one round again.
bool TcpServer::Impl::accept_one() {
  if (listen_fd_ < 0 || accepting_paused_) return true;
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  const int fd = ::accept4(listen_fd_, reinterpret_cast<sockaddr*>(&peer), &length,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) {
    accept_failed(errno);
    return true;
  }
  const std::uint64_t id = next_id_++;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = id;
  if (length != sizeof peer || peer.sin_family != AF_INET ||
      ::epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &event) != 0) {
    close_fd(fd);
    return true;
  }
  set_no_delay(fd);
  auto connection = std::make_unique<Connection>();
  connection->id = id;
  connection->fd = fd;
  connection->client_id = client_id_of(peer);
  std::string client_id = connection->client_id;
  by_client_id_[client_id].push_back(connection.get());
  connections_.emplace(id, std::move(connection));
  return raise(&TcpServer::on_client_entered, std::move(client_id), {});
}

// A connection left pending would make the listening socket ready again at once, for ever.
void TcpServer::Impl::accept_failed(int error) {
  if (error == EMFILE || error == ENFILE) {
    if (spare_fd_ >= 0) {
      close_fd(spare_fd_);
      close_fd(::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC));
      spare_fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    if (spare_fd_ < 0) pause_accepting();
  } else if (error == ENOBUFS || error == ENOMEM) {
    pause_accepting();
  }
}

void TcpServer::Impl::pause_accepting() {
  if (accepting_paused_ || listen_fd_ < 0) return;
  epoll_event event{};
  event.data.u64 = listener_id;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, listen_fd_, &event);
  accepting_paused_ = true;
  QTimer::singleShot(accept_pause, owner_, [this] { resume_accepting(); });
}

void TcpServer::Impl::resume_accepting() {
  if (!accepting_paused_ || listen_fd_ < 0) return;
  if (spare_fd_ < 0) spare_fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = listener_id;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, listen_fd_, &event);
  accepting_paused_ = false;
}

// Data is delivered first; the close behind it stays readable and comes on the next turn.
bool TcpServer::Impl::receive(Connection& connection) {
  ReadResult result = read_delivery(connection.fd);
  if (!result.bytes.empty()) {
    return raise(&TcpServer::on_data_arrived, connection.client_id, std::move(result.bytes));
  }
  if (result.closed) return depart(connection);
  return true;
}

// The connection is gone before the handler runs, so a send to it inside finds nothing.
bool TcpServer::Impl::depart(Connection& connection) {
  const int fd = connection.fd;
  std::string client_id = connection.client_id;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
  forget(connection);
  const bool alive = raise(&TcpServer::on_client_left, std::move(client_id), {});
  close_fd(fd);
  return alive;
}

void TcpServer::Impl::forget(const Connection& connection) {
  const auto named = by_client_id_.find(connection.client_id);
  if (named != by_client_id_.end()) {
    std::erase(named->second, &connection);
    if (named->second.empty()) by_client_id_.erase(named);
  }
  connections_.erase(connection.id);
}

bool TcpServer::Impl::send(std::string_view client_id, std::string_view data) {
  if (client_id.empty()) return false;
  const auto named = by_client_id_.find(std::string(client_id));
  if (named == by_client_id_.end()) return false;
  Connection& connection = *named->second.front();
  const bool was_empty = connection.queue.empty();
  if (!connection.queue.send(connection.fd, data)) return false;
  if (was_empty && !connection.queue.empty()) watch(connection.fd, connection.id, EPOLLIN | EPOLLOUT);
  return true;
}

// A failed flush drops the queue; the error itself comes as a departure through reading.
void TcpServer::Impl::flush(Connection& connection) {
  connection.queue.flush(connection.fd);
  if (connection.queue.empty()) watch(connection.fd, connection.id, EPOLLIN);
}

void TcpServer::Impl::watch(int fd, std::uint64_t id, std::uint32_t events) {
  epoll_event event{};
  event.events = events;
  event.data.u64 = id;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, fd, &event);
}

Connection* TcpServer::Impl::find(std::uint64_t id) {
  const auto found = connections_.find(id);
  return found == connections_.end() ? nullptr : found->second.get();
}

bool TcpServer::Impl::raise(void (TcpServer::*event)(), std::string client, std::string data) {
  TcpServer* owner = owner_;
  return current.raise({std::move(client), std::move(data)}, alive_,
                       [owner, event] { (owner->*event)(); });
}

TcpServer::TcpServer(std::int32_t port, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>(this, port)) {}

TcpServer::~TcpServer() = default;

std::int32_t TcpServer::port() const { return impl_->port(); }
void TcpServer::set_port(std::int32_t port) { impl_->set_port(port); }
bool TcpServer::is_listening() const { return impl_->is_listening(); }

bool TcpServer::send(std::string_view client_id, std::string_view data) {
  return impl_->send(client_id, data);
}

std::string TcpServer::received_data() const { return impl_->current.data(); }
std::string TcpServer::current_client() const { return impl_->current.client(); }
int TcpServer::connection_count() const { return impl_->connection_count(); }

}  // namespace protocol
