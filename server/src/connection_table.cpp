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
  return has_cell(row, column) ? rows_[static_cast<std::size_t>(row)].cells[at(column)] : empty_text;
}

int ConnectionTable::append_row(std::string_view client_id) {
  const int row = row_count();
  if (observer_ != nullptr) observer_->before_insert(row);
  Row added;
  added.cells[at(Column::client_ip)] = client_id;
  added.connection = ++last_connection_;
  rows_.push_back(std::move(added));
  first_row_of_.try_emplace(std::string(client_id), row);  // an earlier row keeps precedence
  if (observer_ != nullptr) observer_->after_insert();
  return row;
}

void ConnectionTable::set_cell(int row, Column column, std::string_view text) {
  if (!has_cell(row, column)) return;
  rows_[static_cast<std::size_t>(row)].cells[at(column)] = text;
  if (column == Column::client_ip) rebuild_index();
  if (observer_ != nullptr) observer_->cell_changed(row, static_cast<int>(column));
}

void ConnectionTable::remove_row(int row) {
  if (!has_row(row)) return;
  if (observer_ != nullptr) observer_->before_remove(row);
  const std::string removed_id = std::move(rows_[static_cast<std::size_t>(row)].cells[at(Column::client_ip)]);
  rows_.erase(rows_.begin() + row);
  shift_index_after_removal(removed_id, row);
  if (observer_ != nullptr) observer_->after_remove();
}

int ConnectionTable::find_row(std::string_view client_id) const {
  const auto found = first_row_of_.find(client_id);
  return found == first_row_of_.end() ? no_row : found->second;
}

ConnectionNumber ConnectionTable::connection(int row) const {
  return has_row(row) ? rows_[static_cast<std::size_t>(row)].connection : no_connection;
}

ConnectionNumber ConnectionTable::rival_connection(int row) const {
  return has_row(row) ? rows_[static_cast<std::size_t>(row)].rival : no_connection;
}

void ConnectionTable::set_rival(int row, int rival_row) {
  if (!has_row(row) || !has_row(rival_row)) return;
  rows_[static_cast<std::size_t>(row)].rival = connection(rival_row);
  set_cell(row, Column::rival_ip, cell(rival_row, Column::client_ip));
}

// Rows keep connection order and numbers only grow, so the rows are sorted by number.
int ConnectionTable::find_connection(ConnectionNumber connection) const {
  const auto found = std::lower_bound(
      rows_.begin(), rows_.end(), connection,
      [](const Row& row, ConnectionNumber wanted) { return row.connection < wanted; });
  if (found == rows_.end() || found->connection != connection) return no_row;
  return static_cast<int>(found - rows_.begin());
}

void ConnectionTable::set_observer(Observer* observer) { observer_ = observer; }

// Every later row moved up by one. Its name keeps pointing at it only if it was that name's first
// row; a later row with the removed row's name takes over that name.
void ConnectionTable::shift_index_after_removal(const std::string& removed_id, int removed_row) {
  const auto removed = first_row_of_.find(removed_id);
  if (removed != first_row_of_.end() && removed->second == removed_row) first_row_of_.erase(removed);
  for (int row = removed_row; row < row_count(); ++row) {
    const std::string& id = cell(row, Column::client_ip);
    const auto entry = first_row_of_.find(id);
    if (entry == first_row_of_.end()) {
      first_row_of_.emplace(id, row);
    } else if (entry->second == row + 1) {
      entry->second = row;
    }
  }
}

void ConnectionTable::rebuild_index() {
  first_row_of_.clear();
  for (int row = 0; row < row_count(); ++row) first_row_of_.try_emplace(cell(row, Column::client_ip), row);
}

}  // namespace server
