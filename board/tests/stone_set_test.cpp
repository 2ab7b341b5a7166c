#include <board/geometry.h>
#include <board/stone_set.h>

#include <gtest/gtest.h>
#include <protocol/gbk_literals.h>

#include <array>
#include <limits>
#include <vector>

#include "png_fixtures.h"

namespace {

using board::Area;
using board::StoneSet;
const std::string white(protocol::gbk::white);  // 白色
const std::string black(protocol::gbk::black);  // 黑色

class StoneSetWithArtwork : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(png_fixtures::use_artwork(stones)); }

  StoneSet stones;
};

TEST_F(StoneSetWithArtwork, EmptyBoardHasNoStoneAnywhere) {
  EXPECT_EQ(stones.stone_count(), 0);
  for (int v = 0; v <= 800; v += 50) {
    EXPECT_EQ(stones.tag_at(v, v), "");
    EXPECT_FALSE(stones.is_occupied(v, 800 - v));
  }
}

TEST_F(StoneSetWithArtwork, StoneIsHitOnItsDiscButNotInItsCornersOrNeighbours) {
  const auto id = stones.add_stone(white, 150, 350);  // intersection (3, 7)
  struct Probe {
    int x, y;
    bool hit;
  };
  const Probe probes[] = {
      {150, 350, true},  {160, 360, true},  {140, 340, true},
      {170, 370, false}, {129, 329, false},  // transparent corners of the 42x42 square
      {100, 350, false}, {200, 350, false}, {150, 300, false}, {150, 400, false},
  };
  for (const auto& p : probes) {
    EXPECT_EQ(stones.stone_at(p.x, p.y), p.hit ? id : -1) << p.x << "," << p.y;
    EXPECT_EQ(stones.tag_at(p.x, p.y), p.hit ? white : "") << p.x << "," << p.y;
  }
}

TEST_F(StoneSetWithArtwork, LaterStoneOnTheSamePointWinsAndBothCount) {
  const auto first = stones.add_stone(white, 400, 400);
  const auto second = stones.add_stone(black, 400, 400);
  EXPECT_GT(second, first);
  EXPECT_EQ(stones.stone_at(400, 400), second);
  EXPECT_EQ(stones.tag_at(400, 400), black);
  EXPECT_EQ(stones.stone_count(), 2);
  EXPECT_TRUE(stones.stone_exists(first));
  EXPECT_EQ(stones.stone_tag(first), white);
}

TEST_F(StoneSetWithArtwork, IdsKeepGrowingAcrossClear) {
  std::vector<std::int32_t> before;
  for (int i = 1; i <= 3; ++i) before.push_back(stones.add_stone(white, 50 * i, 50));
  stones.clear_stones();
  EXPECT_EQ(stones.stone_count(), 0);
  for (auto id : before) EXPECT_FALSE(stones.stone_exists(id));
  EXPECT_EQ(stones.tag_at(50, 50), "");
  const auto after = stones.add_stone(black, 50, 50);
  EXPECT_GT(after, before.back());
  EXPECT_EQ(stones.stone_at(50, 50), after);
}

TEST_F(StoneSetWithArtwork, MissingIdsAndFarPointsAnswerNoStone) {
  const auto id = stones.add_stone(white, 50, 50);
  for (std::int32_t missing : {-1, 0, id + 1}) {
    EXPECT_FALSE(stones.stone_exists(missing));
    EXPECT_EQ(stones.stone_tag(missing), "");
  }
  const int far = std::numeric_limits<int>::max();
  EXPECT_EQ(stones.stone_at(-far - 1, -far - 1), -1);
  EXPECT_EQ(stones.stone_at(far, far), -1);
}

TEST_F(StoneSetWithArtwork, ListenerGetsStoneAreaThenWholeBoard) {
  std::vector<Area> areas;
  stones.set_change_listener([&](const Area& area) { areas.push_back(area); });
  stones.add_stone(black, 150, 350);
  stones.clear_stones();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ((std::array{areas[0].left, areas[0].top, areas[0].width, areas[0].height}),
            (std::array{129, 329, 42, 42}));
  EXPECT_EQ((std::array{areas[1].left, areas[1].top, areas[1].width, areas[1].height}),
            (std::array{0, 0, board::view_size, board::view_size}));
}

TEST(StoneSet, HitTestReadsThePictureAtTheOffsetFromTheCorner) {
  // Opaque only in its left half, so a mix-up of picture and board coordinates shows.
  board::Picture half{42, 42, std::vector<std::uint8_t>(42 * 42 * 4, 0)};
  for (int y = 0; y < 42; ++y) {
    for (int x = 0; x < 21; ++x) half.rgba[(std::size_t(y) * 42 + x) * 4 + 3] = 1;
  }
  StoneSet stones;
  stones.set_template(white, std::move(half));
  const auto id = stones.add_stone(white, 100, 100);  // covers 79..120
  EXPECT_EQ(stones.stone_at(79, 79), id);
  EXPECT_EQ(stones.stone_at(99, 120), id);
  EXPECT_EQ(stones.stone_at(100, 100), -1);
  EXPECT_EQ(stones.stone_at(78, 100), -1);
  EXPECT_EQ(stones.stone_at(90, 121), -1);
}

TEST(StoneSet, StoneWithoutTemplateIsCountedButCoversNothing) {
  StoneSet stones;
  const auto id = stones.add_stone(white, 400, 400);
  EXPECT_EQ(stones.stone_count(), 1);
  EXPECT_TRUE(stones.stone_exists(id));
  EXPECT_EQ(stones.stone_tag(id), white);
  EXPECT_FALSE(stones.is_occupied(400, 400));
}

}  // namespace
