// The canvas's changed rectangle: every pixel a drawing call changes lies in
// it, it stays close round what was drawn, and a write that bypasses the
// canvas makes the whole image count as changed.
#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace {

// The bounding box of the pixels that differ between two images of one size.
PixelRect Differences(const QImage& a, const QImage& b) {
  PixelRect box;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) box = box.United({x, y, x + 1, y + 1});
  return box;
}

PixelRect Grown(const PixelRect& r, int by) { return {r.left - by, r.top - by, r.right + by, r.bottom + by}; }

std::string Show(const PixelRect& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + " .. " + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

class CanvasChangedRectTest : public ::testing::Test {
 protected:
  QImage image = MakeBitmap(200, 150);
  Canvas canvas{image};

  // Draws, and checks that the rectangle handed over holds every changed
  // pixel and reaches at most `slack` pixels beyond them on any side.
  void Check(const std::string& what, const std::function<void()>& draw, int slack) {
    canvas.TakeChangedRect();
    const QImage before = canvas.Image().copy();
    draw();
    const PixelRect changed = canvas.TakeChangedRect();
    const PixelRect drawn = Differences(before, canvas.Image());
    ASSERT_FALSE(drawn.Empty()) << what << " drew nothing";
    EXPECT_TRUE(changed.Contains(drawn)) << what << ": " << Show(changed) << " misses " << Show(drawn);
    EXPECT_TRUE(Grown(drawn, slack).Contains(changed)) << what << ": " << Show(changed) << " is loose round "
                                                       << Show(drawn);
    EXPECT_TRUE(canvas.TakeChangedRect().Empty()) << what << ": taking the rectangle empties it";
  }
};

TEST_F(CanvasChangedRectTest, HoldsWhatEachDrawingCallChangesAndLittleMore) {
  canvas.SetPen(Colours::Navy, 9);
  Check("a line with a nine-pixel pen", [&] { canvas.MoveTo(40, 30); canvas.LineTo(150, 100); }, 6);
  Check("the same line drawn backwards", [&] { canvas.MoveTo(150, 120); canvas.LineTo(40, 50); }, 6);
  canvas.SetPen(Colours::Red, 1);
  Check("a one-pixel line right to left, upwards", [&] { canvas.MoveTo(180, 140); canvas.LineTo(20, 10); }, 2);
  canvas.SetPen(Colours::Red, 1, PenMode::Copy, PenStyle::Dash);
  // Its ends may fall in a gap of the dashes.
  Check("a dashed line", [&] { canvas.MoveTo(10, 140); canvas.LineTo(190, 20); }, 6);
  canvas.SetPen(Colours::Green, 5);
  canvas.SetBrush(Colours::Olive, BrushStyle::Solid);
  Check("a filled rectangle with a wide pen", [&] { canvas.Rectangle(60, 40, 20, 90); }, 5);
  Check("an ellipse with a wide pen", [&] { canvas.Ellipse(100, 20, 170, 80); }, 5);
  // An arc counts the whole box of its ellipse: here the upper half is drawn.
  Check("an arc", [&] { canvas.Arc(30, 30, 130, 120, 130, 75, 30, 75); }, 50);
  Check("a brush-only rectangle", [&] { canvas.FillRect(5, 5, 25, 15); }, 0);
  canvas.SetFont("DejaVu Sans", 20);
  canvas.SetFontColour(Colours::Black);
  canvas.SetBrush(Colours::White, BrushStyle::Clear);
  Check("text with tails below the line", [&] { canvas.TextOut(30, 100, "gjpqy Quorvane"); }, 6);
  canvas.SetBrush(Colours::Grey, BrushStyle::Solid);
  Check("text on a solid cell", [&] { canvas.TextOut(120, 5, "Hi"); }, 6);
  Check("squares written straight into the image", [&] {
    canvas.FillSolidRect(10, 10, 14, 14, Colours::Red);
    canvas.FillSolidRect(190, 140, 180, 120, Colours::Red);
  }, 0);
  Check("one pixel", [&] { canvas.SetPixel(77, 66, Colours::Black); }, 0);
  QImage patch = MakeBitmap(30, 20);
  patch.fill(Qt::darkCyan);
  Check("a bitmap", [&] { canvas.Draw(150, 110, patch); }, 0);
  Check("a scaled copy", [&] { canvas.CopyRect(0, 0, 60, 40, patch, 0, 0, 30, 20); }, 0);
}

TEST_F(CanvasChangedRectTest, IsClippedToTheImage) {
  canvas.SetPen(Colours::Black, 7);
  canvas.MoveTo(-80, -60);
  canvas.LineTo(20, 15);
  canvas.Ellipse(180, 130, 260, 210);
  const PixelRect r = canvas.TakeChangedRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 150);
  canvas.FillSolidRect(-10, -10, -2, -2, Colours::Red);
  canvas.SetPixel(500, 5, Colours::Red);
  EXPECT_TRUE(canvas.TakeChangedRect().Empty()) << "nothing off the image is changed";
}

