#include <server/server_logic.h>

#include <protocol/messages.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules_recorder.h"

namespace {

using server_test::counted;
using server_test::Event;
using server_test::logged;
using server_test::port_set;
using server_test::sent;

const std::string st_white = "ST:\xB0\xD7\xC9\xAB:\xD5\xE6";  // ST:白色:真
const std::string st_black = "ST:\xBA\xDA\xC9\xAB:\xBC\xD9";  // ST:黑色:假
const std::string rival_left = "DSLK:\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA";  // DSLK:对手已离开

std::string received(const std::string& text) {
  return "\xCA\xD5\xB5\xBD\xB5\xC4\xCA\xFD\xBE\xDD\xA3\xBA" + text;  // 收到的数据：
}
std::string online(int n) {
  return "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA" + std::to_string(n) + " \xC8\xCB";  // 当前在线人数：n 人
}
std::string position(const std::string& id, const std::string& xy) {
  return id + " \xCE\xBB\xD6\xC3\xA3\xBA" + xy;  // " 位置："
}

constexpr int other = 8, con_out = 2, opponents = 3, play = 4;

const std::string A = "127.0.0.1:40001", B = "127.0.0.1:40002", C = "10.0.0.5:1234";

class ServerRules : public ::testing::Test {
 protected:
  void connect(std::initializer_list<std::string> ids) {
    for (const std::string& id : ids) logic.client_entered(id);
  }
  void say(const std::string& id, const std::string& delivery) { logic.data_arrived(id, delivery); }
  void ready(const std::string& id, const std::string& nickname = "nick") {
    say(id, "NC:" + nickname + ":OK");
  }
  // Forgets what happened so far, so a test sees only the events of its last step.
  void clear() { recorder.events.clear(); }
  std::string rival_of(const std::string& id) const {
    return table.cell(table.find_row(id), server::Column::rival_ip);
  }

