#include <board/picture.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <string_view>

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
