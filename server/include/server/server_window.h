#pragma once
// "五子棋 服务器": the port box and its button, the online count and 超级列表框1 over the
// connection table. The window owns 服务器1 and hands its events to the server's rules.
#include <server/connection_table.h>
#include <server/seams.h>
#include <server/server_logic.h>

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace protocol {
class TcpServer;
}

namespace server {

class ConnectionTableModel;

class ServerWindow : public QWidget, private Transport, private CountDisplay {
  Q_OBJECT

 public:
  // Tests pass a port of their own; the program starts on 19730.
  explicit ServerWindow(LogSink& log, std::int32_t port = 19730, QWidget* parent = nullptr);
  ~ServerWindow() override;

  const ConnectionTable& table() const { return table_; }

 private:
  void create_controls();
  void connect_events();
  void apply_port();

  void send(std::string_view client_id, std::string_view text) override;
  void set_port(std::int32_t port) override;
  void show_online_count(std::string_view text) override;

  ConnectionTable table_;
  ServerLogic logic_;
  protocol::TcpServer* tcp_server_ = nullptr;
  ConnectionTableModel* model_ = nullptr;
  QLabel* port_label_ = nullptr;
  QLineEdit* port_box_ = nullptr;
  QPushButton* change_button_ = nullptr;
  QLabel* online_label_ = nullptr;
  QTreeView* list_ = nullptr;
};

// Shows the missing-log-library message in a modal box and, once it is closed, ends the event
// loop with a failure status.
void show_missing_library_box(std::string_view gbk_message);
// The box where there is a display; headless (the offscreen platform), the message on standard
// error, and the same failure status.
void report_missing_library(std::string_view gbk_message);

}  // namespace server
