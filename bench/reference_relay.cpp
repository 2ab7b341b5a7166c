// reference_relay: the least work a server of this protocol must do, as a yardstick for
// match_server. One epoll loop; first-come pairing; "XQ" relayed as "DSXQ"; the same log entries
// as match_server, each with its own open, write and close of Log.txt beside the executable.
// No table, no window, no ids kept beyond what a relay needs.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <protocol/messages.h>
#include <protocol/text.h>
#include <chronicle/log_category.h>
#include <posix/unique_fd.h>
#include <server/server_texts.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "entry.h"

namespace {

namespace texts = server::texts;

class LogFile {
 public:
  LogFile() {
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
    if (n <= 0) return;
    path_.assign(exe, static_cast<std::size_t>(n));
    path_.resize(path_.rfind('/') + 1);
    path_ += "Log.txt";
  }
  void write(std::string_view text, int category) const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const std::string entry = chronicle::format_entry(text, category, local);
    posix::UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (fd) (void)!::write(fd.get(), entry.data(), entry.size());
  }

 private:
  std::string path_;
};

struct Connection {
  posix::UniqueFd fd;
  std::string id;            // "address:port", as match_server names a client
  int rival = -1;            // descriptor of the last rival
  std::vector<int> named_by; // descriptors whose last rival is (or was) this connection
  std::string pending;       // bytes the socket did not take yet
};

class Relay {
 public:
  Relay(int epoll_fd, int listen_fd) : epoll_(epoll_fd), listen_(listen_fd) {}

  void run() {
    epoll_event events[256];
    char buffer[65536];
    for (;;) {
      const int n = ::epoll_wait(epoll_, events, 256, -1);
      for (int i = 0; i < n; ++i) {
        const int fd = events[i].data.fd;
        if (fd == listen_) {
          accept_all();
          continue;
        }
        if (events[i].events & EPOLLOUT) flush(fd);
        if (!(events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR))) continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
          for (const std::string& message :
               protocol::cut_delivery({buffer, static_cast<std::size_t>(got)}, protocol::Receiver::server))
            handle(fd, message);
        } else if (got == 0 || errno != EAGAIN) {
          leave(fd);
        }
      }
    }
  }

 private:
  std::string online_count() const {
    return std::string(texts::online_count) + protocol::int_to_text(static_cast<int>(connections_.size())) +
           std::string(texts::persons);
  }

  void accept_all() {
    for (;;) {
      sockaddr_in peer{};
      socklen_t size = sizeof peer;
      const int fd = ::accept4(listen_, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      char address[INET_ADDRSTRLEN];
      ::inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address);
      Connection& c = connections_[fd];
      c.fd.reset(fd);
      c.id = std::string(address) + ":" + std::to_string(ntohs(peer.sin_port));
      epoll_event event{EPOLLIN, {.fd = fd}};
      ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
      log_.write(online_count(), chronicle::number_of(chronicle::LogCategory::other));
    }
  }

  void handle(int fd, const std::string& message) {
    log_.write(std::string(texts::received) + message, chronicle::number_of(chronicle::LogCategory::other));
    const protocol::Fields fields = protocol::fields_of(message);
    if (fields.size() < 3) return;
    if (fields[0] == protocol::verb::ready && fields[2] == protocol::ready_mark) {
      ready(fd);
    } else if (fields[0] == protocol::verb::move) {
      Connection& sender = connections_[fd];
      send(sender.rival, protocol::make_rival_move(fields[1], fields[2]));
      log_.write(sender.id + std::string(texts::position) + fields[1] + ":" + fields[2], chronicle::number_of(chronicle::LogCategory::play));
    }
  }

  void ready(int fd) {
    if (waiting_ < 0) {
      waiting_ = fd;
      return;
    }
    const int white = std::exchange(waiting_, -1);
    Connection& w = connections_[white];
    Connection& b = connections_[fd];
    w.rival = fd;
    b.rival = white;
    w.named_by.push_back(fd);
    b.named_by.push_back(white);
    send(white, protocol::make_start(true));
    log_.write(w.id + std::string(texts::versus) + b.id, chronicle::number_of(chronicle::LogCategory::opponents));
    send(fd, protocol::make_start(false));
  }

  void leave(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    Connection gone = std::move(it->second);
    connections_.erase(it);
    gone.fd.reset();
    for (int other : gone.named_by) {
      auto rival = connections_.find(other);
      if (rival != connections_.end() && rival->second.rival == fd) {
        rival->second.rival = -1;
        send(other, protocol::make_rival_left());
      }
    }
    log_.write(gone.id, chronicle::number_of(chronicle::LogCategory::connection_out));
    log_.write(online_count(), chronicle::number_of(chronicle::LogCategory::other));
    if (waiting_ == fd) waiting_ = -1;
  }

  void send(int fd, const std::string& message) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    if (!c.pending.empty()) {
      c.pending += message;
      return;
    }
    const ssize_t sent = ::send(fd, message.data(), message.size(), MSG_NOSIGNAL);
    const std::size_t done = sent > 0 ? static_cast<std::size_t>(sent) : 0;
    if (done == message.size()) return;
    c.pending = message.substr(done);
    epoll_event event{EPOLLIN | EPOLLOUT, {.fd = fd}};
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
  }

  void flush(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    std::string& pending = it->second.pending;
    const ssize_t sent = ::send(fd, pending.data(), pending.size(), MSG_NOSIGNAL);
    if (sent > 0) pending.erase(0, static_cast<std::size_t>(sent));
    if (!pending.empty()) return;
    epoll_event event{EPOLLIN, {.fd = fd}};
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
  }

  int epoll_;
  int listen_;
  LogFile log_;
  std::unordered_map<int, Connection> connections_;
  int waiting_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  const int port = argc > 1 ? std::atoi(argv[1]) : 19730;
  posix::UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const int yes = 1;
  ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.get(), SOMAXCONN) != 0) {
    std::perror("reference_relay: listen");
    return 1;
  }
  posix::UniqueFd epoll_fd(::epoll_create1(EPOLL_CLOEXEC));
  epoll_event event{EPOLLIN, {.fd = listener.get()}};
  ::epoll_ctl(epoll_fd.get(), EPOLL_CTL_ADD, listener.get(), &event);
  Relay(epoll_fd.get(), listener.get()).run();
}
