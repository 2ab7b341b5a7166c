#include <board/picture.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <fcntl.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include <posix/unique_fd.h>

#include "png_fixtures.h"

namespace {

using board::decode_png;

std::span<const std::uint8_t> as_bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void append_be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void append_chunk_crc(std::vector<std::uint8_t>& png, std::size_t chunk_start) {
  const auto length = static_cast<uInt>(png.size() - chunk_start);
  append_be32(png, static_cast<std::uint32_t>(crc32(0, png.data() + chunk_start, length)));
}

// A valid header claiming a picture of width x height, followed by an empty data chunk:
// enough for the header to be read and the size to be looked at.
std::vector<std::uint8_t> header_only_png(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  append_be32(png, 13);
  const std::size_t chunk = png.size();
  for (char c : std::string_view("IHDR")) png.push_back(static_cast<std::uint8_t>(c));
  append_be32(png, width);
  append_be32(png, height);
  for (std::uint8_t b : {8, 6, 0, 0, 0}) png.push_back(b);  // 8-bit RGBA, no interlace
  append_chunk_crc(png, chunk);
  append_be32(png, 0);
  const std::size_t data = png.size();
  for (char c : std::string_view("IDAT")) png.push_back(static_cast<std::uint8_t>(c));
  append_chunk_crc(png, data);
  return png;
}

TEST(Picture, BytesThatAreNoPngGiveNothing) {
  EXPECT_FALSE(decode_png({}));
  EXPECT_FALSE(decode_png(as_bytes("not a picture at all")));
  EXPECT_FALSE(decode_png(as_bytes("\x89PNG\r\n\x1a\n")));  // signature alone
}

TEST(Picture, TruncatedPngGivesNothing) {
  const auto whole = png_fixtures::background();
  ASSERT_TRUE(decode_png(whole));
  for (std::size_t keep : {std::size_t{40}, whole.size() / 2, whole.size() - 20}) {
    EXPECT_FALSE(decode_png(whole.first(keep))) << "first " << keep << " bytes";
  }
}

TEST(Picture, AbsurdSizeInHeaderGivesNothing) {
  // Refused before any pixel buffer is allocated (it would take 14 GB).
  EXPECT_FALSE(decode_png(header_only_png(60000, 60000)));
}

TEST(Picture, HeaderWithoutPixelDataGivesNothing) {
  EXPECT_FALSE(decode_png(header_only_png(4, 4)));
}

TEST(Picture, BackgroundDecodesOpaque400By400) {
  const auto picture = decode_png(png_fixtures::background());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 400);
  EXPECT_EQ(picture->height, 400);
  ASSERT_EQ(picture->rgba.size(), 400u * 400u * 4u);
  for (int y = 0; y < 400; y += 7) {
    for (int x = 0; x < 400; x += 7) ASSERT_EQ(picture->alpha(x, y), 255) << x << "," << y;
  }
}

TEST(Picture, PaletteWithTransparentEntryDecodesToRgba) {
  // 2x1: entry 0 opaque red, entry 1 fully transparent.
  const auto bytes = png_fixtures::encode(2, 1, PNG_FORMAT_RGBA_COLORMAP, {0, 1},
                                          {255, 0, 0, 255, 0, 255, 0, 0});
  const auto picture = decode_png(bytes);
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->rgba.size(), 8u);
  EXPECT_EQ((std::array{picture->rgba[0], picture->rgba[1], picture->rgba[2], picture->rgba[3]}),
            (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(picture->alpha(1, 0), 0);
}

TEST(Picture, GreyDecodesToOpaqueEqualChannels) {
  const auto picture = decode_png(png_fixtures::encode(2, 2, PNG_FORMAT_GRAY, {0, 128, 200, 255}));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 2);
  const std::uint8_t expected[] = {0, 128, 200, 255};
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t* px = &picture->rgba[std::size_t(i) * 4];
    EXPECT_EQ(px[0], expected[i]);
    EXPECT_EQ(px[1], expected[i]);
    EXPECT_EQ(px[2], expected[i]);
    EXPECT_EQ(px[3], 255);
  }
}

TEST(Picture, AlphaOutsideThePictureIsZero) {
  const auto picture = decode_png(png_fixtures::encode(1, 1, PNG_FORMAT_GA, {50, 255}));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->alpha(0, 0), 255);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {1, 0}, {0, 1}}) EXPECT_EQ(picture->alpha(x, y), 0);
}

}  // namespace

namespace {

TEST(Picture, StoneArtworkIsA42SquareDiscWithClearCorners) {
  for (auto bytes : {png_fixtures::white_stone(), png_fixtures::black_stone()}) {
    const auto picture = decode_png(bytes);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 42);
    EXPECT_EQ(picture->height, 42);
    EXPECT_EQ(picture->alpha(21, 21), 255);
    for (auto [x, y] : {std::pair{0, 0}, {41, 0}, {0, 41}, {41, 41}, {38, 38}}) {
      EXPECT_EQ(picture->alpha(x, y), 0) << x << "," << y;
    }
  }
}

}  // namespace

namespace fitted {

namespace fs = std::filesystem;

class FittedPng : public ::testing::Test {
 protected:
  FittedPng() {
    char pattern[] = "/tmp/board-picture-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~FittedPng() override { fs::remove_all(dir_); }

  std::optional<board::Picture> decode(const fs::path& path, int max_width, int max_height) {
    const posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) ADD_FAILURE() << "cannot open " << path;
    return board::decode_png_fitted(fd.get(), max_width, max_height);
  }
  fs::path file(const char* name) const { return dir_ / name; }

