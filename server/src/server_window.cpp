#include <server/server_window.h>

#include <server/connection_table_model.h>

#include <protocol/qt_text.h>
#include <protocol/tcp_server.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace server {

using protocol::from_gbk;
using protocol::to_gbk;

namespace {

// The window's fixed texts, in GBK.
constexpr std::string_view window_title = "\xCE\xE5\xD7\xD3\xC6\xE5 \xB7\xFE\xCE\xF1\xC6\xF7";  // 五子棋 服务器
constexpr std::string_view port_caption = "\xB6\xCB\xBF\xDA\xBA\xC5\xA3\xBA";                    // 端口号：
constexpr std::string_view change_caption = "\xD0\xDE\xB8\xC4";                                  // 修改


}  // namespace

ServerWindow::ServerWindow(LogSink& log, std::int32_t port, QWidget* parent)
    : QWidget(parent), logic_(table_, *this, log, *this) {
  setWindowTitle(from_gbk(window_title));
  move(50, 50);
  resize(500, 600);
  tcp_server_ = new protocol::TcpServer(port, this);
  tcp_server_->setObjectName(QStringLiteral("服务器1"));
  create_controls();
  connect_events();
  show_online_count(logic_.online_count_text());
}

ServerWindow::~ServerWindow() = default;

void ServerWindow::create_controls() {
  port_label_ = new QLabel(from_gbk(port_caption), this);
  port_label_->setObjectName(QStringLiteral("标签_端口号"));
  port_label_->setGeometry(5, 5, 64, 32);

  port_box_ = new QLineEdit(QString::number(tcp_server_->port()), this);
  port_box_->setObjectName(QStringLiteral("编辑框_端口"));
  port_box_->setGeometry(69, 5, 80, 32);

  change_button_ = new QPushButton(from_gbk(change_caption), this);
  change_button_->setObjectName(QStringLiteral("按钮_修改"));
  change_button_->setGeometry(157, 5, 56, 32);

  online_label_ = new QLabel(this);
  online_label_->setObjectName(QStringLiteral("标签_在线人数"));
  online_label_->setGeometry(344, 8, 144, 24);

  model_ = new ConnectionTableModel(table_, this);
  list_ = new QTreeView(this);
  list_->setObjectName(QStringLiteral("超级列表框1"));
  list_->setGeometry(2, 42, 495, 525);
  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionsMovable(false);
  for (int column = 0; column < column_count; ++column) {
    list_->header()->resizeSection(column, ConnectionTableModel::column_widths[column]);
  }
}

void ServerWindow::connect_events() {
  connect(tcp_server_, &protocol::TcpServer::on_client_entered, this,
          [this] { logic_.client_entered(tcp_server_->current_client()); });
  connect(tcp_server_, &protocol::TcpServer::on_data_arrived, this, [this] {
    logic_.data_arrived(tcp_server_->current_client(), tcp_server_->received_data());
  });
  connect(tcp_server_, &protocol::TcpServer::on_client_left, this,
          [this] { logic_.client_left(tcp_server_->current_client()); });
  connect(change_button_, &QPushButton::clicked, this, &ServerWindow::apply_port);
}

void ServerWindow::apply_port() { logic_.change_port(to_gbk(port_box_->text())); }

void ServerWindow::send(std::string_view client_id, std::string_view text) {
  tcp_server_->send(client_id, text);
}

void ServerWindow::set_port(std::int32_t port) { tcp_server_->set_port(port); }

void ServerWindow::show_online_count(std::string_view text) { online_label_->setText(from_gbk(text)); }

}  // namespace server
