#include <board/picture.h>

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>

namespace board {
namespace {

// Far beyond any board picture; refuses headers that would make us allocate gigabytes.
constexpr std::uint64_t max_pixels = std::uint64_t{1} << 25;
// Keeps one source row (4 bytes a pixel) within 4 MiB.
constexpr png_uint_32 max_row_pixels = 1'000'000;

// Frees what the simplified reader holds, on every way out.
class ImageGuard {
 public:
  explicit ImageGuard(png_image& image) : image_(image) {}
  ImageGuard(const ImageGuard&) = delete;
  ImageGuard& operator=(const ImageGuard&) = delete;
  ~ImageGuard() { png_image_free(&image_); }

 private:
  png_image& image_;
};

// Owns a row reader and its info structure.
class RowReader {
 public:
  RowReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &on_error, &on_warning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  RowReader(const RowReader&) = delete;
  RowReader& operator=(const RowReader&) = delete;
  ~RowReader() { png_destroy_read_struct(png_ ? &png_ : nullptr, info_ ? &info_ : nullptr, nullptr); }

  bool valid() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  // A bad file is no picture; nothing is printed.
  [[noreturn]] static void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
  static void on_warning(png_structp, png_const_charp) {}

  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

struct FdSource {
  int fd;
  std::uint64_t budget;  // bytes still allowed
};

void read_from_fd(png_structp png, png_bytep data, png_size_t length) {
  auto& source = *static_cast<FdSource*>(png_get_io_ptr(png));
  while (length > 0) {
    if (source.budget == 0) png_error(png, "file too long");
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, source.budget));
    const ssize_t got = ::read(source.fd, data, want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) png_error(png, "file truncated");
    data += got;
    length -= static_cast<std::size_t>(got);
    source.budget -= static_cast<std::uint64_t>(got);
  }
}

// Sums the source pixels falling on each target pixel of one target row at a time, weighting
// colour by alpha so that transparent pixels lend no colour.
class BoxScaler {
 public:
  BoxScaler(std::uint32_t source_width, std::uint32_t source_height, int width, int height)
      : source_width_(source_width), source_height_(source_height), sums_(std::size_t(width) * 4),
        column_of_(source_width), columns_(width) {
    picture_.width = width;
    picture_.height = height;
    picture_.rgba.assign(std::size_t(width) * height * 4, 0);
    for (std::uint32_t x = 0; x < source_width; ++x) {
      column_of_[x] = static_cast<int>(std::uint64_t{x} * width / source_width);
      ++columns_[column_of_[x]];
    }
  }

  void add_row(const std::uint8_t* rgba) {
    const int target = static_cast<int>(std::uint64_t{next_row_} * picture_.height / source_height_);
    if (target != row_) flush();
    row_ = target;
    ++rows_;
    ++next_row_;
    for (std::uint32_t x = 0; x < source_width_; ++x, rgba += 4) {
      std::uint64_t* sum = &sums_[std::size_t(column_of_[x]) * 4];
      const std::uint64_t a = rgba[3];
      sum[0] += rgba[0] * a;
      sum[1] += rgba[1] * a;
      sum[2] += rgba[2] * a;
      sum[3] += a;
    }
  }

  Picture finish() {
    flush();
    return std::move(picture_);
  }

 private:
  void flush() {
    if (rows_ == 0) return;
    std::uint8_t* out = &picture_.rgba[std::size_t(row_) * picture_.width * 4];
    for (int x = 0; x < picture_.width; ++x, out += 4) {
      std::uint64_t* sum = &sums_[std::size_t(x) * 4];
      const std::uint64_t count = std::uint64_t{columns_[x]} * rows_;
      const std::uint64_t a = sum[3];
      for (int c = 0; c < 3; ++c) out[c] = a == 0 ? 0 : static_cast<std::uint8_t>((sum[c] + a / 2) / a);
      out[3] = static_cast<std::uint8_t>((a + count / 2) / count);
      std::fill(sum, sum + 4, 0);
    }
    rows_ = 0;
  }

