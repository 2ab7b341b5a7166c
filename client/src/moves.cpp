#include <client/moves.h>
#include <client/texts.h>

#include <board/geometry.h>
#include <board/judge.h>
#include <board/stone_set.h>
#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>

#include <string>
#include <vector>

namespace client {

namespace gbk = protocol::gbk;

namespace {

bool is_colour(std::string_view text) { return text == gbk::white || text == gbk::black; }

}  // namespace

Moves::Moves(ClientState& state, board::StoneSet& stones, Connection& connection, Dialogs& dialogs,
             Controls& controls)
    : state_(state), stones_(stones), connection_(connection), dialogs_(dialogs), controls_(controls) {}

void Moves::board_click(std::int32_t x, std::int32_t y) {
  if (state_.my_colour.empty()) {
    dialogs_.inform(text::no_rival_yet, text::hint, BoxIcon::none);
    return;
  }
  place_stone(x, y);
}

void Moves::place_stone(std::int32_t x, std::int32_t y) {
  const std::int32_t ix = board::snap_pixel(x);
  const std::int32_t iy = board::snap_pixel(y);
  if (!board::on_board(board::pixel_of(ix)) || !board::on_board(board::pixel_of(iy))) return;

  if (state_.my_turn == 1 && state_.rival_move_pending == 0) {
    own_move(x, y, ix, iy);
  } else if (state_.my_turn == 0 && state_.rival_move_pending == 1) {
    rival_move(ix, iy);
  } else {
    dialogs_.inform(text::wait_for_rival, text::move_hint, BoxIcon::none);
  }
}

void Moves::own_move(std::int32_t x, std::int32_t y, std::int32_t ix, std::int32_t iy) {
  // The turn is only ever given together with a colour; without one there is no stone to judge.
  if (!is_colour(state_.my_colour)) return;
  const bool white = state_.my_colour == gbk::white;
  const int px = board::pixel_of(ix);
  const int py = board::pixel_of(iy);
  if (stones_.is_occupied(px, py)) {
    dialogs_.inform(text::point_taken, white ? text::hint_white : text::hint_black, BoxIcon::none);
    return;
  }
  stones_.add_stone(state_.my_colour, px, py);
  // The rival's client snaps the raw click again and so reaches the same intersection.
  connection_.send(protocol::make_move(x, y));
  if (white) state_.my_turn = 0;
  judge(ix, iy);
}

void Moves::judge(std::int32_t ix, std::int32_t iy) {
  const std::string verdict = board::judge_five(stones_, ix, iy);
  const std::vector<std::string> fields = protocol::split_text(verdict, board::verdict_separator);
  if (!fields.empty() && fields[0] == gbk::yes) {
    const std::string colour = fields.size() > 1 ? fields[1] : std::string();
    connection_.send(protocol::make_game_over(colour));
    const std::string question = std::string(text::congratulations) + colour + std::string(text::won_play_again);
    // While the box is open, server messages may still change the board and the turn.
    if (dialogs_.ask_yes_no(question, text::won_caption)) {
      stones_.clear_stones();
      restore_ready_button();
      state_.my_turn = 0;
    }
  } else if (verdict == gbk::draw) {
    connection_.send(protocol::make_game_over(gbk::draw));
    if (dialogs_.ask_yes_no(text::draw_play_again, text::draw_caption)) {
      stones_.clear_stones();
      restore_ready_button();
    }
  } else {
    state_.my_turn = 0;
  }
}

void Moves::rival_move(std::int32_t ix, std::int32_t iy) {
  if (!is_colour(state_.rival_colour)) return;
  // No occupancy test: a relayed move goes on top of whatever lies there.
  stones_.add_stone(state_.rival_colour, board::pixel_of(ix), board::pixel_of(iy));
  state_.my_turn = 1;
}

void Moves::restore_ready_button() { controls_.set_ready_button(text::ready, true); }

}  // namespace client
