#pragma once
// The stones on the board view. There is no board array: every rule question is a query of
// what lies under a pixel point, answered by walking the stones from the most recent one.
#include <board/picture.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace board {

inline constexpr int stone_size = 42;
inline constexpr int stone_half = 21;  // left = X - 21, top = Y - 21

struct Stone {
  std::int32_t id = 0;
  int left = 0;
  int top = 0;
  std::string tag;  // the colour text, GBK
  std::shared_ptr<const Picture> picture;
};

struct Area {
  int left = 0, top = 0, width = 0, height = 0;
};

class StoneSet {
 public:
  // Called with the area to repaint after every change.
  using ChangeListener = std::function<void(const Area&)>;

  // The picture a stone of `colour` gets when placed.
  void set_template(std::string_view colour, Picture picture);

  // Places a stone of `colour` centred on (x, y); never refuses. Returns its id. A colour
  // without a template gets an empty picture: the stone is counted but covers no point.
  std::int32_t add_stone(std::string_view colour, int x, int y);

  std::int32_t stone_at(int x, int y) const;  // -1 when no stone covers the point
  bool stone_exists(std::int32_t id) const;
  std::string stone_tag(std::int32_t id) const;
  std::string tag_at(int x, int y) const;
  bool is_occupied(int x, int y) const;
  int stone_count() const;
  void clear_stones();  // ids keep counting

  const std::vector<Stone>& stones() const { return stones_; }  // placement order, oldest first
  void set_change_listener(ChangeListener listener) { on_change_ = std::move(listener); }

 private:
  const Stone* find(std::int32_t id) const;

  std::map<std::string, std::shared_ptr<const Picture>, std::less<>> templates_;
  std::vector<Stone> stones_;
  std::int32_t last_id_ = 0;
  ChangeListener on_change_;
};

}  // namespace board
