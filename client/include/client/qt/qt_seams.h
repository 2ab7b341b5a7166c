#pragma once
// The seams of the game logic realised with Qt message boxes, the TcpClient and the process.
#include <client/seams.h>

class QWidget;

namespace protocol {
class TcpClient;
}

namespace client {

// Modal boxes with Chinese buttons, centred over their owner window once it is given.
class QtDialogs : public Dialogs {
 public:
  void set_owner(QWidget* owner) { owner_ = owner; }

  void inform(std::string_view text, std::string_view caption, BoxIcon icon) override;
  bool ask_yes_no(std::string_view text, std::string_view caption) override;

 private:
  QWidget* owner_ = nullptr;
};

class TcpConnection : public Connection {
 public:
  explicit TcpConnection(protocol::TcpClient& client) : client_(client) {}
  bool connect(std::string_view address, std::int32_t port) override;
  bool send(std::string_view text) override;

 private:
  protocol::TcpClient& client_;
};

// Ends the process on the spot: nothing is saved, and no handler runs after the box.
class ProcessExit : public ProgramExit {
 public:
  void end(int code) override;
};

}  // namespace client
