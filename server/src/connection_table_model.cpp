#include <server/connection_table_model.h>

#include <protocol/qt_text.h>

#include <string_view>

namespace server {

using protocol::from_gbk;

namespace {

constexpr std::string_view column_titles[column_count] = {
    "\xBF\xCD\xBB\xA7IP",   // 客户IP
    "\xD7\xB4\xCC\xAC",     // 状态
    "\xEA\xC7\xB3\xC6",     // 昵称
    "\xB6\xD4\xCA\xD6IP",   // 对手IP
};


}  // namespace

ConnectionTableModel::ConnectionTableModel(ConnectionTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
  table_.set_observer(this);
}

ConnectionTableModel::~ConnectionTableModel() { table_.set_observer(nullptr); }

int ConnectionTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.row_count();
}

int ConnectionTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : column_count;
}

QVariant ConnectionTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return from_gbk(table_.cell(index.row(), static_cast<Column>(index.column())));
}

QVariant ConnectionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= column_count) return {};
  return from_gbk(column_titles[section]);
}

void ConnectionTableModel::before_insert(int row) { beginInsertRows({}, row, row); }
void ConnectionTableModel::after_insert() { endInsertRows(); }
void ConnectionTableModel::before_remove(int row) { beginRemoveRows({}, row, row); }
void ConnectionTableModel::after_remove() { endRemoveRows(); }

void ConnectionTableModel::cell_changed(int row, int column) {
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

}  // namespace server
