// Echo round trips of a few busy peers while a TcpServer holds many idle connections.
// The peers run in a child process, so each side has its own descriptor limit.
// Usage: protocol_tcp_bench [max idle connections, default 10000]
#include <protocol/tcp_server.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int busy_peers = 4;
constexpr int rounds = 4000;
const std::string query = "COUNT";
const std::string message = "DSXQ:375:425";

void raise_descriptor_limit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

std::uint16_t unused_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// ---- the peers' side (child process, no Qt) ----

int open_connection(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

std::string read_exactly(int fd, std::size_t n) {
  std::string bytes(n, '\0');
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::recv(fd, bytes.data() + got, n - got, 0);
    if (r <= 0) std::exit(2);
    got += static_cast<std::size_t>(r);
  }
  return bytes;
}

int server_count(int fd) {
  ::send(fd, query.data(), query.size(), 0);
  char reply[32] = {};
  const ssize_t r = ::recv(fd, reply, sizeof reply - 1, 0);
  return r > 0 ? std::atoi(reply) : -1;
}

double microseconds_per_round_trip(const std::vector<int>& busy) {
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) {
    for (const int fd : busy) ::send(fd, message.data(), message.size(), 0);
    for (const int fd : busy) read_exactly(fd, message.size());
  }
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / rounds;
}

void run_peers(std::uint16_t port, int max_idle) {
  std::vector<int> busy;
  for (int i = 0; i < busy_peers; ++i) busy.push_back(open_connection(port));
  std::vector<int> idle;
  std::printf("%8s %10s %28s\n", "idle", "accepted", "us per round (4 busy peers)");
  for (const int target : {0, 100, 1000, 5000, max_idle}) {
    if (target > max_idle) continue;
    while (static_cast<int>(idle.size()) < target) {
      const int fd = open_connection(port);
      if (fd < 0) break;
      idle.push_back(fd);
    }
    const int expected = static_cast<int>(idle.size()) + busy_peers;
    while (server_count(busy.front()) < expected) ::usleep(10000);
    std::printf("%8zu %10d %28.1f\n", idle.size(), expected, microseconds_per_round_trip(busy));
    std::fflush(stdout);
    if (static_cast<int>(idle.size()) < target) {
      std::printf("stopped at %zu idle connections (descriptor limit)\n", idle.size());
      break;
    }
  }
}

// ---- the server's side ----

int run_server(std::uint16_t port, int done_pipe, int argc, char** argv) {
  QCoreApplication app(argc, argv);
  protocol::TcpServer server(port);
  QObject::connect(&server, &protocol::TcpServer::on_data_arrived, &server, [&server] {
    const std::string data = server.received_data();
    const std::string reply = data == query ? std::to_string(server.connection_count()) : data;
    server.send(server.current_client(), reply);
  });
  // The peers' process closes the pipe when it ends.
  QSocketNotifier done(done_pipe, QSocketNotifier::Read);
  QObject::connect(&done, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const int max_idle = argc > 1 ? std::atoi(argv[1]) : 10000;
  raise_descriptor_limit();
  const std::uint16_t port = unused_port();
  int done[2];
  if (::pipe(done) != 0) return 1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(done[0]);
    ::usleep(200000);  // let the server start listening
    run_peers(port, max_idle);
    return 0;
  }
  ::close(done[1]);
  run_server(port, done[0], argc, argv);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
