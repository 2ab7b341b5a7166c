// Whole stories of play, told through real windows on a private X server.
#include <utility>
#include <vector>

#include "game_world.h"

namespace end_to_end {
namespace {

struct Move {
  int x, y;  // raw click position; the board snaps it
};

// White builds five on row 8 while black answers on row 10. Clicks land a little off the
// intersections, as a person's do.
const std::vector<Move> white_moves{{157, 391}, {205, 410}, {244, 396}, {309, 404}, {352, 388}};
const std::vector<Move> black_moves{{146, 508}, {203, 492}, {256, 503}, {297, 511}};

std::string move_log(const Move& m) { return " 位置：" + std::to_string(m.x) + ":" + std::to_string(m.y); }

using WholeGames = GameWorld;

TEST_F(WholeGames, WhiteWinsAndTheBoardClearsAfterYes) {
  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& white = start_player();
  Player& black = start_player();

  get_ready(white, "Alice");
  ASSERT_TRUE(wait_for_log("收到的数据：NC:Alice:OK"));
  get_ready(black, "Bob");
  ASSERT_TRUE(wait_for_log("   VS   "));
  EXPECT_TRUE(stone_in_picture_box(white, Point::white));
  EXPECT_TRUE(stone_in_picture_box(black, Point::black));
  EXPECT_NE(x_->title_of(white.window.id).find("  我的昵称：Alice"), std::string::npos);

  for (std::size_t i = 0; i < white_moves.size(); ++i) {
    const Move w = white_moves[i];
    click_board(white, w.x, w.y);
    ASSERT_TRUE(wait_for_log(move_log(w))) << "white's move " << i + 1 << " did not reach the server";
    ASSERT_TRUE(wait_for_point(black, w.x, w.y, Point::white)) << "black does not see white's move";
    if (i == white_moves.size() - 1) break;
    const Move b = black_moves[i];
    click_board(black, b.x, b.y);
    ASSERT_TRUE(wait_for_log(move_log(b))) << "black's move " << i + 1 << " did not reach the server";
    ASSERT_TRUE(wait_for_point(white, b.x, b.y, Point::black)) << "white does not see black's move";
  }

  ASSERT_TRUE(x_->find_window(white.process->pid(), "^赢了$")) << "white was not told of the win";
  EXPECT_TRUE(wait_for_log("收到的数据：JS:白色:真"));
  for (const Move& m : white_moves) EXPECT_EQ(point_on_board(white, m.x, m.y), Point::white);
  for (const Move& m : black_moves) EXPECT_EQ(point_on_board(white, m.x, m.y), Point::black);

  ASSERT_NO_FATAL_FAILURE(answer_box(white, "赢了", "Return"));  // Yes
  for (const Move& m : white_moves) EXPECT_TRUE(wait_for_point(white, m.x, m.y, Point::empty));
  for (const Move& m : black_moves) EXPECT_TRUE(wait_for_point(white, m.x, m.y, Point::empty));
  EXPECT_EQ(log_count(" 位置："), 9);
}

TEST_F(WholeGames, TheLoserIsToldAndBothPlayAgainAfterYes) {
  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& white = start_player();
  Player& black = start_player();
  get_ready(white, "Alice");
  ASSERT_TRUE(wait_for_log("收到的数据：NC:Alice:OK"));
  get_ready(black, "Bob");
  ASSERT_TRUE(wait_for_log("   VS   "));

  for (std::size_t i = 0; i < white_moves.size(); ++i) {
    click_board(white, white_moves[i].x, white_moves[i].y);
    ASSERT_TRUE(wait_for_point(black, white_moves[i].x, white_moves[i].y, Point::white)) << "white's move " << i + 1;
    if (i == white_moves.size() - 1) break;
    click_board(black, black_moves[i].x, black_moves[i].y);
    ASSERT_TRUE(wait_for_point(white, black_moves[i].x, black_moves[i].y, Point::black)) << "black's move " << i + 1;
  }

  ASSERT_TRUE(x_->find_window(black.process->pid(), "^输了$")) << "black was not told of the loss";
  ASSERT_NO_FATAL_FAILURE(answer_box(black, "输了", "Return"));  // Yes
  ASSERT_NO_FATAL_FAILURE(answer_box(white, "赢了", "Return"));  // Yes
  for (const Move& m : white_moves) EXPECT_TRUE(wait_for_point(black, m.x, m.y, Point::empty));

  press_ready(white);
  ASSERT_TRUE(wait_for_log("收到的数据：NC:Alice:OK", 2));
  press_ready(black);
  ASSERT_TRUE(wait_for_log("   VS   ", 2)) << "no second game";
  click_board(white, 400, 400);
  EXPECT_TRUE(wait_for_point(black, 400, 400, Point::white)) << "the second game's first move did not arrive";
}

TEST_F(WholeGames, ARivalWhoLeavesIsAnnouncedAndANewRivalCanBeFound) {
  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& stayer = start_player();
  Player& leaver = start_player();
  get_ready(stayer, "Stay");
  ASSERT_TRUE(wait_for_log("NC:Stay:OK"));
  get_ready(leaver, "Gone");
  ASSERT_TRUE(wait_for_log("   VS   "));
  click_board(stayer, 400, 400);
  ASSERT_TRUE(wait_for_point(leaver, 400, 400, Point::white));

  leaver.process->kill_now();
  ASSERT_NO_FATAL_FAILURE(answer_box(stayer, "对手逃跑"));
  EXPECT_TRUE(wait_for_point(stayer, 400, 400, Point::empty)) << "the board was not cleared";
  EXPECT_TRUE(wait_for_log("当前在线人数：1 人"));

  Player& newcomer = start_player();
  press_ready(stayer);  // the nickname box stays locked with the same name
  ASSERT_TRUE(wait_for_log("NC:Stay:OK", 2)) << "the ready button was not enabled again";
  get_ready(newcomer, "Next");
  ASSERT_TRUE(wait_for_log("   VS   ", 2)) << "the stayer was not paired again";
  EXPECT_TRUE(stone_in_picture_box(newcomer, Point::black));
  click_board(stayer, 450, 450);
  EXPECT_TRUE(wait_for_point(newcomer, 450, 450, Point::white));
}

TEST_F(WholeGames, ClosingTheServerEndsEveryClient) {
  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& first = start_player();
  Player& second = start_player();
  ASSERT_TRUE(wait_for_log("当前在线人数：2 人"));

  x_->close_window(server_window_.id);
  ASSERT_EQ(server_->wait_for_exit(10s), 0);
  for (Player* player : {&first, &second}) {
    ASSERT_NO_FATAL_FAILURE(answer_box(*player, "连接已断开"));
    EXPECT_EQ(player->process->wait_for_exit(10s), 0);
  }
}

TEST_F(WholeGames, AClientWithoutAServerSaysSoAndEnds) {
  auto client = start_client_without_server();
  auto box = x_->find_window(client->pid(), "^提示$");
  ASSERT_TRUE(box) << "no message that the connection failed";
  x_->focus(box->id);
  x_->key("Return");
  EXPECT_EQ(client->wait_for_exit(10s), 0);
}

TEST_F(WholeGames, RefusedClicksShowTheirBoxAndSendNothing) {
  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& white = start_player();
  Player& black = start_player();

  click_board(white, 400, 400);  // before any game
  ASSERT_NO_FATAL_FAILURE(answer_box(white, "提示"));

  get_ready(white, "W");
  ASSERT_TRUE(wait_for_log("NC:W:OK"));
  get_ready(black, "B");
  ASSERT_TRUE(wait_for_log("   VS   "));

  click_board(black, 300, 300);  // out of turn
  ASSERT_NO_FATAL_FAILURE(answer_box(black, "下棋提示"));
  click_board(white, 400, 400);
  ASSERT_TRUE(wait_for_point(black, 400, 400, Point::white));
  click_board(black, 400, 405);  // on white's stone
  ASSERT_NO_FATAL_FAILURE(answer_box(black, "提示2"));
  click_board(black, 450, 450);
  ASSERT_TRUE(wait_for_point(white, 450, 450, Point::black));
  click_board(white, 452, 447);  // on black's stone
  ASSERT_NO_FATAL_FAILURE(answer_box(white, "提示1"));
  click_board(black, 500, 500);  // out of turn again: white still has the move
  ASSERT_NO_FATAL_FAILURE(answer_box(black, "下棋提示"));

  EXPECT_EQ(log_count(" 位置："), 2) << server_log();
}

}  // namespace
}  // namespace end_to_end
