#include <protocol/gbk_codec.h>

#include <gtest/gtest.h>

using protocol::gbk_to_utf8;
using protocol::utf8_to_gbk;

TEST(GbkCodec, ConvertsBothWays) {
  EXPECT_EQ(gbk_to_utf8("\xB0\xD7\xC9\xAB"), "白色");
  EXPECT_EQ(utf8_to_gbk("当前在线人数：0 人"),
            "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA" "0 \xC8\xCB");
  EXPECT_EQ(gbk_to_utf8(utf8_to_gbk("五子棋  Tom　")), "五子棋  Tom　");
  EXPECT_EQ(utf8_to_gbk(""), "");
}

TEST(GbkCodec, ReplacesWhatItCannotConvertAndGoesOn) {
  EXPECT_EQ(gbk_to_utf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(gbk_to_utf8("ab\xB0"), "ab\xEF\xBF\xBD");  // truncated double-byte character
  EXPECT_EQ(utf8_to_gbk("a😀b"), "a?b");               // no such character in GBK
  EXPECT_EQ(utf8_to_gbk("a\xE4" "b"), "a?b");          // broken UTF-8
}