  std::uint32_t source_width_;
  std::uint32_t source_height_;
  std::vector<std::uint64_t> sums_;
  std::vector<int> column_of_;
  std::vector<std::uint32_t> columns_;  // source columns per target column
  Picture picture_;
  int row_ = 0;
  std::uint32_t rows_ = 0;  // source rows summed into row_
  std::uint32_t next_row_ = 0;
};

// libpng reports errors by jumping back here; these functions keep no objects with destructors
// between the jump and its target.
bool read_header(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  return true;
}

// Interlaced pictures come pass by pass without deinterlacing; only the last pass is kept.
bool read_rows(png_structp png, bool interlaced, std::uint32_t width, std::uint32_t height,
               std::uint8_t* row, BoxScaler& scaler) {
  if (setjmp(png_jmpbuf(png))) return false;
  if (!interlaced) {
    for (std::uint32_t y = 0; y < height; ++y) {
      png_read_row(png, row, nullptr);
      scaler.add_row(row);
    }
    return true;
  }
  for (int pass = 0; pass < 7; ++pass) {
    if (PNG_PASS_COLS(width, pass) == 0) continue;
    const std::uint32_t rows = PNG_PASS_ROWS(height, pass);
    for (std::uint32_t y = 0; y < rows; ++y) {
      png_read_row(png, row, nullptr);
      if (pass == 6) scaler.add_row(row);
    }
  }
  return true;
}

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
  const ImageGuard guard(image);
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  const std::uint64_t pixels = std::uint64_t{image.width} * image.height;
  if (pixels == 0 || pixels > max_pixels) return std::nullopt;
  image.format = PNG_FORMAT_RGBA;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) return std::nullopt;
  return picture;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> png_size(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t ihdr[] = {'I', 'H', 'D', 'R'};
  if (bytes.size() < 24 || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
  if (!std::equal(std::begin(ihdr), std::end(ihdr), bytes.begin() + 12)) return std::nullopt;
  return std::pair{png_get_uint_32(bytes.data() + 16), png_get_uint_32(bytes.data() + 20)};
}

std::optional<Picture> decode_png_fitted(int fd, int max_width, int max_height) {
  if (max_width <= 0 || max_height <= 0) return std::nullopt;
  RowReader reader;
  if (!reader.valid()) return std::nullopt;
  png_set_user_limits(reader.png(), max_row_pixels, PNG_UINT_31_MAX);
  FdSource source{fd, max_file_bytes};
  png_set_read_fn(reader.png(), &source, &read_from_fd);
  if (!read_header(reader.png(), reader.info())) return std::nullopt;

  const std::uint32_t width = png_get_image_width(reader.png(), reader.info());
  const std::uint32_t height = png_get_image_height(reader.png(), reader.info());
  const bool interlaced = png_get_interlace_type(reader.png(), reader.info()) != PNG_INTERLACE_NONE;
  const std::uint32_t rows = interlaced ? PNG_PASS_ROWS(height, 6) : height;
  if (width == 0 || rows == 0 || std::uint64_t{width} * height > max_source_pixels) return std::nullopt;
  if (png_get_rowbytes(reader.png(), reader.info()) != std::size_t{width} * 4) return std::nullopt;

  std::vector<std::uint8_t> row(std::size_t{width} * 4);
  BoxScaler scaler(width, rows, static_cast<int>(std::min<std::uint32_t>(width, max_width)),
                   static_cast<int>(std::min<std::uint32_t>(rows, max_height)));
  if (!read_rows(reader.png(), interlaced, width, height, row.data(), scaler)) return std::nullopt;
  return scaler.finish();
}

std::vector<std::uint8_t> encode_png(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGBA;
  const ImageGuard guard(image);
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, picture.rgba.data(), 0, nullptr)) return {};
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.rgba.data(), 0, nullptr)) return {};
  bytes.resize(size);
  return bytes;
}

}  // namespace board
