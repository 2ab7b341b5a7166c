#pragma once
// The server's one record per open connection: rows of four GBK texts in connection order.
// A row index or column that does not exist reads as the empty text; writing or deleting it does
// nothing. Besides the rows it keeps an index from `client_id` (column 0) to the first row that
// holds it, so that finding a sender's row costs the same however many players are connected.
// Each row also carries a connection number given when it is appended and never given again,
// and the number of the connection it was last paired with: a rival is a connection, and a
// later connection that happens to reuse the rival's `client_id` is a stranger.
#include <array>
#include <cstdint>
#include <functional>
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
  void rebuild_index();
  void shift_index_after_removal(const std::string& removed_id, int removed_row);

  // Lets a lookup by string_view find the key without building a string.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  std::vector<Row> rows_;
  std::unordered_map<std::string, int, TextHash, std::equal_to<>> first_row_of_;
  Observer* observer_ = nullptr;
  ConnectionNumber last_connection_ = no_connection;
};

}  // namespace server
