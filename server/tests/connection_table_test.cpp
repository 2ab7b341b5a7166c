#include <server/connection_table.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using server::ConnectionTable;

ConnectionTable table_of(std::initializer_list<const char*> ids) {
  ConnectionTable table;
  for (const char* id : ids) table.append_row(id);
  return table;
}

TEST(ConnectionTable, RowsAreAppendedAtTheEndWithEmptyColumns) {
  ConnectionTable table = table_of({"10.0.0.5:1234", "10.0.0.6:99"});
  ASSERT_EQ(table.row_count(), 2);
  EXPECT_EQ(table.cell(1, server::Column::client_ip), "10.0.0.6:99");
  for (int column = 1; column < server::column_count; ++column) {
    EXPECT_EQ(table.cell(1, static_cast<server::Column>(column)), "");
  }
  EXPECT_EQ(table.append_row("10.0.0.7:1"), 2);
}

TEST(ConnectionTable, MissingRowsAndColumnsReadEmptyAndIgnoreWrites) {
  ConnectionTable table = table_of({"a:1"});
  for (const auto& [row, column] : {std::pair{-1, 0}, {1, 0}, {7, 3}, {0, -1}, {0, 4}}) {
    EXPECT_EQ(table.cell(row, static_cast<server::Column>(column)), "") << row << "," << column;
    table.set_cell(row, static_cast<server::Column>(column), "x");
  }
  table.remove_row(1);
  table.remove_row(-1);
  ASSERT_EQ(table.row_count(), 1);
  EXPECT_EQ(table.cell(0, server::Column::client_ip), "a:1");
}

TEST(ConnectionTable, RemovingARowMovesTheLaterRowsUpAndKeepsFindingThem) {
  ConnectionTable table = table_of({"a:1", "b:2", "c:3"});
  table.set_cell(2, server::Column::nickname, "c-name");
  table.remove_row(0);
  ASSERT_EQ(table.row_count(), 2);
  EXPECT_EQ(table.find_row("a:1"), ConnectionTable::no_row);
  EXPECT_EQ(table.find_row("b:2"), 0);
  EXPECT_EQ(table.find_row("c:3"), 1);
  EXPECT_EQ(table.cell(1, server::Column::nickname), "c-name");
}

TEST(ConnectionTable, FindingGivesTheFirstMatchingRow) {
  ConnectionTable table = table_of({"a:1", "dup:2", "dup:2"});
  EXPECT_EQ(table.find_row("dup:2"), 1);
  table.remove_row(1);
  EXPECT_EQ(table.find_row("dup:2"), 1);
  EXPECT_EQ(table.find_row(""), ConnectionTable::no_row);
  EXPECT_EQ(table.find_row("a:"), ConnectionTable::no_row);
}

TEST(ConnectionTable, RewritingColumnZeroMovesTheRowsName) {
  ConnectionTable table = table_of({"a:1", "b:2"});
  table.set_cell(0, server::Column::client_ip, "z:9");
  EXPECT_EQ(table.find_row("a:1"), ConnectionTable::no_row);
  EXPECT_EQ(table.find_row("z:9"), 0);
  table.set_cell(1, server::Column::client_ip, "z:9");
  EXPECT_EQ(table.find_row("z:9"), 0);
}

// The index must answer exactly what a linear scan from row 0 answers, whatever happened before.
TEST(ConnectionTable, LookupAgreesWithALinearScanAfterAnyChanges) {
  const std::string names[] = {"a:1", "b:2", "c:3", "d:4"};  // few names, so duplicates occur
  std::mt19937 random(7);
  ConnectionTable table;
  for (int step = 0; step < 3000; ++step) {
    const std::string& name = names[random() % 4];
    switch (random() % 3) {
      case 0: table.append_row(name); break;
      case 1: table.remove_row(static_cast<int>(random() % 8)); break;
      case 2: table.set_cell(static_cast<int>(random() % 8), server::Column::client_ip, name); break;
    }
    for (const std::string& wanted : names) {
      int scanned = ConnectionTable::no_row;
      for (int row = 0; row < table.row_count() && scanned == ConnectionTable::no_row; ++row) {
        if (table.cell(row, server::Column::client_ip) == wanted) scanned = row;
      }
      ASSERT_EQ(table.find_row(wanted), scanned) << "step " << step << ", " << wanted;
    }
  }
}

// Whom a departure tells must be what a scan of every row's rival number would find.
TEST(ConnectionTable, PairedWithAgreesWithAScanOfTheRivalsAfterAnyChanges) {
  std::mt19937 random(11);
  ConnectionTable table;
  for (int step = 0; step < 3000; ++step) {
    const int rows = table.row_count();
    switch (random() % 3) {
      case 0: table.append_row("n:" + std::to_string(step)); break;
      case 1: table.remove_row(rows == 0 ? 0 : static_cast<int>(random() % rows)); break;
      case 2:
        if (rows > 0) table.set_rival(static_cast<int>(random() % rows), static_cast<int>(random() % rows));
        break;
    }
    for (int row = 0; row < table.row_count(); ++row) {
      std::vector<server::ConnectionNumber> scanned;
      for (int other = 0; other < table.row_count(); ++other) {
        if (table.rival_connection(other) == table.connection(row)) scanned.push_back(table.connection(other));
      }
      ASSERT_EQ(table.paired_with(table.connection(row)), scanned) << "step " << step << ", row " << row;
      ASSERT_EQ(table.find_connection(table.connection(row)), row);
    }
  }
}

}  // namespace
