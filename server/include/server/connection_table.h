#pragma once
// The server's one record per open connection: rows of four GBK texts in connection order.
// A row index or column that does not exist reads as the empty text; writing or deleting it does
// nothing. Each row carries a connection number given when it is appended and never given again,
// and the number of the connection it was last paired with: a rival is a connection, and a
// later connection that happens to reuse the rival's `client_id` is a stranger.
// Rows stay sorted by connection number, so a row is found by number in logarithmic time, and an
// index from `client_id` (column 0) to the numbers of the rows holding it needs no renumbering
// when a row goes: removing one among many players costs a shift of pointers, not of rows.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace server {

enum class Column : int { client_ip = 0, status = 1, nickname = 2, rival_ip = 3 };
inline constexpr int column_count = 4;

// Numbers rows' connections; never 0, which stands for "never paired".
using ConnectionNumber = std::uint64_t;
inline constexpr ConnectionNumber no_connection = 0;

class ConnectionTable {
 public:
  // Told around every change, so that a view can follow the rows.
  class Observer {
   public:
    virtual void before_insert(int row) = 0;
    virtual void after_insert() = 0;
    virtual void before_remove(int row) = 0;
    virtual void after_remove() = 0;
    virtual void cell_changed(int row, int column) = 0;

   protected:
    ~Observer() = default;
  };

  static constexpr int no_row = -1;

  int row_count() const;
  const std::string& cell(int row, Column column) const;

  // Appends a row whose column 0 is `client_id`; the other columns start empty.
  int append_row(std::string_view client_id);
  void set_cell(int row, Column column, std::string_view text);
  void remove_row(int row);

  // The first row whose column 0 equals `client_id` byte for byte, or no_row.
  int find_row(std::string_view client_id) const;

  // The row's own connection, and the one it was last paired with (no_connection before its
  // first pairing or for a row that does not exist).
  ConnectionNumber connection(int row) const;
  ConnectionNumber rival_connection(int row) const;
  // Pairs `row` with the connection of `rival_row`: column 3 names the rival's `client_id`.
  void set_rival(int row, int rival_row);
  // The row of a connection that is still open, or no_row.
  int find_connection(ConnectionNumber connection) const;
  // The open connections whose last pairing was with `connection`, in row order.
  std::vector<ConnectionNumber> paired_with(ConnectionNumber connection) const;

  void set_observer(Observer* observer);

 private:
  struct Row {
    std::array<std::string, column_count> cells;
    ConnectionNumber connection = no_connection;
    ConnectionNumber rival = no_connection;
  };

  bool has_row(int row) const;
  bool has_cell(int row, Column column) const;
  static std::size_t at(Column column) { return static_cast<std::size_t>(column); }
  Row& row_at(int row) { return *rows_[static_cast<std::size_t>(row)]; }
  const Row& row_at(int row) const { return *rows_[static_cast<std::size_t>(row)]; }
  void forget_name(const std::string& client_id, ConnectionNumber connection);
  void forget_pairing(ConnectionNumber connection, ConnectionNumber rival);
  void rebuild_index();

  // Lets a lookup by string_view find the key without building a string.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  std::vector<std::unique_ptr<Row>> rows_;
  // Ascending numbers of the rows whose column 0 is the key; the first is the first such row.
  std::unordered_map<std::string, std::vector<ConnectionNumber>, TextHash, std::equal_to<>> rows_named_;
  // For each connection, the rows (by number) whose rival it is, so that a departure finds whom
  // to tell without visiting every row.
  std::unordered_map<ConnectionNumber, std::vector<ConnectionNumber>> paired_with_;
  Observer* observer_ = nullptr;
  ConnectionNumber last_connection_ = no_connection;
};

}  // namespace server
