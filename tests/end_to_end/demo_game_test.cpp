// Not a test: the demonstration game that the play command runs on a machine without a display.
// It plays a short game with the suite's drivers and leaves pictures of the three windows in
// the folder named by FIVE_DEMO_PICTURES.
#include <cstdlib>
#include <filesystem>

#include "game_world.h"

namespace end_to_end {
namespace {

using Demo = GameWorld;

TEST_F(Demo, DISABLED_PlaysAShortGameAndKeepsPictures) {
  const char* folder = std::getenv("FIVE_DEMO_PICTURES");
  ASSERT_NE(folder, nullptr) << "FIVE_DEMO_PICTURES names the folder for the pictures";
  std::filesystem::create_directories(folder);
  const std::string out = folder;

  ASSERT_NO_FATAL_FAILURE(start_server());
  Player& white = start_player();
  Player& black = start_player();
  get_ready(white, "Alice");
  ASSERT_TRUE(wait_for_log("NC:Alice:OK"));
  get_ready(black, "Bob");
  ASSERT_TRUE(wait_for_log("   VS   "));

  const int moves[][2] = {{400, 400}, {450, 400}, {400, 350}, {450, 350}, {350, 450},
                          {450, 450}, {450, 300}, {500, 400}, {350, 350}, {400, 450}};
  for (std::size_t i = 0; i < std::size(moves); ++i) {
    Player& mover = i % 2 == 0 ? white : black;
    Player& rival = i % 2 == 0 ? black : white;
    click_board(mover, moves[i][0], moves[i][1]);
    ASSERT_TRUE(wait_for_point(rival, moves[i][0], moves[i][1], i % 2 == 0 ? Point::white : Point::black));
  }
  x_->save_window_picture(white.window.id, out + "/client-white.png");
  x_->save_window_picture(black.window.id, out + "/client-black.png");
  x_->save_window_picture(server_window_.id, out + "/server.png");

  // White completes five on column 400, from 200 to 400; black sees the end of the game.
  const int ending[][2] = {{600, 600}, {400, 300}, {650, 650}, {400, 250}, {700, 700}, {400, 200}};
  for (std::size_t i = 0; i < std::size(ending); ++i) {
    Player& mover = i % 2 == 0 ? black : white;
    Player& rival = i % 2 == 0 ? white : black;
    click_board(mover, ending[i][0], ending[i][1]);
    ASSERT_TRUE(wait_for_point(rival, ending[i][0], ending[i][1], i % 2 == 0 ? Point::black : Point::white));
  }
  const auto lost_box = x_->find_window(black.process->pid(), "^输了$");
  ASSERT_TRUE(lost_box);
  x_->bring_to_front(black.window.id);
  x_->bring_to_front(lost_box->id);
  x_->screenshot(out + "/client-black-lost.png");
}

}  // namespace
}  // namespace end_to_end
