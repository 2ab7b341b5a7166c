#include "raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artwork {

bool write_png(const Raster& raster, const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(raster.width);
  image.height = static_cast<png_uint_32>(raster.height);
  image.format = raster.channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, raster.bytes.data(), 0, nullptr)) {
    std::fprintf(stderr, "artwork_generator: %s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return false;
  }
  return true;
}

std::uint8_t to_byte(double v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace artwork
