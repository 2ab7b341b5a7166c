#pragma once
// 动画框1: a sunken frame whose drawing area shows the background layer with the stones above it.
#include <client/board_layer.h>

#include <board/stone_set.h>

#include <QColor>
#include <QFrame>
#include <QImage>

#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace client {

class BoardView : public QFrame, public BoardLayer {
  Q_OBJECT

 public:
  // How the background picture covers the drawing area.
  enum PicDrawMode { own_size = 0, stretched = 1, centred = 2, tiled = 3 };

  explicit BoardView(QWidget* parent = nullptr);

  board::StoneSet& stones() { return stones_; }
  const QImage& layer() const { return layer_; }  // the drawing area's size

  // Each rebuilds the layer from scratch, discarding every drawing on it.
  void set_back_color(const QColor& colour);
  void set_pic_draw_mode(PicDrawMode mode);

  void set_background_picture(std::span<const std::uint8_t> bytes) override;
  void set_pen_width(std::int32_t width) override;
  void set_brush_style(std::int32_t style) override;
  void set_brush_color(std::int32_t rgb) override;
  void draw_line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
  void draw_rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void draw_ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void flush() override;

  // Rings drawn round these stone centres until the stones are cleared.
  void show_winning_five(std::vector<QPoint> centres);

 signals:
  // Release of the left button, in drawing-area pixels.
  void left_released(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void rebuild_layer();
  void paint_picture(QPainter& painter);
  void paint_marks(QPainter& painter) const;
  void repaint_layer_area(const QRect& area);
  const QImage& image_of(const std::shared_ptr<const board::Picture>& picture);

  board::StoneSet stones_;
  QImage layer_;
  QImage picture_;  // null when there is none
  QColor back_color_;
  PicDrawMode pic_draw_mode_ = stretched;
  std::vector<QPoint> winning_five_;
  bool swallow_release_ = false;  // the release that ends a double-click
  std::int32_t pen_width_ = 0;
  QColor pen_color_{0, 0, 0};
  std::int32_t brush_style_ = brush_solid;
  QColor brush_color_{255, 255, 255};
  // Stone pictures are shared among stones of a colour; keeping the pointer keeps its key unique.
  std::map<const board::Picture*, std::pair<std::shared_ptr<const board::Picture>, QImage>> stone_images_;
};

}  // namespace client
