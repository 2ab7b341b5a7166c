#include <protocol/tcp_server.h>

#include "current_event.h"
#include "send_queue.h"
#include "socket_ops.h"
#include "token_bucket.h"

#include <posix/unique_fd.h>

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <utility>
#include <vector>

namespace protocol {

using namespace detail;

namespace {

using Clock = TokenBucket::Clock;

// epoll data: the low 32 bits pick a connection slot, the high 32 bits the slot's generation,
// which changes whenever the slot is freed, so an event collected for a connection that has
// gone meanwhile finds nothing. Generation 0 never names a connection.
using Token = std::uint64_t;
constexpr Token listener_token = 0;
constexpr Token timer_token = 1;
constexpr int events_per_wake = 256;
// Connections taken off the listen queue per turn, so a join storm leaves open connections
// their turn between batches.
constexpr int accepts_per_turn = 128;
// How long accepting pauses when a pending connection cannot be taken off the queue.
constexpr std::chrono::milliseconds accept_pause{100};

struct Connection {
  Connection(Token token, posix::UniqueFd socket, std::string name, TokenBucket bucket)
      : token(token), fd(std::move(socket)), client_id(std::move(name)), budget(bucket) {}

  Token token;
  posix::UniqueFd fd;
  std::string client_id;
  SendQueue queue;
  TokenBucket budget;
  bool awaiting_dispatch = false;
  bool paused = false;  // over budget: out of the epoll set until the timer brings it back
};

struct Slot {
  std::unique_ptr<Connection> connection;
  std::uint32_t generation = 1;
};

// Paused connections by the moment their budget allows reading again, earliest first.
using Resumption = std::pair<Clock::time_point, Token>;
using ResumeQueue =
    std::priority_queue<Resumption, std::vector<Resumption>, std::greater<Resumption>>;

}  // namespace

class TcpServer::Impl {
 public:
  Impl(TcpServer* owner, std::int32_t port, ReadBudget budget);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  std::int32_t port() const { return port_; }
  void set_port(std::int32_t port);
  bool is_listening() const { return listen_fd_.valid(); }
  bool send(std::string_view client_id, std::string_view data);
  int connection_count() const { return connection_count_; }

  CurrentEvents current;

 private:
  void listen();
  void close_listener();
  void on_ready();
  void collect();
  void dispatch();
  bool handle(Token token);
  bool accept_pending();
  bool admit(posix::UniqueFd fd, const sockaddr_in& peer, socklen_t length);
  void accept_failed(int error);
  void pause_accepting();
  void resume_accepting();
  bool receive(Connection& connection);
  bool depart(Connection& connection);
  void flush(Connection& connection);
  void watch(const Connection& connection, int operation);
  void pause_reading(Connection& connection);
  void resume_due();
  void arm_timer();
  Connection* find(Token token);
  Token occupy_slot();
  void forget(const Connection& connection);
  bool raise(void (TcpServer::*event)(), std::string client, std::string data);

  TcpServer* owner_;
  std::int32_t port_;
  ReadBudget budget_;
  posix::UniqueFd epoll_fd_;
  posix::UniqueFd listen_fd_;
  posix::UniqueFd spare_fd_;  // given up to accept and drop a connection when descriptors run out
  posix::UniqueFd timer_fd_;  // wakes paused connections when their budget allows
  bool listener_awaiting_dispatch_ = false;
  bool accepting_paused_ = false;
  QSocketNotifier* notifier_ = nullptr;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> free_slots_;
  int connection_count_ = 0;
  // Connections by client_id in order of acceptance; send goes to the first.
  std::unordered_map<std::string, std::vector<Connection*>> by_client_id_;
  // Ready sockets not yet handled, in the order epoll reported them. A nested event loop
  // inside a handler appends to and drains the same queue, which keeps each connection's order.
  std::deque<Token> ready_;
  ResumeQueue resumptions_;
  Clock::time_point timer_armed_for_ = Clock::time_point::max();
  ReadBuffer read_buffer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

namespace {

posix::UniqueFd open_spare() { return posix::UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)); }

bool add_to(int epoll_fd, int fd, Token token, std::uint32_t events) {
  epoll_event event{};
  event.events = events;
  event.data.u64 = token;
  return ::epoll_ctl(epoll_fd, EPOLL_CTL_ADD, fd, &event) == 0;
}

}  // namespace

