#include <board/geometry.h>
#include <board/judge.h>

#include <gtest/gtest.h>
#include <protocol/gbk_literals.h>

#include <string>
#include <vector>

#include "png_fixtures.h"

namespace {

using protocol::gbk::black;
using protocol::gbk::white;

struct Move {
  char colour;  // 'W' or 'B'
  int ix, iy;
};

std::string colour_text(char c) { return std::string(c == 'W' ? white : black); }

std::string win(char c) { return "\xD5\xE6%#" + colour_text(c); }      // 真%# + colour
std::string no_win(char c) { return "\xBC\xD9%#" + colour_text(c); }   // 假%# + colour
const std::string draw = "\xC6\xBD\xBE\xD6";                             // 平局

class Judge : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(png_fixtures::use_artwork(stones)); }

  void place(const Move& m) { stones.add_stone(colour_text(m.colour), 50 * m.ix, 50 * m.iy); }

  // Places the moves in order and judges the last one, as the mover's client does.
  std::string play(const std::vector<Move>& moves) {
    for (const auto& m : moves) place(m);
    return board::judge_five(stones, moves.back().ix, moves.back().iy);
  }

  // Every intersection black except row 8, columns 1..5, which are white; (5, 8) comes last.
  std::string fill_board_with_white_five_last(bool leave_one_empty) {
    for (int iy = 1; iy <= 15; ++iy) {
      for (int ix = 1; ix <= 15; ++ix) {
        if ((ix == 5 && iy == 8) || (leave_one_empty && ix == 15 && iy == 15)) continue;
        place({iy == 8 && ix <= 5 ? 'W' : 'B', ix, iy});
      }
    }
    return play({{'W', 5, 8}});
  }

  board::StoneSet stones;
};

struct Case {
  const char* name;
  std::vector<Move> moves;  // the last one is judged
  std::string expected;
};

const std::vector<Case> cases = {
    {"five ending at the last stone",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 5, 8}, {'W', 6, 8}, {'W', 7, 8}}, win('W')},
    {"five completed in the middle",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 6, 8}, {'W', 7, 8}, {'W', 5, 8}}, win('W')},
    {"a gap ends the scan",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 5, 8}, {'W', 6, 8}, {'W', 8, 8}}, no_win('W')},
    {"six is not a win",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 6, 8}, {'W', 7, 8}, {'W', 8, 8}, {'W', 5, 8}}, no_win('W')},
    {"six on one line, exactly five on another",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 6, 8}, {'W', 7, 8}, {'W', 8, 8},
      {'W', 5, 4}, {'W', 5, 5}, {'W', 5, 6}, {'W', 5, 7}, {'W', 5, 8}}, win('W')},
    {"other colour interrupts",
     {{'W', 3, 8}, {'W', 4, 8}, {'W', 5, 8}, {'B', 7, 8}, {'W', 8, 8}, {'W', 6, 8}}, no_win('W')},
    {"vertical, scanning up",
     {{'B', 8, 4}, {'B', 8, 5}, {'B', 8, 6}, {'B', 8, 7}, {'B', 8, 8}}, win('B')},
    {"column up to row 1", {{'W', 15, 1}, {'W', 15, 2}, {'W', 15, 3}, {'W', 15, 4}, {'W', 15, 5}}, win('W')},
    {"row left to column 1", {{'B', 1, 3}, {'B', 2, 3}, {'B', 3, 3}, {'B', 4, 3}, {'B', 5, 3}}, win('B')},
    {"anti-diagonal near the lower left, placed at the end",
     {{'W', 4, 11}, {'W', 5, 10}, {'W', 6, 9}, {'W', 7, 8}, {'W', 3, 12}}, win('W')},
    {"anti-diagonal near the lower left, placed inside",
     {{'W', 4, 11}, {'W', 3, 12}, {'W', 6, 9}, {'W', 7, 8}, {'W', 5, 10}}, win('W')},
    {"anti-diagonal in the upper left half, up to row 1",
     {{'B', 2, 4}, {'B', 3, 3}, {'B', 4, 2}, {'B', 5, 1}, {'B', 1, 5}}, win('B')},
    {"anti-diagonal in the lower right half",
     {{'B', 14, 12}, {'B', 13, 13}, {'B', 12, 14}, {'B', 11, 15}, {'B', 15, 11}}, win('B')},
    {"main diagonal below the middle",
     {{'W', 2, 12}, {'W', 3, 13}, {'W', 4, 14}, {'W', 5, 15}, {'W', 1, 11}}, win('W')},
    {"main diagonal into corner (1, 1)",
     {{'B', 2, 2}, {'B', 3, 3}, {'B', 4, 4}, {'B', 5, 5}, {'B', 1, 1}}, win('B')},
    {"row into corner (15, 15)",
     {{'W', 11, 15}, {'W', 12, 15}, {'W', 13, 15}, {'W', 14, 15}, {'W', 15, 15}}, win('W')},
    {"row right to column 15", {{'W', 12, 6}, {'W', 13, 6}, {'W', 14, 6}, {'W', 15, 6}, {'W', 11, 6}}, win('W')},
    {"column down to row 15", {{'B', 3, 12}, {'B', 3, 13}, {'B', 3, 14}, {'B', 3, 15}, {'B', 3, 11}}, win('B')},
    {"main diagonal into corner (15, 15)",
     {{'W', 12, 12}, {'W', 13, 13}, {'W', 14, 14}, {'W', 15, 15}, {'W', 11, 11}}, win('W')},
    {"lone stone in corner (1, 1)", {{'W', 1, 1}}, no_win('W')},
    {"lone stone in corner (15, 15) beside the rival's", {{'W', 14, 14}, {'B', 15, 15}}, no_win('B')},
};

TEST_F(Judge, VerdictsForLinesThroughTheLastStone) {
  for (const auto& c : cases) {
    stones.clear_stones();
    EXPECT_EQ(play(c.moves), c.expected) << c.name;
  }
}

TEST_F(Judge, TwoHundredTwentyFifthStoneDrawsEvenWithFive) {
  EXPECT_EQ(fill_board_with_white_five_last(false), draw);
  stones.clear_stones();
  EXPECT_EQ(fill_board_with_white_five_last(true), win('W'));
}

TEST_F(Judge, EmptyOrOffGridPointIsNeverAWin) {
  // No stone to judge: empty points must not count as a line of five.
  // (13, 13) lies on an anti-diagonal of exactly five points.
  EXPECT_EQ(board::judge_five(stones, 13, 13), "\xBC\xD9%#");
  place({'W', 8, 8});
  EXPECT_EQ(board::judge_five(stones, 0, 8), "\xBC\xD9%#");
  EXPECT_EQ(board::judge_five(stones, 16, 16), "\xBC\xD9%#");
}

}  // namespace
