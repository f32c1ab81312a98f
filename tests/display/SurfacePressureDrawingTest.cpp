// The surface pressure graph: suction drawn upward, an aerofoil's two
// surfaces as two curves, a circle's exact curve, a curve broken where samples
// are missing, and nothing outside its rectangle on the screen or a page.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "display/SurfacePressureDrawing.h"

namespace {

constexpr QRgb Navy = qRgb(0, 0, 128), Red = qRgb(255, 0, 0), White = qRgb(255, 255, 255);

class SurfacePressureDrawingTest : public ::testing::Test {
 protected:
  // Samples every `step` along [from, to] with the same Cp, on one side.
  static void AddSamples(SurfacePressure& s, double from, double to, double step, double cp,
                         SurfaceSide side = SurfaceSide::None) {
    for (double x = from; x <= to + 1e-9; x += step) {
      SurfaceSample sample;
      sample.position = x;
      sample.side = side;
      sample.cp = cp;
      sample.cpExact = std::nan("");
      s.samples.push_back(sample);
    }
  }
  static SurfacePressure Outline(SurfaceAxis axis) {
    SurfacePressure s;
    s.kind = axis == SurfaceAxis::XOverC ? 6 : axis == SurfaceAxis::AngleDegrees ? 5 : 0;
    s.axis = axis;
    return s;
  }
  // An aerofoil: suction along the upper surface, pressure along the lower.
  static SurfacePressure Aerofoil() {
    SurfacePressure s = Outline(SurfaceAxis::XOverC);
    AddSamples(s, 0, 1, 0.02, -1.0, SurfaceSide::Upper);
    AddSamples(s, 0, 1, 0.02, 0.5, SurfaceSide::Lower);
    return s;
  }
  // The graph in a 400 x 400 rectangle at (50, 30) of a larger white image.
  void Draw(const SurfacePressure& s) {
    image = QImage(500, 460, QImage::Format_RGB32);
    image.fill(White);
    Canvas canvas(image);
    SurfacePlotLayout layout;
    layout.left = 50;
    layout.top = 30;
    layout.right = 450;
    layout.bottom = 430;
    DrawSurfacePressure(canvas, s, "Surface pressure", layout);
    canvas.Flush();
  }
  struct Span {
    int count = 0, top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
  };
  // Pixels of `colour` in columns [fromX, toX) from row fromY down: the plot
  // area starts at row 82, below the legend.
  Span PixelsOf(QRgb colour, int fromX = 0, int toX = 1 << 20, int fromY = 0) const {
    Span s;
    for (int y = fromY; y < image.height(); ++y)
      for (int x = std::max(0, fromX); x < std::min(image.width(), toX); ++x)
        if (image.pixel(x, y) == colour) {
          ++s.count;
          s.top = std::min(s.top, y);
          s.bottom = std::max(s.bottom, y);
          s.left = std::min(s.left, x);
          s.right = std::max(s.right, x);
        }
    return s;
  }
  QImage image;
};

TEST_F(SurfacePressureDrawingTest, SuctionIsDrawnAboveStagnationAndTheLegendLinesAboveBoth) {
  SurfacePressure suction = Outline(SurfaceAxis::ArcLength);
  AddSamples(suction, 0, 40, 1, -2.0);
  AddSamples(suction, 41, 80, 1, 0.8);
  Draw(suction);
  // Below the legend's line sample (which stands under the title), the curve.
  const Span legend = PixelsOf(Navy, 0, 150);
  const Span first = PixelsOf(Navy, 160, 220), second = PixelsOf(Navy, 300, 420);
  ASSERT_GT(first.count, 0);
  ASSERT_GT(second.count, 0);
  EXPECT_LT(first.bottom, second.top) << "Cp -2 lies above Cp 0.8";
  EXPECT_LT(legend.top, first.top);
  EXPECT_EQ(PixelsOf(Red).count, 0) << "no exact curve for a polygon";
}

TEST_F(SurfacePressureDrawingTest, AnAerofoilHasItsUpperAndLowerSurfaceAsTwoCurves) {
  const SurfacePressure aerofoil = Aerofoil();
  Draw(aerofoil);
  const Span upper = PixelsOf(Navy, 150, 400, 75), lower = PixelsOf(Red, 150, 400, 75);
  ASSERT_GT(upper.count, 0);
  ASSERT_GT(lower.count, 0);
  EXPECT_LT(upper.bottom, lower.top);
  // Each spans the chord: from the nose to the tail, not joined end to start.
  EXPECT_LE(upper.bottom - upper.top, 3);
  EXPECT_LE(lower.bottom - lower.top, 3);
}

TEST_F(SurfacePressureDrawingTest, ACircleShowsTheExactCurveBesideTheComputedOne) {
  SurfacePressure circle = Outline(SurfaceAxis::AngleDegrees);
  circle.hasExact = true;
  circle.rmsDifference = 0.25;
  for (int degrees = 0; degrees < 360; degrees += 5) {
    SurfaceSample s;
    s.position = degrees;
    const double sine = std::sin(degrees * 3.14159265358979 / 180);
    s.cpExact = 1 - 4 * sine * sine;
    s.cp = s.cpExact * 0.8;
    circle.samples.push_back(s);
  }
  Draw(circle);
  const Span computed = PixelsOf(Navy, 120, 440, 75), exact = PixelsOf(Red, 120, 440, 75);
  ASSERT_GT(computed.count, 100);
  ASSERT_GT(exact.count, 100);
  EXPECT_LT(exact.top, computed.top) << "the exact -3 at 90 degrees reaches above the computed -2.4";
}

TEST_F(SurfacePressureDrawingTest, ACurveBreaksWhereSamplesAreMissing) {
  SurfacePressure gap = Outline(SurfaceAxis::ArcLength);
  AddSamples(gap, 0, 30, 1, -1.0);
  AddSamples(gap, 70, 100, 1, -1.0);
  Draw(gap);
  // Plot from x = 90 to 430 over 0 .. 100 cells: 40 .. 60 cells lie at 226 .. 294.
  EXPECT_GT(PixelsOf(Navy, 100, 180).count, 0);
  EXPECT_EQ(PixelsOf(Navy, 226, 294).count, 0);
  EXPECT_GT(PixelsOf(Navy, 340, 420).count, 0);
}

TEST_F(SurfacePressureDrawingTest, NothingIsDrawnOutsideItsRectangle) {
  SurfacePressure wide = Outline(SurfaceAxis::ArcLength);
  AddSamples(wide, 0, 400, 0.5, -7.3);
  AddSamples(wide, 400.5, 800, 0.5, 1.0);
  Draw(wide);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (x < 50 || x >= 450 || y < 30 || y >= 430) {
        ASSERT_EQ(image.pixel(x, y), White) << x << ", " << y;
      }
  // And with nothing sampled, only the title.
  Draw(Outline(SurfaceAxis::ArcLength));
  EXPECT_LT(PixelsOf(qRgb(0, 0, 0)).bottom, 60);
}

TEST_F(SurfacePressureDrawingTest, APageDrawsTheGraphInsideItsBorder) {
  const SurfacePressure aerofoil = Aerofoil();
  image = QImage(1275, 1650, QImage::Format_RGB32);
  image.fill(White);
  const PlotPageArea area = ComputePlotPageArea(1275, 1650, 150);
  {
    Canvas page(image);
    DrawSurfacePressurePage(page, aerofoil, "Surface pressure", area);
    page.Flush();
  }
  const Span upper = PixelsOf(Navy), lower = PixelsOf(Red);
  ASSERT_GT(upper.count, 0);
  EXPECT_GE(upper.left, area.PrintLeft);
  EXPECT_LT(upper.right, area.PrintRight);
  EXPECT_GT(lower.bottom, upper.bottom);
  EXPECT_LT(lower.bottom, area.PrintBottom);
  EXPECT_EQ(image.pixel(area.PrintLeft - 5, (area.PrintTop + area.PrintBottom) / 2), qRgb(0, 0, 0)) << "the border";
}

}  // namespace
