#include <board/geometry.h>
#include <board/stone_set.h>

#include <algorithm>
#include <limits>
#include <ranges>

namespace board {
namespace {

// A colour without a template gets this picture: no pixel of it is opaque, so such a stone
// is kept and counted but covers no point.
const std::shared_ptr<const Picture>& empty_picture() {
  static const auto picture = std::make_shared<const Picture>();
  return picture;
}

// Corner of a stone centred on `centre`, kept inside int so that covers() cannot overflow.
int corner_of(int centre) {
  const std::int64_t corner = std::int64_t{centre} - stone_half;
  return static_cast<int>(std::clamp<std::int64_t>(
      corner, std::numeric_limits<int>::min(), std::numeric_limits<int>::max() - stone_size));
}

bool covers(const Stone& stone, int x, int y) {
  const std::int64_t dx = std::int64_t{x} - stone.left;
  const std::int64_t dy = std::int64_t{y} - stone.top;
  if (dx < 0 || dy < 0 || dx >= stone_size || dy >= stone_size) return false;
  return stone.picture->alpha(static_cast<int>(dx), static_cast<int>(dy)) != 0;
}

}  // namespace

void StoneSet::set_template(std::string_view colour, Picture picture) {
  templates_.insert_or_assign(std::string(colour), std::make_shared<const Picture>(std::move(picture)));
}

std::int32_t StoneSet::add_stone(std::string_view colour, int x, int y) {
  // Stones share their colour's picture; it is immutable, so this is as good as a copy,
  // and a later set_template leaves stones already placed unchanged.
  const auto found = templates_.find(colour);
  Stone stone;
  stone.id = ++last_id_;
  stone.left = corner_of(x);
  stone.top = corner_of(y);
  stone.tag = std::string(colour);
  stone.picture = found != templates_.end() ? found->second : empty_picture();
  const Area area{stone.left, stone.top, stone_size, stone_size};
  stones_.push_back(std::move(stone));
  if (on_change_) on_change_(area);
  return stones_.back().id;
}

std::int32_t StoneSet::stone_at(int x, int y) const {
  for (auto stone = stones_.rbegin(); stone != stones_.rend(); ++stone) {
    if (covers(*stone, x, y)) return stone->id;
  }
  return -1;
}

bool StoneSet::stone_exists(std::int32_t id) const { return find(id) != nullptr; }

std::string StoneSet::stone_tag(std::int32_t id) const {
  const Stone* stone = find(id);
  return stone ? stone->tag : std::string();
}

std::string StoneSet::tag_at(int x, int y) const { return stone_tag(stone_at(x, y)); }

bool StoneSet::is_occupied(int x, int y) const { return stone_exists(stone_at(x, y)); }

int StoneSet::stone_count() const { return static_cast<int>(stones_.size()); }

void StoneSet::clear_stones() {
  stones_.clear();
  if (on_change_) on_change_(Area{0, 0, view_size, view_size});
}

const Stone* StoneSet::find(std::int32_t id) const {
  if (id <= 0) return nullptr;
  const auto it = std::ranges::find(stones_, id, &Stone::id);
  return it != stones_.end() ? &*it : nullptr;
}

}  // namespace board
