#include <board/geometry.h>

#include <cmath>
#include <limits>

namespace board {

std::int32_t snap_to_line(float v) {
  if (std::isnan(v)) return 0;
  const double f = std::floor(static_cast<double>(v));
  // The small tolerance keeps quotients a rounding error below a half on the upper side.
  const double index = (v - f) - 0.5 >= -0.0000001 ? f + 1 : f;
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  if (index <= lowest) return std::numeric_limits<std::int32_t>::min();
  if (index >= highest) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(index);
}

std::int32_t snap_pixel(std::int32_t pixel) {
  return snap_to_line(static_cast<float>(static_cast<double>(pixel) / line_spacing));
}

}  // namespace board
