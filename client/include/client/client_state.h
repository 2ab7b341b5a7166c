#pragma once
// Which colour the local player has and whose turn it is; one instance for the process.
#include <cstdint>
#include <string>

namespace client {

struct ClientState {
  std::string my_colour;     // "白色" or "黑色" once a game has started; empty before
  std::string rival_colour;  // always the other colour
  std::int32_t my_turn = 0;  // 1 while the local player may place the next stone
  std::int32_t rival_move_pending = 0;  // 1 only while a relayed rival move is being applied
};

}  // namespace client
