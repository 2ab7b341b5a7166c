#pragma once
// Pixel layout of the 15x15 board: lines at 50, 100, ..., 750 of the drawing area.
#include <cstdint>

namespace board {

inline constexpr int line_spacing = 50;
inline constexpr int first_line = 1;
inline constexpr int last_line = 15;
inline constexpr int intersection_count = 225;
inline constexpr int view_size = 800;  // outer size of the board view, both axes

// Nearest board index to v (a pixel coordinate divided by 50), halves rounding up.
// Not a number gives 0; values beyond the 32-bit range saturate.
std::int32_t snap_to_line(float v);

// snap_to_line of a pixel coordinate: the quotient taken in double, stored as float.
std::int32_t snap_pixel(std::int32_t pixel);

constexpr std::int32_t pixel_of(std::int32_t index) { return index * line_spacing; }

// True for snapped pixels 50..750, the lines on which stones may lie.
constexpr bool on_board(std::int32_t snapped_pixel) {
  return snapped_pixel >= pixel_of(first_line) && snapped_pixel <= pixel_of(last_line);
}

}  // namespace board
