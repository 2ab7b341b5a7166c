#include "game_fixture.h"

#include <client/texts.h>

namespace client::testing {
namespace {

using Dispatch = GameFixture;

const std::string rival_left_message = "DSLK:" + str(gbk::rival_left);

struct StartCase {
  std::string message;
  std::string my_colour, rival_colour;
  std::int32_t my_turn;
  std::string own_stone;  // what 图片框1 shows
};

TEST_F(Dispatch, StartSetsColoursTurnAndPictureFromFieldOneAlone) {
  const StartCase cases[] = {
      {"ST:" + str(gbk::white) + ":" + str(gbk::yes), str(gbk::white), str(gbk::black), 1, str(gbk::white)},
      {"ST:" + str(gbk::black) + ":" + str(gbk::no), str(gbk::black), str(gbk::white), 0, str(gbk::black)},
      {"ST:" + str(gbk::black), str(gbk::black), str(gbk::white), 0, str(gbk::black)},
      // Field 2 is never read: the turn follows from the colour.
      {"ST:" + str(gbk::white) + ":" + str(gbk::no), str(gbk::white), str(gbk::black), 1, str(gbk::white)},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.message);
    state = ClientState{};
    state.rival_move_pending = 1;
    controls.own_stone.clear();

    deliver(c.message);

    EXPECT_EQ(state.my_colour, c.my_colour);
    EXPECT_EQ(state.rival_colour, c.rival_colour);
    EXPECT_EQ(state.my_turn, c.my_turn);
    EXPECT_EQ(state.rival_move_pending, 0);
    EXPECT_EQ(controls.own_stone, c.own_stone);
  }
}

TEST_F(Dispatch, StartWithAnotherColourOnlyClearsThePendingFlag) {
  start_as(gbk::white);
  state.rival_move_pending = 1;
  stones.add_stone(gbk::black, 400, 400);

  deliver("ST:\xBA\xEC\xC9\xAB:\xD5\xE6");  // ST:红色:真

  EXPECT_EQ(state.my_colour, gbk::white);
  EXPECT_EQ(state.rival_colour, gbk::black);
  EXPECT_EQ(state.my_turn, 1);
  EXPECT_EQ(state.rival_move_pending, 0);
  EXPECT_TRUE(controls.own_stone.empty());
  EXPECT_EQ(stones.stone_count(), 1);  // a start never clears the board
}

struct RivalMoveCase {
  std::string message;
  bool placed;            // a black stone on (150, 250)
  std::int32_t my_turn;   // afterwards
};

// White holds the turn beforehand, so a message that is acted on always leaves a trace in
// my_turn: 1 when the stone was placed, 0 when it snapped off the board.
TEST_F(Dispatch, RivalMovesReadTheirCoordinatesAsIntegers) {
  const RivalMoveCase cases[] = {
      {"DSXQ:163:241", true, 1},
      {"DSXQ:\xA3\xB1\xA3\xB6\xA3\xB3:241", true, 1},  // full-width digits １６３
      {"DSXQ:163:241:9", true, 1},
      {"DSXQ:163:241DSXQ", true, 1},
      {"DSXQ:abc:241", false, 0},
      {"DSXQ::241", false, 0},
      {"DSXQ:12a:40", false, 0},
      {"DSXQ:163", false, 1},  // no field 2: not acted on
      {"DSXQ", false, 1},
      {"", false, 1},
      {std::string("\0DSXQ:163:241", 13), false, 1},  // a leading zero byte ends the text
      {"dsxq:163:241", false, 1},
      {"XQ:163:241", false, 1},
      {"NC:a:OK", false, 1},
  };
  for (const RivalMoveCase& c : cases) {
    SCOPED_TRACE(c.message);
    stones.clear_stones();
    start_as(gbk::white);

    deliver(c.message);

    EXPECT_EQ(stones.stone_count(), c.placed ? 1 : 0);
    if (c.placed) {
      EXPECT_EQ(tag_at(150, 250), gbk::black);
    }
    EXPECT_EQ(state.my_turn, c.my_turn);
    EXPECT_EQ(state.rival_move_pending, 0);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(connection.sent.empty());
  }
}

TEST_F(Dispatch, ARivalMoveBeforeAnyStartPlacesNothing) {
  deliver("DSXQ:163:241");
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(state.my_turn, 0);
  EXPECT_EQ(state.rival_move_pending, 0);
}

TEST_F(Dispatch, MessagesSharingOneDeliveryAreEachHandled) {
  start_as(gbk::black);
  deliver("DSXQ:163:241DSXQ:300:400");
  EXPECT_EQ(tag_at(150, 250), gbk::white);
  EXPECT_EQ(tag_at(300, 400), gbk::white);
  EXPECT_EQ(state.my_turn, 1);

  deliver("DSXQ:600:600" + rival_left_message);
  EXPECT_EQ(stones.stone_count(), 0);  // the move, then the departure that clears the board
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::rival_fled);
}

