#pragma once
// The log categories: one numbering for the library's labels and for every caller. The number
// is what crosses the C boundary of Chronicle(text, category).
#include <cstdint>

namespace chronicle {

enum class LogCategory : std::int32_t {
  connection_in = 1,   // "ConIn"
  connection_out = 2,  // "ConOut"
  opponents = 3,       // "Me&Opponent"
  play = 4,            // "Play Chess"
  game_over = 5,       // "Game over"
  exit = 6,            // "Exit", and the separator line after the entry
  other = 8,           // every number outside 1 to 6 is "Other"; this is the one callers pass
};

constexpr std::int32_t number_of(LogCategory category) {
  return static_cast<std::int32_t>(category);
}

}  // namespace chronicle