TEST_F(CanvasChangedRectTest, XorFigureDrawnTwiceStillCountsWhereItWas) {
  // The second drawing takes the figure away again: the view must repaint
  // those pixels, though the image ends as it began.
  const QImage before = canvas.Image().copy();
  canvas.SetPen(Colours::Red, 3, PenMode::Xor);
  canvas.SetBrush(Colours::White, BrushStyle::Clear);
  auto figure = [&] {
    canvas.Rectangle(50, 40, 120, 90);
    canvas.MoveTo(50, 40);
    canvas.LineTo(120, 90);
  };
  figure();
  const PixelRect first = canvas.TakeChangedRect();
  const PixelRect shown = Differences(before, canvas.Image());
  ASSERT_FALSE(shown.Empty());
  EXPECT_TRUE(first.Contains(shown));
  figure();
  const PixelRect second = canvas.TakeChangedRect();
  EXPECT_TRUE(canvas.Image() == before);
  EXPECT_TRUE(second.Contains(shown)) << Show(second) << " misses the erased " << Show(shown);
  // Both drawings between two takes: one rectangle for both.
  figure();
  figure();
  EXPECT_EQ(canvas.TakeChangedRect(), second);
}

TEST_F(CanvasChangedRectTest, WritesBehindTheCanvasMarkTheWholeImage) {
  canvas.SetPen(Colours::Black, 1);
  canvas.MoveTo(10, 10);
  canvas.LineTo(20, 10);
  canvas.TakeChangedRect();
  // Reading changes nothing.
  EXPECT_EQ(canvas.Pixel(12, 10), Colours::Black);
  (void)canvas.Image().copy(0, 0, 50, 50);
  EXPECT_TRUE(canvas.TakeChangedRect().Empty());

  image.setPixel(3, 3, qRgb(1, 2, 3));
  EXPECT_EQ(canvas.TakeChangedRect(), (PixelRect{0, 0, 200, 150})) << "a pixel set on the image itself";

  // A write while the painter is in use, then more drawing: still the whole.
  canvas.MoveTo(10, 20);
  canvas.LineTo(20, 20);
  image.fill(Qt::white);
  canvas.LineTo(30, 30);
  EXPECT_EQ(canvas.TakeChangedRect(), (PixelRect{0, 0, 200, 150})) << "a fill behind the painter";

  // A new image put in the old one's place, smaller: all of the new one.
  canvas.Flush();
  image = MakeBitmap(64, 48);
  EXPECT_EQ(canvas.TakeChangedRect(), (PixelRect{0, 0, 64, 48}));
  canvas.MarkChanged({60, 40, 90, 90});
  EXPECT_EQ(canvas.TakeChangedRect(), (PixelRect{60, 40, 64, 48}));
}

}  // namespace
