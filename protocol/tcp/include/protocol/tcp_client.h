#pragma once
// 客户1: the client's one connection to the match server, its events raised on the window thread.
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace protocol {

class TcpClient : public QObject {
  Q_OBJECT

 public:
  explicit TcpClient(QObject* parent = nullptr);
  ~TcpClient() override;

  // Blocks until connected or failed. `address` is a dotted IPv4 address or a host name;
  // a port below 1 is taken as 1 and only its low 16 bits are used.
  bool connect(std::string_view address, std::int32_t port);

  // The whole text or nothing, as for TcpServer::send.
  bool send(std::string_view data);

  // Valid only while on_data_arrived is being handled; empty otherwise.
  std::string received_data() const;

 signals:
  void on_data_arrived();
  void on_connection_broken();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace protocol
