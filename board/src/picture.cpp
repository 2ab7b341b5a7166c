#include <board/picture.h>

#include <png.h>

namespace board {
namespace {

// Far beyond any board picture; refuses headers that would make us allocate gigabytes.
constexpr std::uint64_t max_pixels = std::uint64_t{1} << 25;

}  // namespace

std::uint8_t Picture::alpha(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const std::size_t index = (static_cast<std::size_t>(y) * width + x) * 4 + 3;
  return index < rgba.size() ? rgba[index] : 0;
}

std::optional<Picture> decode_png(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    png_image_free(&image);
    return std::nullopt;
  }
  const std::uint64_t pixels = std::uint64_t{image.width} * image.height;
  if (pixels == 0 || pixels > max_pixels) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return picture;
}

}  // namespace board
