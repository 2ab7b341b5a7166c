#pragma once
// Shows the connection table in 超级列表框1: four titled columns, texts converted from GBK.
#include <server/connection_table.h>

#include <QAbstractTableModel>

namespace server {

class ConnectionTableModel : public QAbstractTableModel, private ConnectionTable::Observer {
  Q_OBJECT

 public:
  static constexpr int column_widths[column_count] = {120, 50, 80, 120};

  explicit ConnectionTableModel(ConnectionTable& table, QObject* parent = nullptr);
  ~ConnectionTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  void before_insert(int row) override;
  void after_insert() override;
  void before_remove(int row) override;
  void after_remove() override;
  void cell_changed(int row, int column) override;

  ConnectionTable& table_;
};

}  // namespace server
