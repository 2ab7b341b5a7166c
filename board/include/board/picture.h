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

// Width and height from a PNG's header; nothing when `bytes` do not start like a PNG.
std::optional<std::pair<std::uint32_t, std::uint32_t>> png_size(std::span<const std::uint8_t> bytes);

// Reads a PNG from `fd` row by row and scales it down, by averaging the pixels that fall on each
// target pixel, to at most max_width × max_height (each axis on its own, never up). Memory stays
// bounded by one source row and the result, whatever the picture's size. An interlaced picture
// is taken from its last pass (every second row). Nothing for a file that is no PNG, is truncated
// or corrupt, reads past max_file_bytes, or holds more than max_source_pixels pixels.
inline constexpr std::uint64_t max_file_bytes = std::uint64_t{256} << 20;
inline constexpr std::uint64_t max_source_pixels = std::uint64_t{1} << 30;
std::optional<Picture> decode_png_fitted(int fd, int max_width, int max_height);

// The picture as an RGBA PNG; empty if it cannot be encoded.
std::vector<std::uint8_t> encode_png(const Picture& picture);

}  // namespace board
