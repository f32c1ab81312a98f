// The gauge in the window with real mouse events: readings under the mouse,
// calibration by a click, a plot dragged across the flow and its way back.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "session/SessionFixture.h"
#include "shell/GaugeCommands.h"

namespace {

class GaugeWorkflowTest : public SessionFixture {
 protected:
  // A circle in the stream, solved, with the gauge open.
  Form1& Solved() {
    Form1& f = Launch();
    gauge = Controls(f).AGage;
    EXPECT_NE(gauge, nullptr);
    DrawCircle(50.5f, 50.5f, 8);
    Run();
    f.Run(Cmd::SpeedButton5);
    return f;
  }
  // The centre of a mesh cell on the view.
  QPoint Cell(float column, float row) const { return At(column + 0.5f, row + 0.5f); }
  void Click(float column, float row) { ClickView(column + 0.5f, row + 0.5f); }
  void Move(float column, float row) { QTest::mouseMove(Controls(*window).V, Cell(column, row)); }
  void Drag(float c0, float r0, float c1, float r1, float releaseColumn = -1) {
    QTest::mousePress(Controls(*window).V, Qt::LeftButton, {}, Cell(c0, r0));
    Move((c0 + c1) / 2, (r0 + r1) / 2);
    Move(c1, r1);
    QTest::mouseRelease(Controls(*window).V, Qt::LeftButton, {}, Cell(releaseColumn < 0 ? c1 : releaseColumn, r1));
  }
  GaugePanel* gauge = nullptr;
};

TEST_F(GaugeWorkflowTest, ReadsTheFlowUnderTheMouseAndAClickCalibrates) {
  Form1& f = Solved();
  Move(50, 20);
  const GaugeReading r = ReadingAt(gauge->gauge, State(f).mesh, 20, 50);
  ASSERT_TRUE(r.valid);
  EXPECT_GT(r.flowRate, 0.0f);
  EXPECT_EQ(gauge->f->text().toStdString(), FormatReading(r.flowRate));
  // A click makes the point the reference; a bad entry only beeps.
  gauge->cal->setText("25");
  gauge->calp->setText("3");
  Click(50, 20);
  EXPECT_EQ(gauge->f->text().toStdString(), "25.00");
  EXPECT_EQ(gauge->p->text().toStdString(), "3.00");
  gauge->calp->setText("150");  // out of range
  Click(30, 70);
  EXPECT_EQ(prompts.beeps, 1);
  Move(50, 20);
  EXPECT_EQ(gauge->f->text().toStdString(), "25.00");  // the old reference holds
  Click(50, 50);                                     // inside the circle
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Calibration not possible at this point.");
}

// A line ending off the mesh is refused and leaves no rubber line; a dragged
// line shows the plot, prints one page per copy, and End Plot, or hiding the
// gauge, brings the flow back.
TEST_F(GaugeWorkflowTest, ADraggedLineShowsAndPrintsThePlotUntilEndedOrTheGaugeIsHidden) {
  Form1& f = Solved();
  auto recorder = std::make_unique<RecordingPrinter>();
  RecordingPrinter* printer = recorder.get();
  printer->chosenCopies = 2;
  WindowProbe::SetPrinter(f, std::move(recorder));
  const QImage flow = View();
  Drag(40, 40, 70, 60, 100);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Please draw another plot line within the mesh area.");
  EXPECT_EQ(View(), flow);
  Drag(10, 50, 90, 50);
  EXPECT_EQ(gauge->plot.PlotSampleLast, 81);
  const QImage plotted = View();
  EXPECT_NE(plotted, flow);
  EXPECT_EQ(plotted.pixel(50, State(f).mesh.ViewSize / 2 - 10), qRgb(0, 0, 0));  // the flow base line
  Drag(50, 10, 50, 90);  // a second plot over the first
  gauge->PrintPlot->click();
  ASSERT_EQ(printer->jobs.size(), 2u);
  const QImage& page = printer->jobs[0][0];
  int black = 0;
  for (int y = 0; y < page.height(); y += 3)
    for (int x = 0; x < page.width(); x += 3) black += page.pixel(x, y) == qRgb(0, 0, 0);
  EXPECT_GT(black, 500);
  gauge->EndPlot->click();
  EXPECT_TRUE(gauge->EndPlot->isHidden());
  EXPECT_EQ(View(), flow);
  Drag(20, 30, 60, 40);
  ASSERT_EQ(State(f).cmd.PlotShown, 1);
  f.Run(Cmd::SpeedButton5);
  EXPECT_TRUE(gauge->isHidden());
  EXPECT_EQ(State(f).cmd.PlotShown + State(f).cmd.PlotPending + State(f).cmd.PlotLineActive, 0);
  EXPECT_EQ(View(), flow);
}

// U/U∞ and Cp are read against the empty mesh's flow, so no calibration
// moves them; the gauge opened before a run reads them after it.
TEST_F(GaugeWorkflowTest, SpeedRatioAndCpNeedNoCalibration) {
  Form1& f = Launch();
  gauge = Controls(f).AGage;
  f.Run(Cmd::SpeedButton5);  // open before anything is solved
  DrawCircle(50.5f, 50.5f, 8);
  Move(5, 50);
  EXPECT_EQ(gauge->speedRatio->text(), "") << "no solution yet";
  Run();
  // Far from the circle the flow is the free stream's.
  Move(10, 10);
  EXPECT_NEAR(gauge->speedRatio->text().toDouble(), 1.0, 0.05);
  EXPECT_NEAR(gauge->pressureCoefficient->text().toDouble(), 0.0, 0.1);
  EXPECT_FALSE(gauge->f->text().isEmpty()) << "the calibrated readings stay beside them";
  Move(4, 50);  // a move: the pointer was at (5, 50)
  const QString upstreamRatio = gauge->speedRatio->text();
  EXPECT_NEAR(upstreamRatio.toDouble(), 0.95, 0.1) << "slowed a little ahead of the circle";
  Move(50, 40);
  const QString topRatio = gauge->speedRatio->text(), topCp = gauge->pressureCoefficient->text();
  EXPECT_GT(topRatio.toDouble(), 1.4);
  EXPECT_LT(topCp.toDouble(), -1.0);
  for (const char* flowRate : {"25", "300"}) {
    gauge->cal->setText(flowRate);
    Click(50, 20);
    Move(50, 40);
    EXPECT_EQ(gauge->speedRatio->text(), topRatio) << flowRate;
    EXPECT_EQ(gauge->pressureCoefficient->text(), topCp) << flowRate;
  }
  Move(50, 50);  // over the circle
  EXPECT_EQ(gauge->speedRatio->text(), "0.00");
  EXPECT_EQ(gauge->pressureCoefficient->text(), "");
  EXPECT_TRUE(prompts.messages.empty());
}

// The surface pressure and the line plot share the view and the buttons:
// whichever was drawn last is the one printed and the one End Plot ends.
TEST_F(GaugeWorkflowTest, TheLastPlotDrawnIsTheOnePrinted) {
  Form1& f = Solved();
  auto recorder = std::make_unique<RecordingPrinter>();
  RecordingPrinter* printer = recorder.get();
  WindowProbe::SetPrinter(f, std::move(recorder));
  const QImage flow = View();
  const QRgb navy = qRgb(0, 0, 128);
  f.Run(Cmd::SpeedButton5);  // the gauge closed: a click selects again
  Click(50, 50);
  ASSERT_EQ(State(f).objects.ObjectSelected, 1);
  const QImage selected = View();
  for (int round = 0; round < 2; ++round) {
    f.Run(Cmd::MnuViewSurfacePressure);
    ASSERT_EQ(State(f).cmd.PlotShown, 1);
    Drag(10, 30, 90, 30);  // a line plot over it
    EXPECT_EQ(PixelsOf(View(), navy), 0) << "the line plot has taken its place";
    gauge->PrintPlot->click();
    f.Run(Cmd::MnuViewSurfacePressure);
    gauge->PrintPlot->click();
    ASSERT_EQ(printer->jobs.size(), 2u * (round + 1));
    EXPECT_EQ(PixelsOf(printer->jobs[2 * round][0], navy), 0) << "the line plot printed";
    EXPECT_GT(PixelsOf(printer->jobs[2 * round + 1][0], navy), 500) << "then the surface pressure";
    gauge->EndPlot->click();
    EXPECT_EQ(View(), selected) << "the view of before the first plot, round " << round;
  }
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
