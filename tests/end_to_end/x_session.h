#pragma once
// A private X server for one test, and the ways a person reaches windows on it:
// finding them, clicking, typing, looking at the screen.
#include <board/picture.h>

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "child_process.h"

namespace end_to_end {

using namespace std::chrono_literals;

struct WindowPlace {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // on the screen
};

struct Rgb {
  int r = 0, g = 0, b = 0;
};

class XSession {
 public:
  // Starts Xvfb on a free display and points DISPLAY (and Qt's platform) of this process at it,
  // so every program the test starts afterwards opens its windows there.
  XSession();
  ~XSession();

  const std::string& display() const { return display_; }

  // A visible window of `pid` whose title matches the extended regular expression, within `timeout`.
  std::optional<WindowPlace> find_window(pid_t pid, const std::string& title_regex,
                                         std::chrono::milliseconds timeout = 10s) const;
  bool has_window(pid_t pid, const std::string& title_regex) const;
  std::string title_of(unsigned long window) const;

  void click(int x, int y) const;
  void focus(unsigned long window) const;
  // Puts the window above the others and gives it the keyboard, as a click on its frame would.
  void bring_to_front(unsigned long window) const;
  void type(const std::string& text) const;
  void key(const std::string& name) const;
  // Asks the window to close, as a window manager's close button would.
  void close_window(unsigned long window) const;

  // The whole screen, saved as PNG at `path` and decoded.
  board::Picture screenshot(const std::string& path) const;
  // One window as it looks now, saved as PNG at `path`.
  void save_window_picture(unsigned long window, const std::string& path) const;

 private:
  std::string display_;
  std::unique_ptr<ChildProcess> server_;
};

Rgb pixel_at(const board::Picture& picture, int x, int y);
std::string shell_quote(const std::string& text);

}  // namespace end_to_end
