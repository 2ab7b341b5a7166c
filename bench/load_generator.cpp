// load_generator: plays many games at once against a server on 127.0.0.1 and prints figures.
//
//   load_generator play   PORT GAMES SECONDS SERVER_PID   games ping-pong as fast as relayed
//   load_generator join   PORT CLIENTS SERVER_PID         all connect and get ready at once
//   load_generator depart PORT CLIENTS SERVER_PID         as join, then all close at once
//
// Every client sends "NC" as soon as it is connected, so the server pairs them first come, first
// served. White opens with an "XQ"; every client answers each "DSXQ" with its next "XQ". The
// server judges nothing, so each client just walks its own half of the board's points.
// One line of key=value figures goes to standard output.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <posix/unique_fd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::string_view white_start = "ST:\xB0\xD7\xC9\xAB";  // "ST:白色"
constexpr std::string_view start = "ST:";
constexpr std::string_view rival_move = "DSXQ:";

double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Resident memory of the server, from /proc; 0 when unreadable.
double resident_mib(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

// User plus system CPU time of the server, in clock ticks.
long cpu_ticks(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t end_of_name = all.rfind(')');
  if (end_of_name == std::string::npos) return 0;
  std::istringstream rest(all.substr(end_of_name + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::atol(field.c_str());
    if (i == 15) stime = std::atol(field.c_str());
  }
  return utime + stime;
}

struct Client {
  posix::UniqueFd fd;
  bool connected = false;
  bool paired = false;
  bool white = false;
  int next_point = 0;  // index into this client's half of the 225 points
  Clock::time_point sent_at{};
  bool awaiting = false;
};

class Generator {
 public:
  Generator(int port, int clients) : port_(port), clients_(static_cast<std::size_t>(clients)) {}

  // Starts every connection at once; returns when every client is paired or the deadline passes.
  void join(Clock::duration limit) {
    started_ = Clock::now();
    for (std::size_t i = 0; i < clients_.size(); ++i) open(i);
    const Clock::time_point deadline = started_ + limit;
    while (paired_ + failed_ < clients_.size() && Clock::now() < deadline) turn(100);
  }

  // Keeps the games going for the given time, counting the moves relayed in it.
  void play(Clock::duration length) {
    measuring_ = true;
    const Clock::time_point from = Clock::now();
    const Clock::time_point until = from + length;
    while (Clock::now() < until) turn(10);
    measuring_ = false;
    measured_ms_ = ms_between(from, Clock::now());
  }

  void close_all() {
    for (Client& c : clients_) c.fd.reset();
  }

  std::size_t paired() const { return paired_; }
  std::size_t failed() const { return failed_; }
  std::size_t lost() const { return clients_.size() - paired_; }
  double join_ms() const { return paired_ == 0 ? 0 : ms_between(started_, last_paired_); }
  long relayed() const { return relayed_; }
  double moves_per_second() const { return measured_ms_ > 0 ? moves_ * 1000.0 / measured_ms_ : 0; }

  double round_trip_ms(double quantile) {
    if (round_trips_us_.empty()) return 0;
    const std::size_t k = std::min(round_trips_us_.size() - 1,
                                   static_cast<std::size_t>(quantile * round_trips_us_.size()));
    std::nth_element(round_trips_us_.begin(), round_trips_us_.begin() + static_cast<long>(k),
                     round_trips_us_.end());
    return round_trips_us_[k] / 1000.0;
  }

 private:
  void open(std::size_t index) {
    Client& c = clients_[index];
    c.fd.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!c.fd || (::connect(c.fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
                  errno != EINPROGRESS)) {
      fail(c);
      return;
    }
    epoll_event event{EPOLLOUT | EPOLLIN, {.u64 = index}};
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, c.fd.get(), &event);
  }

  void fail(Client& c) {
    c.fd.reset();
    ++failed_;
  }

  void turn(int timeout_ms) {
    epoll_event events[512];
    const int n = ::epoll_wait(epoll_.get(), events, 512, timeout_ms);
    for (int i = 0; i < n; ++i) {
      Client& c = clients_[events[i].data.u64];
      if (!c.fd) continue;
      if (!c.connected) {
        connected(c, events[i].data.u64);
        continue;
      }
      if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) receive(c);
    }
  }

  void connected(Client& c, std::uint64_t index) {
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(c.fd.get(), SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0) {
      fail(c);
      return;
    }
    c.connected = true;
    epoll_event event{EPOLLIN, {.u64 = index}};
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_MOD, c.fd.get(), &event);
    send(c, "NC:p" + std::to_string(index) + ":OK");
  }

  void receive(Client& c) {
    char buffer[4096];
    const ssize_t got = ::read(c.fd.get(), buffer, sizeof buffer);
    if (got <= 0) {
      if (got < 0 && errno == EAGAIN) return;
      if (!c.paired) fail(c);
      c.fd.reset();
      return;
    }
    const std::string_view data(buffer, static_cast<std::size_t>(got));
    if (!c.paired && data.find(start) != std::string_view::npos) {
      c.paired = true;
      c.white = data.find(white_start) != std::string_view::npos;
      ++paired_;
      last_paired_ = Clock::now();
      if (c.white) move(c);
    }
    if (data.find(rival_move) != std::string_view::npos) {
      const Clock::time_point now = Clock::now();
      ++relayed_;
      if (measuring_) {
        ++moves_;
        if (c.awaiting)
          round_trips_us_.push_back(
              static_cast<float>(std::chrono::duration<double, std::micro>(now - c.sent_at).count()));
      }
      move(c);
    }
  }

  // White takes the even points of the 15 x 15 board, black the odd ones, so a game never
  // repeats a point until the board would be full; then it starts over.
  void move(Client& c) {
    const int point = (2 * c.next_point + (c.white ? 0 : 1)) % 225;
    c.next_point = (c.next_point + 1) % 113;
    const int x = 50 + 50 * (point % 15);
    const int y = 50 + 50 * (point / 15);
    c.sent_at = Clock::now();
    c.awaiting = true;
    send(c, "XQ:" + std::to_string(x) + ":" + std::to_string(y));
  }

  void send(Client& c, const std::string& message) {
    (void)::send(c.fd.get(), message.data(), message.size(), MSG_NOSIGNAL);
  }

  int port_;
  std::vector<Client> clients_;
  posix::UniqueFd epoll_{::epoll_create1(EPOLL_CLOEXEC)};
  Clock::time_point started_{};
  Clock::time_point last_paired_{};
  std::size_t paired_ = 0;
  std::size_t failed_ = 0;
  bool measuring_ = false;
  double measured_ms_ = 0;
  long moves_ = 0;    // relayed while measuring
  long relayed_ = 0;  // relayed in the whole run
  std::vector<float> round_trips_us_;
};

