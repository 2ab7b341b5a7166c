#pragma once
// Whether the stone just placed ends the game, asked only through the stone set's point queries.
#include <board/stone_set.h>

#include <cstdint>
#include <string>

namespace board {

inline constexpr std::string_view verdict_separator = "%#";

// "平局" when the board holds 225 stones; else "真%#" + colour when a line through (ix, iy)
// holds exactly five stones of its colour; else "假%#" + colour.
std::string judge_five(const StoneSet& stones, std::int32_t ix, std::int32_t iy);

}  // namespace board
