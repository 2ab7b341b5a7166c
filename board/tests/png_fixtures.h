#pragma once
// PNG bytes made in memory for the decoding tests, and the committed artwork.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
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

// A PNG file written row by row, so that pictures of any size cost the test one row of memory.
// 8-bit RGB; `fill(y, row)` fills row y (width * 3 bytes). Fast compression: the test pays for
// the rows. An interlaced picture is filled once per pass.
inline void write_png_rows(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
                           const std::function<void(std::uint32_t, std::uint8_t*)>& fill,
                           bool interlaced = false) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot create " + path.string());
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(std::size_t{width} * 3);
  const int passes = interlaced ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (std::uint32_t y = 0; y < height; ++y) {
      fill(y, row.data());
      png_write_row(png, row.data());
    }
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
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
