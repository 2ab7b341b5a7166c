#include "game_fixture.h"

#include <board/geometry.h>
#include <client/ready_flow.h>
#include <client/startup.h>
#include <client/single_boxes.h>
#include <client/texts.h>

#include <functional>

namespace client::testing {
namespace {

using GameEnd = GameFixture;

std::string relayed(int x, int y) { return "DSXQ:" + std::to_string(x) + ":" + std::to_string(y); }

// Four of the rival's stones on row 400, columns 150..300; the fifth comes relayed at 350.
void four_of(board::StoneSet& stones, std::string_view colour) {
  for (int x = 150; x <= 300; x += 50) stones.add_stone(colour, x, 400);
}

TEST_F(GameEnd, TheLoserIsToldAndEitherAnswerFreesTheReadyButton) {
  for (const std::string_view me : {gbk::white, gbk::black}) {
    for (const bool again : {true, false}) {
      SCOPED_TRACE(std::string(me) + (again ? " yes" : " no"));
      stones.clear_stones();
      dialogs.boxes.clear();
      controls.set_ready_button(text::readied, false);
      start_as(me);
      four_of(stones, state.rival_colour);
      dialogs.answers = {again};
      std::int32_t turn_while_open = -1;
      dialogs.while_open = [&] { turn_while_open = state.my_turn; };

      deliver(relayed(350, 400));

      ASSERT_EQ(dialogs.boxes.size(), 1u);
      EXPECT_EQ(dialogs.boxes[0].text, str(text::regret) + state.rival_colour + str(text::won_play_again));
      EXPECT_EQ(dialogs.boxes[0].caption, text::lost_caption);
      EXPECT_TRUE(dialogs.boxes[0].question);
      EXPECT_EQ(turn_while_open, 0);
      EXPECT_EQ(state.my_turn, 0);
      EXPECT_TRUE(connection.sent.empty());
      EXPECT_EQ(stones.stone_count(), again ? 0 : 5);
      EXPECT_EQ(controls.ready_caption, text::ready);
      EXPECT_TRUE(controls.ready_enabled);
      EXPECT_EQ(controls.five, (std::vector<BoardPoint>{{150, 400}, {200, 400}, {250, 400}, {300, 400}, {350, 400}}));
    }
  }
}

TEST_F(GameEnd, SixInARowOrAFiveOfMyColourIsNoLoss) {
  start_as(gbk::white);
  four_of(stones, gbk::black);
  stones.add_stone(gbk::black, 400, 400);
  deliver(relayed(350, 400));  // six in a row
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(state.my_turn, 1);
  EXPECT_TRUE(controls.five.empty());
}

TEST_F(GameEnd, TheRivalsTwoHundredAndTwentyFifthStoneIsADrawAndSendsNothing) {
  start_as(gbk::white);
  for (int y = 50; y <= 750; y += 50) {
    for (int x = 50; x <= 750; x += 50) {
      if (x == 750 && y == 750) continue;
      stones.add_stone(((x + y) / 50) % 4 < 2 ? gbk::white : gbk::black, x, y);
    }
  }
  dialogs.answers = {true};

  deliver(relayed(750, 750));

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::draw_play_again);
  EXPECT_EQ(dialogs.boxes[0].caption, text::draw_caption);
  EXPECT_EQ(state.my_turn, 0);
  EXPECT_TRUE(connection.sent.empty());
  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_TRUE(controls.ready_enabled);
}

TEST_F(GameEnd, AnOwnWinRingsTheFive) {
  start_as(gbk::white);
  for (int y = 100; y <= 250; y += 50) stones.add_stone(gbk::white, 500, y);
  moves.board_click(500, 300);
  EXPECT_EQ(controls.five, (std::vector<BoardPoint>{{500, 100}, {500, 150}, {500, 200}, {500, 250}, {500, 300}}));
}

TEST_F(GameEnd, WhateverARivalSendsTheBoardHoldsOneStonePerPointAtMost) {
  start_as(gbk::black);
  for (int round = 0; round < 3; ++round) {
    for (int y = 50; y <= 750; y += 50) {
      for (int x = 50; x <= 750; x += 50) deliver(relayed(x, y));
    }
  }
  EXPECT_EQ(stones.stone_count(), board::intersection_count);
}

struct StatusStep {
  const char* event;
  std::function<void()> act;
  std::string status;
};

class Status : public GameFixture {
 protected:
  ReadyFlow ready{stones, controls, connection, dialogs};
};

TEST_F(Status, EveryEventLeavesTheStatusLineCurrent) {
  const std::string white_to_move = str(status::you_play) + str(gbk::white) + str(status::your_move);
  const std::string white_waits = str(status::you_play) + str(gbk::white) + str(status::rival_move);
  const std::string black_waits = str(status::you_play) + str(gbk::black) + str(status::rival_move);
  const std::string black_to_move = str(status::you_play) + str(gbk::black) + str(status::your_move);
  controls.nickname = "a";
  const StatusStep steps[] = {
      {"ready", [&] { ready.press(); }, str(status::waiting)},
      {"start as white", [&] { deliver("ST:" + str(gbk::white) + ":" + str(gbk::yes)); }, white_to_move},
      {"own move", [&] { moves.board_click(100, 100); }, white_waits},
      {"rival move", [&] { deliver(relayed(700, 700)); }, white_to_move},
      {"click out of turn changes nothing", [&] { state.my_turn = 0; moves.board_click(150, 100); state.my_turn = 1; },
       white_to_move},
      {"own five, answered No",
       [&] {
         for (int x = 150; x <= 250; x += 50) stones.add_stone(gbk::white, x, 100);
         moves.board_click(300, 100);
       },
       str(status::won)},
      {"ready again", [&] { ready.press(); }, str(status::waiting)},
      {"start as black", [&] { deliver("ST:" + str(gbk::black) + ":" + str(gbk::no)); }, black_waits},
      {"rival move", [&] { deliver(relayed(400, 400)); }, black_to_move},
      {"rival five, answered No",
       [&] {
         for (int x = 50; x <= 200; x += 50) stones.add_stone(gbk::white, x, 600);
         deliver(relayed(250, 600));
       },
       str(status::lost)},
      {"rival five, answered Yes",
       [&] {
         stones.clear_stones();
         for (int x = 50; x <= 200; x += 50) stones.add_stone(gbk::white, x, 600);
         dialogs.answers = {true};
         deliver(relayed(250, 600));
       },
       str(status::idle)},
      {"rival left", [&] { deliver("DSLK"); }, str(status::rival_left)},
  };
  for (const StatusStep& step : steps) {
    step.act();
    EXPECT_EQ(controls.status, step.status) << step.event;
  }
}

TEST_F(Status, StartupSaysConnectingWhileItWaitsThenAsksForANickname) {
  test_support::RecordingLayer layer;
  char pattern[] = "/tmp/client-status-XXXXXX";
  const std::filesystem::path run_dir = mkdtemp(pattern);
  connection.accept_connect = false;
  run_startup(run_dir, StartupSeams{layer, controls, connection, dialogs, program});
  EXPECT_EQ(controls.status, status::connecting);  // what the failure box stands over

  connection.accept_connect = true;
  run_startup(run_dir, StartupSeams{layer, controls, connection, dialogs, program});
  EXPECT_EQ(controls.status, status::idle);
  std::filesystem::remove_all(run_dir);
}

// Boxes that a rival can make the client open again and again while the first is still open.
class OneBoxAtATime : public GameFixture {
 protected:
  SingleBoxes single{dialogs};
  Moves guarded_moves{state, stones, connection, single, controls};
  Dispatch guarded{state, guarded_moves, stones, single, controls, program};
};

TEST_F(OneBoxAtATime, AFloodWhileABoxIsOpenTakesEffectWithoutASecondBox) {
  struct Case {
    const char* name;
    std::string first, flood;
    std::function<void()> set_up;
    std::size_t stones_after;
  };
  const Case cases[] = {
      {"departures", "DSLK", "DSLK", [] {}, 0},
      {"fives", relayed(350, 400), relayed(350, 400), [&] { four_of(stones, gbk::white); }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stones.clear_stones();
    dialogs.boxes.clear();
    start_as(gbk::black);
    c.set_up();
    controls.set_ready_button(text::readied, false);
    dialogs.while_open = [&] {
      for (int i = 0; i < 50; ++i) guarded.on_data_arrived(c.flood);
    };

    guarded.on_data_arrived(c.first);

    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(controls.ready_enabled);
    EXPECT_EQ(stones.stone_count(), static_cast<int>(c.stones_after));
  }
}

TEST_F(OneBoxAtATime, OnlyTheSameBoxIsHeldBack) {
  dialogs.while_open = [&] { single.inform(text::rival_fled, text::hint, BoxIcon::none); };
  single.inform(text::rival_fled, text::fled_caption, BoxIcon::none);
  EXPECT_EQ(dialogs.boxes.size(), 2u);

  // Once a box is closed, the same box may open again.
  single.inform(text::rival_fled, text::fled_caption, BoxIcon::none);
  EXPECT_EQ(dialogs.boxes.size(), 3u);
}

}  // namespace
}  // namespace client::testing
