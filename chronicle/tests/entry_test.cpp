#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "entry.h"

namespace {

std::tm local_time(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

struct DateTimeCase {
  std::tm time;
  std::string text;  // GBK
};

TEST(ChronicleEntry, DateTimeTextDropsTrailingZeroUnits) {
  const DateTimeCase cases[] = {
      // 2020年1月2日3时53分3秒
      {local_time(2020, 1, 2, 3, 53, 3),
       "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "3\xCA\xB1" "53\xB7\xD6" "3\xC3\xEB"},
      // 2020年1月2日14时5分
      {local_time(2020, 1, 2, 14, 5, 0), "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "14\xCA\xB1" "5\xB7\xD6"},
      // 2020年1月2日14时
      {local_time(2020, 1, 2, 14, 0, 0), "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "14\xCA\xB1"},
      // 2020年1月2日14时0分7秒
      {local_time(2020, 1, 2, 14, 0, 7),
       "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "14\xCA\xB1" "0\xB7\xD6" "7\xC3\xEB"},
      // 2020年11月30日 (midnight)
      {local_time(2020, 11, 30, 0, 0, 0), "2020\xC4\xEA" "11\xD4\xC2" "30\xC8\xD5"},
      // 1999年12月31日0时0分59秒: a zero hour still shows when a later unit does
      {local_time(1999, 12, 31, 0, 0, 59),
       "1999\xC4\xEA" "12\xD4\xC2" "31\xC8\xD5" "0\xCA\xB1" "0\xB7\xD6" "59\xC3\xEB"},
      // 2024年2月29日0时1分
      {local_time(2024, 2, 29, 0, 1, 0), "2024\xC4\xEA" "2\xD4\xC2" "29\xC8\xD5" "0\xCA\xB1" "1\xB7\xD6"},
  };
  for (const DateTimeCase& c : cases) {
    EXPECT_EQ(chronicle::date_time_text(c.time), c.text) << c.time.tm_hour << ":" << c.time.tm_min;
  }
}

TEST(ChronicleEntry, EachCategoryHasItsExactLabel) {
  const struct {
    int category;
    std::string label;
  } cases[] = {
      {1, "    ConIn    "},       {2, "    ConOut    "},    {3, "    Me&Opponent    "},
      {4, "    Play Chess    "},  {5, "    Game over    "}, {6, "    Exit    "},
      {0, "    Other    "},       {7, "    Other    "},     {8, "    Other    "},
      {-1, "    Other    "},      {INT_MIN, "    Other    "}, {INT_MAX, "    Other    "},
  };
  for (const auto& c : cases) EXPECT_EQ(chronicle::label_of(c.category), c.label) << c.category;
}

TEST(ChronicleEntry, EntryIsDateLabelTextAndTwoLineEnds) {
  EXPECT_EQ(chronicle::format_entry("abc", 1, local_time(2020, 1, 2, 14, 0, 0)),
            "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "14\xCA\xB1" "    ConIn    abc\r\n\r\n");
}

TEST(ChronicleEntry, ExitEntryIsFollowedBySeparatorLine) {
  const std::string separator(67, '-');
  EXPECT_EQ(chronicle::format_entry("bye", 6, local_time(2020, 11, 30, 0, 0, 0)),
            "2020\xC4\xEA" "11\xD4\xC2" "30\xC8\xD5" "    Exit    bye\r\n\r\n" + separator + "\r\n\r\n");
}

TEST(ChronicleEntry, OnlyCategorySixGetsTheSeparator) {
  for (int category : {0, 1, 2, 3, 4, 5, 7, 8, -6}) {
    EXPECT_EQ(chronicle::format_entry("x", category, local_time(2020, 1, 2, 14, 0, 0)).find('-'),
              std::string::npos)
        << category;
  }
}

TEST(ChronicleEntry, TextIsKeptByteForByte) {
  // 收到的数据：NC:甲:OK, with a CR LF inside, and bytes that are not valid GBK
  const std::string text = "\xCA\xD5\xB5\xBD\xB5\xC4\xCA\xFD\xBE\xDD\xA3\xBA" "NC:\xBC\xD7:OK\r\nline 2\xFF\x80";
  const std::tm time = local_time(2021, 6, 7, 8, 9, 10);
  EXPECT_EQ(chronicle::format_entry(text, 8, time),
            chronicle::date_time_text(time) + "    Other    " + text + "\r\n\r\n");
}

TEST(ChronicleEntry, EmptyTextLeavesTheLabelRightBeforeTheLineEnds) {
  EXPECT_EQ(chronicle::format_entry("", 2, local_time(2020, 1, 2, 14, 0, 0)),
            "2020\xC4\xEA" "1\xD4\xC2" "2\xC8\xD5" "14\xCA\xB1" "    ConOut    \r\n\r\n");
}

}  // namespace
