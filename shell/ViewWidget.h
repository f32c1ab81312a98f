// ViewWidget: the drawing area V. It shows the view image that all drawing
// goes into and passes the mouse to the window's handlers in view pixels.
#pragma once

#include <QWidget>
#include <functional>

class Canvas;

class ViewWidget : public QWidget {
  Q_OBJECT
 public:
  ViewWidget(QWidget* parent, QImage& image, Canvas& canvas);

  enum class MouseEventKind { Down, Move, Up };
  std::function<void(MouseEventKind, int x, int y, Qt::MouseButton)> onMouse;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QImage& image_;
  Canvas& canvas_;
};
