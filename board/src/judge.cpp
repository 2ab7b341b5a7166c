#include <board/geometry.h>
#include <board/judge.h>

#include <protocol/gbk_literals.h>

#include <array>

namespace board {
namespace {

struct Scan {
  int dx, dy;     // one step in board indices
  std::int32_t bound;  // most steps; below 1 means none
};

// Stones of `colour` met stepping away from (ix, iy); the first other point ends the scan.
int run_length(const StoneSet& stones, const std::string& colour, std::int32_t ix, std::int32_t iy,
               Scan scan) {
  int run = 0;
  for (std::int32_t i = 1; i <= scan.bound; ++i) {
    const int x = pixel_of(ix + scan.dx * i);
    const int y = pixel_of(iy + scan.dy * i);
    if (stones.tag_at(x, y) != colour) break;
    ++run;
  }
  return run;
}

// The two scans of each line through (ix, iy), with the bounds the rules fix for them.
struct Line {
  Scan first, second;
};

std::array<Line, 4> lines_through(std::int32_t ix, std::int32_t iy) {
  const Line vertical{{0, 1, 15 - iy}, {0, -1, iy - 1}};
  const Line horizontal{{1, 0, 15 - ix}, {-1, 0, ix - 1}};
  const Line main_diagonal = ix >= iy ? Line{{-1, -1, iy}, {1, 1, 15 - ix}}
                                      : Line{{1, 1, 15 - iy}, {-1, -1, ix}};
  const bool lower_right = (double(ix) + double(iy)) - 16 > 0.0000001;
  const Line anti_diagonal = lower_right ? Line{{-1, 1, 15 - iy}, {1, -1, 15 - ix}}
                                         : Line{{-1, 1, ix}, {1, -1, iy - 1}};
  return {vertical, horizontal, main_diagonal, anti_diagonal};
}

bool on_grid(std::int32_t index) { return index >= first_line && index <= last_line; }

}  // namespace

std::string judge_five(const StoneSet& stones, std::int32_t ix, std::int32_t iy) {
  // Off the grid there is no stone to judge; reading it would count empty points as a line.
  const std::string colour =
      on_grid(ix) && on_grid(iy) ? stones.tag_at(pixel_of(ix), pixel_of(iy)) : std::string();
  if (stones.stone_count() == intersection_count) return std::string(protocol::gbk::draw);

  bool five = false;
  if (!colour.empty()) {
    for (const Line& line : lines_through(ix, iy)) {
      const int run = run_length(stones, colour, ix, iy, line.first) +
                      run_length(stones, colour, ix, iy, line.second) + 1;
      five = five || run == 5;
    }
  }
  std::string verdict(five ? protocol::gbk::yes : protocol::gbk::no);
  verdict += verdict_separator;
  verdict += colour;
  return verdict;
}

}  // namespace board
