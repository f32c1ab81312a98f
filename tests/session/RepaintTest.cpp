// The view repaints only the part that changed: while a rectangle's rubber
// band follows the mouse each move repaints a small rectangle round the band,
// what the window shows is the view image, pixel for pixel, and a view that
// nothing has drawn on is not repainted.
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <vector>

#include "SessionFixture.h"
#include "platform/Canvas.h"

namespace {

// Keeps the rectangle of every paint event the view receives.
class PaintLog : public QObject {
 public:
  std::vector<QRect> rects;

  QRect Union() const {
    QRect all;
    for (const QRect& r : rects) all = all.united(r);
    return all;
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
    return false;
  }
};

// The bounding box of the pixels that differ between two images of one size.
QRect Differences(const QImage& a, const QImage& b) {
  QRect box;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) box = box.united(QRect(x, y, 1, 1));
  return box;
}

class RepaintTest : public SessionFixture {
 protected:
  // Moves the mouse and checks the repaint it brings: it covers every pixel
  // the move changed and is much smaller than the view. Returns its area.
  long long MoveAndCheckRepaint(float column, float row, const std::string& at) {
    const QImage before = View();
    log.rects.clear();
    MoveOnView(column, row);
    QApplication::processEvents();
    const QImage after = View();
    const QRect changed = Differences(before, after);
    const QRect painted = log.Union();
    EXPECT_FALSE(changed.isEmpty()) << at << ": the band did not move";
    EXPECT_TRUE(painted.contains(changed)) << at << ": painted " << Text(painted) << ", changed " << Text(changed);
    const long long area = static_cast<long long>(painted.width()) * painted.height();
    const long long viewArea = static_cast<long long>(Controls(*window).V->width()) * Controls(*window).V->height();
    EXPECT_LT(area * 20, viewArea) << at << ": painted " << Text(painted) << " of a view "
                                   << Controls(*window).V->width() << " wide";
    EXPECT_TRUE(OnScreen() == after.copy(0, 0, Controls(*window).V->width(), Controls(*window).V->height()))
        << at << ": the window shows stale pixels";
    return area;
  }
  static std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
  }
  // The view as the window shows it (its backing store), not painted afresh.
  QImage OnScreen() {
    QWidget* v = Controls(*window).V;
    const QPoint at = v->mapTo(window.get(), QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), v->width(), v->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }

  PaintLog log;
};

TEST_F(RepaintTest, RubberBandMovesRepaintOnlyRoundTheBandAndTheViewShowsTheImage) {
  Form1& f = Launch();
  Controls(f).V->installEventFilter(&log);
  QApplication::processEvents();
  log.rects.clear();
  WindowProbe::ViewChanged(f);
  QApplication::processEvents();
  EXPECT_TRUE(log.rects.empty()) << "nothing drawn, nothing repainted: " << Text(log.Union());
  long long largest = 0;
  std::int32_t rectangleData = 0;
  for (int round = 1; round <= 2; ++round) {
    const std::string at = "rectangle " + std::to_string(round);
    const float dx = round == 1 ? 0.0f : 25.0f;
    Choose(Cmd::MnuEditAddRectangle);
    ClickView(30 + dx, 40);
    QApplication::processEvents();
    // The first edge follows the mouse...
    for (const float step : {1.0f, 2.5f, 4.0f, 6.0f})
      largest = std::max(largest, MoveAndCheckRepaint(30 + dx + step / 2, 40 + step * 3, at + ", edge"));
    ClickView(30 + dx, 60);
    // ...then the far side.
    for (const float step : {1.0f, 3.0f, 5.0f, 6.5f})
      largest = std::max(largest, MoveAndCheckRepaint(30 + dx + step, 56, at + ", side"));
    ClickView(45 + dx, 60);
    ASSERT_EQ(State(f).objects.ObjectSelected, 1) << at;
    if (round == 1) rectangleData = State(f).objects.RectDataLen;
    QApplication::processEvents();
    const QImage image = View().copy(0, 0, Controls(f).V->width(), Controls(f).V->height());
    EXPECT_TRUE(OnScreen() == image) << at << ": the window shows stale pixels";
    EXPECT_TRUE(Controls(f).V->grab().toImage().convertToFormat(QImage::Format_RGB32) == image) << at;
  }
  EXPECT_EQ(State(f).objects.RectDataLen, 2 * rectangleData) << "two rectangles added";
  RecordProperty("largestMoveRepaint", std::to_string(largest));
  RecordProperty("viewArea", std::to_string(static_cast<long long>(Controls(f).V->width()) * Controls(f).V->height()));
}

}  // namespace
