#include <client/ready_flow.h>
#include <client/texts.h>

#include <board/stone_set.h>
#include <client/built_in.h>
#include <protocol/gbk_literals.h>
#include <test_support/client_fakes.h>

#include <gtest/gtest.h>

namespace client {
namespace {

constexpr std::string_view ideographic_space = "\xA1\xA1";

TEST(TrimSpaces, RemovesOnlyAsciiAndIdeographicSpacesAtBothEnds) {
  const std::pair<std::string, std::string> cases[] = {
      {"  Tom" + std::string(ideographic_space), "Tom"},
      {std::string(ideographic_space) + std::string(ideographic_space) + "x", "x"},
      {"a b", "a b"},
      {"\t", "\t"},
      {" \r\n ", "\r\n"},
      {"  " + std::string(ideographic_space) + " ", ""},
      {"", ""},
      // 啊 (B0 A1) then a lone A1: no ideographic space is formed across the character boundary.
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      // x, an ideographic space, then a truncated lead byte: the last character is not a space.
      {"x\xA1\xA1\xA1", "x\xA1\xA1\xA1"},
      {"\xA3\xA0", "\xA3\xA0"},  // other full-width blanks stay
  };
  for (const auto& [input, trimmed] : cases) {
    SCOPED_TRACE(input);
    EXPECT_EQ(trim_spaces(input), trimmed);
  }
}

class ReadyFlowTest : public ::testing::Test {
 protected:
  ReadyFlowTest() {
    built_in::install_stone_templates(stones);
    controls.window_caption = "title";
  }

  board::StoneSet stones;
  test_support::FakeControls controls;
  test_support::FakeConnection connection;
  test_support::FakeDialogs dialogs;
  ReadyFlow flow{stones, controls, connection, dialogs};
};

TEST_F(ReadyFlowTest, ANicknameOfSpacesAloneIsRefusedAndChangesNoControl) {
  for (const std::string& nickname : {std::string(), "  " + std::string(ideographic_space)}) {
    SCOPED_TRACE(nickname);
    dialogs.boxes.clear();
    controls.nickname = nickname;

    flow.press();

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, text::enter_nickname);
    EXPECT_EQ(dialogs.boxes[0].caption, text::hint);
    EXPECT_FALSE(dialogs.boxes[0].question);
    EXPECT_TRUE(connection.sent.empty());
    EXPECT_EQ(controls.ready_caption, text::ready);
    EXPECT_TRUE(controls.ready_enabled);
    EXPECT_TRUE(controls.nickname_enabled);
    EXPECT_EQ(controls.window_caption, "title");
  }
}

TEST_F(ReadyFlowTest, SendsTheTrimmedNicknameAndLocksTheControls) {
  const std::string box_text = "  Tom" + std::string(ideographic_space);
  controls.nickname = box_text;

  flow.press();

  EXPECT_EQ(connection.sent, std::vector<std::string>{"NC:Tom:OK"});
  EXPECT_EQ(controls.ready_caption, text::readied);
  EXPECT_FALSE(controls.ready_enabled);
  EXPECT_FALSE(controls.nickname_enabled);
  EXPECT_EQ(controls.window_caption, "title" + std::string(text::nickname_suffix) + box_text);
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ReadyFlowTest, TheNicknameGoesOutUncheckedColonsAndTabsIncluded) {
  for (const auto& [nickname, sent] : {std::pair{"a:b", "NC:a:b:OK"}, std::pair{"\t", "NC:\t:OK"},
                                       std::pair{"a\xA3\xBA" "b", "NC:a\xA3\xBA" "b:OK"}}) {
    connection.sent.clear();
    controls.nickname = nickname;
    flow.press();
    EXPECT_EQ(connection.sent, std::vector<std::string>{sent});
  }
}

TEST_F(ReadyFlowTest, EveryPressClearsTheBoardAndAPressAfterAGameAppendsTheSuffixAgain) {
  controls.nickname = "Tom ";
  flow.press();
  stones.add_stone(protocol::gbk::white, 400, 400);
  controls.set_ready_button(text::ready, true);  // the game is over

  flow.press();

  EXPECT_EQ(stones.stone_count(), 0);
  EXPECT_EQ(connection.sent, (std::vector<std::string>{"NC:Tom:OK", "NC:Tom:OK"}));
  const std::string suffix = std::string(text::nickname_suffix) + "Tom ";
  EXPECT_EQ(controls.window_caption, "title" + suffix + suffix);

  stones.add_stone(protocol::gbk::white, 400, 400);
  controls.nickname = " ";
  flow.press();  // refused, but the board is cleared first
  EXPECT_EQ(stones.stone_count(), 0);
}

}  // namespace
}  // namespace client
