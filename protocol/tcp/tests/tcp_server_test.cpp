#include "server_fixture.h"

#include <QEventLoop>

#include <climits>

namespace protocol_tcp_test {
namespace {

using test_support::run_for;
using test_support::wait_until;

using TcpServer = ServerFixture;

TEST_F(TcpServer, ExchangesExactBytesBothWays) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  ASSERT_TRUE(peer.send_all("NC:abc:OK"));
  ASSERT_TRUE(wait_for_bytes(id, 9));
  run_for(50ms);
  EXPECT_EQ(received_from(id), "NC:abc:OK");

  // ST:白色:真, as GBK bytes.
  const std::string reply = "ST:\xB0\xD7\xC9\xAB:\xD5\xE6";
  ASSERT_TRUE(server->send(id, reply));
  EXPECT_EQ(peer.read_exactly(reply.size()), reply);
  EXPECT_EQ(peer.read_some(50ms), "") << "nothing may follow the text";
  EXPECT_EQ(server->received_data(), "");
  EXPECT_EQ(server->current_client(), "");
}

TEST_F(TcpServer, ReportsEnteringAndLeavingInOrderUnderDottedNames) {
  RawSocket first = connect_peer();
  RawSocket second = connect_peer();
  const std::string first_id = id_of(first);
  const std::string second_id = id_of(second);
  EXPECT_EQ(server->connection_count(), 2);

  first.close();
  ASSERT_TRUE(wait_until([&] { return count("left") == 1; }));
  second.close();
  ASSERT_TRUE(wait_until([&] { return count("left") == 2; }));

  const std::vector<Event> expected = {
      {"entered", first_id, ""}, {"entered", second_id, ""},
      {"left", first_id, ""}, {"left", second_id, ""}};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(server->connection_count(), 0);
}

TEST_F(TcpServer, ReportsResetPeerAsGone) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  peer.reset();
  ASSERT_TRUE(wait_until([&] { return count("left", id) == 1; }));
  EXPECT_EQ(server->connection_count(), 0);
  EXPECT_FALSE(server->send(id, "DSLK"));
}

TEST_F(TcpServer, DeliversDataSentJustBeforeCloseAheadOfTheDeparture) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  ASSERT_TRUE(peer.send_all("JS:x"));
  peer.close();
  ASSERT_TRUE(wait_until([&] { return count("left", id) == 1; }));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1], (Event{"data", id, "JS:x"}));
  EXPECT_EQ(events[2].kind, "left");
}

TEST_F(TcpServer, ConnectionIsGoneWhileItsDepartureIsHandled) {
  RawSocket peer = connect_peer();
  RawSocket other = connect_peer();
  const std::string id = id_of(peer);
  bool send_inside = true;
  int count_inside = -1;
  QObject::connect(server.get(), &protocol::TcpServer::on_client_left, server.get(), [&] {
    send_inside = server->send(server->current_client(), "x");
    count_inside = server->connection_count();
  });
  peer.close();
  ASSERT_TRUE(wait_until([&] { return count("left", id) == 1; }));
  EXPECT_FALSE(send_inside);
  EXPECT_EQ(count_inside, 1);
}

TEST_F(TcpServer, SendFailsWithoutAnOpenConnectionOfThatName) {
  RawSocket peer = connect_peer();
  RawSocket departed = connect_peer();
  const std::string departed_id = id_of(departed);
  departed.close();
  ASSERT_TRUE(wait_until([&] { return count("left") == 1; }));

  for (const std::string& id : {std::string(), departed_id, std::string("10.0.0.5:1234"),
                               id_of(peer) + " "}) {
    EXPECT_FALSE(server->send(id, "DSLK")) << "'" << id << "'";
  }
  EXPECT_EQ(peer.read_some(50ms), "") << "a failed send puts nothing on any connection";
  EXPECT_TRUE(server->send(id_of(peer), "")) << "an empty text to an open connection";
}

TEST_F(TcpServer, PortBelowOneBecomesOne) {
  for (const std::int32_t written : {0, -1, -19730, INT_MIN}) {
    server->set_port(port);
    server->set_port(written);
    EXPECT_EQ(server->port(), 1) << written;
  }
}

TEST_F(TcpServer, WritingTheCurrentPortKeepsTheListeningSocket) {
  // A connection the system has completed but the server not yet accepted would be lost if
  // the listening socket were reopened.
  RawSocket peer;
  ASSERT_TRUE(peer.connect(port));
  server->set_port(port);
  EXPECT_EQ(server->port(), port);
  EXPECT_TRUE(wait_until([&] { return count("entered", id_of(peer)) == 1; }));
}

