#include "game_fixture.h"

#include <client/texts.h>

namespace client::testing {
namespace {

using Moves = GameFixture;

const std::string white_won_question = str(text::congratulations) + str(gbk::white) + str(text::won_play_again);

// Four white stones on row 8, columns 3..6: a white stone on column 7 makes five.
void four_white_in_row_8(board::StoneSet& stones) {
  for (int column = 3; column <= 6; ++column) stones.add_stone(gbk::white, column * 50, 400);
}

struct OwnMoveCase {
  std::string_view colour;
  int x, y;          // the click
  int stone_x, stone_y;  // where the stone lies
};

void PrintTo(const OwnMoveCase& c, std::ostream* os) { *os << "click " << c.x << "," << c.y; }

class OwnMove : public GameFixture, public ::testing::WithParamInterface<OwnMoveCase> {};

TEST_P(OwnMove, PlacesTheOwnStoneSendsTheRawClickAndPassesTheTurn) {
  const OwnMoveCase c = GetParam();
  start_as(c.colour);
  state.my_turn = 1;

  moves.board_click(c.x, c.y);

  EXPECT_EQ(tag_at(c.stone_x, c.stone_y), c.colour);
  EXPECT_EQ(stones.stone_count(), 1);
  EXPECT_EQ(connection.sent, std::vector<std::string>{"XQ:" + std::to_string(c.x) + ":" + std::to_string(c.y)});
  EXPECT_EQ(state.my_turn, 0);
  EXPECT_TRUE(dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(BothColours, OwnMove,
                         ::testing::Values(OwnMoveCase{gbk::white, 163, 241, 150, 250},
                                           OwnMoveCase{gbk::black, 163, 241, 150, 250},
                                           OwnMoveCase{gbk::white, 760, 400, 750, 400},
                                           OwnMoveCase{gbk::black, 25, 774, 50, 750}),
                         [](const ::testing::TestParamInfo<OwnMoveCase>& info) {
                           return std::string(info.param.colour == gbk::white ? "White" : "Black") + "At" +
                                  std::to_string(info.param.x) + "x" + std::to_string(info.param.y);
                         });

TEST_F(Moves, AnOccupiedPointIsRefusedWithTheCaptionOfTheOwnColour) {
  for (const auto& [colour, caption] : {std::pair{gbk::white, text::hint_white}, std::pair{gbk::black, text::hint_black}}) {
    SCOPED_TRACE(caption);
    stones.clear_stones();
    dialogs.boxes.clear();
    start_as(colour);
    state.my_turn = 1;
    stones.add_stone(gbk::black, 150, 250);

    moves.board_click(163, 241);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, text::point_taken);
    EXPECT_EQ(dialogs.boxes[0].caption, caption);
    EXPECT_FALSE(dialogs.boxes[0].question);
    EXPECT_EQ(stones.stone_count(), 1);
    EXPECT_TRUE(connection.sent.empty());
    EXPECT_EQ(state.my_turn, 1);
  }
}

TEST_F(Moves, AClickThatSnapsOffTheBoardDoesNothingAtAll) {
  start_as(gbk::white);
  for (const auto& [x, y] : {std::pair{20, 400}, std::pair{775, 400}, std::pair{400, 24}, std::pair{400, 775},
                             std::pair{-30, -30}, std::pair{100000, 400}}) {
    moves.board_click(x, y);
  }
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_TRUE(connection.sent.empty());
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(state.my_turn, 1);
}

TEST_F(Moves, AClickOutOfTurnIsAnsweredWithTheWaitingBox) {
  start_as(gbk::black);  // white moves first
  moves.board_click(163, 241);
  state.my_turn = 1;
  state.rival_move_pending = 1;  // both set: neither kind of move
  moves.board_click(163, 241);

  ASSERT_EQ(dialogs.boxes.size(), 2u);
  for (const test_support::ShownBox& box : dialogs.boxes) {
    EXPECT_EQ(box.text, text::wait_for_rival);
    EXPECT_EQ(box.caption, text::move_hint);
  }
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_TRUE(connection.sent.empty());
}

TEST_F(Moves, AClickBeforeAnyGameSaysThereIsNoRivalYet) {
  state.my_turn = 1;  // even with the turn, no colour means no game
  moves.board_click(163, 241);

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::no_rival_yet);
  EXPECT_EQ(dialogs.boxes[0].caption, text::hint);
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_TRUE(connection.sent.empty());
}

TEST_F(Moves, AWinSendsTheMoveThenTheResultBeforeAskingAndYesStartsAfresh) {
  start_as(gbk::white);
  controls.set_ready_button(text::readied, false);
  four_white_in_row_8(stones);
  std::size_t sent_while_asking = 0;
  dialogs.while_open = [&] { sent_while_asking = connection.sent.size(); };
  dialogs.answers = {true};

  moves.board_click(350, 400);

  EXPECT_EQ(connection.sent, (std::vector<std::string>{"XQ:350:400", "JS:" + str(gbk::white) + ":" + str(gbk::yes)}));
  EXPECT_EQ(sent_while_asking, 2u);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_TRUE(dialogs.boxes[0].question);
  EXPECT_EQ(dialogs.boxes[0].text, white_won_question);
  EXPECT_EQ(dialogs.boxes[0].caption, text::won_caption);
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(controls.ready_caption, text::ready);
  EXPECT_TRUE(controls.ready_enabled);
  EXPECT_EQ(state.my_turn, 0);
}

TEST_F(Moves, AWinAnsweredNoKeepsTheBoardAndTheTurnAndFreesTheReadyButton) {
  for (const auto& [colour, turn_after] : {std::pair{gbk::white, 0}, std::pair{gbk::black, 1}}) {
    SCOPED_TRACE(turn_after);
    stones.clear_stones();
    connection.sent.clear();
    start_as(colour);
    state.my_turn = 1;
    controls.set_ready_button(text::readied, false);
    for (int column = 3; column <= 6; ++column) stones.add_stone(colour, column * 50, 400);
    dialogs.answers = {false};

    moves.board_click(350, 400);

    EXPECT_EQ(connection.sent.back(), "JS:" + str(colour) + ":" + str(gbk::yes));
    EXPECT_EQ(stones.stone_count(), 5);
    EXPECT_EQ(controls.ready_caption, text::ready);
    EXPECT_TRUE(controls.ready_enabled);
    EXPECT_EQ(state.my_turn, turn_after);
  }
  // Black still has the turn and goes on placing stones.
  moves.board_click(600, 600);
  EXPECT_EQ(tag_at(600, 600), gbk::black);
  EXPECT_EQ(connection.sent.back(), "XQ:600:600");
}

TEST_F(Moves, TheTwoHundredAndTwentyFifthStoneIsADraw) {
  for (const bool again : {true, false}) {
    SCOPED_TRACE(again);
    stones.clear_stones();
    connection.sent.clear();
    dialogs.boxes.clear();
    controls.set_ready_button(text::readied, false);
    start_as(gbk::white);
    // Every point but the last, in a pattern that the draw outranks anyway.
    for (int y = 50; y <= 750; y += 50) {
      for (int x = 50; x <= 750; x += 50) {
        if (x == 750 && y == 750) continue;
        stones.add_stone(((x + y) / 50) % 4 < 2 ? gbk::white : gbk::black, x, y);
      }
    }
    dialogs.answers = {again};

    moves.board_click(760, 740);

    EXPECT_EQ(connection.sent,
              (std::vector<std::string>{"XQ:760:740", "JS:" + str(gbk::draw) + ":" + str(gbk::yes)}));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, text::draw_play_again);
    EXPECT_EQ(dialogs.boxes[0].caption, text::draw_caption);
    EXPECT_EQ(stones.stone_count(), again ? 0 : 225);
    EXPECT_EQ(controls.ready_caption, text::ready);
    EXPECT_TRUE(controls.ready_enabled);  // by either answer
    EXPECT_EQ(state.my_turn, 0);  // cleared when white's move went out, by either answer
  }
}

TEST_F(Moves, ARivalMoveOntoAnOccupiedPointPlacesNothingButGivesTheTurn) {
  start_as(gbk::black);
  stones.add_stone(gbk::black, 150, 250);
  state.rival_move_pending = 1;

  moves.place_stone(163, 241);

  EXPECT_EQ(stones.stone_count(), 1);
  EXPECT_EQ(tag_at(150, 250), gbk::black);
  EXPECT_EQ(state.my_turn, 1);
  EXPECT_TRUE(connection.sent.empty());
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Moves, ARivalMoveOffTheBoardIsDroppedSilently) {
  start_as(gbk::black);
  state.rival_move_pending = 1;

  moves.place_stone(0, 241);

  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(state.my_turn, 0);
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace client::testing