TcpServer::Impl::Impl(TcpServer* owner, std::int32_t port, ReadBudget budget)
    : owner_(owner), port_(std::max<std::int32_t>(port, 1)), budget_(budget) {
  epoll_fd_.reset(::epoll_create1(EPOLL_CLOEXEC));
  if (!epoll_fd_) return;  // without it no socket is ever opened
  spare_fd_ = open_spare();
  timer_fd_.reset(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
  if (timer_fd_ && !add_to(epoll_fd_.get(), timer_fd_.get(), timer_token, EPOLLIN)) {
    timer_fd_.reset();
  }
  notifier_ = new QSocketNotifier(epoll_fd_.get(), QSocketNotifier::Read, owner_);
  QObject::connect(notifier_, &QSocketNotifier::activated, owner_, [this] { on_ready(); });
  listen();
}

TcpServer::Impl::~Impl() {
  *alive_ = false;
  if (notifier_) notifier_->setEnabled(false);  // deleted with its parent, the component
}

void TcpServer::Impl::set_port(std::int32_t port) {
  port = std::max<std::int32_t>(port, 1);
  if (port == port_) return;
  port_ = port;
  listen();
}

void TcpServer::Impl::close_listener() {
  if (!listen_fd_) return;
  ::epoll_ctl(epoll_fd_.get(), EPOLL_CTL_DEL, listen_fd_.get(), nullptr);
  listen_fd_.reset();
  accepting_paused_ = false;
}

// Open connections are not touched; failures leave the component without a listening socket.
void TcpServer::Impl::listen() {
  if (!epoll_fd_) return;
  close_listener();
  posix::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return;
  // Lets the port be taken again while connections accepted on it earlier are still open.
  const int on = 1;
  ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<std::uint16_t>(port_));
  // The system cuts the backlog down to the largest it allows.
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), std::numeric_limits<int>::max()) != 0 ||
      !add_to(epoll_fd_.get(), fd.get(), listener_token, EPOLLIN)) {
    return;
  }
  listen_fd_ = std::move(fd);
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
    count = ::epoll_wait(epoll_fd_.get(), events, events_per_wake, 0);
  } while (count < 0 && errno == EINTR);
  for (int i = 0; i < count; ++i) {
    const Token token = events[i].data.u64;
    if (token == listener_token) {
      if (!listener_awaiting_dispatch_) ready_.push_back(token);
      listener_awaiting_dispatch_ = true;
      continue;
    }
    if (token == timer_token) {
      resume_due();
      continue;
    }
    Connection* connection = find(token);
    if (!connection) continue;
    if (events[i].events & EPOLLOUT) flush(*connection);
    if ((events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) && !connection->awaiting_dispatch) {
      connection->awaiting_dispatch = true;
      ready_.push_back(token);
    }
  }
}

void TcpServer::Impl::dispatch() {
  while (!ready_.empty()) {
    const Token token = ready_.front();
    ready_.pop_front();
    if (!handle(token)) return;  // the component was destroyed by a handler
  }
}

// False when a handler destroyed the component.
bool TcpServer::Impl::handle(Token token) {
  if (token == listener_token) {
    listener_awaiting_dispatch_ = false;
    return accept_pending();
  }
  Connection* connection = find(token);
  if (!connection) return true;  // closed while it waited
  connection->awaiting_dispatch = false;
  return receive(*connection);
}

