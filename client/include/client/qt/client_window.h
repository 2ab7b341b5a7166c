#pragma once
// The client window: the board view, the own-stone picture, the nickname box and the ready
// button, wired to the game logic and to 客户1.
#include <client/client_state.h>
#include <client/dispatch.h>
#include <client/moves.h>
#include <client/qt/qt_seams.h>
#include <client/ready_flow.h>
#include <client/seams.h>
#include <client/single_boxes.h>

#include <QWidget>

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace protocol {
class TcpClient;
}

namespace client {

class BoardView;

class ClientWindow : public QWidget, public Controls {
  Q_OBJECT

 public:
  ClientWindow(Dialogs& dialogs, ProgramExit& program, QWidget* parent = nullptr);
  ~ClientWindow() override;

  // The start-up sequence with the files in `run_dir`; true when connected.
  bool start(const std::filesystem::path& run_dir);

  BoardView& board_view() { return *board_view_; }
  const ClientState& state() const { return state_; }

  void set_ready_button(std::string_view caption, bool enabled) override;
  void show_own_stone(std::string_view colour) override;
  std::string nickname_text() const override;
  void set_nickname_enabled(bool enabled) override;
  void focus_nickname() override;
  std::string caption() const override;
  void set_caption(std::string_view caption) override;
  void set_status(std::string_view status) override;
  void show_winning_five(const std::vector<BoardPoint>& centres) override;

 private:
  void build_controls();
  void wire();
  void take_delivery();

  SingleBoxes dialogs_;
  ProgramExit& program_;
  BoardView* board_view_;
  QLabel* own_stone_;
  QLabel* nickname_label_;
  QLineEdit* nickname_box_;
  QLabel* status_;
  QPushButton* ready_button_;
  protocol::TcpClient* client1_;
  TcpConnection connection_;
  ClientState state_;
  Moves moves_;
  Dispatch dispatch_;
  ReadyFlow ready_flow_;
};

}  // namespace client
