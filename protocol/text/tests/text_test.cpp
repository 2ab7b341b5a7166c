#include <protocol/text.h>

#include <gtest/gtest.h>

#include <climits>

using protocol::bytes_to_text;
using protocol::int_to_text;
using protocol::split_text;
using protocol::text_to_int;
using namespace std::string_literals;

TEST(BytesToText, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(bytes_to_text("NC:a\0:OK"s), "NC:a");
  EXPECT_EQ(bytes_to_text("\0XQ:1:2"s), "");
  EXPECT_EQ(bytes_to_text("abc"), "abc");
  EXPECT_EQ(bytes_to_text(""), "");
}

struct SplitCase {
  std::string text;
  std::string separator;
  std::vector<std::string> pieces;
};

class SplitText : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitText, GivesThePiecesBetweenSeparators) {
  EXPECT_EQ(split_text(GetParam().text, GetParam().separator), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitText,
    testing::Values(
        SplitCase{"a:b", ":", {"a", "b"}},
        SplitCase{":a", ":", {"", "a"}},
        SplitCase{"a::b", ":", {"a", "", "b"}},
        SplitCase{"a:", ":", {"a"}},                       // no empty last piece
        SplitCase{":", ":", {""}},
        SplitCase{"::", ":", {"", ""}},
        SplitCase{"", ":", {}},                            // no pieces at all
        SplitCase{"abc", "", {"abc"}},
        SplitCase{"DSLK:", ":", {"DSLK"}},
        // 0xBA 0x3A is one double-byte character: its second byte is not a separator.
        SplitCase{"x\xBA:y:z", ":", {"x\xBA:y", "z"}},
        // A lead byte at the very end stops the scan; the rest stays one piece.
        SplitCase{"a:\xB0", ":", {"a", "\xB0"}},
        SplitCase{"\xD5\xE6%#\xB0\xD7\xC9\xAB", "%#", {"\xD5\xE6", "\xB0\xD7\xC9\xAB"}},
        SplitCase{"%#", "%#", {""}},
        SplitCase{"a%", "%#", {"a%"}}));

struct IntCase {
  std::string text;
  std::int32_t value;
};

class TextToInt : public testing::TestWithParam<IntCase> {};

TEST_P(TextToInt, ReadsTheLeadingNumber) { EXPECT_EQ(text_to_int(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToInt,
    testing::Values(
        IntCase{"123abc", 123}, IntCase{"  -7", -7}, IntCase{"", 0}, IntCase{"abc", 0},
        IntCase{"+42", 42}, IntCase{"-", 0}, IntCase{"\t\n\v\f\r 5", 5}, IntCase{"1 2", 1},
        IntCase{"\xA3\xB1\xA3\xB2", 12},                 // full-width 1 2
        IntCase{"\xA3\xB1\xA3\xB6\xA3\xB3", 163},        // full-width 163
        IntCase{"\xA1\xA1\xA3\xAD\xA3\xB8", -8},         // ideographic space, full-width minus 8
        IntCase{"\xA3\xB8\xA3\xB0\xA3\xB0\xA3\xB0x", 8000},
        IntCase{"241DSXQ", 241}, IntCase{"12a", 12},
        IntCase{"2147483647", INT32_MAX}, IntCase{"-2147483648", INT32_MIN},
        IntCase{"2147483648", INT32_MIN},                // wraps around
        IntCase{"4294967296", 0}, IntCase{"4294967297", 1}, IntCase{"99999999999", 1215752191},
        IntCase{"\xB0\xD7" "5", 0}));                    // a Chinese character is no blank

TEST(IntToText, WritesPlainDecimal) {
  EXPECT_EQ(int_to_text(0), "0");
  EXPECT_EQ(int_to_text(163), "163");
  EXPECT_EQ(int_to_text(-25), "-25");
  EXPECT_EQ(int_to_text(INT32_MIN), "-2147483648");
}
