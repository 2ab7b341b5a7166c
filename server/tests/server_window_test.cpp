// The window in-process on the offscreen platform, with a real 服务器1 on a free loopback port.
#include <server/connection_table_model.h>
#include <server/server_window.h>

#include <protocol/gbk_codec.h>

#include <test_support/event_loop.h>
#include <test_support/free_port.h>
#include <test_support/raw_socket.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

#include "rules_recorder.h"

namespace {

using test_support::RawSocket;
using test_support::wait_until;

QString utf8(std::string_view gbk) { return QString::fromStdString(protocol::gbk_to_utf8(gbk)); }

void ensure_widgets() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "server_window_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

const std::string port_changed = "\xB8\xC4\xB1\xE4\xB6\xCB\xBF\xDA\xA3\xBA";  // 改变端口：
const std::string online_count = "\xB5\xB1\xC7\xB0\xD4\xDA\xCF\xDF\xC8\xCB\xCA\xFD\xA3\xBA";  // 当前在线人数：

class ServerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_widgets();
    port = test_support::free_port();
    window = std::make_unique<server::ServerWindow>(log, port);
  }

  template <typename T>
  T* control(const char* utf8_name) const {
    return window->findChild<T*>(QString::fromUtf8(utf8_name));
  }

  bool logged(const std::string& text) const {
    for (const auto& e : log.events) {
      if (e.kind == server_test::Event::log && e.a == text) return true;
    }
    return false;
  }

  server_test::Recorder log;
  std::uint16_t port = 0;
  std::unique_ptr<server::ServerWindow> window;
};

TEST_F(ServerWindowTest, ControlsCarryTheirNamesTextsAndPlaces) {
  EXPECT_EQ(window->windowTitle(), utf8("\xCE\xE5\xD7\xD3\xC6\xE5 \xB7\xFE\xCE\xF1\xC6\xF7"));  // 五子棋 服务器
  EXPECT_EQ(window->pos(), QPoint(50, 50));
  EXPECT_EQ(window->size(), QSize(500, 600));

  const struct {
    const char* name;
    QRect place;
  } places[] = {
      {"标签_端口号", {5, 5, 64, 32}},   {"编辑框_端口", {69, 5, 80, 32}}, {"按钮_修改", {157, 5, 56, 32}},
      {"标签_在线人数", {344, 8, 144, 24}}, {"超级列表框1", {2, 42, 495, 525}},
  };
  for (const auto& p : places) {
    const QWidget* widget = control<QWidget>(p.name);
    ASSERT_NE(widget, nullptr) << p.name;
    EXPECT_EQ(widget->geometry(), p.place) << p.name;
  }
  EXPECT_EQ(control<QLabel>("标签_端口号")->text(), utf8("\xB6\xCB\xBF\xDA\xBA\xC5\xA3\xBA"));  // 端口号：
  EXPECT_EQ(control<QPushButton>("按钮_修改")->text(), utf8("\xD0\xDE\xB8\xC4"));            // 修改
  EXPECT_EQ(control<QLabel>("标签_在线人数")->text(), utf8(online_count + "0 \xC8\xCB"));    // …0 人
  EXPECT_NE(window->findChild<QObject*>(QStringLiteral("服务器1")), nullptr);

  const QTreeView* list = control<QTreeView>("超级列表框1");
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(list->header()->sectionSize(column), server::ConnectionTableModel::column_widths[column]);
  }
  EXPECT_EQ(list->model()->headerData(3, Qt::Horizontal).toString(), utf8("\xB6\xD4\xCA\xD6IP"));  // 对手IP
  EXPECT_TRUE(log.events.empty()) << "start-up writes no log entry";
}

TEST_F(ServerWindowTest, StartsWithItsPortInTheBox) {
  EXPECT_EQ(control<QLineEdit>("编辑框_端口")->text(), QString::number(port));
  RawSocket peer;
  EXPECT_TRUE(peer.connect(port));
}

TEST_F(ServerWindowTest, ConnectedClientsAppearAsRowsAndInTheCount) {
  RawSocket first, second;
  ASSERT_TRUE(first.connect(port));
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 1; }));
  ASSERT_TRUE(second.connect(port));
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 2; }));
  const QAbstractItemModel* model = control<QTreeView>("超级列表框1")->model();
  EXPECT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->data(model->index(1, 0)).toString(),
            QStringLiteral("127.0.0.1:%1").arg(second.local_port()));
  EXPECT_EQ(control<QLabel>("标签_在线人数")->text(), utf8(online_count + "2 \xC8\xCB"));

  first.close();
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 1; }));
  EXPECT_EQ(control<QLabel>("标签_在线人数")->text(), utf8(online_count + "1 \xC8\xCB"));
}

TEST_F(ServerWindowTest, ChangeButtonMovesTheListenerAndLogsTheBoxText) {
  RawSocket old_client;
  ASSERT_TRUE(old_client.connect(port));
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 1; }));

  const std::uint16_t new_port = test_support::free_port();
  control<QLineEdit>("编辑框_端口")->setText(QString::number(new_port) + "x");
  control<QPushButton>("按钮_修改")->click();
  EXPECT_TRUE(logged(port_changed + std::to_string(new_port) + "x"));

  RawSocket refused, fresh;
  EXPECT_FALSE(refused.connect(port));
  ASSERT_TRUE(fresh.connect(new_port));
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 2; }));

  // The client of the old port is still served.
  ASSERT_TRUE(old_client.send_all("JS:x:y"));
  EXPECT_TRUE(wait_until([&] { return logged("\xCA\xD5\xB5\xBD\xB5\xC4\xCA\xFD\xBE\xDD\xA3\xBAJS:x:y"); }));
}

TEST_F(ServerWindowTest, ClosingTheWindowClosesEveryConnection) {
  RawSocket a, b;
  ASSERT_TRUE(a.connect(port));
  ASSERT_TRUE(b.connect(port));
  ASSERT_TRUE(wait_until([&] { return window->table().row_count() == 2; }));
  window.reset();
  EXPECT_TRUE(a.wait_closed());
  EXPECT_TRUE(b.wait_closed());
}

TEST(MissingLibraryBox, ShowsTheMessageAndEndsTheLoopWithAFailure) {
  ensure_widgets();
  const std::string message = "\xD5\xD2\xB2\xBB\xB5\xBD libChronicle.so Chronicle";  // 找不到 …
  QString shown;
  QTimer::singleShot(0, [&] { server::show_missing_library_box(message); });
  // Answers the box once it is open, as the user would.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  closer.start(10);
  QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });  // bounded
  EXPECT_EQ(QApplication::exec(), EXIT_FAILURE);
  EXPECT_EQ(shown, utf8(message));
}

}  // namespace
