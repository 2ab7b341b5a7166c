#pragma once
// The background layer of the board view 动画框1 as the start-up sequence draws on it.
// Coordinates are drawing-area pixels.
#include <cstdint>
#include <span>

namespace client {

inline constexpr std::int32_t brush_hollow = 0;
inline constexpr std::int32_t brush_solid = 1;

class BoardLayer {
 public:
  virtual ~BoardLayer() = default;
  // Bytes of an image file; the layer is rebuilt, discarding earlier drawings.
  virtual void set_background_picture(std::span<const std::uint8_t> bytes) = 0;
  virtual void set_pen_width(std::int32_t width) = 0;  // 0 draws one pixel wide
  virtual void set_brush_style(std::int32_t style) = 0;  // brush_hollow or brush_solid
  virtual void set_brush_color(std::int32_t rgb) = 0;  // 0xRRGGBB
  virtual void draw_line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
  virtual void draw_rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) = 0;
  virtual void draw_ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom) = 0;
  // Shows what has been drawn so far before the caller blocks.
  virtual void flush() = 0;
};

}  // namespace client
