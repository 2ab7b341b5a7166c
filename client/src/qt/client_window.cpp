#include <client/qt/client_window.h>

#include <client/built_in.h>
#include <client/qt/board_view.h>
#include <client/startup.h>
#include <client/texts.h>

#include <protocol/gbk_literals.h>
#include <protocol/qt_text.h>
#include <protocol/tcp_client.h>

#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace client {

using protocol::from_gbk;
using protocol::to_gbk;

namespace {


QPixmap pixmap_of(const board::Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const QImage image(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                     QImage::Format_RGBA8888);
  return QPixmap::fromImage(image.copy());
}

// Warm paper beside the wooden board; the message boxes have no owner and keep the stock look.
constexpr char side_panel_style[] = R"(
QLabel { color: #4a3b2a; font-size: 14px; }
QLineEdit {
  background: #fffdf8; color: #2e2418; font-size: 14px;
  border: 1px solid #b9a585; border-radius: 4px; padding: 1px 6px;
}
QLineEdit:focus { border: 1px solid #8a6a35; }
QLineEdit:disabled { background: #ece4d6; color: #6f6453; }
QPushButton {
  color: #3b2a12; font-size: 15px; font-weight: bold;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f1d7a4, stop:1 #d9ae64);
  border: 1px solid #9b783e; border-radius: 6px;
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6e0b4, stop:1 #e1b872); }
QPushButton:pressed { background: #cfa257; }
QPushButton:disabled { color: #8a7d68; background: #e6dccb; border: 1px solid #c2b398; }
)";

template <typename Widget>
Widget* placed(Widget* widget, std::string_view name, const QRect& geometry) {
  widget->setObjectName(from_gbk(name));
  widget->setGeometry(geometry);
  return widget;
}

}  // namespace

ClientWindow::ClientWindow(Dialogs& dialogs, ProgramExit& program, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      program_(program),
      board_view_(new BoardView(this)),
      own_stone_(new QLabel(this)),
      nickname_label_(new QLabel(this)),
      nickname_box_(new QLineEdit(this)),
      status_(new QLabel(this)),
      ready_button_(new QPushButton(this)),
      client1_(new protocol::TcpClient(this)),
      connection_(*client1_),
      moves_(state_, board_view_->stones(), connection_, dialogs_, *this),
      dispatch_(state_, moves_, board_view_->stones(), dialogs_, *this, program_),
      ready_flow_(board_view_->stones(), *this, connection_, dialogs_) {
  built_in::install_stone_templates(board_view_->stones());
  build_controls();
  wire();
}

ClientWindow::~ClientWindow() = default;

void ClientWindow::build_controls() {
  setWindowTitle(from_gbk(std::string(text::game_title) + "  " + std::string(text::credit)));
  setWindowIcon(QIcon(pixmap_of(built_in::stone_picture(protocol::gbk::black))));
  setFixedSize(963, 830);
  move(50, 50);
  QPalette paper = palette();
  paper.setColor(QPalette::Window, QColor(0xf3, 0xec, 0xdf));
  setPalette(paper);
  setAutoFillBackground(true);
  setStyleSheet(side_panel_style);

  placed(board_view_, name::board_view, QRect(1, 1, 800, 800));
  placed(own_stone_, name::own_stone, QRect(860, 104, 42, 42));
  placed(nickname_label_, name::nickname_label, QRect(816, 157, 80, 40));
  nickname_label_->setText(from_gbk(text::nickname_label));
  nickname_label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  placed(nickname_box_, name::nickname_box, QRect(819, 198, 133, 26));
  // Between the nickname box and the ready button; long phrases wrap.
  placed(status_, name::status_label, QRect(816, 250, 140, 120));
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status_->setWordWrap(true);
  placed(ready_button_, name::ready_button, QRect(824, 616, 72, 32));
  ready_button_->setText(from_gbk(text::ready));
  client1_->setObjectName(from_gbk(name::connection));
}

void ClientWindow::wire() {
  connect(ready_button_, &QPushButton::clicked, this, [this] { ready_flow_.press(); });
  connect(board_view_, &BoardView::left_released, this, [this](int x, int y) { moves_.board_click(x, y); });
  connect(client1_, &protocol::TcpClient::on_data_arrived, this, &ClientWindow::take_delivery);
  connect(client1_, &protocol::TcpClient::on_connection_broken, this,
          [this] { dispatch_.on_connection_broken(); });
}

void ClientWindow::take_delivery() {
  // Copied before anything else: a box opened while handling it lets the next delivery in.
  const std::string delivery = client1_->received_data();
  dispatch_.on_data_arrived(delivery);
}

bool ClientWindow::start(const std::filesystem::path& run_dir) {
  return run_startup(run_dir, StartupSeams{*board_view_, *this, connection_, dialogs_, program_});
}

void ClientWindow::set_ready_button(std::string_view caption, bool enabled) {
  ready_button_->setText(from_gbk(caption));
  ready_button_->setEnabled(enabled);
}

void ClientWindow::set_status(std::string_view status) { status_->setText(from_gbk(status)); }

void ClientWindow::show_winning_five(const std::vector<BoardPoint>& centres) {
  std::vector<QPoint> points;
  for (const BoardPoint& centre : centres) points.emplace_back(centre.x, centre.y);
  board_view_->show_winning_five(std::move(points));
}

void ClientWindow::show_own_stone(std::string_view colour) {
  own_stone_->setPixmap(pixmap_of(built_in::stone_picture(colour)));
}

std::string ClientWindow::nickname_text() const { return to_gbk(nickname_box_->text()); }

void ClientWindow::set_nickname_enabled(bool enabled) { nickname_box_->setEnabled(enabled); }

void ClientWindow::focus_nickname() { nickname_box_->setFocus(); }

std::string ClientWindow::caption() const { return to_gbk(windowTitle()); }

void ClientWindow::set_caption(std::string_view caption) { setWindowTitle(from_gbk(caption)); }

}  // namespace client
