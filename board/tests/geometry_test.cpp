#include <board/geometry.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct SnapCase {
  std::int32_t pixel;
  std::int32_t index;
};

// Half-way pixels go to the higher line, negative ones included.
constexpr SnapCase snap_cases[] = {
    {0, 0},          {24, 0},          {25, 1},         {49, 1},        {50, 1},
    {74, 1},         {75, 2},          {750, 15},       {774, 15},      {775, 16},
    {-24, 0},        {-25, 0},         {-26, -1},       {-75, -1},      {-76, -2},
    {1000024, 20000}, {1000025, 20001}, {-1000026, -20001},
    // Far out the quotient is a float with a coarse step; the result stays an off-board index.
    {std::numeric_limits<std::int32_t>::max(), 42949672},
    {std::numeric_limits<std::int32_t>::min(), -42949672},
};

TEST(Geometry, SnapPixelRoundsToNearestLineHalvesUp) {
  for (const auto& c : snap_cases) {
    EXPECT_EQ(board::snap_pixel(c.pixel), c.index) << "pixel " << c.pixel;
  }
}

TEST(Geometry, SnapToLineToleratesQuotientJustBelowHalf) {
  EXPECT_EQ(board::snap_to_line(0.49999997f), 1);
  EXPECT_EQ(board::snap_to_line(0.4999f), 0);
  EXPECT_EQ(board::snap_to_line(-1.5f), -1);
}

TEST(Geometry, SnapToLineGivesDefinedResultsForNonFiniteInput) {
  EXPECT_EQ(board::snap_to_line(std::nanf("")), 0);
  EXPECT_EQ(board::snap_to_line(std::numeric_limits<float>::infinity()),
            std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(board::snap_to_line(-std::numeric_limits<float>::infinity()),
            std::numeric_limits<std::int32_t>::min());
}

TEST(Geometry, OnlyLinesOneToFifteenAreOnTheBoard) {
  EXPECT_FALSE(board::on_board(board::pixel_of(board::snap_pixel(24))));
  EXPECT_TRUE(board::on_board(board::pixel_of(board::snap_pixel(25))));
  EXPECT_TRUE(board::on_board(board::pixel_of(board::snap_pixel(774))));
  EXPECT_FALSE(board::on_board(board::pixel_of(board::snap_pixel(775))));
}

}  // namespace
