#include "qt_application.h"

#include <client/qt/board_view.h>
#include <client/qt/client_window.h>
#include <client/texts.h>

#include <protocol/gbk_codec.h>
#include <test_support/client_fakes.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace client {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

QString ui(std::string_view gbk) { return QString::fromStdString(protocol::gbk_to_utf8(gbk)); }

// A client window started against a loopback listener in a temporary run directory.
class ClientWindowTest : public testing::WithApplication, public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/client-window-XXXXXX";
    run_dir_ = mkdtemp(pattern);
    std::ofstream(run_dir_ / "SConfig.ini", std::ios::binary)
        << "[SCG]\r\nIP=127.0.0.1\r\nDK=" << server.port() << "\r\n";
    window = std::make_unique<ClientWindow>(dialogs, program);
    window->show();
    ASSERT_TRUE(window->start(run_dir_));
    ASSERT_TRUE(server.accept(5s));
  }
  void TearDown() override {
    window.reset();
    fs::remove_all(run_dir_);
  }

  template <typename Widget>
  Widget* control(std::string_view name) {
    return window->findChild<Widget*>(ui(name));
  }

  fs::path run_dir_;
  test_support::LoopbackListener server;
  test_support::FakeDialogs dialogs;
  test_support::FakeExit program;
  std::unique_ptr<ClientWindow> window;
};

TEST_F(ClientWindowTest, TheControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(window->size(), QSize(963, 830));
  EXPECT_TRUE(window->windowTitle().startsWith(ui(text::game_title) + "  "));
  const std::pair<std::string_view, QRect> layout[] = {
      {name::board_view, QRect(1, 1, 800, 800)},     {name::own_stone, QRect(860, 104, 42, 42)},
      {name::nickname_label, QRect(816, 157, 80, 40)}, {name::nickname_box, QRect(819, 198, 133, 26)},
      {name::ready_button, QRect(824, 616, 72, 32)},
  };
  for (const auto& [name, geometry] : layout) {
    auto* widget = control<QWidget>(name);
    ASSERT_NE(widget, nullptr) << protocol::gbk_to_utf8(name);
    EXPECT_EQ(widget->geometry(), geometry) << protocol::gbk_to_utf8(name);
  }
  EXPECT_EQ(control<QLabel>(name::nickname_label)->text(), ui(text::nickname_label));
  EXPECT_EQ(control<QPushButton>(name::ready_button)->text(), ui(text::ready));
  EXPECT_TRUE(control<QLabel>(name::own_stone)->pixmap().isNull());
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ClientWindowTest, ReadySendsTheTrimmedNicknameOnlyWhenThereIsOne) {
  auto* button = control<QPushButton>(name::ready_button);
  auto* nickname = control<QLineEdit>(name::nickname_box);
  const QString title = window->windowTitle();

  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::enter_nickname);
  EXPECT_TRUE(button->isEnabled());
  EXPECT_TRUE(nickname->isEnabled());
  EXPECT_EQ(window->windowTitle(), title);

  const QString typed = QString::fromUtf8("  Tom\u3000");  // ends in an ideographic space
  nickname->setText(typed);
  QTest::mouseClick(button, Qt::LeftButton);

  // Exactly these bytes: the refused press sent nothing.
  EXPECT_EQ(server.read_bytes(10, 2s), "NC:Tom:OK");
  EXPECT_EQ(button->text(), ui(text::readied));
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(nickname->isEnabled());
  EXPECT_EQ(window->windowTitle(), title + ui(text::nickname_suffix) + typed);
}

TEST_F(ClientWindowTest, AStartFromTheServerShowsTheOwnStoneAndABoardClickGoesOut) {
  ASSERT_TRUE(server.write("ST:\xB0\xD7\xC9\xAB:\xD5\xE6"));  // ST:白色:真
  auto* own_stone = control<QLabel>(name::own_stone);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !own_stone->pixmap().isNull(); }, 5000));
  EXPECT_EQ(own_stone->pixmap().size(), QSize(42, 42));

  BoardView* board = control<BoardView>(name::board_view);
  QTest::mouseClick(board, Qt::LeftButton, {}, board->contentsRect().topLeft() + QPoint(163, 241));

  EXPECT_EQ(server.read_bytes(10, 5s), "XQ:163:241");
  EXPECT_EQ(board->stones().tag_at(150, 250), "\xB0\xD7\xC9\xAB");
  EXPECT_EQ(window->state().my_turn, 0);
}

}  // namespace
}  // namespace client
