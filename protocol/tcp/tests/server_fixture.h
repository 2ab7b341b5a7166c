#pragma once
// A TcpServer on a free loopback port whose events are recorded as they are raised.
#include <protocol/tcp_server.h>

#include <test_support/event_loop.h>
#include <test_support/free_port.h>
#include <test_support/raw_socket.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace protocol_tcp_test {

using namespace std::chrono_literals;
using test_support::RawSocket;

struct Event {
  std::string kind;  // "entered", "data" or "left"
  std::string client;
  std::string data;
  bool operator==(const Event&) const = default;
};

inline void PrintTo(const Event& event, std::ostream* out) {
  *out << event.kind << "(" << event.client << ", " << event.data.size() << " bytes)";
}

inline std::string id_of(const RawSocket& peer) {
  return "127.0.0.1:" + std::to_string(peer.local_port());
}

class ServerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ensure_application();
    port = test_support::free_port();
    server = std::make_unique<protocol::TcpServer>(port);
    record(*server);
  }

  void record(protocol::TcpServer& watched) {
    protocol::TcpServer* source = &watched;
    QObject::connect(source, &protocol::TcpServer::on_client_entered, source, [this, source] {
      events.push_back({"entered", source->current_client(), source->received_data()});
    });
    QObject::connect(source, &protocol::TcpServer::on_data_arrived, source, [this, source] {
      events.push_back({"data", source->current_client(), source->received_data()});
    });
    QObject::connect(source, &protocol::TcpServer::on_client_left, source, [this, source] {
      events.push_back({"left", source->current_client(), source->received_data()});
    });
  }

  int count(const std::string& kind, const std::string& client = {}) const {
    int n = 0;
    for (const Event& event : events) {
      n += event.kind == kind && (client.empty() || event.client == client);
    }
    return n;
  }

  // Everything delivered from `client`, joined.
  std::string received_from(const std::string& client) const {
    std::string joined;
    for (const Event& event : events) {
      if (event.kind == "data" && event.client == client) joined += event.data;
    }
    return joined;
  }

  // A peer connected to `to` (the server's port by default) and announced by the server.
  RawSocket connect_peer(std::uint16_t to = 0) {
    RawSocket peer;
    EXPECT_TRUE(peer.connect(to ? to : port));
    const std::string id = id_of(peer);
    EXPECT_TRUE(test_support::wait_until([&] { return count("entered", id) == 1; }));
    return peer;
  }

  bool wait_for_bytes(const std::string& client, std::size_t n) {
    return test_support::wait_until([&] { return received_from(client).size() >= n; });
  }

  std::uint16_t port = 0;
  std::unique_ptr<protocol::TcpServer> server;
  std::vector<Event> events;
};

}  // namespace protocol_tcp_test
