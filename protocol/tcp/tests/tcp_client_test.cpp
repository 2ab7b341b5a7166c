#include <protocol/tcp_client.h>
#include <protocol/tcp_server.h>

#include <test_support/event_loop.h>
#include <test_support/free_port.h>
#include <test_support/raw_socket.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using protocol::TcpClient;
using test_support::RawListener;
using test_support::RawSocket;
using test_support::run_for;
using test_support::wait_until;

class TcpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ensure_application();
    QObject::connect(&client, &TcpClient::on_data_arrived, &client,
                     [this] { deliveries.push_back(client.received_data()); });
    QObject::connect(&client, &TcpClient::on_connection_broken, &client, [this] { ++broken; });
  }

  std::string received() const {
    std::string joined;
    for (const std::string& delivery : deliveries) joined += delivery;
    return joined;
  }

  TcpClient client;
  std::vector<std::string> deliveries;
  int broken = 0;
};

TEST_F(TcpClientTest, ExchangesExactBytesWithItsServer) {
  RawListener listener;
  ASSERT_TRUE(client.connect("127.0.0.1", listener.port()));
  RawSocket server = listener.accept();
  ASSERT_TRUE(server.is_open());

  ASSERT_TRUE(client.send("NC:abc:OK"));
  EXPECT_EQ(server.read_exactly(9), "NC:abc:OK");
  EXPECT_EQ(server.read_some(50ms), "") << "no terminator or framing after the text";

  // DSLK:对手已离开, as GBK bytes.
  const std::string message = "DSLK:\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA";
  ASSERT_TRUE(server.send_all(message));
  ASSERT_TRUE(wait_until([&] { return received().size() >= message.size(); }));
  EXPECT_EQ(received(), message);
  EXPECT_EQ(client.received_data(), "") << "only valid inside the handler";
}

TEST_F(TcpClientTest, ResolvesAHostName) {
  RawListener listener;
  ASSERT_TRUE(client.connect("localhost", listener.port()));
  EXPECT_TRUE(listener.accept().is_open());
}

TEST_F(TcpClientTest, OnlyTheLowSixteenBitsOfThePortAreUsed) {
  RawListener listener;
  ASSERT_TRUE(client.connect("127.0.0.1", 65536 + listener.port()));
  EXPECT_TRUE(listener.accept().is_open());
}

TEST_F(TcpClientTest, ConnectFailsWithoutAListenerOrAnAddress) {
  const std::uint16_t closed = test_support::free_port();
  EXPECT_FALSE(client.connect("127.0.0.1", closed));
  EXPECT_FALSE(client.send("x")) << "a failed connect leaves nothing to send to";
  EXPECT_FALSE(client.connect("", closed));
}

TEST_F(TcpClientTest, SendBeforeConnectFails) { EXPECT_FALSE(client.send("NC:a:OK")); }

TEST_F(TcpClientTest, ReportsABrokenConnectionOnceWhenTheServerClosesOrResets) {
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "reset" : "close");
    broken = 0;
    RawListener listener;
    ASSERT_TRUE(client.connect("127.0.0.1", listener.port()));
    RawSocket server = listener.accept();
    ASSERT_TRUE(server.send_all("XQ"));
    if (reset) {
      ASSERT_TRUE(wait_until([&] { return !deliveries.empty(); }));
      server.reset();
    } else {
      server.close();
    }
    ASSERT_TRUE(wait_until([&] { return broken > 0; }));
    run_for(50ms);
    EXPECT_EQ(broken, 1);
    EXPECT_EQ(deliveries.back(), "XQ") << "data sent before the close comes first";
  }
}

TEST_F(TcpClientTest, SeesTheServersDestructionAsABrokenConnection) {
  auto server = std::make_unique<protocol::TcpServer>(test_support::free_port());
  int entered = 0;
  QObject::connect(server.get(), &protocol::TcpServer::on_client_entered, server.get(),
                   [&] { ++entered; });
  ASSERT_TRUE(client.connect("127.0.0.1", server->port()));
  ASSERT_TRUE(wait_until([&] { return entered == 1; }));
  server.reset();
  EXPECT_TRUE(wait_until([&] { return broken == 1; }));
}

TEST_F(TcpClientTest, TalksToTheServerComponent) {
  protocol::TcpServer server(test_support::free_port());
  std::string at_server;
  QObject::connect(&server, &protocol::TcpServer::on_data_arrived, &server, [&] {
    at_server += server.received_data();
    server.send(server.current_client(), "DSXQ:" + server.received_data());
  });
  ASSERT_TRUE(client.connect("127.0.0.1", server.port()));
  ASSERT_TRUE(client.send("XQ:100:150"));
  ASSERT_TRUE(wait_until([&] { return received() == "DSXQ:XQ:100:150"; }));
  EXPECT_EQ(at_server, "XQ:100:150");
}

TEST_F(TcpClientTest, NestedLoopInsideDataHandlerReceivesTheNextDelivery) {
  RawListener listener;
  ASSERT_TRUE(client.connect("127.0.0.1", listener.port()));
  RawSocket server = listener.accept();
  std::string outer_after_nested;
  QObject::connect(&client, &TcpClient::on_data_arrived, &client, [&] {
    if (client.received_data() != "ST:1") return;
    EXPECT_TRUE(server.send_all("DSXQ:2"));
    wait_until([&] { return deliveries.size() == 2; });
    outer_after_nested = client.received_data();
  });
  ASSERT_TRUE(server.send_all("ST:1"));
  ASSERT_TRUE(wait_until([&] { return !outer_after_nested.empty(); }));
  EXPECT_EQ(outer_after_nested, "ST:1");
  EXPECT_EQ(deliveries, (std::vector<std::string>{"ST:1", "DSXQ:2"}));
}

TEST_F(TcpClientTest, ReconnectReplacesTheConnection) {
  RawListener first;
  RawListener second;
  ASSERT_TRUE(client.connect("127.0.0.1", first.port()));
  RawSocket old_side = first.accept();
  ASSERT_TRUE(client.connect("127.0.0.1", second.port()));
  RawSocket new_side = second.accept();
  EXPECT_TRUE(old_side.wait_closed()) << "the previous socket is closed";
  ASSERT_TRUE(client.send("NC:b:OK"));
  EXPECT_EQ(new_side.read_exactly(7), "NC:b:OK");
  EXPECT_EQ(broken, 0);
}

}  // namespace
