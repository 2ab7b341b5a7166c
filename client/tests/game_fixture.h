#pragma once
// The client's game logic on a real stone set, with every seam faked.
#include <client/built_in.h>
#include <client/client_state.h>
#include <client/dispatch.h>
#include <client/moves.h>

#include <board/stone_set.h>
#include <protocol/gbk_literals.h>
#include <test_support/client_fakes.h>

#include <gtest/gtest.h>

#include <string>

namespace client::testing {

namespace gbk = protocol::gbk;

class GameFixture : public ::testing::Test {
 protected:
  GameFixture() { built_in::install_stone_templates(stones); }

  void start_as(std::string_view colour) {
    state.my_colour = colour;
    state.rival_colour = colour == gbk::white ? gbk::black : gbk::white;
    state.my_turn = colour == gbk::white ? 1 : 0;
    state.rival_move_pending = 0;
  }

  void deliver(std::string_view bytes) { dispatch.on_data_arrived(bytes); }

  std::string tag_at(int x, int y) const { return stones.tag_at(x, y); }

  ClientState state;
  board::StoneSet stones;
  test_support::FakeConnection connection;
  test_support::FakeDialogs dialogs;
  test_support::FakeControls controls;
  test_support::FakeExit program;
  Moves moves{state, stones, connection, dialogs, controls};
  Dispatch dispatch{state, moves, stones, dialogs, controls, program};
};

inline std::string str(std::string_view text) { return std::string(text); }

}  // namespace client::testing
