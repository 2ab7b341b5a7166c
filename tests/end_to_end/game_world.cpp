#include "game_world.h"

#include <protocol/gbk_codec.h>
#include <test_support/free_port.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

namespace end_to_end {

namespace fs = std::filesystem;

namespace {

// Where controls sit inside each window's client area.
constexpr int board_origin = 1 + 2;  // board view at (1, 1), then its 2-pixel sunken edge
constexpr int nickname_box_x = 819 + 66, nickname_box_y = 198 + 13;
constexpr int ready_button_x = 824 + 36, ready_button_y = 616 + 16;
constexpr int picture_box_x = 860, picture_box_y = 104;
constexpr int port_box_x = 69 + 40, port_box_y = 5 + 16;
constexpr int change_button_x = 157 + 28, change_button_y = 5 + 16;

const std::string client_title = "^五子棋  ";

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Stone pixels are sampled off the grid lines, inside the disc: white is bright and neutral,
// black is dark, the board is warm (much less blue than red).
Point classify(const Rgb& c) {
  if (std::max({c.r, c.g, c.b}) < 110) return Point::black;
  if (c.b > 190 && c.r - c.b < 30) return Point::white;
  return Point::empty;
}

int snap(int pixel) { return (pixel + 25) / 50 * 50; }

}  // namespace

void GameWorld::SetUp() {
  char pattern[] = "/tmp/five-e2e-XXXXXX";
  root_ = mkdtemp(pattern);
  server_dir_ = root_ + "/server";
  client_dir_ = root_ + "/client";
  fs::create_directories(server_dir_);
  fs::create_directories(client_dir_);
  const fs::path bin = GAME_BIN_DIR;
  fs::copy_file(bin / "match_server", fs::path(server_dir_) / "match_server");
  fs::copy_file(bin / "libChronicle.so", fs::path(server_dir_) / "libChronicle.so");
  fs::copy_file(bin / "board_client", fs::path(client_dir_) / "board_client");
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  artifacts_dir_ = std::string(E2E_ARTIFACTS_DIR) + "/" + test->test_suite_name() + "." + test->name();
  fs::remove_all(artifacts_dir_);
  fs::create_directories(artifacts_dir_);
  x_ = std::make_unique<XSession>();
}

void GameWorld::TearDown() {
  if (HasFailure()) {
    try {
      x_->screenshot(artifacts_dir_ + "/at-failure.png");
    } catch (const std::exception&) {
    }
    if (fs::exists(fs::path(server_dir_) / "Log.txt")) {
      write_file(fs::path(artifacts_dir_) / "Log.utf8.txt", server_log());
    }
    for (const auto& entry : fs::directory_iterator(root_)) {
      if (entry.path().extension() == ".out") fs::copy_file(entry.path(), artifacts_dir_ / entry.path().filename());
    }
    std::cout << "Screenshots and logs of this failure: " << artifacts_dir_ << "\n";
  } else {
    fs::remove_all(artifacts_dir_);
  }
  players_.clear();
  server_.reset();
  x_.reset();
  fs::remove_all(root_);
}

std::string GameWorld::fresh_screenshot_path() {
  return artifacts_dir_ + "/screen-" + std::to_string(++screenshots_) + ".png";
}

bool GameWorld::wait_until(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

void GameWorld::start_server() {
  server_ = std::make_unique<ChildProcess>(std::vector<std::string>{server_dir_ + "/match_server"},
                                           root_, root_ + "/server.out");
  auto window = x_->find_window(server_->pid(), "^五子棋 服务器$");
  ASSERT_TRUE(window) << "the server window did not appear";
  server_window_ = *window;

  // A port of our own, so that the test never meets another server on the default one.
  port_ = test_support::free_port();
  x_->focus(server_window_.id);
  x_->click(server_window_.x + port_box_x, server_window_.y + port_box_y);
  x_->key("ctrl+a");
  x_->type(std::to_string(port_));
  x_->click(server_window_.x + change_button_x, server_window_.y + change_button_y);
  ASSERT_TRUE(wait_for_log("改变端口：" + std::to_string(port_)))
      << "the server did not log the port change";
  write_file(fs::path(client_dir_) / "SConfig.ini",
             "[SCG]\r\nIP=127.0.0.1\r\nDK=" + std::to_string(port_) + "\r\n");
}

Player& GameWorld::start_player() {
  auto player = std::make_unique<Player>();
  const std::string out = root_ + "/client-" + std::to_string(players_.size() + 1) + ".out";
  player->process = std::make_unique<ChildProcess>(
      std::vector<std::string>{client_dir_ + "/board_client"}, root_, out);
  auto window = x_->find_window(player->process->pid(), client_title);
  EXPECT_TRUE(window) << "the client window did not appear";
  if (window) player->window = *window;
  players_.push_back(std::move(player));
  return *players_.back();
}

std::unique_ptr<ChildProcess> GameWorld::start_client_without_server() {
  write_file(fs::path(client_dir_) / "SConfig.ini",
             "[SCG]\r\nIP=127.0.0.1\r\nDK=" + std::to_string(test_support::free_port()) + "\r\n");
  return std::make_unique<ChildProcess>(std::vector<std::string>{client_dir_ + "/board_client"},
                                        root_, root_ + "/lonely-client.out");
}

void GameWorld::get_ready(Player& player, const std::string& nickname) {
  x_->bring_to_front(player.window.id);
  x_->click(player.window.x + nickname_box_x, player.window.y + nickname_box_y);
  x_->type(nickname);
  press_ready(player);
}

void GameWorld::press_ready(Player& player) {
  x_->bring_to_front(player.window.id);
  x_->click(player.window.x + ready_button_x, player.window.y + ready_button_y);
}

void GameWorld::click_board(Player& player, int x, int y) {
  x_->bring_to_front(player.window.id);
  x_->click(player.window.x + board_origin + x, player.window.y + board_origin + y);
}

void GameWorld::answer_box(Player& player, const std::string& title, const std::string& key) {
  const std::string pattern = "^" + title + "$";
  auto box = x_->find_window(player.process->pid(), pattern);
  ASSERT_TRUE(box) << "no box titled " << title;
  x_->bring_to_front(box->id);
  x_->key(key);
  ASSERT_TRUE(wait_until([&] { return !x_->has_window(player.process->pid(), pattern); }))
      << "the box titled " << title << " stayed open";
}

Point GameWorld::point_on_board(Player& player, int x, int y) {
  x_->bring_to_front(player.window.id);
  const board::Picture screen = x_->screenshot(fresh_screenshot_path());
  return classify(pixel_at(screen, player.window.x + board_origin + snap(x) + 7,
                           player.window.y + board_origin + snap(y) + 7));
}

bool GameWorld::wait_for_point(Player& player, int x, int y, Point expected) {
  return wait_until([&] { return point_on_board(player, x, y) == expected; });
}

bool GameWorld::stone_in_picture_box(Player& player, Point colour) {
  x_->bring_to_front(player.window.id);
  return wait_until([&] {
    const board::Picture screen = x_->screenshot(fresh_screenshot_path());
    return classify(pixel_at(screen, player.window.x + picture_box_x + 21 + 5,
                             player.window.y + picture_box_y + 21 + 5)) == colour;
  });
}

std::string GameWorld::server_log() const {
  return protocol::gbk_to_utf8(read_file(fs::path(server_dir_) / "Log.txt"));
}

int GameWorld::log_count(const std::string& utf8_text) const {
  const std::string log = server_log();
  int count = 0;
  for (auto at = log.find(utf8_text); at != std::string::npos; at = log.find(utf8_text, at + 1)) ++count;
  return count;
}

bool GameWorld::wait_for_log(const std::string& utf8_text, int occurrences) {
  return wait_until([&] { return log_count(utf8_text) >= occurrences; });
}

}  // namespace end_to_end
