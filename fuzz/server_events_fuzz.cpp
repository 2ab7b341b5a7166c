// The server's rules over a sequence of connections, departures and deliveries, as the TCP
// component raises them: every connection has an id of its own, and only open connections
// leave or send. After every step the table holds exactly the open connections in connection
// order, and the waiting list names open, ready, unpaired connections once each.
#include "fuzz_input.h"

#include <server/connection_table.h>
#include <server/seams.h>
#include <server/server_logic.h>

#include <protocol/messages.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

class NullWorld : public server::Transport, public server::LogSink, public server::CountDisplay {
 public:
  void send(std::string_view client_id, std::string_view) override { sends_to.emplace_back(client_id); }
  void set_port(std::int32_t) override {}
  void log(std::string_view, int) override {}
  void show_online_count(std::string_view) override {}
  std::vector<std::string> sends_to;
};

void check(const server::ConnectionTable& table, const server::ServerLogic& logic,
           const std::vector<std::string>& open) {
  require(table.row_count() == static_cast<int>(open.size()));
  for (int row = 0; row < table.row_count(); ++row) {
    require(table.cell(row, server::Column::client_ip) == open[static_cast<std::size_t>(row)]);
    require(table.find_row(open[static_cast<std::size_t>(row)]) == row);
  }
  const std::vector<std::string>& waiting = logic.waiting_players();
  require(waiting.size() <= 1);  // a second ready player is paired at once
  for (const std::string& id : waiting) {
    const int row = table.find_row(id);
    require(row != server::ConnectionTable::no_row);
    require(std::count(waiting.begin(), waiting.end(), id) == 1);
  }
}

std::string message_from(fuzz::Input& in) {
  switch (in.byte() % 5) {
    case 0: return protocol::make_ready(in.text());
    case 1: return "NC:" + in.text() + ":" + in.text();
    case 2: return "XQ:" + in.text() + ":" + in.text();
    case 3: return protocol::make_game_over(in.text());
    default: return in.text();  // raw bytes
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  server::ConnectionTable table;
  NullWorld world;
  server::ServerLogic logic(table, world, world, world);
  std::vector<std::string> open;
  int next_port = 1;

  while (!in.done()) {
    const std::uint8_t step = in.byte();
    if (step % 4 == 0 || open.empty()) {
      open.push_back("127.0.0.1:" + std::to_string(next_port++));
      logic.client_entered(open.back());
    } else if (step % 4 == 1) {
      const auto which = open.begin() + in.byte() % open.size();
      const std::string id = *which;
      open.erase(which);
      logic.client_left(id);
    } else {
      const std::string& id = open[in.byte() % open.size()];
      std::string delivery = message_from(in);
      for (int more = step >> 2 & 3; more > 0; --more) delivery += message_from(in);
      logic.data_arrived(id, delivery);
    }
    check(table, logic, open);
  }
  return 0;
}
