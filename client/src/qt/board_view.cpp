#include <client/qt/board_view.h>

#include <board/picture.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <utility>

namespace client {

namespace {

constexpr int board_size = 800;
constexpr int edge_width = 2;
// Both marks are red: it reads on white and black stones alike and on the wood.
const QColor mark_colour(0xd2, 0x2f, 0x27);
constexpr int last_stone_dot = 5;   // radius of the dot on the latest stone
constexpr int five_ring = 19;       // radius of the ring round each stone of a winning five
constexpr int five_ring_width = 3;

QImage to_qimage(const board::Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  return QImage(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                QImage::Format_RGBA8888)
      .copy();
}

QColor from_rgb(std::int32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

BoardView::BoardView(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(edge_width);
  resize(board_size, board_size);
  back_color_ = palette().color(QPalette::Button);
  // The marks follow the stones: the previous latest stone loses its dot, so the whole area
  // is repainted; a cleared board loses the winning five.
  stones_.set_change_listener([this](const board::Area&) {
    if (stones_.stone_count() == 0) winning_five_.clear();
    update();
  });
  rebuild_layer();
}

void BoardView::set_back_color(const QColor& colour) {
  back_color_ = colour;
  rebuild_layer();
}

void BoardView::set_pic_draw_mode(PicDrawMode mode) {
  pic_draw_mode_ = mode;
  rebuild_layer();
}

void BoardView::set_background_picture(std::span<const std::uint8_t> bytes) {
  // Bytes that do not decode count as no picture.
  const std::optional<board::Picture> decoded = board::decode_png(bytes);
  picture_ = decoded ? to_qimage(*decoded) : QImage();
  rebuild_layer();
}

void BoardView::set_pen_width(std::int32_t width) { pen_width_ = width; }
void BoardView::set_brush_style(std::int32_t style) { brush_style_ = style; }
void BoardView::set_brush_color(std::int32_t rgb) { brush_color_ = from_rgb(rgb); }

void BoardView::rebuild_layer() {
  layer_ = QImage(contentsRect().size(), QImage::Format_RGB32);
  layer_.fill(back_color_);
  if (!picture_.isNull()) {
    QPainter painter(&layer_);
    paint_picture(painter);
  }
  update();
}

void BoardView::paint_picture(QPainter& painter) {
  const QRect area = layer_.rect();
  switch (pic_draw_mode_) {
    case own_size:
      painter.drawImage(QPoint(0, 0), picture_);
      break;
    case stretched:
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(area, picture_);
      break;
    case centred:
      painter.drawImage(area.center() - picture_.rect().center(), picture_);
      break;
    case tiled:
      painter.drawTiledPixmap(area, QPixmap::fromImage(picture_));
      break;
  }
}

void BoardView::draw_line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  {
    QPainter painter(&layer_);
    painter.setPen(QPen(pen_color_, pen_width_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLine(x1, y1, x2, y2);
  }
  const int reach = std::max(pen_width_, 1) + 1;
  repaint_layer_area(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized().adjusted(-reach, -reach, reach, reach));
}

void BoardView::draw_rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)).normalized();
  {
    QPainter painter(&layer_);
    painter.setPen(QPen(pen_color_, pen_width_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(brush_style_ == brush_hollow ? QBrush(Qt::NoBrush) : QBrush(brush_color_));
    painter.drawRect(box);
  }
  const int reach = std::max(pen_width_, 1) + 1;
  repaint_layer_area(box.adjusted(-reach, -reach, reach, reach));
}

void BoardView::draw_ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)).normalized();
  {
    QPainter painter(&layer_);
    // Small round marks look ragged without smoothing; lines and frames stay pixel-exact.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(pen_color_, pen_width_, Qt::SolidLine));
    painter.setBrush(brush_style_ == brush_hollow ? QBrush(Qt::NoBrush) : QBrush(brush_color_));
    painter.drawEllipse(box);
  }
  const int reach = std::max(pen_width_, 1) + 1;
  repaint_layer_area(box.adjusted(-reach, -reach, reach, reach));
}

void BoardView::flush() {
  // Paints the whole window now and handles whatever else is pending except the player's input,
  // which must wait until the caller is done.
  window()->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BoardView::show_winning_five(std::vector<QPoint> centres) {
  winning_five_ = std::move(centres);
  update();
}

void BoardView::paint_marks(QPainter& painter) const {
  const std::vector<board::Stone>& stones = stones_.stones();
  if (stones.empty()) return;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(mark_colour, five_ring_width));
  for (const QPoint& centre : winning_five_) painter.drawEllipse(centre, five_ring, five_ring);
  const QPoint latest(stones.back().left + board::stone_half, stones.back().top + board::stone_half);
  painter.setPen(Qt::NoPen);
  painter.setBrush(mark_colour);
  painter.drawEllipse(latest, last_stone_dot, last_stone_dot);
}

void BoardView::repaint_layer_area(const QRect& area) { update(area.translated(contentsRect().topLeft())); }

const QImage& BoardView::image_of(const std::shared_ptr<const board::Picture>& picture) {
  auto found = stone_images_.find(picture.get());
  if (found == stone_images_.end()) {
    found = stone_images_.emplace(picture.get(), std::make_pair(picture, to_qimage(*picture))).first;
  }
  return found->second.second;
}

void BoardView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.setClipRect(area);
  painter.translate(area.topLeft());
  painter.drawImage(QPoint(0, 0), layer_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // Placement order: a later stone lies above the earlier ones.
  for (const board::Stone& stone : stones_.stones()) {
    if (stone.picture) painter.drawImage(QPoint(stone.left, stone.top), image_of(stone.picture));
  }
  paint_marks(painter);
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mouseReleaseEvent(event);
    return;
  }
  if (std::exchange(swallow_release_, false)) return;
  const QPoint at = event->position().toPoint() - contentsRect().topLeft();
  emit left_released(at.x(), at.y());
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The first click of the pair has already been handled; its second release is not a click.
  if (event->button() == Qt::LeftButton) swallow_release_ = true;
  QFrame::mouseDoubleClickEvent(event);
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  if (layer_.size() != contentsRect().size()) rebuild_layer();
}

}  // namespace client
