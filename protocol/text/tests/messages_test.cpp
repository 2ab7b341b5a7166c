#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>

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
        // The text from a cut must hold the fields of its own verb too.
        CutCase{"NicknameEndingInReadyMarkAndVerb", Receiver::server, "NC:x:OKJS:OK",
                {"NC:x:OKJS:OK"}},
        CutCase{"StartLackingItsColour", Receiver::client, "DSXQ:1:2ST", {"DSXQ:1:2ST"}},
        CutCase{"TrailingSeparatorAddsNoField", Receiver::server, "XQ:1:2JS:a:", {"XQ:1:2JS:a:"}},
        CutCase{"ColonInsideACharacterIsNoSeparator", Receiver::server, "XQ:1:2JS:\xBA:b",
                {"XQ:1:2JS:\xBA:b"}},
        CutCase{"ShortTailStaysWithTheMessageBeforeIt", Receiver::server, "XQ:1:2XQ:3:4XQ:5",
                {"XQ:1:2", "XQ:3:4XQ:5"}},
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

// Deliveries of 64 KiB shaped to hit the cutting rule at every place; the quadratic rule took
// tens of seconds on some of them.
struct HostileCase {
  const char* name;
  Receiver receiver;
  std::string unit;      // repeated to fill the delivery, after `head`
  std::string head;
  std::size_t messages;  // expected count; 0 for one per unit
};

class HostileDelivery : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileDelivery, IsCutIntoPiecesThatRejoinToIt) {
  const HostileCase& c = GetParam();
  std::string delivery = c.head;
  std::size_t units = 0;
  while (delivery.size() + c.unit.size() <= 64 * 1024) delivery += c.unit, ++units;

  const std::vector<std::string> messages = cut_delivery(delivery, c.receiver);
  EXPECT_EQ(messages.size(), c.messages == 0 ? units : c.messages);
  std::string rejoined;
  for (const std::string& message : messages) rejoined += message;
  EXPECT_EQ(rejoined, delivery);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileDelivery,
    testing::Values(
        HostileCase{"VerbAfterEverySeparator", Receiver::server, ":NC", "X", 1},
        HostileCase{"DepartureAfterEverySeparator", Receiver::client, ":DSLK", "X", 1},
        HostileCase{"CharactersBetweenVerbs", Receiver::server, "\xB0\xB0:NC:", "X", 1},
        HostileCase{"ReadyMessages", Receiver::server, "NC:a:OK", "", 0},
        HostileCase{"Departures", Receiver::client, "DSLK:", "", 0},
        HostileCase{"VerbsRunTogether", Receiver::client, "DSLK", "", 1},
        HostileCase{"VerbsWithoutFields", Receiver::server, "XQ", "NC:a:OK", 1},
        HostileCase{"Separators", Receiver::client, ":", "DSXQ", 1},
        HostileCase{"LeadBytesSwallowingSeparators", Receiver::server, "\xB0:NC", "XQ:1:2", 1}),
    [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

struct RelayCase {
  const char* name;
  std::string x, y;
  std::string relayed;
};

class RelayedMove : public testing::TestWithParam<RelayCase> {};

TEST_P(RelayedMove, ReachesTheClientAsOneMoveWithTheSameNumbers) {
  const RelayCase& c = GetParam();
  const std::string relayed = protocol::make_relayed_move(c.x, c.y);
  EXPECT_EQ(relayed, c.relayed);
  EXPECT_EQ(cut_delivery(relayed, Receiver::client), std::vector<std::string>{relayed});
  const protocol::Fields fields = protocol::fields_of(relayed);
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(protocol::text_to_int(fields[2]), protocol::text_to_int(c.y));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelayedMove,
    testing::Values(
        RelayCase{"HonestMove", "163", "241", "DSXQ:163:241"},
        RelayCase{"OddFieldsStayAsReceived", "12a", "\xA3\xB1-5", "DSXQ:12a:\xA3\xB1-5"},
        RelayCase{"ForgedDeparture", "1", "2DSLK", "DSXQ:1:2"},
        RelayCase{"ForgedDepartures", "1", "2DSLKDSLK", "DSXQ:1:2"},
        RelayCase{"ForgedStart", "1", "2ST", "DSXQ:1:2"},
        RelayCase{"ForgedMove", "1", "-2DSXQ", "DSXQ:1:-2"},
        RelayCase{"VerbInsideACharacterStays", "1", "2\xB0" "DSLK", "DSXQ:1:2\xB0" "DSLK"},
        RelayCase{"FirstFieldCannotCut", "1DSLK", "2", "DSXQ:1DSLK:2"}),
    [](const testing::TestParamInfo<RelayCase>& info) { return std::string(info.param.name); });

// The rule read literally, splitting both sides afresh at every place: slow, but plainly right.
std::vector<std::string> cut_by_the_rule(const std::string& text, Receiver receiver) {
  const std::vector<std::pair<std::string, std::size_t>> verbs =
      receiver == Receiver::server
          ? std::vector<std::pair<std::string, std::size_t>>{{"NC", 3}, {"XQ", 3}, {"JS", 3}}
          : std::vector<std::pair<std::string, std::size_t>>{{"ST", 2}, {"DSXQ", 3}, {"DSLK", 1}};
  const auto complete = [&](const std::string& message) {
    const protocol::Fields fields = protocol::fields_of(message);
    for (const auto& [verb, count] : verbs) {
      if (!fields.empty() && fields[0] == verb) return fields.size() >= count;
    }
    return false;
  };
  const auto verb_starts = [&](std::size_t p) {
    for (const auto& [verb, count] : verbs) {
      if (text.compare(p, verb.size(), verb) == 0 &&
          (p + verb.size() == text.size() || text[p + verb.size()] == ':')) {
        return true;
      }
    }
    return false;
  };
  std::vector<std::string> messages;
  std::size_t start = 0;
  for (std::size_t p = 0; p < text.size(); p += protocol::gbk_char_length(text, p)) {
    if (p > start && verb_starts(p) && complete(text.substr(start, p - start)) &&
        complete(text.substr(p))) {
      messages.push_back(text.substr(start, p - start));
      start = p;
    }
  }
  messages.push_back(text.substr(start));
  return messages;
}

TEST(CutDeliveryRule, AgreesWithTheRuleOnEveryShortText) {
  const std::string pieces[] = {"NC", "XQ", "JS", "ST", "DSXQ", "DSLK", ":", "a", "\xB0"};
  std::vector<std::string> texts{""};  // every sequence of up to five pieces
  std::vector<std::string> layer{""};
  for (int length = 1; length <= 5; ++length) {
    std::vector<std::string> longer;
    for (const std::string& text : layer) {
      for (const std::string& piece : pieces) longer.push_back(text + piece);
    }
    texts.insert(texts.end(), longer.begin(), longer.end());
    layer = std::move(longer);
  }
  for (const std::string& text : texts) {
    for (Receiver receiver : {Receiver::server, Receiver::client}) {
      ASSERT_EQ(cut_delivery(text, receiver), cut_by_the_rule(text, receiver)) << text;
    }
  }
}