TEST_F(Dispatch, RivalLeftEndsTheGameAndRestoresTheReadyButton) {
  for (const std::string& message : {str("DSLK"), str("DSLK:"), rival_left_message}) {
    SCOPED_TRACE(message);
    dialogs.boxes.clear();
    start_as(gbk::black);
    state.my_turn = 1;
    stones.add_stone(gbk::white, 400, 400);
    controls.set_ready_button(text::readied, false);
    controls.set_nickname_enabled(false);

    deliver(message);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, text::rival_fled);
    EXPECT_EQ(dialogs.boxes[0].caption, text::fled_caption);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::none);
    EXPECT_FALSE(dialogs.boxes[0].question);
    EXPECT_EQ(stones.stone_count(), 0);
    EXPECT_EQ(controls.ready_caption, text::ready);
    EXPECT_TRUE(controls.ready_enabled);
    EXPECT_FALSE(controls.nickname_enabled);
    EXPECT_EQ(state.my_colour, gbk::black);
    EXPECT_EQ(state.my_turn, 1);
  }
  // The colour stays set, so a click still reaches the move handling.
  moves.board_click(163, 241);
  EXPECT_EQ(tag_at(150, 250), gbk::black);
}

TEST_F(Dispatch, ABrokenConnectionWarnsThenEndsWithStatusZero) {
  std::size_t exits_while_open = 99;
  dialogs.while_open = [&] { exits_while_open = program.codes.size(); };

  dispatch.on_connection_broken();

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::connection_broken);
  EXPECT_EQ(dialogs.boxes[0].caption, text::broken_caption);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::exclamation);
  EXPECT_EQ(exits_while_open, 0u);
  EXPECT_EQ(program.codes, std::vector<int>{0});
}

// Server messages handled while a box of the move handling is open.
class WhileTheWinBoxIsOpen : public GameFixture {
 protected:
  void win_with_a_rival_move_arriving(bool answer) {
    start_as(gbk::white);
    for (int column = 3; column <= 6; ++column) stones.add_stone(gbk::white, column * 50, 400);
    dialogs.while_open = [this] {
      deliver("DSXQ:163:241");
      stones_while_open = stones.stone_count();
      turn_while_open = state.my_turn;
    };
    dialogs.answers = {answer};
    moves.board_click(350, 400);
  }

  int stones_while_open = 0;
  std::int32_t turn_while_open = -1;
};

TEST_F(WhileTheWinBoxIsOpen, ARivalMoveIsAppliedAndYesClearsItAgain) {
  win_with_a_rival_move_arriving(true);

  EXPECT_EQ(stones_while_open, 6);
  EXPECT_EQ(turn_while_open, 1);
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(state.my_turn, 0);
  EXPECT_EQ(state.rival_move_pending, 0);
}

TEST_F(WhileTheWinBoxIsOpen, NoLeavesTheStateAsTheRivalMoveLeftIt) {
  win_with_a_rival_move_arriving(false);

  EXPECT_EQ(stones.stone_count(), 6);
  EXPECT_EQ(tag_at(150, 250), gbk::black);
  EXPECT_EQ(state.my_turn, 1);
}

TEST_F(Dispatch, ARivalMoveDuringTheDepartureBoxIsClearedWithTheBoard) {
  start_as(gbk::black);
  dialogs.while_open = [this] { deliver("DSXQ:163:241"); };

  deliver(rival_left_message);

  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(state.my_turn, 1);
  EXPECT_TRUE(controls.ready_enabled);
}

}  // namespace
}  // namespace client::testing
