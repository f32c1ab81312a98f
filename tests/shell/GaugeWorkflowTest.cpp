// The gauge in the window with real mouse events: readings under the mouse,
// calibration by a click, a plot dragged across the flow and its way back.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ShellFixture.h"
#include "shell/GaugeCommands.h"
#include "shell/PrintCommands.h"
#include "shell/ViewWidget.h"

namespace {

class GaugeWorkflowTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    WritePreferences();
  }
  // A circle in the stream, solved, with the gauge open.
  Form1& Solved() {
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.Run(Cmd::SpeedButton23);
    Click(f, 50, 50);
    Click(f, 58, 50);
    f.Run(Cmd::SpeedButton21);
    EXPECT_EQ(f.display.StreamlinesShown, 1);
    gauge = GaugeOf(f);
    EXPECT_NE(gauge, nullptr);
    f.Run(Cmd::SpeedButton5);
    return f;
  }
  QPoint At(Form1& f, float column, float row) {
    return QPoint(static_cast<int>((column + 0.5f) * f.mesh.CellWidth), static_cast<int>((row + 0.5f) * f.mesh.CellHeight));
  }
  void Click(Form1& f, float column, float row) {
    QTest::mouseMove(f.V, At(f, column, row));
    QTest::mouseClick(f.V, Qt::LeftButton, {}, At(f, column, row));
  }
  void Drag(Form1& f, float c0, float r0, float c1, float r1) {
    QTest::mousePress(f.V, Qt::LeftButton, {}, At(f, c0, r0));
    QTest::mouseMove(f.V, At(f, (c0 + c1) / 2, (r0 + r1) / 2));
    QTest::mouseMove(f.V, At(f, c1, r1));
    QTest::mouseRelease(f.V, Qt::LeftButton, {}, At(f, c1, r1));
  }
  QImage View(Form1& f) {
    f.ViewCanvas().Flush();
    return f.viewImage.copy();
  }
  GaugePanel* gauge = nullptr;
};

TEST_F(GaugeWorkflowTest, TheGaugeOpensRightOfTheViewAndReadsTheFlowUnderTheMouse) {
  Form1& f = Solved();
  ASSERT_FALSE(gauge->isHidden());
  const int centre = gauge->x() + gauge->width() / 2;
  EXPECT_NEAR(centre, f.mesh.ViewRight + (f.client->width() - f.mesh.ViewRight) / 2, 1);
  QTest::mouseMove(f.V, At(f, 50, 20));
  const GaugeReading r = ReadingAt(gauge->gauge, f.mesh, 20, 50);
  ASSERT_TRUE(r.valid);
  EXPECT_GT(r.flowRate, 0.0f);
  EXPECT_EQ(gauge->f->text().toStdString(), FormatReading(r.flowRate));
  EXPECT_EQ(gauge->p->text().toStdString(), FormatReading(r.pressure));
}

TEST_F(GaugeWorkflowTest, AClickMakesThePointTheReferenceAndABadEntryOnlyBeeps) {
  Form1& f = Solved();
  gauge->cal->setText("25");
  gauge->calp->setText("3");
  Click(f, 50, 20);
  EXPECT_EQ(gauge->f->text().toStdString(), "25.00");
  EXPECT_EQ(gauge->p->text().toStdString(), "3.00");
  EXPECT_TRUE(prompts.messages.empty());
  gauge->calp->setText("150");
  Click(f, 30, 70);
  EXPECT_EQ(prompts.beeps, 1);
  QTest::mouseMove(f.V, At(f, 50, 20));
  EXPECT_EQ(gauge->f->text().toStdString(), "25.00");  // the old reference holds
  Click(f, 50, 50);                                     // inside the circle
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Calibration not possible at this point.");
}

TEST_F(GaugeWorkflowTest, ADraggedLineShowsThePlotAndEndPlotBringsTheFlowBack) {
  Form1& f = Solved();
  const QImage flow = View(f);
  Drag(f, 10, 50, 90, 50);
  EXPECT_EQ(f.cmd.PlotShown, 1);
  EXPECT_EQ(gauge->plot.PlotSampleLast, 81);
  EXPECT_FALSE(gauge->PrintPlot->isHidden());
  EXPECT_FALSE(gauge->EndPlot->isHidden());
  const QImage plotted = View(f);
  EXPECT_NE(plotted, flow);
  EXPECT_EQ(plotted.pixel(50, f.mesh.ViewSize / 2 - 10), qRgb(0, 0, 0));  // the flow base line
  // A second plot over the first still returns to the flow display.
  Drag(f, 50, 10, 50, 90);
  EXPECT_EQ(gauge->plot.PlotSampleLast, 81);
  gauge->EndPlot->click();
  EXPECT_TRUE(gauge->EndPlot->isHidden());
  EXPECT_EQ(f.cmd.PlotShown, 0);
  EXPECT_EQ(View(f), flow);
}

TEST_F(GaugeWorkflowTest, HidingTheGaugeWithAPlotShownRestoresTheView) {
  Form1& f = Solved();
  const QImage flow = View(f);
  Drag(f, 20, 30, 60, 40);
  ASSERT_EQ(f.cmd.PlotShown, 1);
  f.Run(Cmd::SpeedButton5);
  EXPECT_TRUE(gauge->isHidden());
  EXPECT_TRUE(gauge->PrintPlot->isHidden());
  EXPECT_EQ(f.cmd.PlotShown + f.cmd.PlotPending + f.cmd.PlotLineActive, 0);
  EXPECT_EQ(View(f), flow);
}

TEST_F(GaugeWorkflowTest, ALineEndingOffTheMeshIsRefusedAndLeavesNoRubberLine) {
  Form1& f = Solved();
  const QImage flow = View(f);
  QTest::mousePress(f.V, Qt::LeftButton, {}, At(f, 40, 40));
  QTest::mouseMove(f.V, At(f, 70, 60));
  QTest::mouseRelease(f.V, Qt::LeftButton, {}, At(f, 100, 60));
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Please draw another plot line within the mesh area.");
  EXPECT_EQ(f.cmd.PlotShown, 0);
  EXPECT_EQ(View(f), flow);
}

TEST_F(GaugeWorkflowTest, PrintPlotPrintsOnePagePerCopyAndLeavesTheViewAlone) {
  Form1& f = Solved();
  auto recorder = std::make_unique<RecordingPrinter>();
  RecordingPrinter* printer = recorder.get();
  printer->chosenCopies = 2;
  SetWindowPrinter(f, std::move(recorder));
  Drag(f, 10, 20, 90, 30);
  const QImage plotted = View(f);
  gauge->PrintPlot->click();
  EXPECT_EQ(printer->presetCopies, 1);
  ASSERT_EQ(printer->jobs.size(), 2u);
  const QImage& page = printer->jobs[0][0];
  int black = 0;
  for (int y = 0; y < page.height(); y += 3)
    for (int x = 0; x < page.width(); x += 3) black += page.pixel(x, y) == qRgb(0, 0, 0);
  EXPECT_GT(black, 500);
  EXPECT_EQ(View(f), plotted);
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  printer->installed = false;
  gauge->PrintPlot->click();
  EXPECT_EQ(printer->jobs.size(), 2u);
  EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
