// The canvas draws figures that an exclusive-or pen can take away again
// pixel for pixel, in the colours the drawing code asks for.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/Canvas.h"

namespace {

class CanvasTest : public ::testing::Test {
 protected:
  QImage image = MakeBitmap(120, 90);
  Canvas canvas{image};

  QImage Shot() {
    canvas.Flush();
    return image.copy();
  }
  void Figures() {
    canvas.MoveTo(3, 4);
    canvas.LineTo(100, 70);
    canvas.LineTo(20, 80);
    canvas.LineTo(3, 4);
    canvas.SetBrush(Colours::White, BrushStyle::Clear);
    canvas.Rectangle(10, 10, 60, 40);
    canvas.Ellipse(30, 20, 90, 75);
    canvas.Arc(5, 5, 70, 60, 70, 30, 5, 30);
  }
  void Stroke(int y) {
    canvas.MoveTo(5, y);
    canvas.LineTo(50, y);
  }
};

TEST_F(CanvasTest, XorAndNotXorFiguresDrawnTwiceLeaveTheImageAsItWas) {
  canvas.SetPen(Colours::Green, 1, PenMode::Copy);
  canvas.MoveTo(0, 45);
  canvas.LineTo(119, 45);  // something underneath to preserve
  const QImage before = Shot();
  for (PenMode mode : {PenMode::Xor, PenMode::NotXor}) {
    for (int width : {1, 3}) {
      canvas.SetPen(Colours::Red, width, mode);
      Figures();
      EXPECT_NE(Shot(), before) << "the figure must show";
      Figures();
      EXPECT_EQ(Shot(), before) << "mode " << static_cast<int>(mode) << " width " << width;
    }
  }
}

// On white: a coloured not-xor pen shows its own colour, a black one inverts
// (and a second stroke takes it away), xor white turns black and xor grey dark grey.
TEST_F(CanvasTest, ExclusiveOrPensOnWhiteGiveTheirColours) {
  struct Case {
    const char* name;
    Rgb pen;
    PenMode mode;
    Rgb once, twice;
  };
  const Case cases[] = {{"green not-xor", Colours::Green, PenMode::NotXor, Colours::Green, Colours::White},
                        {"black not-xor", Colours::Black, PenMode::NotXor, Colours::Black, Colours::White},
                        {"white xor", Colours::White, PenMode::Xor, Colours::Black, Colours::White},
                        {"grey xor", Colours::Grey, PenMode::Xor, Rgb{127, 127, 127}, Colours::White}};
  int y = 5;
  for (const Case& c : cases) {
    canvas.SetPen(c.pen, 1, c.mode);
    Stroke(y);
    EXPECT_EQ(canvas.Pixel(20, y), c.once) << c.name;
    Stroke(y);
    EXPECT_EQ(canvas.Pixel(20, y), c.twice) << c.name;
    y += 5;
  }
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPointSoAClosedPolylineHitsEachPixelOnce) {
  canvas.SetPen(Colours::Black, 1, PenMode::NotXor);
  canvas.MoveTo(10, 10);
  canvas.LineTo(40, 10);
  canvas.LineTo(40, 30);
  canvas.LineTo(10, 30);
  canvas.LineTo(10, 10);
  for (auto [x, y] : {std::pair{10, 10}, {40, 10}, {40, 30}, {10, 30}, {25, 10}, {40, 20}})
    EXPECT_EQ(canvas.Pixel(x, y), Colours::Black) << x << "," << y;
  EXPECT_EQ(canvas.Pixel(41, 10), Colours::White);
  EXPECT_EQ(canvas.PenX(), 10);
  EXPECT_EQ(canvas.PenY(), 10);
}

TEST_F(CanvasTest, FilledRectangleAndCopiedRectangle) {
  canvas.SetPen(Colours::Black, 1, PenMode::Copy, PenStyle::Clear);
  canvas.SetBrush(Colours::Grey);
  canvas.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(canvas.Pixel(0, 0), Colours::Grey);
  EXPECT_EQ(canvas.Pixel(9, 9), Colours::Grey);
  EXPECT_EQ(canvas.Pixel(10, 10), Colours::White);
  QImage other = MakeBitmap(20, 20);
  Canvas(other).CopyRect(5, 5, 15, 15, image, 0, 0, 10, 10);
  EXPECT_EQ(other.pixel(5, 5), qRgb(128, 128, 128));
  EXPECT_EQ(other.pixel(15, 15), qRgb(255, 255, 255));
}

TEST_F(CanvasTest, TextHasASizeAndLandsInTheFontColour) {
  canvas.SetFont("DejaVu Sans", 14, true);
  canvas.SetFontColour(Colours::Red);
  EXPECT_GT(canvas.TextWidth("Quorvane"), canvas.TextWidth("Q"));
  EXPECT_GT(canvas.TextHeight("Q"), 10);
  canvas.TextOut(2, 2, "MMMM");
  int red = 0;
  canvas.Flush();
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 60; ++x) red += image.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GT(red, 20);
}

// A title written with a solid white brush stands over a line drawn through
// its cell (the printed frame runs under the title); with a clear brush the
// line shows between the letters.
TEST(CanvasTextTest, TextWithASolidBrushCoversWhatLiesUnderItsCell) {
  for (BrushStyle style : {BrushStyle::Solid, BrushStyle::Clear}) {
    QImage image = MakeBitmap(200, 40);
    Canvas canvas{image};
    canvas.SetFont("DejaVu Sans", 14, true);
    const int h = canvas.TextHeight("X");
    canvas.SetPen(Colours::Black, 1, PenMode::Copy);
    canvas.MoveTo(0, 5 + h / 2);
    canvas.LineTo(199, 5 + h / 2);
    canvas.SetFontColour(Colours::Red);
    canvas.SetBrush(Colours::White, style);
    canvas.TextOut(10, 5, "I I I");
    const int width = canvas.TextWidth("I I I");
    canvas.Flush();
    int black = 0;
    for (int x = 10; x < 10 + width; ++x) black += image.pixel(x, 5 + h / 2) == qRgb(0, 0, 0);
    if (style == BrushStyle::Solid)
      EXPECT_EQ(black, 0) << "the line shows through the title";
    else
      EXPECT_GT(black, width / 3) << "a clear brush keeps what lies between the letters";
    EXPECT_EQ(image.pixel(5, 5 + h / 2), qRgb(0, 0, 0)) << "the line outside the text stays";
  }
}

}  // namespace
