#pragma once
// 按钮_准备: the nickname goes to the server with "NC" and the controls are locked.
#include <client/seams.h>

#include <string>
#include <string_view>

namespace board {
class StoneSet;
}

namespace client {

// The GBK text without leading and trailing ASCII spaces and ideographic spaces (A1 A1);
// tabs, line breaks and everything else stay.
std::string trim_spaces(std::string_view text);

class ReadyFlow {
 public:
  ReadyFlow(board::StoneSet& stones, Controls& controls, Connection& connection, Dialogs& dialogs);

  void press();

 private:
  board::StoneSet& stones_;
  Controls& controls_;
  Connection& connection_;
  Dialogs& dialogs_;
};

}  // namespace client
