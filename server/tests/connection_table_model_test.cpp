#include <server/connection_table_model.h>

#include <protocol/gbk_codec.h>

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using server::ConnectionTable;
using server::ConnectionTableModel;

QString utf8(std::string_view gbk) { return QString::fromStdString(protocol::gbk_to_utf8(gbk)); }

TEST(ConnectionTableModel, ShowsTheFourTitledColumns) {
  ConnectionTable table;
  ConnectionTableModel model(table);
  ASSERT_EQ(model.columnCount(), 4);
  const char* titles[] = {"\xBF\xCD\xBB\xA7IP", "\xD7\xB4\xCC\xAC", "\xEA\xC7\xB3\xC6", "\xB6\xD4\xCA\xD6IP"};  // 客户IP 状态 昵称 对手IP
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), utf8(titles[column])) << column;
  }
  EXPECT_EQ((std::vector<int>(std::begin(ConnectionTableModel::column_widths),
                              std::end(ConnectionTableModel::column_widths))),
            (std::vector<int>{120, 50, 80, 120}));
}

TEST(ConnectionTableModel, FollowsTheTableRowForRowWithDecodedTexts) {
  ConnectionTable table;
  ConnectionTableModel model(table);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

  table.append_row("a:1");
  table.append_row("b:2");
  table.set_cell(1, server::Column::nickname, "\xBC\xD7");  // 甲
  ASSERT_EQ(inserted.count(), 2);
  EXPECT_EQ(inserted.at(1).at(1).toInt(), 1);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), model.index(1, static_cast<int>(server::Column::nickname)));
  EXPECT_EQ(model.data(model.index(1, static_cast<int>(server::Column::nickname))).toString(), utf8("\xBC\xD7"));

  table.remove_row(0);
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed.at(0).at(1).toInt(), 0);
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.data(model.index(0, static_cast<int>(server::Column::client_ip))).toString(), QStringLiteral("b:2"));
  EXPECT_EQ(model.data(model.index(0, static_cast<int>(server::Column::rival_ip))).toString(), QString());
}

TEST(ConnectionTableModel, TableOutlivingTheModelStopsTellingIt) {
  ConnectionTable table;
  { ConnectionTableModel model(table); }
  table.append_row("a:1");  // would reach a destroyed model if it were still observing
  EXPECT_EQ(table.row_count(), 1);
}

}  // namespace
