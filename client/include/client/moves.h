#pragma once
// Clicks on the board and both kinds of move: the local player's own (placed, sent, judged)
// and the rival's relayed one (placed, nothing else).
#include <client/client_state.h>
#include <client/seams.h>

#include <cstdint>
#include <string_view>

namespace board {
class StoneSet;
}

namespace client {

class Moves {
 public:
  Moves(ClientState& state, board::StoneSet& stones, Connection& connection, Dialogs& dialogs,
        Controls& controls);

  // Left-button release on the board view, in drawing-area pixels.
  void board_click(std::int32_t x, std::int32_t y);

  // Which move this is follows from my_turn and rival_move_pending alone.
  void place_stone(std::int32_t x, std::int32_t y);
  // Shows whose move it is on the status line, once a colour is known.
  void show_turn();

 private:
  void own_move(std::int32_t x, std::int32_t y, std::int32_t ix, std::int32_t iy);
  void rival_move(std::int32_t ix, std::int32_t iy);
  void judge(std::int32_t ix, std::int32_t iy);
  void judge_rival(std::int32_t ix, std::int32_t iy);
  // Asks whether to play again; Yes clears the board. The ready button is enabled either way.
  bool end_of_game(std::string_view question, std::string_view caption);
  void restore_ready_button();

  ClientState& state_;
  board::StoneSet& stones_;
  Connection& connection_;
  Dialogs& dialogs_;
  Controls& controls_;
};

}  // namespace client