// Each connection is announced before the next is taken, so events come in acceptance order.
bool TcpServer::Impl::accept_pending() {
  for (int turn = 0; turn < accepts_per_turn; ++turn) {
    // A handler may have moved the port or the descriptors may have run out meanwhile.
    if (!listen_fd_ || accepting_paused_) return true;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    posix::UniqueFd fd(::accept4(listen_fd_.get(), reinterpret_cast<sockaddr*>(&peer), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd) {
      const int error = errno;
      if (error == EAGAIN || error == EWOULDBLOCK) return true;
      accept_failed(error);
      continue;
    }
    if (!admit(std::move(fd), peer, length)) return false;
  }
  return true;  // level-triggered readiness brings the rest on the next turn
}

// False when a handler destroyed the component.
bool TcpServer::Impl::admit(posix::UniqueFd fd, const sockaddr_in& peer, socklen_t length) {
  if (length != sizeof peer || peer.sin_family != AF_INET) return true;
  const Token token = occupy_slot();
  if (!add_to(epoll_fd_.get(), fd.get(), token, EPOLLIN)) {
    free_slots_.push_back(static_cast<std::uint32_t>(token));
    return true;
  }
  set_no_delay(fd.get());
  auto& slot = slots_[static_cast<std::uint32_t>(token)];
  slot.connection = std::make_unique<Connection>(token, std::move(fd), client_id_of(peer),
                                                 TokenBucket(budget_, Clock::now()));
  ++connection_count_;
  Connection& connection = *slot.connection;
  by_client_id_[connection.client_id].push_back(&connection);
  return raise(&TcpServer::on_client_entered, connection.client_id, {});
}

// A connection left pending would make the listening socket ready again at once, for ever.
void TcpServer::Impl::accept_failed(int error) {
  if (error == EMFILE || error == ENFILE) {
    if (spare_fd_) {
      spare_fd_.reset();
      posix::UniqueFd dropped(::accept4(listen_fd_.get(), nullptr, nullptr, SOCK_CLOEXEC));
      dropped.reset();
      spare_fd_ = open_spare();
    }
    if (!spare_fd_) pause_accepting();
  } else if (error == ENOBUFS || error == ENOMEM) {
    pause_accepting();
  }
}

void TcpServer::Impl::pause_accepting() {
  if (accepting_paused_ || !listen_fd_) return;
  epoll_event event{};
  event.data.u64 = listener_token;
  ::epoll_ctl(epoll_fd_.get(), EPOLL_CTL_MOD, listen_fd_.get(), &event);
  accepting_paused_ = true;
  QTimer::singleShot(accept_pause, owner_, [this] { resume_accepting(); });
}

void TcpServer::Impl::resume_accepting() {
  if (!accepting_paused_ || !listen_fd_) return;
  if (!spare_fd_) spare_fd_ = open_spare();
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = listener_token;
  ::epoll_ctl(epoll_fd_.get(), EPOLL_CTL_MOD, listen_fd_.get(), &event);
  accepting_paused_ = false;
}

// Data is delivered first; the close behind it stays readable and comes on the next turn.
bool TcpServer::Impl::receive(Connection& connection) {
  ReadResult result = read_delivery(connection.fd.get(), read_buffer_);
  if (!result.bytes.empty()) {
    // Paused before the handler runs, so a nested loop inside it does not read on.
    if (!connection.budget.spend(result.bytes.size(), Clock::now())) pause_reading(connection);
    return raise(&TcpServer::on_data_arrived, connection.client_id, std::move(result.bytes));
  }
  if (result.closed) return depart(connection);
  return true;
}

// The connection is gone before the handler runs, so a send to it inside finds nothing.
bool TcpServer::Impl::depart(Connection& connection) {
  const posix::UniqueFd fd = std::move(connection.fd);  // closed after the handler
  std::string client_id = connection.client_id;
  ::epoll_ctl(epoll_fd_.get(), EPOLL_CTL_DEL, fd.get(), nullptr);
  forget(connection);
  return raise(&TcpServer::on_client_left, std::move(client_id), {});
}

// Out of the epoll set altogether while paused: an interest set without EPOLLIN would still
// report a reset for ever. Bytes queued for the connection wait until it resumes.
void TcpServer::Impl::pause_reading(Connection& connection) {
  if (!timer_fd_) return;  // without a wake-up the budget cannot be kept; read on
  ::epoll_ctl(epoll_fd_.get(), EPOLL_CTL_DEL, connection.fd.get(), nullptr);
  connection.paused = true;
  resumptions_.emplace(connection.budget.ready_at(), connection.token);
  arm_timer();
}

void TcpServer::Impl::resume_due() {
  std::uint64_t expirations = 0;
  while (::read(timer_fd_.get(), &expirations, sizeof expirations) < 0 && errno == EINTR) {
  }
  timer_armed_for_ = Clock::time_point::max();
  const Clock::time_point now = Clock::now();
  while (!resumptions_.empty() && resumptions_.top().first <= now) {
    Connection* connection = find(resumptions_.top().second);
    resumptions_.pop();
    if (!connection || !connection->paused) continue;
    connection->paused = false;
    watch(*connection, EPOLL_CTL_ADD);
  }
  arm_timer();
}

void TcpServer::Impl::arm_timer() {
  if (resumptions_.empty()) return;
  const Clock::time_point due = resumptions_.top().first;
  if (due >= timer_armed_for_) return;
  const auto since_epoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::max(due, Clock::time_point(Clock::duration(1))).time_since_epoch());
  itimerspec when{};
  when.it_value.tv_sec = static_cast<time_t>(since_epoch.count() / 1'000'000'000);
  when.it_value.tv_nsec = static_cast<long>(since_epoch.count() % 1'000'000'000);
  if (::timerfd_settime(timer_fd_.get(), TFD_TIMER_ABSTIME, &when, nullptr) == 0) {
    timer_armed_for_ = due;
  }
}

void TcpServer::Impl::forget(const Connection& connection) {
  const auto named = by_client_id_.find(connection.client_id);
  if (named != by_client_id_.end()) {
    std::erase(named->second, &connection);
    if (named->second.empty()) by_client_id_.erase(named);
  }
  const auto index = static_cast<std::uint32_t>(connection.token);
  Slot& slot = slots_[index];
  slot.connection.reset();  // `connection` is gone from here on
  if (++slot.generation == 0) slot.generation = 1;
  free_slots_.push_back(index);
  --connection_count_;
}

bool TcpServer::Impl::send(std::string_view client_id, std::string_view data) {
  if (client_id.empty()) return false;
  const auto named = by_client_id_.find(std::string(client_id));
  if (named == by_client_id_.end()) return false;
  Connection& connection = *named->second.front();
  const bool was_empty = connection.queue.empty();
  if (!connection.queue.send(connection.fd.get(), data)) return false;
  if (was_empty && !connection.queue.empty()) watch(connection, EPOLL_CTL_MOD);
  return true;
}

// A failed flush drops the queue; the error itself comes as a departure through reading.
void TcpServer::Impl::flush(Connection& connection) {
  connection.queue.flush(connection.fd.get());
  if (connection.queue.empty()) watch(connection, EPOLL_CTL_MOD);
}

// Readable always, writable while bytes wait; a paused connection is not in the set.
void TcpServer::Impl::watch(const Connection& connection, int operation) {
  if (connection.paused) return;
  epoll_event event{};
  event.events = EPOLLIN | (connection.queue.empty() ? 0u : std::uint32_t{EPOLLOUT});
  event.data.u64 = connection.token;
  ::epoll_ctl(epoll_fd_.get(), operation, connection.fd.get(), &event);
}

Token TcpServer::Impl::occupy_slot() {
  std::uint32_t index;
  if (free_slots_.empty()) {
    index = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  } else {
    index = free_slots_.back();
    free_slots_.pop_back();
  }
  return (Token{slots_[index].generation} << 32) | index;
}

Connection* TcpServer::Impl::find(Token token) {
  const auto index = static_cast<std::uint32_t>(token);
  const auto generation = static_cast<std::uint32_t>(token >> 32);
  if (index >= slots_.size() || slots_[index].generation != generation) return nullptr;
  return slots_[index].connection.get();
}

bool TcpServer::Impl::raise(void (TcpServer::*event)(), std::string client, std::string data) {
  TcpServer* owner = owner_;
  return current.raise({std::move(client), std::move(data)}, alive_,
                       [owner, event] { (owner->*event)(); });
}

TcpServer::TcpServer(std::int32_t port, QObject* parent) : TcpServer(port, ReadBudget{}, parent) {}

TcpServer::TcpServer(std::int32_t port, ReadBudget budget, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>(this, port, budget)) {}

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