TEST_F(TcpServer, MovingThePortKeepsOpenConnectionsUnderTheirNames) {
  RawSocket old_peer = connect_peer();
  const std::string old_id = id_of(old_peer);
  const std::uint16_t new_port = test_support::free_port();
  server->set_port(new_port);
  ASSERT_TRUE(server->is_listening());
  EXPECT_EQ(server->port(), new_port);

  RawSocket refused;
  EXPECT_FALSE(refused.connect(port)) << "the old port no longer listens";
  RawSocket new_peer = connect_peer(new_port);

  ASSERT_TRUE(old_peer.send_all("XQ:1:2"));
  ASSERT_TRUE(wait_for_bytes(old_id, 6));
  EXPECT_EQ(received_from(old_id), "XQ:1:2");
  ASSERT_TRUE(server->send(old_id, "DSXQ:1:2"));
  EXPECT_EQ(old_peer.read_exactly(8), "DSXQ:1:2");
  EXPECT_EQ(server->connection_count(), 2);

  server->set_port(port);
  ASSERT_TRUE(server->is_listening()) << "the first port can be taken again";
  connect_peer(port);
}

TEST_F(TcpServer, OnlyTheLowSixteenBitsOfThePortReachTheSocket) {
  const std::uint16_t low = test_support::free_port();
  server->set_port(65536 + low);
  EXPECT_EQ(server->port(), 65536 + low);
  connect_peer(low);
}

TEST_F(TcpServer, FailedPortChangeKeepsServingOpenConnections) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  test_support::RawListener squatter;
  ASSERT_TRUE(squatter.is_listening());
  server->set_port(squatter.port());
  EXPECT_FALSE(server->is_listening());
  EXPECT_EQ(server->port(), squatter.port());

  ASSERT_TRUE(peer.send_all("NC:a:OK"));
  ASSERT_TRUE(wait_for_bytes(id, 7));
  EXPECT_EQ(received_from(id), "NC:a:OK");
  peer.close();
  EXPECT_TRUE(wait_until([&] { return count("left", id) == 1; }));
  EXPECT_EQ(server->connection_count(), 0);

  server->set_port(squatter.port());
  EXPECT_FALSE(server->is_listening()) << "writing the same value does not retry";
}

TEST_F(TcpServer, DestructionClosesEveryConnectionWithoutEvents) {
  RawSocket first = connect_peer();
  RawSocket second = connect_peer();
  const std::size_t before = events.size();
  server.reset();
  EXPECT_TRUE(first.wait_closed());
  EXPECT_TRUE(second.wait_closed());
  run_for(20ms);
  EXPECT_EQ(events.size(), before);
}

TEST_F(TcpServer, NestedLoopInsideDataHandlerReceivesTheNextDelivery) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  std::string outer_after_nested;
  std::string outer_client_after_nested;
  bool nested_done = false;
  QObject::connect(server.get(), &protocol::TcpServer::on_data_arrived, server.get(), [&] {
    if (server->received_data() != "first") return;
    // As a modal message box would: a nested loop while this handler waits.
    EXPECT_TRUE(peer.send_all("second"));
    nested_done = wait_until([&] { return received_from(id) == "firstsecond"; });
    outer_after_nested = server->received_data();
    outer_client_after_nested = server->current_client();
  });
  ASSERT_TRUE(peer.send_all("first"));
  ASSERT_TRUE(wait_until([&] { return !outer_after_nested.empty(); }));
  EXPECT_TRUE(nested_done);
  EXPECT_EQ(outer_after_nested, "first") << "the outer handler keeps its own delivery";
  EXPECT_EQ(outer_client_after_nested, id);
  ASSERT_EQ(count("data"), 2);
}

TEST_F(TcpServer, DepartureInsideANestedLoopEndsThatConnectionsEvents) {
  RawSocket peer = connect_peer();
  const std::string id = id_of(peer);
  int left_seen_inside = 0;
  QObject::connect(server.get(), &protocol::TcpServer::on_data_arrived, server.get(), [&] {
    if (count("data") != 1) return;
    peer.close();
    wait_until([&] { return count("left", id) == 1; });
    left_seen_inside = count("left", id);
    EXPECT_EQ(server->current_client(), id);
    EXPECT_EQ(server->received_data(), "bye");
  });
  ASSERT_TRUE(peer.send_all("bye"));
  ASSERT_TRUE(wait_until([&] { return left_seen_inside == 1; }));
  run_for(50ms);
  EXPECT_EQ(count("data", id), 1);
  EXPECT_EQ(count("left", id), 1);
  EXPECT_EQ(server->connection_count(), 0);
}

TEST_F(TcpServer, HandlerMayDestroyTheServer) {
  RawSocket first = connect_peer();
  RawSocket second = connect_peer();
  QObject::connect(server.get(), &protocol::TcpServer::on_data_arrived, server.get(),
                   [&] { server.reset(); });
  // Both ready in one wake-up; the second must not be handled by a destroyed server.
  ASSERT_TRUE(first.send_all("a"));
  ASSERT_TRUE(second.send_all("b"));
  ASSERT_TRUE(wait_until([&] { return !server; }));
  EXPECT_TRUE(first.wait_closed());
  EXPECT_TRUE(second.wait_closed());
  EXPECT_EQ(count("data"), 1);
}

}  // namespace
}  // namespace protocol_tcp_test
