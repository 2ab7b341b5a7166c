#include <client/ready_flow.h>
#include <client/texts.h>

#include <board/stone_set.h>
#include <protocol/messages.h>
#include <protocol/text.h>

namespace client {

namespace {

constexpr std::string_view ideographic_space = "\xA1\xA1";  // 　

// Length of the space character at `pos`, or 0 when another character starts there.
std::size_t space_at(std::string_view text, std::size_t pos) {
  const std::size_t length = protocol::gbk_char_length(text, pos);
  const std::string_view character = text.substr(pos, length);
  return character == " " || character == ideographic_space ? length : 0;
}

}  // namespace

std::string trim_spaces(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t space = space_at(text, begin);
    if (space == 0) break;
    begin += space;
  }
  // Walk by characters so that a trailing byte of a double-byte character is never taken
  // for a space.
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    const std::size_t length = protocol::gbk_char_length(text, pos);
    if (space_at(text, pos) == 0) end = pos + length;
    pos += length;
  }
  return std::string(text.substr(begin, end - begin));
}

ReadyFlow::ReadyFlow(board::StoneSet& stones, Controls& controls, Connection& connection,
                     Dialogs& dialogs)
    : stones_(stones), controls_(controls), connection_(connection), dialogs_(dialogs) {}

void ReadyFlow::press() {
  stones_.clear_stones();
  const std::string box_text = controls_.nickname_text();
  const std::string nickname = trim_spaces(box_text);
  if (nickname.empty()) {
    dialogs_.inform(text::enter_nickname, text::hint, BoxIcon::none);
    return;
  }
  connection_.send(protocol::make_ready(nickname));
  controls_.set_ready_button(text::readied, false);
  controls_.set_status(status::waiting);
  controls_.set_nickname_enabled(false);
  controls_.set_caption(controls_.caption() + std::string(text::nickname_suffix) + box_text);
}

}  // namespace client
