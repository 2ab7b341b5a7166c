#pragma once
// An 8-bit picture in memory and its PNG file.
#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

struct Raster {
  int width = 0;
  int height = 0;
  int channels = 0;  // 3 = RGB, 4 = RGBA (straight alpha)
  std::vector<std::uint8_t> bytes;

  Raster(int w, int h, int c) : width(w), height(h), channels(c), bytes(std::size_t(w) * h * c) {}
  std::uint8_t* at(int x, int y) { return &bytes[(std::size_t(y) * width + x) * channels]; }
};

// False (with a message on stderr) when the file cannot be written.
bool write_png(const Raster& raster, const std::string& path);

std::uint8_t to_byte(double v);  // 0..1 -> 0..255, clamped and rounded

}  // namespace artwork
