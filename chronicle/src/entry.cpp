#include "entry.h"

#include <chronicle/log_category.h>

#include <string>

namespace chronicle {
namespace {

// The date and time units in GBK.
constexpr std::string_view year = "\xC4\xEA";    // 年
constexpr std::string_view month = "\xD4\xC2";   // 月
constexpr std::string_view day = "\xC8\xD5";     // 日
constexpr std::string_view hour = "\xCA\xB1";    // 时
constexpr std::string_view minute = "\xB7\xD6";  // 分
constexpr std::string_view second = "\xC3\xEB";  // 秒

constexpr std::string_view line_end = "\r\n";
constexpr std::string_view separator_line =
    "-------------------------------------------------------------------";
static_assert(separator_line.size() == 67);

void append_number(std::string& out, int value, std::string_view unit) {
  out += std::to_string(value);
  out += unit;
}

}  // namespace

std::string date_time_text(const std::tm& time) {
  std::string text;
  append_number(text, time.tm_year + 1900, year);
  append_number(text, time.tm_mon + 1, month);
  append_number(text, time.tm_mday, day);
  if (time.tm_sec != 0) {
    append_number(text, time.tm_hour, hour);
    append_number(text, time.tm_min, minute);
    append_number(text, time.tm_sec, second);
  } else if (time.tm_min != 0) {
    append_number(text, time.tm_hour, hour);
    append_number(text, time.tm_min, minute);
  } else if (time.tm_hour != 0) {
    append_number(text, time.tm_hour, hour);
  }
  return text;
}

std::string_view label_of(int category) {
  switch (static_cast<LogCategory>(category)) {
    case LogCategory::connection_in: return "    ConIn    ";
    case LogCategory::connection_out: return "    ConOut    ";
    case LogCategory::opponents: return "    Me&Opponent    ";
    case LogCategory::play: return "    Play Chess    ";
    case LogCategory::game_over: return "    Game over    ";
    case LogCategory::exit: return "    Exit    ";
    case LogCategory::other: break;
  }
  return "    Other    ";
}

std::string format_entry(std::string_view text, int category, const std::tm& time) {
  std::string entry = date_time_text(time);
  entry += label_of(category);
  entry += text;
  entry += line_end;
  entry += line_end;
  if (static_cast<LogCategory>(category) == LogCategory::exit) {
    entry += separator_line;
    entry += line_end;
    entry += line_end;
  }
  return entry;
}

}  // namespace chronicle
