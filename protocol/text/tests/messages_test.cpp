#include <protocol/gbk_literals.h>
#include <protocol/messages.h>

#include <gtest/gtest.h>

namespace gbk = protocol::gbk;
using protocol::cut_delivery;
using protocol::Receiver;
using namespace std::string_literals;

TEST(GbkLiterals, AreTheWireBytes) {
  EXPECT_EQ(gbk::white, "\xB0\xD7\xC9\xAB");
  EXPECT_EQ(gbk::black, "\xBA\xDA\xC9\xAB");
  EXPECT_EQ(gbk::yes, "\xD5\xE6");
  EXPECT_EQ(gbk::no, "\xBC\xD9");
  EXPECT_EQ(gbk::draw, "\xC6\xBD\xBE\xD6");
  EXPECT_EQ(gbk::rival_left, "\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA");
}

TEST(MessageBuilders, GiveExactlyTheTextOfEachMessage) {
  EXPECT_EQ(protocol::make_ready("abc"), "NC:abc:OK");
  EXPECT_EQ(protocol::make_ready("a:b"), "NC:a:b:OK");
  EXPECT_EQ(protocol::make_move(163, 241), "XQ:163:241");
  EXPECT_EQ(protocol::make_move(-3, 0), "XQ:-3:0");
  EXPECT_EQ(protocol::make_game_over(gbk::white), "JS:\xB0\xD7\xC9\xAB:\xD5\xE6");
  EXPECT_EQ(protocol::make_game_over(gbk::draw), "JS:\xC6\xBD\xBE\xD6:\xD5\xE6");
  EXPECT_EQ(protocol::make_start(true), "ST:\xB0\xD7\xC9\xAB:\xD5\xE6");
  EXPECT_EQ(protocol::make_start(false), "ST:\xBA\xDA\xC9\xAB:\xBC\xD9");
  EXPECT_EQ(protocol::make_rival_move("100", "200JS"), "DSXQ:100:200JS");
  EXPECT_EQ(protocol::make_rival_left(), "DSLK:\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA");
}

TEST(FieldsOf, SplitsAtTheColonOnly) {
  // A full-width colon (A3 BA) inside a nickname is no separator.
  EXPECT_EQ(protocol::fields_of("NC:a\xA3\xBA" "b:OK"), (protocol::Fields{"NC", "a\xA3\xBA" "b", "OK"}));
  EXPECT_TRUE(protocol::fields_of("").empty());
}

struct CutCase {
  const char* name;
  Receiver receiver;
  std::string delivery;
  std::vector<std::string> messages;
};

class CutDelivery : public testing::TestWithParam<CutCase> {};

TEST_P(CutDelivery, CutsOnlyBetweenCompleteMessages) {
  EXPECT_EQ(cut_delivery(GetParam().delivery, GetParam().receiver), GetParam().messages);
}

const std::string rival_left = protocol::make_rival_left();
const std::string white_wins = protocol::make_game_over(gbk::white);

INSTANTIATE_TEST_SUITE_P(
    Cases, CutDelivery,
    testing::Values(
        CutCase{"OneMessageStaysWhole", Receiver::server, "NC:Tom:OK", {"NC:Tom:OK"}},
        CutCase{"MoveThenDeparture", Receiver::client, "DSXQ:163:241" + rival_left,
                {"DSXQ:163:241", rival_left}},
        CutCase{"MoveThenGameOver", Receiver::server, "XQ:100:200" + white_wins,
                {"XQ:100:200", white_wins}},
        CutCase{"TwoRivalMoves", Receiver::client, "DSXQ:163:241DSXQ:300:400",
                {"DSXQ:163:241", "DSXQ:300:400"}},
        CutCase{"TwoStarts", Receiver::client, protocol::make_start(true) + protocol::make_start(false),
                {protocol::make_start(true), protocol::make_start(false)}},
        CutCase{"BareDepartureThenMove", Receiver::client, "DSLKDSXQ:1:2", {"DSLK", "DSXQ:1:2"}},
        CutCase{"ReadyThenReady", Receiver::server, "NC:a:OKNC:b:OK", {"NC:a:OK", "NC:b:OK"}},
        CutCase{"VerbAtTheVeryEnd", Receiver::client, "ST:x:yDSLK", {"ST:x:y", "DSLK"}},
        // A verb inside a message that lacks fields is part of that message.
        CutCase{"NicknameHoldingAVerb", Receiver::server, "NC:XQ:OK", {"NC:XQ:OK"}},
        CutCase{"TooFewFieldsBeforeVerb", Receiver::server, "NC:aXQ:b:OK", {"NC:aXQ:b:OK"}},
        CutCase{"MoveMissingAField", Receiver::server, "XQ:100JS:1:2", {"XQ:100JS:1:2"}},
        // Only the receiver's own verbs cut.
        CutCase{"OtherDirectionsVerbs", Receiver::server, "XQ:1:2ST:a:b", {"XQ:1:2ST:a:b"}},
        CutCase{"ClientIgnoresServerVerbs", Receiver::client, "DSXQ:1:2XQ:3:4", {"DSXQ:1:2XQ:3:4"}},
        // A verb must be a whole field: followed by ":" or by the end.
        CutCase{"VerbPrefixOfAWord", Receiver::server, "XQ:1:2JSON", {"XQ:1:2JSON"}},
        CutCase{"UnknownVerbFirst", Receiver::server, "HELLO:1:2:3XQ:1:2", {"HELLO:1:2:3XQ:1:2"}},
        // The second byte of a double-byte character never starts a verb.
        CutCase{"NoCutInsideACharacter", Receiver::server, "XQ:1:\xB0" "XQ:1:2", {"XQ:1:\xB0" "XQ:1:2"}},
        CutCase{"BytesAfterZeroAreDropped", Receiver::server, "XQ:1:2\0XQ:3:4"s, {"XQ:1:2"}},
        CutCase{"EmptyDeliveryIsOneEmptyMessage", Receiver::server, "\0NC:a:OK"s, {""}}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });
