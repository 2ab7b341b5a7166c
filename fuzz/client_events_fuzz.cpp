// The client's game logic over a sequence of server deliveries, board clicks, presses of the
// ready button and box answers, with every seam faked. A delivery may also arrive while the next
// box is open, as the box's event loop allows. After every step the turn flags hold 0 or 1,
// the colours are none or a pair, and the stones lie on intersections, at most one set of them.
#include "fuzz_input.h"

#include <client/built_in.h>
#include <client/client_state.h>
#include <client/dispatch.h>
#include <client/moves.h>
#include <client/ready_flow.h>

#include <board/geometry.h>
#include <board/stone_set.h>
#include <protocol/gbk_literals.h>
#include <protocol/messages.h>
#include <protocol/text.h>
#include <test_support/client_fakes.h>

#include <cstdlib>
#include <string>

namespace {

namespace gbk = protocol::gbk;

void require(bool condition) {
  if (!condition) std::abort();
}

struct Client {
  Client() { client::built_in::install_stone_templates(stones); }

  client::ClientState state;
  board::StoneSet stones;
  test_support::FakeConnection connection;
  test_support::FakeDialogs dialogs;
  test_support::FakeControls controls;
  test_support::FakeExit program;
  client::Moves moves{state, stones, connection, dialogs, controls};
  client::Dispatch dispatch{state, moves, stones, dialogs, controls, program};
  client::ReadyFlow ready{stones, controls, connection, dialogs};
};

bool on_intersection(int centre) {
  return centre % board::line_spacing == 0 && board::on_board(centre);
}

void check(const Client& c) {
  const client::ClientState& s = c.state;
  require(s.my_turn == 0 || s.my_turn == 1);
  require(s.rival_move_pending == 0);  // only ever set inside the handling of one move
  if (s.my_colour.empty()) {
    require(s.rival_colour.empty());
  } else {
    require((s.my_colour == gbk::white && s.rival_colour == gbk::black) ||
            (s.my_colour == gbk::black && s.rival_colour == gbk::white));
  }
  require(c.stones.stone_count() <= board::intersection_count);
  for (const board::Stone& stone : c.stones.stones()) {
    require(stone.tag == gbk::white || stone.tag == gbk::black);
    require(on_intersection(stone.left + board::stone_half) && on_intersection(stone.top + board::stone_half));
  }
}

std::string coordinate(fuzz::Input& in) {
  // Mostly pixels on or near the board, sometimes any text.
  return in.byte() % 4 == 0 ? in.text() : protocol::int_to_text(in.byte() * 4 - 100);
}

std::string message_from(fuzz::Input& in) {
  switch (in.byte() % 6) {
    case 0: return protocol::make_start(in.byte() % 2 == 0);
    case 1:
    case 2: {
      const std::string x = coordinate(in);
      return protocol::make_rival_move(x, coordinate(in));
    }
    case 3: return protocol::make_rival_left();
    case 4: return "ST:" + in.text();
    default: return in.text();  // raw bytes
  }
}

std::string delivery_from(fuzz::Input& in) {
  std::string delivery = message_from(in);
  for (int more = in.byte() % 4; more > 0; --more) delivery += message_from(in);
  return delivery;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  Client c;
  while (!in.done() && c.program.codes.empty()) {
    switch (in.byte() % 7) {
      case 0:
      case 1: c.dispatch.on_data_arrived(delivery_from(in)); break;
      case 2:
      case 3: {
        const std::int32_t x = in.byte() * 4 - 100;
        c.moves.board_click(x, in.byte() * 4 - 100);
        break;
      }
      case 4:
        c.controls.nickname = in.text();
        if (c.controls.ready_enabled) c.ready.press();
        break;
      case 5: c.dialogs.answers.push_back(in.byte() % 2 == 0); break;
      default: {
        const std::string delivery = delivery_from(in);
        c.dialogs.while_open = [&c, delivery] { c.dispatch.on_data_arrived(delivery); };
        break;
      }
    }
    check(c);
  }
  if (in.done() && c.program.codes.empty()) {
    c.dispatch.on_connection_broken();
    require(c.program.codes == std::vector<int>{0});
  }
  return 0;
}
