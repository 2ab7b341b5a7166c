// Prints what one relayed move and one ready message cost with few and with many players
// connected: the sender's row comes from the client_id index, so the figures should stay flat.
#include <server/server_logic.h>

#include <chrono>
#include <functional>
#include <cstdio>
#include <string>

namespace {

class Silent : public server::Transport, public server::LogSink, public server::CountDisplay {
 public:
  void send(std::string_view, std::string_view text) override { bytes += text.size(); }
  void set_port(std::int32_t) override {}
  void log(std::string_view text, int) override { bytes += text.size(); }
  void show_online_count(std::string_view) override {}
  std::size_t bytes = 0;
};

std::string id_of(int i) { return "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                                  std::to_string(i % 256) + ":" + std::to_string(1024 + i % 60000); }

double nanoseconds_per(int repeats, const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) step();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return std::chrono::duration<double, std::nano>(elapsed).count() / repeats;
}

}  // namespace

int main() {
  std::printf("%10s %14s %14s %16s\n", "players", "move ns", "ready ns", "departure us");
  for (int players : {10, 1000, 100000}) {
    server::ConnectionTable table;
    Silent silent;
    server::ServerLogic logic(table, silent, silent, silent);
    for (int i = 0; i < players; ++i) logic.client_entered(id_of(i));
    // The last two rows play each other, so every lookup has to reach the end of a scan.
    const std::string white = id_of(players - 2), black = id_of(players - 1);
    logic.data_arrived(white, "NC:w:OK");
    logic.data_arrived(black, "NC:b:OK");

    const double move = nanoseconds_per(200000, [&] { logic.data_arrived(white, "XQ:375:425"); });
    const double ready = nanoseconds_per(200000, [&] { logic.data_arrived(black, "NC:b:later"); });
    int next = players;
    const double departure = nanoseconds_per(50, [&] {
      logic.client_left(id_of(0 + next - players));
      logic.client_entered(id_of(next++));
    }) / 1000.0;
    std::printf("%10d %14.0f %14.0f %16.1f\n", players, move, ready, departure);
  }
  return 0;
}
