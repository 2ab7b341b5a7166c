#pragma once
// What the game logic needs of the window, the connection and the process, as small interfaces,
// so that the logic runs and is tested without widgets or sockets. All texts are GBK.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace client {

// A point of the board view's drawing area, in pixels.
struct BoardPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const BoardPoint&) const = default;
};

enum class BoxIcon { none, exclamation };

// Modal message boxes. A handler that opens one keeps the event loop running, so server
// messages may be handled before the call returns.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void inform(std::string_view text, std::string_view caption, BoxIcon icon) = 0;
  // Yes and No with a question mark; true only for Yes.
  virtual bool ask_yes_no(std::string_view text, std::string_view caption) = 0;
};

// 客户1, the one connection to the match server.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual bool connect(std::string_view address, std::int32_t port) = 0;
  virtual bool send(std::string_view text) = 0;
};

class ProgramExit {
 public:
  virtual ~ProgramExit() = default;
  // Ends the process at once; saves nothing.
  virtual void end(int code) = 0;
};

// The controls of the client window that the logic reads and changes.
class Controls {
 public:
  virtual ~Controls() = default;
  virtual void set_ready_button(std::string_view caption, bool enabled) = 0;  // 按钮_准备
  virtual void show_own_stone(std::string_view colour) = 0;                   // 图片框1
  virtual std::string nickname_text() const = 0;                              // 编辑框_我的昵称
  virtual void set_nickname_enabled(bool enabled) = 0;
  virtual void focus_nickname() = 0;
  virtual std::string caption() const = 0;  // the window caption
  virtual void set_caption(std::string_view caption) = 0;
  virtual void set_status(std::string_view status) = 0;  // 标签_状态
  // The stones of a winning line, shown until the board is cleared.
  virtual void show_winning_five(const std::vector<BoardPoint>& centres) = 0;
};

}  // namespace client
