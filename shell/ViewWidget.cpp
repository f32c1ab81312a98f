#include "shell/ViewWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/Canvas.h"

ViewWidget::ViewWidget(QWidget* parent, QImage& image, Canvas& canvas)
    : QWidget(parent), canvas_(canvas) {
  Q_ASSERT(&canvas.Image() == &image);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
}

QRect ViewWidget::ShowChanged(bool now) {
  const PixelRect r = canvas_.TakeChangedRect();
  const QRect rect(r.left, r.top, r.Width(), r.Height());
  if (!rect.isEmpty()) {
    if (now)
      repaint(rect);
    else
      update(rect);
  }
  return rect;
}

void ViewWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.drawImage(e->rect(), canvas_.Image(), e->rect());
}

void ViewWidget::mousePressEvent(QMouseEvent* e) {
  if (onMouse) onMouse(MouseEventKind::Down, e->position().toPoint().x(), e->position().toPoint().y(), e->button());
}
void ViewWidget::mouseMoveEvent(QMouseEvent* e) {
  if (onMouse) onMouse(MouseEventKind::Move, e->position().toPoint().x(), e->position().toPoint().y(), Qt::NoButton);
}
void ViewWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (onMouse) onMouse(MouseEventKind::Up, e->position().toPoint().x(), e->position().toPoint().y(), e->button());
}
