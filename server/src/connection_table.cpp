#include <server/connection_table.h>

#include <algorithm>

namespace server {

namespace {
const std::string empty_text;
}  // namespace

int ConnectionTable::row_count() const { return static_cast<int>(rows_.size()); }

bool ConnectionTable::has_row(int row) const { return row >= 0 && row < row_count(); }

bool ConnectionTable::has_cell(int row, Column column) const {
  return has_row(row) && static_cast<int>(column) >= 0 && static_cast<int>(column) < column_count;
}

const std::string& ConnectionTable::cell(int row, Column column) const {
  return has_cell(row, column) ? row_at(row).cells[at(column)] : empty_text;
}

int ConnectionTable::append_row(std::string_view client_id) {
  const int row = row_count();
  if (observer_ != nullptr) observer_->before_insert(row);
  auto added = std::make_unique<Row>();
  added->cells[at(Column::client_ip)] = client_id;
  added->connection = ++last_connection_;
  rows_named_[added->cells[at(Column::client_ip)]].push_back(added->connection);  // numbers only grow
  rows_.push_back(std::move(added));
  if (observer_ != nullptr) observer_->after_insert();
  return row;
}

void ConnectionTable::set_cell(int row, Column column, std::string_view text) {
  if (!has_cell(row, column)) return;
  row_at(row).cells[at(column)] = text;
  if (column == Column::client_ip) rebuild_index();
  if (observer_ != nullptr) observer_->cell_changed(row, static_cast<int>(column));
}

void ConnectionTable::remove_row(int row) {
  if (!has_row(row)) return;
  if (observer_ != nullptr) observer_->before_remove(row);
  const Row& removed = row_at(row);
  forget_name(removed.cells[at(Column::client_ip)], removed.connection);
  forget_pairing(removed.connection, removed.rival);
  paired_with_.erase(removed.connection);  // rows naming it keep its number, which no row has now
  rows_.erase(rows_.begin() + row);
  if (observer_ != nullptr) observer_->after_remove();
}

int ConnectionTable::find_row(std::string_view client_id) const {
  const auto found = rows_named_.find(client_id);
  return found == rows_named_.end() ? no_row : find_connection(found->second.front());
}

ConnectionNumber ConnectionTable::connection(int row) const {
  return has_row(row) ? row_at(row).connection : no_connection;
}

ConnectionNumber ConnectionTable::rival_connection(int row) const {
  return has_row(row) ? row_at(row).rival : no_connection;
}

void ConnectionTable::set_rival(int row, int rival_row) {
  if (!has_row(row) || !has_row(rival_row)) return;
  Row& paired = row_at(row);
  forget_pairing(paired.connection, paired.rival);
  paired.rival = connection(rival_row);
  paired_with_[paired.rival].push_back(paired.connection);
  set_cell(row, Column::rival_ip, cell(rival_row, Column::client_ip));
}

// Rows keep connection order and numbers only grow, so the rows are sorted by number.
int ConnectionTable::find_connection(ConnectionNumber connection) const {
  const auto found = std::lower_bound(
      rows_.begin(), rows_.end(), connection,
      [](const std::unique_ptr<Row>& row, ConnectionNumber wanted) { return row->connection < wanted; });
  if (found == rows_.end() || (*found)->connection != connection) return no_row;
  return static_cast<int>(found - rows_.begin());
}

std::vector<ConnectionNumber> ConnectionTable::paired_with(ConnectionNumber connection) const {
  const auto found = paired_with_.find(connection);
  if (found == paired_with_.end()) return {};
  std::vector<ConnectionNumber> rows = found->second;
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ConnectionTable::forget_pairing(ConnectionNumber connection, ConnectionNumber rival) {
  const auto list = paired_with_.find(rival);
  if (list == paired_with_.end()) return;
  std::erase(list->second, connection);
  if (list->second.empty()) paired_with_.erase(list);
}

void ConnectionTable::set_observer(Observer* observer) { observer_ = observer; }

void ConnectionTable::forget_name(const std::string& client_id, ConnectionNumber connection) {
  const auto named = rows_named_.find(client_id);
  if (named == rows_named_.end()) return;
  std::erase(named->second, connection);
  if (named->second.empty()) rows_named_.erase(named);
}

// Only a rewritten column 0 needs this, which the server's rules never do.
void ConnectionTable::rebuild_index() {
  rows_named_.clear();
  for (const auto& row : rows_) rows_named_[row->cells[at(Column::client_ip)]].push_back(row->connection);
}

}  // namespace server
