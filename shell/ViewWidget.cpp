#include "shell/ViewWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/Canvas.h"

ViewWidget::ViewWidget(QWidget* parent, QImage& image, Canvas& canvas)
    : QWidget(parent), image_(image), canvas_(canvas) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
}

void ViewWidget::paintEvent(QPaintEvent* e) {
  canvas_.Flush();
  QPainter p(this);
  p.drawImage(e->rect(), image_, e->rect());
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