// Watches the server's CPU time after the mass departure: the departure is handled when the
// server stops using CPU. The figure is the time to the last tick of CPU it used, so it has the
// resolution of a clock tick (10 ms).
void watch_departure(int pid, Clock::time_point closed_at) {
  long ticks = cpu_ticks(pid);
  const long before = ticks;
  Clock::time_point last_busy = closed_at;
  while (Clock::now() - last_busy < 500ms && Clock::now() - closed_at < 20s) {
    ::usleep(2000);
    const long now_ticks = cpu_ticks(pid);
    if (now_ticks != ticks) {
      ticks = now_ticks;
      last_busy = Clock::now();
    }
  }
  const long hz = ::sysconf(_SC_CLK_TCK);
  std::printf(" depart_ms=%.0f depart_cpu_ms=%.0f", ms_between(closed_at, last_busy),
              (ticks - before) * 1000.0 / static_cast<double>(hz));
}

int usage() {
  std::fprintf(stderr,
               "usage: load_generator play PORT GAMES SECONDS SERVER_PID\n"
               "       load_generator join|depart PORT CLIENTS SERVER_PID\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return usage();
  const std::string mode = argv[1];
  const int port = std::atoi(argv[2]);
  const int count = std::atoi(argv[3]);
  if (mode == "play" && argc == 6) {
    const int pid = std::atoi(argv[5]);
    Generator generator(port, 2 * count);
    generator.join(30s);
    generator.play(std::chrono::milliseconds(static_cast<long>(std::atof(argv[4]) * 1000)));
    std::printf("moves_per_s=%.0f p50_ms=%.3f p99_ms=%.3f pair_ms=%.0f failed=%zu rss_mib=%.1f relayed=%ld\n",
                generator.moves_per_second(), generator.round_trip_ms(0.5), generator.round_trip_ms(0.99),
                generator.join_ms(), generator.lost(), resident_mib(pid), generator.relayed());
    return 0;
  }
  if ((mode == "join" || mode == "depart") && argc == 5) {
    const int pid = std::atoi(argv[4]);
    Generator generator(port, count);
    generator.join(40s);
    std::printf("join_ms=%.0f lost=%zu rss_mib=%.1f", generator.join_ms(), generator.lost(),
                resident_mib(pid));
    if (mode == "depart") {
      generator.close_all();
      watch_departure(pid, Clock::now());
    }
    std::printf("\n");
    return 0;
  }
  return usage();
}
