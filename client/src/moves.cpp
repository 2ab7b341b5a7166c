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

// The five stones of `colour` in a line through the intersection (ix, iy), as pixel centres;
// empty when no line there holds exactly five.
std::vector<BoardPoint> five_through(const board::StoneSet& stones, std::int32_t ix, std::int32_t iy,
                                     std::string_view colour) {
  constexpr std::int32_t directions[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  const auto holds = [&](std::int32_t jx, std::int32_t jy) {
    const std::int32_t px = board::pixel_of(jx);
    const std::int32_t py = board::pixel_of(jy);
    return board::on_board(px) && board::on_board(py) && stones.tag_at(px, py) == colour;
  };
  for (const auto& [dx, dy] : directions) {
    std::int32_t back = 0;
    while (back < 5 && holds(ix - (back + 1) * dx, iy - (back + 1) * dy)) ++back;
    std::int32_t ahead = 0;
    while (ahead < 5 && holds(ix + (ahead + 1) * dx, iy + (ahead + 1) * dy)) ++ahead;
    if (back + ahead + 1 != 5) continue;
    std::vector<BoardPoint> line;
    for (std::int32_t k = -back; k <= ahead; ++k) {
      line.push_back({board::pixel_of(ix + k * dx), board::pixel_of(iy + k * dy)});
    }
    return line;
  }
  return {};
}

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
    controls_.show_winning_five(five_through(stones_, ix, iy, colour));
    controls_.set_status(status::won);
    const std::string question = std::string(text::congratulations) + colour + std::string(text::won_play_again);
    // While the box is open, server messages may still change the board and the turn.
    // After No, Black keeps the turn it had and may go on placing stones.
    if (end_of_game(question, text::won_caption)) state_.my_turn = 0;
  } else if (verdict == gbk::draw) {
    connection_.send(protocol::make_game_over(gbk::draw));
    controls_.set_status(status::draw);
    end_of_game(text::draw_play_again, text::draw_caption);
  } else {
    state_.my_turn = 0;
    show_turn();
  }
}

void Moves::judge_rival(std::int32_t ix, std::int32_t iy) {
  // The same judgement as for an own move, but nothing is sent: the rival's client announces.
  const std::string verdict = board::judge_five(stones_, ix, iy);
  const std::vector<std::string> fields = protocol::split_text(verdict, board::verdict_separator);
  if (!fields.empty() && fields[0] == gbk::yes) {
    state_.my_turn = 0;
    controls_.show_winning_five(five_through(stones_, ix, iy, state_.rival_colour));
    controls_.set_status(status::lost);
    end_of_game(std::string(text::regret) + state_.rival_colour + std::string(text::won_play_again),
                text::lost_caption);
  } else if (verdict == gbk::draw) {
    state_.my_turn = 0;
    controls_.set_status(status::draw);
    end_of_game(text::draw_play_again, text::draw_caption);
  } else {
    show_turn();
  }
}

bool Moves::end_of_game(std::string_view question, std::string_view caption) {
  const bool again = dialogs_.ask_yes_no(question, caption);
  // Either way the player can start a new game; No keeps the stones on the board to study.
  if (again) {
    stones_.clear_stones();
    controls_.set_status(status::idle);
  }
  restore_ready_button();
  return again;
}

void Moves::show_turn() {
  if (!is_colour(state_.my_colour)) return;
  controls_.set_status(std::string(status::you_play) + state_.my_colour +
                       std::string(state_.my_turn == 1 ? status::your_move : status::rival_move));
}

void Moves::rival_move(std::int32_t ix, std::int32_t iy) {
  if (!is_colour(state_.rival_colour)) return;
  state_.my_turn = 1;
  // A rival's client never sends a point its own board holds, and its board holds every stone
  // of the game, so an honest relayed move always finds the point free. One onto a taken point
  // passes the turn and places nothing: the board then never holds more than one stone per
  // intersection, 225 at most, whatever a rival sends.
  const int px = board::pixel_of(ix);
  const int py = board::pixel_of(iy);
  if (stones_.is_occupied(px, py)) {
    show_turn();
    return;
  }
  stones_.add_stone(state_.rival_colour, px, py);
  judge_rival(ix, iy);
}

void Moves::restore_ready_button() { controls_.set_ready_button(text::ready, true); }

}  // namespace client
