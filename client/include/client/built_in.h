#pragma once
// What the client carries inside itself: the default configuration, the default background
// picture and the two stone pictures.
#include <board/picture.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace board {
class StoneSet;
}

namespace client::built_in {

// "[SCG]", "IP=127.0.0.1" and "DK=24093", each ended by CR LF.
std::span<const std::uint8_t> default_config();
// A 400x400 RGB PNG.
std::span<const std::uint8_t> default_background();
// The 42x42 RGBA stone of "白色" or "黑色"; an empty picture for any other text.
const board::Picture& stone_picture(std::string_view colour);
// Gives the stone set its two templates.
void install_stone_templates(board::StoneSet& stones);

}  // namespace client::built_in
