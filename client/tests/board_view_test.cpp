#include "qt_application.h"

#include <client/built_in.h>
#include <client/qt/board_view.h>
#include <client/startup.h>

#include <protocol/gbk_literals.h>

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace client {
namespace {

std::vector<std::uint8_t> png_of(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

// Left half red, right half blue.
QImage two_halves(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::blue);
  QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
  return image;
}

bool is_mark_red(QRgb pixel) { return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

void send_mouse(QWidget& widget, QEvent::Type type, const QPoint& at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

bool is_black(QRgb pixel) { return qRed(pixel) < 60 && qGreen(pixel) < 60 && qBlue(pixel) < 60; }

class BoardViewTest : public testing::WithApplication, public ::testing::Test {
 protected:
  BoardViewTest() { built_in::install_stone_templates(view.stones()); }
  BoardView view;
};

TEST_F(BoardViewTest, TheDrawingAreaIsTheInsideOfATwoPixelSunkenEdge) {
  EXPECT_EQ(view.size(), QSize(800, 800));
  EXPECT_EQ(view.frameWidth(), 2);
  EXPECT_EQ(view.frameShadow(), QFrame::Sunken);
  EXPECT_EQ(view.contentsRect(), QRect(2, 2, 796, 796));
  EXPECT_EQ(view.layer().size(), QSize(796, 796));
}

TEST_F(BoardViewTest, WithoutAUsablePictureTheLayerShowsTheButtonFaceColour) {
  const QRgb button_face = view.palette().color(QPalette::Button).rgb();
  const std::vector<std::uint8_t> broken{0x89, 'P', 'N', 'G', 1, 2, 3};
  for (const auto& bytes : {std::vector<std::uint8_t>{}, broken}) {
    view.set_background_picture(bytes);
    EXPECT_EQ(view.layer().pixel(0, 0), button_face);
    EXPECT_EQ(view.layer().pixel(795, 795), button_face);
    EXPECT_EQ(view.layer().pixel(400, 300), button_face);
  }
}

TEST_F(BoardViewTest, APictureOfAnySizeIsStretchedOverTheWholeDrawingArea) {
  for (const QSize size : {QSize(100, 50), QSize(400, 400), QSize(1000, 7)}) {
    SCOPED_TRACE(size.width());
    view.set_background_picture(png_of(two_halves(size.width(), size.height())));
    EXPECT_EQ(view.layer().pixel(5, 5), QColor(Qt::red).rgb());
    EXPECT_EQ(view.layer().pixel(5, 790), QColor(Qt::red).rgb());
    EXPECT_EQ(view.layer().pixel(790, 5), QColor(Qt::blue).rgb());
    EXPECT_EQ(view.layer().pixel(790, 790), QColor(Qt::blue).rgb());
  }
}

TEST_F(BoardViewTest, TheOtherDrawModesPlaceThePictureAtItsOwnSize) {
  const QRgb red = QColor(Qt::red).rgb(), blue = QColor(Qt::blue).rgb(), green = QColor(Qt::green).rgb();
  struct Case {
    BoardView::PicDrawMode mode;
    QPoint red_at, blue_at, back_at;
  };
  const Case cases[] = {
      {BoardView::own_size, {10, 10}, {90, 40}, {150, 10}},
      {BoardView::centred, {360, 380}, {440, 410}, {10, 10}},
      {BoardView::tiled, {110, 60}, {790, 790}, {-1, -1}},
  };
  view.set_background_picture(png_of(two_halves(100, 50)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    view.set_back_color(Qt::green);
    view.set_pic_draw_mode(c.mode);
    EXPECT_EQ(view.layer().pixel(c.red_at), red);
    EXPECT_EQ(view.layer().pixel(c.blue_at), blue);
    if (c.back_at.x() >= 0) {
      EXPECT_EQ(view.layer().pixel(c.back_at), green);
    }
  }
}

TEST_F(BoardViewTest, SettingThePictureAgainDiscardsTheDrawings) {
  view.set_background_picture(png_of(two_halves(10, 10)));
  view.draw_line(50, 100, 750, 100);
  ASSERT_TRUE(is_black(view.layer().pixel(300, 100)));
  view.set_background_picture(png_of(two_halves(10, 10)));
  EXPECT_EQ(view.layer().pixel(300, 100), QColor(Qt::red).rgb());
}

TEST_F(BoardViewTest, TheMarkingsLieOnTheLinesTheyWereDrawnAt) {
  view.set_background_picture(built_in::default_background());
  draw_board_markings(view);
  const QImage& layer = view.layer();

  for (int v = 50; v <= 750; v += 50) {
    EXPECT_TRUE(is_black(layer.pixel(v, 175))) << "column line " << v;
    EXPECT_TRUE(is_black(layer.pixel(175, v))) << "row line " << v;
  }
  for (const QPoint frame : {QPoint(40, 300), QPoint(760, 300), QPoint(300, 40), QPoint(300, 760),
                             QPoint(39, 300), QPoint(41, 300)}) {
    EXPECT_TRUE(is_black(layer.pixel(frame))) << frame.x() << "," << frame.y();
  }
  for (const QPoint mark : {QPoint(400, 400), QPoint(200, 200), QPoint(600, 200), QPoint(200, 600),
                            QPoint(600, 600)}) {
    EXPECT_TRUE(is_black(layer.pixel(mark + QPoint(2, 2)))) << mark.x() << "," << mark.y();
    EXPECT_FALSE(is_black(layer.pixel(mark + QPoint(8, 8))));
  }
  for (const QPoint open : {QPoint(45, 300), QPoint(75, 75), QPoint(20, 20), QPoint(780, 780),
                            QPoint(204, 225)}) {
    EXPECT_FALSE(is_black(layer.pixel(open))) << open.x() << "," << open.y();
  }
}

TEST_F(BoardViewTest, StonesLieAboveTheLayerAndLeaveItUntouched) {
  view.set_background_picture(built_in::default_background());
  draw_board_markings(view);
  const QImage before = view.layer().copy();
  const QPoint origin = view.contentsRect().topLeft();

  view.stones().add_stone(protocol::gbk::black, 150, 250);
  const QImage with_stone = view.grab().toImage();
  EXPECT_TRUE(is_black(with_stone.pixel(origin + QPoint(157, 257))));

  view.stones().clear_stones();
  const QImage cleared = view.grab().toImage();
  EXPECT_EQ(view.layer(), before);
  EXPECT_EQ(cleared.pixel(origin + QPoint(157, 257)), before.pixel(157, 257));
}

TEST_F(BoardViewTest, ALeftButtonReleaseReportsDrawingAreaCoordinates) {
  QSignalSpy released(&view, &BoardView::left_released);
  const QPoint origin = view.contentsRect().topLeft();

  QTest::mouseRelease(&view, Qt::RightButton, {}, origin + QPoint(163, 241));
  EXPECT_EQ(released.count(), 0);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, origin + QPoint(163, 241));
  QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(1, 0));  // on the edge

  ASSERT_EQ(released.count(), 2);
  EXPECT_EQ(released[0], (QList<QVariant>{163, 241}));
  EXPECT_EQ(released[1], (QList<QVariant>{-1, -2}));
}

TEST_F(BoardViewTest, TheLatestStoneCarriesAMarkThatMovesWithEachStoneAndGoesWithTheBoard) {
  view.set_background_picture(built_in::default_background());
  const QPoint origin = view.contentsRect().topLeft();
  const QPoint black_centre = origin + QPoint(150, 250);
  const QPoint white_centre = origin + QPoint(300, 300);

  view.stones().add_stone(protocol::gbk::black, 150, 250);
  QImage shot = view.grab().toImage();
  EXPECT_TRUE(is_mark_red(shot.pixel(black_centre)));
  EXPECT_TRUE(is_black(shot.pixel(black_centre + QPoint(12, 0))));  // the mark is small

  view.stones().add_stone(protocol::gbk::white, 300, 300);
  shot = view.grab().toImage();
  EXPECT_TRUE(is_mark_red(shot.pixel(white_centre)));
  EXPECT_TRUE(is_black(shot.pixel(black_centre)));
  EXPECT_EQ(view.stones().stone_count(), 2);  // the mark is no stone

  view.stones().clear_stones();
  shot = view.grab().toImage();
  EXPECT_FALSE(is_mark_red(shot.pixel(white_centre)));
  EXPECT_FALSE(is_mark_red(shot.pixel(black_centre)));
}

TEST_F(BoardViewTest, TheWinningFiveIsRingedAboveItsStonesUntilTheBoardIsCleared) {
  view.set_background_picture(built_in::default_background());
  const QPoint origin = view.contentsRect().topLeft();
  std::vector<QPoint> five;
  for (int x = 100; x <= 300; x += 50) {
    view.stones().add_stone(protocol::gbk::white, x, 400);
    five.emplace_back(x, 400);
  }
  view.stones().add_stone(protocol::gbk::black, 100, 450);  // beside the line, not in it
  view.show_winning_five(five);

  QImage shot = view.grab().toImage();
  for (const QPoint& centre : five) {
    EXPECT_TRUE(is_mark_red(shot.pixel(origin + centre + QPoint(0, -19)))) << centre.x();
  }
  EXPECT_FALSE(is_mark_red(shot.pixel(origin + QPoint(100, 450 + 19))));
  EXPECT_EQ(view.stones().stone_count(), 6);

  view.stones().clear_stones();
  view.stones().add_stone(protocol::gbk::white, 100, 400);
  shot = view.grab().toImage();
  EXPECT_FALSE(is_mark_red(shot.pixel(origin + QPoint(100, 400 - 19))));
}

TEST_F(BoardViewTest, ADoubleClickIsOneClick) {
  QSignalSpy released(&view, &BoardView::left_released);
  const QPoint at = view.contentsRect().topLeft() + QPoint(163, 241);

  // The order in which a window system delivers a double-click.
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    send_mouse(view, type, at);
  }
  EXPECT_EQ(released.count(), 1);

  send_mouse(view, QEvent::MouseButtonPress, at);
  send_mouse(view, QEvent::MouseButtonRelease, at);
  EXPECT_EQ(released.count(), 2);  // the next single click counts again
}

}  // namespace
}  // namespace client