  server::ConnectionTable table;
  server_test::Recorder recorder;
  server::ServerLogic logic{table, recorder, recorder, recorder};
};

TEST_F(ServerRules, EnteringClientGetsARowAndTheCountIsShownThenLogged) {
  connect({A});
  EXPECT_EQ(recorder.events, (std::vector<Event>{counted(online(1)), logged(online(1), other)}));
  connect({B});
  ASSERT_EQ(table.row_count(), 2);
  EXPECT_EQ(table.cell(1, server::Column::client_ip), B);
  EXPECT_EQ(logic.online_count_text(), online(2));
}

TEST_F(ServerRules, FirstReadyClientWaitsWithoutAnAnswer) {
  connect({A, B});
  clear();
  ready(A, "\xBC\xD7");  // 甲
  EXPECT_EQ(recorder.events, (std::vector<Event>{logged(received("NC:\xBC\xD7:OK"), other)}));
  EXPECT_EQ(logic.waiting_players(), (std::vector<std::string>{A}));
  EXPECT_EQ(table.cell(0, server::Column::status), "OK");
  EXPECT_EQ(table.cell(0, server::Column::nickname), "\xBC\xD7");
}

TEST_F(ServerRules, ReadinessNotConnectionOrderDecidesTheColours) {
  connect({A, B});
  ready(B);
  clear();
  ready(A);
  EXPECT_EQ(recorder.events, (std::vector<Event>{
                                 logged(received("NC:nick:OK"), other),
                                 sent(B, st_white),
                                 logged(B + "   VS   " + A, opponents),
                                 sent(A, st_black),
                             }));
  EXPECT_EQ(rival_of(A), B);
  EXPECT_EQ(rival_of(B), A);
  EXPECT_TRUE(logic.waiting_players().empty());
}

TEST_F(ServerRules, PairingWritesOnlyTheTwoPairedRows) {
  connect({A, B, C});
  ready(A);
  ready(C);  // A and C play first
  ready(B);
  ready(C);  // then B and C
  EXPECT_EQ(rival_of(B), C);
  EXPECT_EQ(rival_of(C), B);
  EXPECT_EQ(rival_of(A), C);  // A's last rival is kept
  EXPECT_EQ(recorder.of_kind(Event::send),
            (std::vector<Event>{sent(A, st_white), sent(C, st_black), sent(B, st_white), sent(C, st_black)}));
}

TEST_F(ServerRules, ThirdReadyClientWaitsAfterAPairing) {
  connect({A, B, C});
  ready(A);
  ready(B);
  clear();
  ready(C);
  EXPECT_TRUE(recorder.of_kind(Event::send).empty());
  EXPECT_EQ(logic.waiting_players(), (std::vector<std::string>{C}));
}

TEST_F(ServerRules, ClientReadyTwiceIsPairedWithItself) {
  connect({A, B});
  ready(A);
  clear();
  ready(A);
  EXPECT_EQ(recorder.events, (std::vector<Event>{
                                 logged(received("NC:nick:OK"), other),
                                 sent(A, st_white),
                                 logged(A + "   VS   " + A, opponents),
                                 sent(A, st_black),
                             }));
  EXPECT_EQ(rival_of(A), A);
  EXPECT_EQ(rival_of(B), "");
  EXPECT_TRUE(logic.waiting_players().empty());
}

TEST_F(ServerRules, StatusOtherThanOkIsRecordedWithoutQueueing) {
  const struct {
    std::string message, nickname, status;
  } cases[] = {
      {"NC:a:ok", "a", "ok"},
      {"NC:a: OK", "a", " OK"},
      {"NC:a:OK ", "a", "OK "},
      {"NC:a:OKOK", "a", "OKOK"},
      {"NC:a:b:OK", "a", "b"},  // a colon in the nickname shifts the fields
  };
  for (const auto& c : cases) {
    server::ConnectionTable fresh;
    server_test::Recorder rec;
    server::ServerLogic rules(fresh, rec, rec, rec);
    rules.client_entered(A);
    rules.data_arrived(A, c.message);
    EXPECT_EQ(fresh.cell(0, server::Column::nickname), c.nickname) << c.message;
    EXPECT_EQ(fresh.cell(0, server::Column::status), c.status) << c.message;
    EXPECT_TRUE(rules.waiting_players().empty()) << c.message;
    EXPECT_TRUE(rec.of_kind(Event::send).empty()) << c.message;
  }
}

TEST_F(ServerRules, WaitingClientThatTurnsNotReadyStaysQueued) {
  connect({A, B});
  ready(A, "first");
  say(A, "NC:second:later");
  EXPECT_EQ(table.cell(0, server::Column::status), "later");
  EXPECT_EQ(table.cell(0, server::Column::nickname), "second");
  ready(B);
  EXPECT_EQ(recorder.of_kind(Event::send), (std::vector<Event>{sent(A, st_white), sent(B, st_black)}));
}

TEST_F(ServerRules, EmptyNicknameStillQueues) {
  connect({A});
  say(A, "NC::OK");
  EXPECT_EQ(logic.waiting_players(), (std::vector<std::string>{A}));
  EXPECT_EQ(table.cell(0, server::Column::nickname), "");
  EXPECT_EQ(table.cell(0, server::Column::status), "OK");
}

TEST_F(ServerRules, MessagesWithTooFewFieldsOnlyGetTheReceiveEntry) {
  connect({A, B});
  ready(A);
  ready(B);
  ready(A, "again");
  const std::string deliveries[] = {"", std::string("\0NC:x:OK", 8), "NC", "NC:x", "NC:x:", "XQ",
                                    "XQ:100", "XQ:100:", ":", "JS:\xB0\xD7\xC9\xAB:\xD5\xE6",
                                    "nc:x:OK", "xq:1:2", "HELLO"};
  for (const std::string& delivery : deliveries) {
    clear();
    say(B, delivery);
    say(C, delivery);  // no row at all
    const std::string text = delivery.substr(0, delivery.find('\0'));
    EXPECT_EQ(recorder.events,
              (std::vector<Event>{logged(received(text), other), logged(received(text), other)}))
        << text;
  }
  EXPECT_EQ(table.cell(1, server::Column::status), "OK");
  EXPECT_EQ(table.cell(1, server::Column::nickname), "nick");
  EXPECT_EQ(logic.waiting_players(), (std::vector<std::string>{A}));
}

TEST_F(ServerRules, MoveIsRelayedToTheRivalWithItsFieldsAsReceived) {
  connect({A, B});
  ready(A);
  ready(B);
  const struct {
    std::string message, relayed, logged_xy;
  } cases[] = {
      {"XQ:125:375", "DSXQ:125:375", "125:375"},
      {"XQ:12a:40", "DSXQ:12a:40", "12a:40"},
      {"XQ::200", "DSXQ::200", ":200"},
      {"XQ:100:200:7:extra", "DSXQ:100:200", "100:200"},
      {"XQ:\xA3\xB1:-5", "DSXQ:\xA3\xB1:-5", "\xA3\xB1:-5"},  // a full-width 1 is not converted
  };
  for (const auto& c : cases) {
    clear();
    say(A, c.message);
    EXPECT_EQ(recorder.events, (std::vector<Event>{logged(received(c.message), other),
                                                   sent(B, c.relayed),
                                                   logged(position(A, c.logged_xy), play)}))
        << c.message;
  }
}

// A rival's field cannot smuggle a server message to the client: what is relayed reaches the
// client's dispatch as one move with the same numbers, while the log keeps what was received.
TEST_F(ServerRules, RelayedFieldsCarryNoMessageOfTheirOwn) {
  connect({A, B});
  ready(A);
  ready(B);
  const struct {
    std::string message, relayed, logged_xy;
  } cases[] = {
      {"XQ:1:2" + rival_left, "DSXQ:1:2", "1:2DSLK"},
      {"XQ:1:2DSLK", "DSXQ:1:2", "1:2DSLK"},
      {"XQ:1:2" + st_black, "DSXQ:1:2", "1:2ST"},
      {"XQ:1:2" + st_white, "DSXQ:1:2", "1:2ST"},
      {"XQ:1:2DSXQ", "DSXQ:1:2", "1:2DSXQ"},
  };
  for (const auto& c : cases) {
    clear();
    say(A, c.message);
    EXPECT_EQ(recorder.events, (std::vector<Event>{logged(received(c.message), other),
                                                   sent(B, c.relayed),
                                                   logged(position(A, c.logged_xy), play)}))
        << c.message;
    EXPECT_EQ(protocol::cut_delivery(c.relayed, protocol::Receiver::client),
              std::vector<std::string>{c.relayed})
        << c.message;
  }
}

TEST_F(ServerRules, MoveOfAnUnpairedClientIsLoggedAndSentToNobody) {
  connect({A});
  clear();
  say(A, "XQ:1:2");
  // The rival column is empty; 服务器1 sends nothing to the empty name.
  EXPECT_EQ(recorder.events, (std::vector<Event>{logged(received("XQ:1:2"), other), sent("", "DSXQ:1:2"),
                                                 logged(position(A, "1:2"), play)}));
}

TEST_F(ServerRules, MoveFollowedByGameOverInOneDeliveryIsHandledAsTwoMessages) {
  connect({A, B});
  ready(A);
  ready(B);
  clear();
  const std::string game_over = "JS:\xB0\xD7\xC9\xAB:\xD5\xE6";  // JS:白色:真
  say(A, "XQ:100:200" + game_over);
  EXPECT_EQ(recorder.events, (std::vector<Event>{logged(received("XQ:100:200"), other),
                                                 sent(B, "DSXQ:100:200"),
                                                 logged(position(A, "100:200"), play),
                                                 logged(received(game_over), other)}));
}

TEST_F(ServerRules, DepartureTellsTheRivalOnceAndNobodyElse) {
  connect({A, B, C});
  ready(A);
  ready(B);
  clear();
  logic.client_left(A);
  EXPECT_EQ(recorder.events, (std::vector<Event>{sent(B, rival_left), counted(online(2)),
                                                 logged(A, con_out), logged(online(2), other)}));
  ASSERT_EQ(table.row_count(), 2);
  EXPECT_EQ(table.cell(0, server::Column::client_ip), B);  // the row just below the deleted one
  EXPECT_EQ(table.cell(0, server::Column::rival_ip), A);   // still names the one that left
  EXPECT_EQ(table.cell(0, server::Column::status), "OK");
  EXPECT_EQ(table.cell(1, server::Column::client_ip), C);
  EXPECT_TRUE(logic.waiting_players().empty());
}

TEST_F(ServerRules, DepartureAlsoTellsAnOldRival) {
  connect({A, B, C});
  ready(A);
  ready(B);  // A plays B
  ready(B);
  ready(C);  // then B plays C; A still names B
  clear();
  logic.client_left(B);
  EXPECT_EQ(recorder.of_kind(Event::send), (std::vector<Event>{sent(A, rival_left), sent(C, rival_left)}));
  EXPECT_EQ(table.find_row(B), server::ConnectionTable::no_row);
  EXPECT_EQ(table.find_row(C), 1);
}

TEST_F(ServerRules, LeaverThatPlayedItselfTellsNobody) {
  connect({A, B});
  ready(A);
  ready(A);
  clear();
  logic.client_left(A);
  EXPECT_TRUE(recorder.of_kind(Event::send).empty());
}

TEST_F(ServerRules, WaitingClientThatLeavesIsForgotten) {
  connect({A, B});
  ready(A);
  logic.client_left(A);
  EXPECT_TRUE(logic.waiting_players().empty());
  clear();
  ready(B);
  EXPECT_TRUE(recorder.of_kind(Event::send).empty());
  EXPECT_EQ(logic.waiting_players(), (std::vector<std::string>{B}));
}

TEST_F(ServerRules, DepartureWithoutARowStillRefreshesAndLogs) {
  connect({A});
  clear();
  logic.client_left(C);
  logic.client_left("");
  EXPECT_EQ(recorder.events, (std::vector<Event>{counted(online(1)), logged(C, con_out), logged(online(1), other),
                                                 counted(online(1)), logged("", con_out), logged(online(1), other)}));
  EXPECT_EQ(table.row_count(), 1);
}

TEST_F(ServerRules, CountFollowsEntriesAndDepartures) {
  connect({A, B});
  logic.client_left(A);
  logic.client_left(B);
  EXPECT_EQ(recorder.of_kind(Event::count),
            (std::vector<Event>{counted(online(1)), counted(online(2)), counted(online(1)), counted(online(0))}));
  EXPECT_EQ(logic.online_count_text(), online(0));
}

TEST_F(ServerRules, PortChangeSetsTheNumberAndLogsTheTextUnchanged) {
  const struct {
    std::string text;
    std::int32_t port;
  } cases[] = {
      {"19730", 19730},
      {"8000x", 8000},
      {"\xA3\xB8\xA3\xB0\xA3\xB0\xA3\xB0", 8000},  // full-width 8000
      {"  70000", 70000},
      {"", 0},
      {"abc", 0},
      {"-5", -5},
  };
  for (const auto& c : cases) {
    clear();
    logic.change_port(c.text);
    EXPECT_EQ(recorder.events,
              (std::vector<Event>{port_set(c.port), logged("\xB8\xC4\xB1\xE4\xB6\xCB\xBF\xDA\xA3\xBA" + c.text, other)}))
        << c.text;  // 改变端口：
  }
}

// A rival is the connection that was paired, not its name: a newcomer that reuses a departed
// rival's `client_id` gets neither its moves nor a departure notice, while the table still shows
// the old name.
TEST_F(ServerRules, NewcomerReusingADepartedRivalsIdIsAStranger) {
  connect({A, B});
  ready(A);
  ready(B);
  logic.client_left(A);
  connect({A, C});  // the new A is row 1; C is row 2
  ready(A);
  ready(C);  // the new A plays C
  clear();
  say(B, "XQ:1:2");
  EXPECT_EQ(recorder.of_kind(Event::send), (std::vector<Event>{sent("", "DSXQ:1:2")}));
  EXPECT_EQ(rival_of(B), A);
  say(C, "XQ:3:4");
  EXPECT_EQ(recorder.of_kind(Event::send), (std::vector<Event>{sent("", "DSXQ:1:2"), sent(A, "DSXQ:3:4")}));
  clear();
  logic.client_left(A);
  EXPECT_EQ(recorder.of_kind(Event::send), (std::vector<Event>{sent(C, rival_left)}));
}

TEST_F(ServerRules, RivalLeavingAndReturningUnderTheSameIdIsNotToldTwice) {
  connect({A, B});
  ready(A);
  ready(B);
  logic.client_left(B);
  connect({B});  // the same name again, never paired
  clear();
  logic.client_left(B);
  EXPECT_TRUE(recorder.of_kind(Event::send).empty());
  clear();
  logic.client_left(A);
  EXPECT_TRUE(recorder.of_kind(Event::send).empty());
}

TEST(LogTextBound, LongTextsAreCutToTheLimitOnAWholeCharacterWithTheirLength) {
  const std::size_t limit = server::log_text_limit;
  const std::string note_start = "\xA1\xAD\xA1\xAD\xA3\xA8\xC8\xAB\xB3\xA4 ";  // ……（全长
  const std::string note_end = " \xD7\xD6\xBD\xDA\xA3\xA9";                    // 字节）
  const std::string pair = "\xBC\xD7";                                          // 甲
  const struct {
    std::string text, expected;
  } cases[] = {
      {"", ""},
      {std::string(limit, 'X'), std::string(limit, 'X')},
      {std::string(limit + 1, 'X'), std::string(limit, 'X') + note_start + std::to_string(limit + 1) + note_end},
      {std::string(100000, 'Y'), std::string(limit, 'Y') + note_start + "100000" + note_end},
      // A pair that would straddle the limit is left out whole.
      {std::string(limit - 1, 'X') + pair, std::string(limit - 1, 'X') + note_start + std::to_string(limit + 1) + note_end},
      {std::string(limit - 2, 'X') + pair + "Z", std::string(limit - 2, 'X') + pair + note_start + std::to_string(limit + 1) + note_end},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(server::bounded_log_text(c.text), c.expected) << c.text.size();
  }
}

TEST_F(ServerRules, OversizedDeliveryIsLoggedCutAndHonestOnesWhole) {
  connect({A, B});
  ready(A);
  ready(B);
  clear();
  const std::string huge_x(20000, '7');
  say(A, "XQ:" + huge_x + ":1");
  const std::vector<Event> logs = recorder.of_kind(Event::log);
  ASSERT_EQ(logs.size(), 2u);
  for (const Event& entry : logs) EXPECT_LT(entry.a.size(), server::log_text_limit + 64);
  EXPECT_EQ(logs[0].a, server::bounded_log_text(received("XQ:" + huge_x + ":1")));
  EXPECT_EQ(logs[1].a, server::bounded_log_text(position(A, huge_x + ":1")));
  clear();
  say(A, "XQ:100:200");
  EXPECT_EQ(recorder.of_kind(Event::log),
            (std::vector<Event>{logged(received("XQ:100:200"), other), logged(position(A, "100:200"), play)}));
}

}  // namespace
