#include <client/built_in.h>

#include <board/stone_set.h>
#include <protocol/gbk_literals.h>

#include "client_logic_embedded.h"

namespace client::built_in {

namespace {

constexpr std::string_view config_text = "[SCG]\r\nIP=127.0.0.1\r\nDK=24093\r\n";

board::Picture decoded(std::span<const unsigned char> png) {
  return board::decode_png(png).value_or(board::Picture{});
}

}  // namespace

std::span<const std::uint8_t> default_config() {
  return {reinterpret_cast<const std::uint8_t*>(config_text.data()), config_text.size()};
}

std::span<const std::uint8_t> default_background() { return assets::board_background(); }

const board::Picture& stone_picture(std::string_view colour) {
  static const board::Picture white = decoded(assets::stone_white());
  static const board::Picture black = decoded(assets::stone_black());
  static const board::Picture none;
  if (colour == protocol::gbk::white) return white;
  if (colour == protocol::gbk::black) return black;
  return none;
}

void install_stone_templates(board::StoneSet& stones) {
  stones.set_template(protocol::gbk::white, stone_picture(protocol::gbk::white));
  stones.set_template(protocol::gbk::black, stone_picture(protocol::gbk::black));
}

}  // namespace client::built_in
