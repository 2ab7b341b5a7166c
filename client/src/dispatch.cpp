#include <client/dispatch.h>
#include <client/moves.h>
#include <client/texts.h>

#include <board/stone_set.h>
#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>

#include <string>
#include <vector>

namespace client {

namespace gbk = protocol::gbk;

Dispatch::Dispatch(ClientState& state, Moves& moves, board::StoneSet& stones, Dialogs& dialogs,
                   Controls& controls, ProgramExit& program)
    : state_(state), moves_(moves), stones_(stones), dialogs_(dialogs), controls_(controls),
      program_(program) {}

void Dispatch::on_data_arrived(std::string_view delivery) {
  // Messages sent back to back may share a delivery; each is handled as if it had come alone.
  const std::vector<std::string> messages = protocol::cut_delivery(delivery, protocol::Receiver::client);
  for (const std::string& message : messages) handle_message(message);
}

void Dispatch::handle_message(std::string_view message) {
  const protocol::Fields fields = protocol::fields_of(message);
  if (fields.empty()) return;
  const std::string& verb = fields[0];

  if (verb == protocol::verb::start) {
    if (fields.size() < 2) return;
    if (fields[1] == gbk::white) {
      state_.my_colour = gbk::white;
      state_.my_turn = 1;
      state_.rival_colour = gbk::black;
      controls_.show_own_stone(gbk::white);
    } else if (fields[1] == gbk::black) {
      state_.my_colour = gbk::black;
      state_.my_turn = 0;
      state_.rival_colour = gbk::white;
      controls_.show_own_stone(gbk::black);
    }
    state_.rival_move_pending = 0;
    moves_.show_turn();
  } else if (verb == protocol::verb::rival_move) {
    if (fields.size() < 3) return;
    state_.my_turn = 0;
    state_.rival_move_pending = 1;
    moves_.place_stone(protocol::text_to_int(fields[1]), protocol::text_to_int(fields[2]));
    state_.rival_move_pending = 0;
  } else if (verb == protocol::verb::rival_left) {
    controls_.set_status(status::rival_left);
    dialogs_.inform(text::rival_fled, text::fled_caption, BoxIcon::none);
    stones_.clear_stones();
    controls_.set_ready_button(text::ready, true);
  }
}

void Dispatch::on_connection_broken() {
  dialogs_.inform(text::connection_broken, text::broken_caption, BoxIcon::exclamation);
  program_.end(0);
}

}  // namespace client
