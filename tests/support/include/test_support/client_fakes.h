#pragma once
// Stand-ins for the client's seams: boxes answered by the test, a connection that records what
// is sent, controls without widgets, an exit that only notes its code, and a layer that records
// every drawing call. Also a loopback listener for the window tests.
#include <client/board_layer.h>
#include <client/seams.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct ShownBox {
  std::string text;
  std::string caption;
  bool question = false;  // Yes and No instead of OK alone
  client::BoxIcon icon = client::BoxIcon::none;
};

class FakeDialogs : public client::Dialogs {
 public:
  void inform(std::string_view text, std::string_view caption, client::BoxIcon icon) override;
  bool ask_yes_no(std::string_view text, std::string_view caption) override;

  std::vector<ShownBox> boxes;
  std::deque<bool> answers;  // for the questions, in order; No once they run out
  // Runs while the next box is open, as a server message handled by the box's event loop would.
  std::function<void()> while_open;
};

class FakeConnection : public client::Connection {
 public:
  bool connect(std::string_view address, std::int32_t port) override;
  bool send(std::string_view text) override;

  bool accept_connect = true;
  std::vector<std::pair<std::string, std::int32_t>> connects;
  std::vector<std::string> sent;
};

class FakeExit : public client::ProgramExit {
 public:
  void end(int code) override { codes.push_back(code); }
  std::vector<int> codes;
};

class FakeControls : public client::Controls {
 public:
  void set_ready_button(std::string_view caption, bool enabled) override;
  void show_own_stone(std::string_view colour) override { own_stone = colour; }
  std::string nickname_text() const override { return nickname; }
  void set_nickname_enabled(bool enabled) override { nickname_enabled = enabled; }
  void focus_nickname() override { nickname_focused = true; }
  std::string caption() const override { return window_caption; }
  void set_caption(std::string_view caption) override { window_caption = caption; }
  void set_status(std::string_view text) override { status = text; }
  void show_winning_five(const std::vector<client::BoardPoint>& centres) override { five = centres; }

  std::string ready_caption = "\xD7\xBC\xB1\xB8";  // 准备
  bool ready_enabled = true;
  std::string own_stone;
  std::string nickname;
  bool nickname_enabled = true;
  bool nickname_focused = false;
  std::string window_caption;
  std::string status;
  std::vector<client::BoardPoint> five;
};

// Every call as one line of text, e.g. "line 50 50 750 50" or "picture 123" (its byte count).
class RecordingLayer : public client::BoardLayer {
 public:
  void set_background_picture(std::span<const std::uint8_t> bytes) override;
  void set_pen_width(std::int32_t width) override;
  void set_brush_style(std::int32_t style) override;
  void set_brush_color(std::int32_t rgb) override;
  void draw_line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  void draw_rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void draw_ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void flush() override { calls.push_back("flush"); }

  std::vector<std::string> calls;
  std::string picture;
};

// A TCP listener on 127.0.0.1 for one client, with bounded waits.
class LoopbackListener {
 public:
  LoopbackListener();  // on a free port
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  std::uint16_t port() const { return port_; }
  bool accept(std::chrono::milliseconds timeout);
  // Reads until `count` bytes have come or the wait is over; gives what came.
  std::string read_bytes(std::size_t count, std::chrono::milliseconds timeout);
  bool write(std::string_view bytes);

 private:
  int listener_ = -1;
  int peer_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace test_support
