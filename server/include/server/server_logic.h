#pragma once
// The handlers of the match server: rows for connections, readiness and pairing, the move relay,
// departures and the port change. Everything outside (sockets, the label, the log) is a seam.
#include <server/connection_table.h>
#include <server/seams.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace server {

// Log entries longer than this are cut to it and end with a note of their full length, so one
// oversized delivery cannot fill the disk; every honest message is far shorter.
inline constexpr std::size_t log_text_limit = 4096;
std::string bounded_log_text(std::string text);

class ServerLogic {
 public:
  static constexpr std::uint32_t pairing_seed = 58945;

  ServerLogic(ConnectionTable& table, Transport& transport, LogSink& log, CountDisplay& count);

  void client_entered(std::string_view client_id);
  // A delivery may hold several messages; each is handled as if it had come alone.
  void data_arrived(std::string_view client_id, std::string_view delivery);
  void client_left(std::string_view client_id);
  void change_port(std::string_view port_text);

  // "当前在线人数：" n " 人" for the current number of rows.
  std::string online_count_text() const;
  const std::vector<std::string>& waiting_players() const { return waiting_players_; }

 private:
  void handle_message(std::string_view client_id, std::string_view message);
  void handle_ready(std::string_view client_id, const std::vector<std::string>& fields);
  void handle_move(std::string_view client_id, const std::vector<std::string>& fields);
  void pair(int sender_row);
  std::string rival_id(int row) const;
  void refresh_online_count();

  ConnectionTable& table_;
  Transport& transport_;
  LogSink& log_;
  CountDisplay& count_;
  std::vector<std::string> waiting_players_;
  std::mt19937 random_{pairing_seed};
};

}  // namespace server