  fs::path dir_;
};

std::array<int, 4> pixel(const board::Picture& picture, int x, int y) {
  const std::uint8_t* p = &picture.rgba[(std::size_t(y) * picture.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// Quadrants of a 20000 × 4000 picture, more pixels than the whole decoder takes: one source row
// in memory, 800 × 800 out.
TEST_F(FittedPng, AHugePictureIsScaledDownToTheAreaAsItIsRead) {
  constexpr std::uint32_t width = 20000;
  constexpr std::uint32_t height = 4000;
  png_fixtures::write_png_rows(file("huge.png"), width, height, [](std::uint32_t y, std::uint8_t* row) {
    for (std::uint32_t x = 0; x < width; ++x) {
      row[x * 3] = x < width / 2 ? 0 : 255;
      row[x * 3 + 1] = y < height / 2 ? 0 : 255;
      row[x * 3 + 2] = 7;
    }
  });

  const auto picture = decode(file("huge.png"), 800, 800);

  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 800);
  EXPECT_EQ(picture->height, 800);
  EXPECT_EQ(pixel(*picture, 399, 399), (std::array<int, 4>{0, 0, 7, 255}));
  EXPECT_EQ(pixel(*picture, 400, 399), (std::array<int, 4>{255, 0, 7, 255}));
  EXPECT_EQ(pixel(*picture, 399, 400), (std::array<int, 4>{0, 255, 7, 255}));
  EXPECT_EQ(pixel(*picture, 799, 799), (std::array<int, 4>{255, 255, 7, 255}));
}

TEST_F(FittedPng, EachTargetPixelIsTheAverageOfItsSourcePixels) {
  // Stripes of black and white columns average to grey; rows pairs of 10 and 30 to 20.
  png_fixtures::write_png_rows(file("stripes.png"), 1600, 4, [](std::uint32_t y, std::uint8_t* row) {
    for (std::uint32_t x = 0; x < 1600; ++x) {
      row[x * 3] = x % 2 ? 255 : 0;
      row[x * 3 + 1] = y % 2 ? 30 : 10;
      row[x * 3 + 2] = 0;
    }
  });
  const auto picture = decode(file("stripes.png"), 800, 2);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 800);
  EXPECT_EQ(picture->height, 2);
  for (const auto& [x, y] : {std::pair{0, 0}, {799, 1}}) EXPECT_EQ(pixel(*picture, x, y), (std::array<int, 4>{128, 20, 0, 255}));
}

TEST_F(FittedPng, TransparentPixelsLendNoColour) {
  const auto bytes = png_fixtures::encode(2, 1, PNG_FORMAT_RGBA, {200, 0, 0, 255, 0, 0, 200, 0});
  std::ofstream(file("half.png"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto picture = decode(file("half.png"), 1, 1);
  ASSERT_TRUE(picture);
  EXPECT_EQ(pixel(*picture, 0, 0), (std::array<int, 4>{200, 0, 0, 128}));
}

TEST_F(FittedPng, APictureThatFitsComesOutAsTheWholeDecoderGivesIt) {
  const auto bytes = png_fixtures::background();
  std::ofstream(file("bg.png"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto picture = decode(file("bg.png"), 800, 800);
  const auto whole = decode_png(bytes);
  ASSERT_TRUE(picture && whole);
  EXPECT_EQ(picture->width, whole->width);
  EXPECT_EQ(picture->height, whole->height);
  EXPECT_TRUE(picture->rgba == whole->rgba);
  EXPECT_TRUE(decode_png(board::encode_png(*picture))->rgba == whole->rgba);
}

TEST_F(FittedPng, AnInterlacedPictureIsTakenFromEverySecondRow) {
  png_fixtures::write_png_rows(file("laced.png"), 10, 2000, [](std::uint32_t y, std::uint8_t* row) {
    for (std::uint32_t x = 0; x < 10; ++x) row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = y % 2 ? 200 : 0;
  }, true);
  const auto picture = decode(file("laced.png"), 800, 800);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 10);
  EXPECT_EQ(picture->height, 800);
  EXPECT_EQ(pixel(*picture, 9, 799), (std::array<int, 4>{200, 200, 200, 255}));
}

TEST_F(FittedPng, WhatIsNoWholePngGivesNothing) {
  png_fixtures::write_png_rows(file("big.png"), 4000, 4000, [](std::uint32_t y, std::uint8_t* row) {
    for (std::uint32_t x = 0; x < 12000; ++x) row[x] = static_cast<std::uint8_t>(x * 31 + y * 17);
  });
  fs::copy_file(file("big.png"), file("cut.png"));
  fs::resize_file(file("cut.png"), fs::file_size(file("big.png")) / 2);
  const auto claim = header_only_png(1'000'000, 1'000'000);  // 10^12 pixels, no data
  std::ofstream(file("claim.png"), std::ios::binary).write(reinterpret_cast<const char*>(claim.data()), claim.size());
  std::ofstream(file("text.png")) << "not a picture at all";
  {
    std::ofstream(file("sparse.png"));
  }
  fs::resize_file(file("sparse.png"), std::uintmax_t{1} << 30);

  for (const char* name : {"cut.png", "claim.png", "text.png", "sparse.png"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(decode(file(name), 800, 800));
  }
  EXPECT_TRUE(decode(file("big.png"), 800, 800));
}

}  // namespace fitted
