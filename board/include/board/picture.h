#pragma once
// Decoded pictures: 8-bit RGBA, rows top to bottom, no padding.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace board {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

  // Alpha of pixel (x, y); 0 outside the picture.
  std::uint8_t alpha(int x, int y) const;
};

// Any PNG (palette, grey, RGB, with or without alpha) as RGBA; nothing for bytes that are not one,
// for a truncated file and for pictures of more than 2^25 pixels.
std::optional<Picture> decode_png(std::span<const std::uint8_t> bytes);

}  // namespace board
