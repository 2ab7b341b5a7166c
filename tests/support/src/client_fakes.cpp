#include <test_support/client_fakes.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

namespace test_support {

namespace {

std::string joined(std::string_view verb, std::initializer_list<std::int32_t> numbers) {
  std::string line(verb);
  for (std::int32_t n : numbers) line += " " + std::to_string(n);
  return line;
}

}  // namespace

void FakeDialogs::inform(std::string_view text, std::string_view caption, client::BoxIcon icon) {
  boxes.push_back({std::string(text), std::string(caption), false, icon});
  if (auto hook = std::exchange(while_open, nullptr)) hook();
}

bool FakeDialogs::ask_yes_no(std::string_view text, std::string_view caption) {
  boxes.push_back({std::string(text), std::string(caption), true, client::BoxIcon::none});
  if (auto hook = std::exchange(while_open, nullptr)) hook();
  if (answers.empty()) return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakeConnection::connect(std::string_view address, std::int32_t port) {
  connects.emplace_back(std::string(address), port);
  return accept_connect;
}

bool FakeConnection::send(std::string_view text) {
  sent.emplace_back(text);
  return true;
}

void FakeControls::set_ready_button(std::string_view caption, bool enabled) {
  ready_caption = caption;
  ready_enabled = enabled;
}

void RecordingLayer::set_background_picture(std::span<const std::uint8_t> bytes) {
  picture.assign(bytes.begin(), bytes.end());
  calls.push_back("picture " + std::to_string(bytes.size()));
}
void RecordingLayer::set_pen_width(std::int32_t width) { calls.push_back(joined("pen_width", {width})); }
void RecordingLayer::set_brush_style(std::int32_t style) { calls.push_back(joined("brush_style", {style})); }
void RecordingLayer::set_brush_color(std::int32_t rgb) { calls.push_back(joined("brush_color", {rgb})); }
void RecordingLayer::draw_line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  calls.push_back(joined("line", {x1, y1, x2, y2}));
}
void RecordingLayer::draw_rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  calls.push_back(joined("rectangle", {left, top, right, bottom}));
}
void RecordingLayer::draw_ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  calls.push_back(joined("ellipse", {left, top, right, bottom}));
}

LoopbackListener::LoopbackListener() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // the system picks a free one
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 4) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
  if (peer_ >= 0) ::close(peer_);
  if (listener_ >= 0) ::close(listener_);
}

bool LoopbackListener::accept(std::chrono::milliseconds timeout) {
  pollfd ready{listener_, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(timeout.count())) != 1) return false;
  peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  return peer_ >= 0;
}

std::string LoopbackListener::read_bytes(std::size_t count, std::chrono::milliseconds timeout) {
  std::string bytes;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (peer_ >= 0 && bytes.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd ready{peer_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) != 1) break;
    char buffer[1024];
    const ssize_t got = ::recv(peer_, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool LoopbackListener::write(std::string_view bytes) {
  while (peer_ >= 0 && !bytes.empty()) {
    const ssize_t sent = ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return peer_ >= 0;
}

}  // namespace test_support
