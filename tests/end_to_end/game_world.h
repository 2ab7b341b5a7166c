#pragma once
// One match server and its clients in temporary run directories on a private X server,
// driven only as a person would: through windows, clicks and keys.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "x_session.h"

namespace end_to_end {

enum class Point { empty, white, black };

struct Player {
  std::unique_ptr<ChildProcess> process;
  WindowPlace window;
};

class GameWorld : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts match_server and moves it to a free port through its window.
  void start_server();
  // Starts a client whose SConfig.ini points at the server; waits for its window.
  Player& start_player();
  // Starts a client against a port nothing listens on.
  std::unique_ptr<ChildProcess> start_client_without_server();

  void get_ready(Player& player, const std::string& nickname);
  void press_ready(Player& player);
  void click_board(Player& player, int x, int y);
  // Waits for the player's box titled `title`, answers it with `key` and waits until it is gone.
  void answer_box(Player& player, const std::string& title, const std::string& key = "Return");

  // What a screenshot shows on the player's board at the intersection nearest (x, y).
  Point point_on_board(Player& player, int x, int y);
  bool wait_for_point(Player& player, int x, int y, Point expected);
  bool stone_in_picture_box(Player& player, Point colour);

  std::string server_log() const;  // Log.txt as UTF-8
  bool wait_for_log(const std::string& utf8_text, int occurrences = 1);
  int log_count(const std::string& utf8_text) const;

  bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

  std::unique_ptr<XSession> x_;
  std::string root_, server_dir_, client_dir_, artifacts_dir_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> server_;
  WindowPlace server_window_;
  std::vector<std::unique_ptr<Player>> players_;

 private:
  std::string fresh_screenshot_path();
  int screenshots_ = 0;
};

}  // namespace end_to_end
