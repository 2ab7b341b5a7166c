#include <server/server_logic.h>
#include <server/server_texts.h>

#include <protocol/messages.h>
#include <protocol/text.h>

#include <algorithm>

namespace server {

namespace category = texts::category;

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
  log_.log(online_count_text(), category::other);
}

void ServerLogic::data_arrived(std::string_view client_id, std::string_view delivery) {
  for (const std::string& message : protocol::cut_delivery(delivery, protocol::Receiver::server)) {
    handle_message(client_id, message);
  }
}

void ServerLogic::handle_message(std::string_view client_id, std::string_view message) {
  log_.log(std::string(texts::received) + std::string(message), category::other);
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
  table_.set_cell(row, status, fields[2]);
  table_.set_cell(row, nickname, fields[1]);
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

  table_.set_cell(table_.find_row(white), rival_ip, black);
  table_.set_cell(sender_row, rival_ip, white);
  transport_.send(white, protocol::make_start(true));
  log_.log(white + std::string(texts::versus) + black, category::opponents);
  transport_.send(black, protocol::make_start(false));

  waiting_players_.erase(waiting_players_.begin() + (r - 1));
  waiting_players_.erase(waiting_players_.begin());
}

// "XQ:" x ":" y goes on to the rival as "DSXQ:" x ":" y, the fields copied as received.
void ServerLogic::handle_move(std::string_view client_id, const std::vector<std::string>& fields) {
  if (fields.size() < 3) return;
  const int row = table_.find_row(client_id);
  if (row == ConnectionTable::no_row) return;
  transport_.send(table_.cell(row, rival_ip), protocol::make_relayed_move(fields[1], fields[2]));
  log_.log(std::string(client_id) + std::string(texts::position) + fields[1] + ":" + fields[2],
           category::play);
}

// One pass with one index for deletion and the rival test: after the deletion the test looks at
// the row that moved up, and indexes past the end read as empty and match nothing.
void ServerLogic::client_left(std::string_view client_id) {
  // No connection is named by the empty text; scanning for it would match every unpaired row.
  const int n = client_id.empty() ? 0 : table_.row_count();
  for (int k = 0; k < n; ++k) {
    if (table_.cell(k, client_ip) == client_id) table_.remove_row(k);
    if (table_.cell(k, rival_ip) == client_id) {
      transport_.send(table_.cell(k, client_ip), protocol::make_rival_left());
    }
  }
  refresh_online_count();
  log_.log(client_id, category::connection_out);
  log_.log(online_count_text(), category::other);
  std::erase(waiting_players_, client_id);
}

void ServerLogic::change_port(std::string_view port_text) {
  transport_.set_port(protocol::text_to_int(port_text));
  log_.log(std::string(texts::port_changed) + std::string(port_text), category::other);
}

}  // namespace server
