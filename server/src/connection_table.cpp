#include <server/connection_table.h>

namespace server {

namespace {
const std::string empty_text;
}  // namespace

int ConnectionTable::row_count() const { return static_cast<int>(rows_.size()); }

bool ConnectionTable::has_cell(int row, int column) const {
  return row >= 0 && row < row_count() && column >= 0 && column < column_count;
}

const std::string& ConnectionTable::cell(int row, int column) const {
  return has_cell(row, column) ? rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
                               : empty_text;
}

int ConnectionTable::append_row(std::string_view client_id) {
  const int row = row_count();
  if (observer_ != nullptr) observer_->before_insert(row);
  rows_.push_back(Row{std::string(client_id), {}, {}, {}});
  first_row_of_.try_emplace(std::string(client_id), row);  // an earlier row keeps precedence
  if (observer_ != nullptr) observer_->after_insert();
  return row;
}

void ConnectionTable::set_cell(int row, int column, std::string_view text) {
  if (!has_cell(row, column)) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
  if (column == client_ip) rebuild_index();
  if (observer_ != nullptr) observer_->cell_changed(row, column);
}

void ConnectionTable::remove_row(int row) {
  if (row < 0 || row >= row_count()) return;
  if (observer_ != nullptr) observer_->before_remove(row);
  rows_.erase(rows_.begin() + row);
  rebuild_index();  // every later row moved up by one
  if (observer_ != nullptr) observer_->after_remove();
}

int ConnectionTable::find_row(std::string_view client_id) const {
  const auto found = first_row_of_.find(client_id);
  return found == first_row_of_.end() ? no_row : found->second;
}

void ConnectionTable::set_observer(Observer* observer) { observer_ = observer; }

void ConnectionTable::rebuild_index() {
  first_row_of_.clear();
  for (int row = 0; row < row_count(); ++row) {
    first_row_of_.try_emplace(rows_[static_cast<std::size_t>(row)][client_ip], row);
  }
}

}  // namespace server
