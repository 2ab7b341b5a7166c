#pragma once
// 服务器1: listens on a port, names each connection by "dotted-address:port" and raises its
// events on the window thread. Readiness of every socket comes through one epoll descriptor.
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace protocol {

class TcpServer : public QObject {
  Q_OBJECT

 public:
  static constexpr std::int32_t default_port = 19730;

  explicit TcpServer(std::int32_t port = default_port, QObject* parent = nullptr);
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
