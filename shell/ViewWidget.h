// ViewWidget: the drawing area V. It shows the view image that all drawing
// goes into and passes the mouse to the window's handlers in view pixels.
#pragma once

#include <QWidget>
#include <functional>

class Canvas;

class ViewWidget : public QWidget {
  Q_OBJECT
 public:
  // Shows `image`, which `canvas` draws on.
  ViewWidget(QWidget* parent, QImage& image, Canvas& canvas);

  enum class MouseEventKind { Down, Move, Up };
  std::function<void(MouseEventKind, int x, int y, Qt::MouseButton)> onMouse;

  // Repaints the part of the view that the canvas has drawn on since the last
  // call (nothing when it has drawn nothing): with the next paint, or at once
  // when `now`, for a long run that shows its progress. Returns that part.
  QRect ShowChanged(bool now = false);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Canvas& canvas_;
};
