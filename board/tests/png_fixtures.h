#pragma once
// PNG bytes made in memory for the decoding tests, and the committed artwork.
#include <png.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include <board/stone_set.h>
#include <protocol/gbk_literals.h>

#include "board_tests_embedded.h"

namespace png_fixtures {

// `pixels` laid out as `format` says; `colormap` only for the colour-mapped formats.
inline std::vector<std::uint8_t> encode(int width, int height, png_uint_32 format,
                                        const std::vector<std::uint8_t>& pixels,
                                        const std::vector<std::uint8_t>& colormap = {}) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colormap.size() / PNG_IMAGE_SAMPLE_CHANNELS(format));
  const void* map = colormap.empty() ? nullptr : colormap.data();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map)) {
    throw std::runtime_error(image.message);
  }
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, map)) {
    throw std::runtime_error(image.message);
  }
  bytes.resize(size);
  return bytes;
}

inline std::span<const std::uint8_t> white_stone() { return board_assets::stone_white(); }
inline std::span<const std::uint8_t> black_stone() { return board_assets::stone_black(); }
inline std::span<const std::uint8_t> background() { return board_assets::board_background(); }

// Gives the stone set the committed stone pictures as its two templates; false if they do not decode.
inline bool use_artwork(board::StoneSet& stones) {
  auto white_picture = board::decode_png(white_stone());
  auto black_picture = board::decode_png(black_stone());
  if (!white_picture || !black_picture) return false;
  stones.set_template(protocol::gbk::white, std::move(*white_picture));
  stones.set_template(protocol::gbk::black, std::move(*black_picture));
  return true;
}

}  // namespace png_fixtures
