#pragma once
// 服务器1: listens on a port, names each connection by "dotted-address:port" and raises its
// events on the window thread. Readiness of every socket comes through one epoll descriptor.
#include <QObject>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace protocol {

// How fast one connection is read: a sustained rate with a burst allowance. A connection over
// it is not read until it is back within it; TCP holds its sender back meanwhile, so nothing is
// lost and no other connection waits. The default is far above any player: an honest client
// sends a few bytes per move, and the busiest connection of a full-speed ping-pong benchmark
// (about 2,200 ten-byte moves a second) needs about 22 KB/s.
struct ReadBudget {
  std::size_t bytes_per_second = 64 * 1024;
  std::size_t burst = 256 * 1024;
};

class TcpServer : public QObject {
  Q_OBJECT

 public:
  static constexpr std::int32_t default_port = 19730;

  explicit TcpServer(std::int32_t port = default_port, QObject* parent = nullptr);
  TcpServer(std::int32_t port, ReadBudget budget, QObject* parent = nullptr);
  ~TcpServer() override;  // closes every connection without raising events

  std::int32_t port() const;
  // Below 1 becomes 1; the same value does nothing; another value moves the listening socket.
  void set_port(std::int32_t port);
  bool is_listening() const;

  // The whole text or nothing: bytes the socket cannot take now are queued (up to 1 MiB).
  bool send(std::string_view client_id, std::string_view data);

  // Valid only while an event handler runs; empty otherwise.
  std::string received_data() const;
  std::string current_client() const;

  int connection_count() const;

 signals:
  void on_client_entered();
  void on_data_arrived();
  void on_client_left();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace protocol
