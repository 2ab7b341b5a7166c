#pragma once
// How one log entry looks, byte for byte. Kept apart from the file and the clock so that every
// form of the date-time text can be checked with a chosen time.
#include <ctime>
#include <string>
#include <string_view>

namespace chronicle {

// "%d年%d月%d日" followed by the shortest time part that still shows every non-zero unit.
std::string date_time_text(const std::tm& time);

// The category's name with four spaces on each side; unknown categories are "Other".
std::string_view label_of(int category);

// date-time text + label + text + CR LF CR LF, and the separator line after category 6.
std::string format_entry(std::string_view text, int category, const std::tm& time);

}  // namespace chronicle
