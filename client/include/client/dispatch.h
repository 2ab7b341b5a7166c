#pragma once
// The client's reaction to its server connection: "ST", "DSXQ", "DSLK" and a broken connection.
#include <client/client_state.h>
#include <client/seams.h>

#include <string_view>

namespace board {
class StoneSet;
}

namespace client {

class Moves;

class Dispatch {
 public:
  Dispatch(ClientState& state, Moves& moves, board::StoneSet& stones, Dialogs& dialogs,
           Controls& controls, ProgramExit& program);

  // One delivery of received bytes, already copied out of the connection by the caller: boxes
  // opened here let further deliveries be handled before this call returns.
  void on_data_arrived(std::string_view delivery);
  void on_connection_broken();

 private:
  void handle_message(std::string_view message);

  ClientState& state_;
  Moves& moves_;
  board::StoneSet& stones_;
  Dialogs& dialogs_;
  Controls& controls_;
  ProgramExit& program_;
};

}  // namespace client
