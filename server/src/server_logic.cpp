#include <server/server_logic.h>
#include <server/server_texts.h>

#include <chronicle/log_category.h>

#include <protocol/messages.h>
#include <protocol/text.h>

#include <algorithm>

namespace server {

using chronicle::LogCategory;
using chronicle::number_of;

std::string bounded_log_text(std::string text) {
  if (text.size() <= log_text_limit) return text;
  const std::size_t full_length = text.size();
  // Cut before a GBK pair that would straddle the limit, so the entry ends on a whole character.
  std::size_t kept = 0;
  while (kept < log_text_limit) {
    const std::size_t width = static_cast<unsigned char>(text[kept]) >= 0x81 ? 2 : 1;
    if (kept + width > log_text_limit) break;
    kept += width;
  }
  text.resize(kept);
  text += texts::cut_note_before;
  text += std::to_string(full_length);
  text += texts::cut_note_after;
  return text;
}

ServerLogic::ServerLogic(ConnectionTable& table, Transport& transport, LogSink& log,
                         CountDisplay& count)
    : table_(table), transport_(transport), log_(log), count_(count) {}

std::string ServerLogic::online_count_text() const {
  std::string text(texts::online_count);
  text += protocol::int_to_text(table_.row_count());
  text += texts::persons;
  return text;
}

void ServerLogic::refresh_online_count() { count_.show_online_count(online_count_text()); }

void ServerLogic::client_entered(std::string_view client_id) {
  table_.append_row(client_id);
  refresh_online_count();
  log_.log(online_count_text(), number_of(LogCategory::other));
}

void ServerLogic::data_arrived(std::string_view client_id, std::string_view delivery) {
  for (const std::string& message : protocol::cut_delivery(delivery, protocol::Receiver::server)) {
    handle_message(client_id, message);
  }
}

void ServerLogic::handle_message(std::string_view client_id, std::string_view message) {
  log_.log(bounded_log_text(std::string(texts::received) + std::string(message)),
           number_of(LogCategory::other));
  const protocol::Fields fields = protocol::fields_of(message);
  if (fields.empty()) return;  // the empty text has no verb
  if (fields[0] == protocol::verb::ready) {
    handle_ready(client_id, fields);
  } else if (fields[0] == protocol::verb::move) {
    handle_move(client_id, fields);
  }
  // Any other verb ("JS" among them) ends with the receive entry.
}

// "NC:" nickname ":" status. Too few fields change nothing: there is no status to record.
void ServerLogic::handle_ready(std::string_view client_id, const std::vector<std::string>& fields) {
  if (fields.size() < 3) return;
  const int row = table_.find_row(client_id);
  if (row == ConnectionTable::no_row) return;
  table_.set_cell(row, Column::status, fields[2]);
  table_.set_cell(row, Column::nickname, fields[1]);
  if (fields[2] != protocol::ready_mark) return;
  waiting_players_.emplace_back(client_id);
  if (waiting_players_.size() >= 2) pair(row);
}

// The one that waited longest is white; the other is drawn from the rest of the list, which
// with pairing on every second entry is always the client that has just become ready.
void ServerLogic::pair(int sender_row) {
  const int n = static_cast<int>(waiting_players_.size());
  const int r = std::uniform_int_distribution<int>(2, n)(random_);
  const std::string white = waiting_players_.front();
  const std::string black = waiting_players_[static_cast<std::size_t>(r - 1)];

  const int white_row = table_.find_row(white);
  table_.set_rival(white_row, table_.find_row(black));
  table_.set_rival(sender_row, white_row);
  transport_.send(white, protocol::make_start(true));
  log_.log(white + std::string(texts::versus) + black, number_of(LogCategory::opponents));
  transport_.send(black, protocol::make_start(false));

  waiting_players_.erase(waiting_players_.begin() + (r - 1));
  waiting_players_.erase(waiting_players_.begin());
}

// The `client_id` of the connection this row was paired with while it is still open; empty once
// it has gone, even when a newer connection holds the same `client_id`.
std::string ServerLogic::rival_id(int row) const {
  return table_.cell(table_.find_connection(table_.rival_connection(row)), Column::client_ip);
}

// "XQ:" x ":" y goes on to the rival as "DSXQ:" x ":" y, the fields copied as received.
void ServerLogic::handle_move(std::string_view client_id, const std::vector<std::string>& fields) {
  if (fields.size() < 3) return;
  const int row = table_.find_row(client_id);
  if (row == ConnectionTable::no_row) return;
  transport_.send(rival_id(row), protocol::make_relayed_move(fields[1], fields[2]));
  log_.log(bounded_log_text(std::string(client_id) + std::string(texts::position) + fields[1] + ":" +
                            fields[2]),
           number_of(LogCategory::play));
}

// The leaver's row goes, then every remaining row whose last pairing was with the leaving
// connection itself (not merely with its `client_id`) is told once, in row order.
void ServerLogic::client_left(std::string_view client_id) {
  const int leaver_row = table_.find_row(client_id);
  const ConnectionNumber leaver = table_.connection(leaver_row);
  // A leaver without a row was nobody's rival.
  const std::vector<ConnectionNumber> rivals =
      leaver == no_connection ? std::vector<ConnectionNumber>() : table_.paired_with(leaver);
  table_.remove_row(leaver_row);
  for (const ConnectionNumber rival : rivals) {
    const int row = table_.find_connection(rival);
    if (row != ConnectionTable::no_row) transport_.send(table_.cell(row, Column::client_ip), protocol::make_rival_left());
  }
  refresh_online_count();
  log_.log(client_id, number_of(LogCategory::connection_out));
  log_.log(online_count_text(), number_of(LogCategory::other));
  std::erase(waiting_players_, client_id);
}

void ServerLogic::change_port(std::string_view port_text) {
  transport_.set_port(protocol::text_to_int(port_text));
  log_.log(std::string(texts::port_changed) + std::string(port_text), number_of(LogCategory::other));
}

}  // namespace server
