// The line plot: the cells a line is sampled at, obstacles along it, the
// refused ends, the rubber line and the pixels of the two graphs.
#include <gtest/gtest.h>

#include "FlowScenes.h"
#include "display/LinePlotDrawing.h"
#include "mesh/Grid.h"

namespace {

class LinePlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mesh = flowscenes::MakeMesh(100);
    // Speed 1 + column / 100 + row / 10: every cell its own reading.
    for (int r = -10; r < 110; ++r)
      for (int c = -10; c < 110; ++c) SetSpeed(r, c, 1.0f + c / 100.0f + r / 10.0f);
    gauge.CalFlowRate = 10;
    gauge.CalPressure = 101300;
    gauge.CalDensity = 1;
    gauge.CalFactor = 2;
  }
  void SetSpeed(int row, int column, float s) { mesh.SpeedField[static_cast<std::size_t>(mesh.Index(row, column))] = s; }
  void Line(int row0, int col0, int row1, int col1) {
    plot.PlotStartRow = row0;
    plot.PlotStartCol = col0;
    plot.PlotEndRow = row1;
    plot.PlotEndCol = col1;
    SamplePlotLine(plot, gauge, mesh);
  }
  float Flow(int i) const { return plot.FlowSamples[static_cast<std::size_t>(i)]; }
  float FlowAt(int row, int column) const { return ReadingAt(gauge, mesh, row, column).flowRate; }
  void Draw() {
    image = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
    Canvas canvas(image);
    ClearView(canvas, mesh);
    DrawPlotGraphs(canvas, plot, ScreenPlotLayout(mesh));
    canvas.Flush();
  }
  bool Black(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
  int BlackInColumn(int x, int top, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) n += Black(x, y);
    return n;
  }

  Mesh mesh;
  GaugeState gauge;
  LinePlotState plot;
  CommandState cmd;
  QImage image;
};

TEST_F(LinePlotTest, ALineIsWalkedAlongItsLongerSideToOneCellBeyondTheEnd) {
  Line(10, 20, 14, 10);  // 10 columns left, 4 rows down
  ASSERT_EQ(plot.PlotSampleLast, 11);
  for (int i = 0; i <= 11; ++i) EXPECT_FLOAT_EQ(Flow(i), FlowAt(10 + static_cast<int>(i * 0.4f), 20 - i)) << i;
  Line(30, 10, 20, 13);  // 10 rows up, 3 columns right
  ASSERT_EQ(plot.PlotSampleLast, 11);
  for (int i = 0; i <= 11; ++i) EXPECT_FLOAT_EQ(Flow(i), FlowAt(30 - i, 10 + static_cast<int>(i * 0.3f))) << i;
}

TEST_F(LinePlotTest, ObstacleCellsReadNoFlowAndNoPressure) {
  for (int c = 24; c <= 26; ++c) mesh.SolidMapCoarse[static_cast<std::size_t>(c * 100 + 50)] = 's';
  Line(50, 20, 50, 30);
  for (std::size_t i = 4; i <= 6; ++i) EXPECT_TRUE(plot.FlowSamples[i] == 0.0f && plot.PressureSamples[i] == 0.0f) << i;
  EXPECT_TRUE(Flow(3) > 0.0f && Flow(7) > 0.0f);
}

TEST_F(LinePlotTest, EndsMustLieInTheFirstHundredCellsAndDifferFromTheStart) {
  PlotLinePress(plot, cmd, mesh, 30.5f * mesh.CellWidth, 40.5f * mesh.CellHeight);
  EXPECT_EQ(SetPlotEnd(plot, mesh, 30.2f * mesh.CellWidth, 40.9f * mesh.CellHeight), PlotEnd::SameCell);
  EXPECT_EQ(SetPlotEnd(plot, mesh, 100.5f * mesh.CellWidth, 40.5f * mesh.CellHeight), PlotEnd::OutsideMesh);
  EXPECT_EQ(SetPlotEnd(plot, mesh, 99.5f * mesh.CellWidth, 0.5f * mesh.CellHeight), PlotEnd::Accepted);
  Mesh large = flowscenes::MakeMesh(200);
  PlotLinePress(plot, cmd, large, 10, 10);
  EXPECT_EQ(SetPlotEnd(plot, large, 150.5f * large.CellWidth, 5.5f * large.CellHeight), PlotEnd::OutsideMesh);
}

TEST_F(LinePlotTest, TheRubberLineLeavesTheViewAsItWas) {
  QImage view = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
  Canvas canvas(view);
  canvas.SetBrush(Colours::Green);
  canvas.FillRect(40, 40, 120, 90);
  canvas.Flush();
  const QImage before = view.copy();
  PlotLinePress(plot, cmd, mesh, 20, 30);
  PlotLineDrag(plot, cmd, canvas, 150, 80);
  canvas.Flush();
  EXPECT_NE(view, before);
  PlotLineDrag(plot, cmd, canvas, 100, 200);
  EraseRubberLine(plot, canvas);
  canvas.Flush();
  EXPECT_EQ(view, before);
}

TEST_F(LinePlotTest, UniformFlowDrawsBothCurvesAtTheTopOfTheirGraphsAcrossTheWidth) {
  for (int c = 0; c < 40; ++c) SetSpeed(50, c, 1.0f);
  Line(50, 20, 50, 30);
  Draw();
  const PlotLayout l = ScreenPlotLayout(mesh);
  const int step = (l.lineRight - l.axisX) / 11;
  for (int i = 1; i <= 11; ++i) {
    const int x = l.axisX + i * step;
    EXPECT_TRUE(Black(x, l.flowTop)) << i;
    EXPECT_EQ(BlackInColumn(x, l.flowTop + 3, l.flowBase - 1), 0) << i;
    EXPECT_TRUE(Black(x, l.pressureTop) || Black(x, l.pressureTop + 1)) << i;
  }
  // In the window the view sits right of a margin; the graphs still end inside it.
  Mesh placed = mesh;
  placed.ViewLeft = 38;
  placed.ViewRight = placed.ViewSize + placed.ViewLeft;
  EXPECT_LE(ScreenPlotLayout(placed).lineRight, placed.ViewSize - 10);
}

TEST_F(LinePlotTest, WithoutFlowOnlyTheFrameIsDrawn) {
  gauge.CalFactor = 0;
  gauge.CalFlowRate = 0;
  gauge.CalPressure = 0;
  Line(50, 20, 50, 30);
  Draw();
  const PlotLayout l = ScreenPlotLayout(mesh);
  EXPECT_TRUE(Black(l.axisX, (l.flowTop + l.flowBase) / 2));
  const int pressureMid = (l.pressureTop + l.pressureBottom) / 2;
  for (int x = l.axisX + 2; x < l.lineRight; x += 7)
    EXPECT_EQ(BlackInColumn(x, l.flowTop, l.flowBase) + BlackInColumn(x, l.pressureTop, pressureMid), 0) << x;
}

}  // namespace
