#pragma once
// What the server's rules need from the outside world, kept small so the rules run without a
// window, sockets or the log library.
#include <cstdint>
#include <string_view>

namespace server {

// 服务器1 as the rules see it. Sends are fire-and-forget.
class Transport {
 public:
  virtual void send(std::string_view client_id, std::string_view text) = 0;
  virtual void set_port(std::int32_t port) = 0;

 protected:
  ~Transport() = default;
};

// One log entry: a GBK text and its category.
class LogSink {
 public:
  virtual void log(std::string_view text, int category) = 0;

 protected:
  ~LogSink() = default;
};

// 标签_在线人数.
class CountDisplay {
 public:
  virtual void show_online_count(std::string_view text) = 0;

 protected:
  ~CountDisplay() = default;
};

}  // namespace server
