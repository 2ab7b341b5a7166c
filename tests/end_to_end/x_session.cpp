#include "x_session.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace end_to_end {

namespace {

std::string xdotool(const std::string& arguments, int* exit_code = nullptr) {
  return run_command("xdotool " + arguments + " 2>/dev/null", exit_code);
}

}  // namespace

std::string shell_quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

XSession::XSession() {
  // Xvfb picks a free display itself and tells which through descriptor 3, so two suites
  // running side by side never share one.
  char pattern[] = "/tmp/five-xvfb-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) throw std::runtime_error("no file for the display number");
  ::close(fd);
  const std::string number_file = pattern;
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"},
      "/", "/dev/null", number_file);
  for (int tries = 0; tries < 100 && server_->running(); ++tries) {
    std::ifstream file(number_file);
    std::string number;
    if (std::getline(file, number) && !number.empty() && file.good()) {
      ::unlink(number_file.c_str());
      display_ = ":" + number;
      setenv("DISPLAY", display_.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      return;
    }
    std::this_thread::sleep_for(100ms);
  }
  ::unlink(number_file.c_str());
  throw std::runtime_error("no X display could be started");
}

XSession::~XSession() = default;

std::optional<WindowPlace> XSession::find_window(pid_t pid, const std::string& title_regex,
                                                 std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    std::istringstream ids(xdotool("search --all --onlyvisible --pid " + std::to_string(pid) +
                                   " --name " + shell_quote(title_regex)));
    unsigned long id = 0;
    if (ids >> id) {
      WindowPlace place{id};
      std::istringstream shell(xdotool("getwindowgeometry --shell " + std::to_string(id)));
      std::string line;
      while (std::getline(shell, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") place.x = value;
        if (key == "Y") place.y = value;
        if (key == "WIDTH") place.width = value;
        if (key == "HEIGHT") place.height = value;
      }
      return place;
    }
    std::this_thread::sleep_for(100ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return std::nullopt;
}

bool XSession::has_window(pid_t pid, const std::string& title_regex) const {
  return find_window(pid, title_regex, 0ms).has_value();
}

std::string XSession::title_of(unsigned long window) const {
  std::string title = xdotool("getwindowname " + std::to_string(window));
  while (!title.empty() && title.back() == '\n') title.pop_back();
  return title;
}

void XSession::click(int x, int y) const {
  xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  std::this_thread::sleep_for(50ms);
}

void XSession::focus(unsigned long window) const {
  xdotool("windowfocus --sync " + std::to_string(window));
  std::this_thread::sleep_for(100ms);
}

void XSession::bring_to_front(unsigned long window) const {
  xdotool("windowraise " + std::to_string(window));
  focus(window);
}

void XSession::type(const std::string& text) const { xdotool("type --delay 40 " + shell_quote(text)); }

void XSession::key(const std::string& name) const { xdotool("key " + shell_quote(name)); }

void XSession::close_window(unsigned long window) const {
  Display* connection = XOpenDisplay(display_.c_str());
  if (!connection) throw std::runtime_error("cannot open " + display_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(connection, window, False, NoEventMask, &event);
  XFlush(connection);
  XCloseDisplay(connection);
}

board::Picture XSession::screenshot(const std::string& path) const {
  int code = -1;
  run_command("import -display " + display_ + " -window root " + shell_quote(path) + " 2>/dev/null",
              &code);
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  auto picture = board::decode_png(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  if (code != 0 || !picture) throw std::runtime_error("no screenshot at " + path);
  return *picture;
}

void XSession::save_window_picture(unsigned long window, const std::string& path) const {
  bring_to_front(window);  // without a compositor only what is on screen can be read
  std::this_thread::sleep_for(300ms);
  run_command("import -display " + display_ + " -window " + std::to_string(window) + " " +
              shell_quote(path) + " 2>/dev/null");
}

Rgb pixel_at(const board::Picture& picture, int x, int y) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return {};
  const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2]};
}

}  // namespace end_to_end
