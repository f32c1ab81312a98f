// Sessions with Analyse > Lift: an aerofoil run without and with circulation,
// the read-out beside the view, the way back to the plain run bit for bit;
// Escape during the circulation runs; View > Surface Pressure round a circle,
// shown, printed and ended, the gauge left open.
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>
#include <vector>

#include "SessionFixture.h"
#include "platform/Printer.h"
#include "shell/GaugeCommands.h"

namespace {

class LiftSessionTest : public SessionFixture {
 protected:
  void TearDown() override {
    // The settings file outlives the window: the next session starts with lift off.
    if (window && State(*window).liftOn) Choose(Cmd::MnuAnalyseLift);
    if (window && State(*window).solver.Kind != SolverKind::Standard) Choose(Cmd::MnuSolverStandard);
    SessionFixture::TearDown();
  }

  Form1& LaunchLiftOff() {
    Form1& f = Launch();
    if (State(f).liftOn) Choose(Cmd::MnuAnalyseLift);
    return f;
  }

  struct Readout {
    bool shown = false;
    int aerofoil = 0;
    double circulation = 0, cl = 0, clPressure = 0;
  };
  // The lift read-out as the data labels beside the view show it.
  Readout LiftLabel() {
    static const QRegularExpression format(
        "^Aerofoil (\\d):  \u0393 (-?[0-9.]+)\\nCl (-?[0-9.]+) \\(KJ\\)  (-?[0-9.]+) \\(Cp\\)$");
    for (QLabel* l : Controls(*window).DataLabel) {
      const QRegularExpressionMatch m = format.match(l->text());
      if (m.hasMatch())
        return {true, m.captured(1).toInt(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                m.captured(4).toDouble()};
    }
    return {};
  }
  bool AnyLabelMentionsCirculation() {
    for (QLabel* l : Controls(*window).DataLabel)
      if (l->text().contains(QChar(0x0393))) return true;
    return false;
  }
};

TEST_F(LiftSessionTest, LiftAddsCirculationAndSwitchedOffTheRunIsTheSameBitForBit) {
  Form1& f = LaunchLiftOff();
  EXPECT_FALSE(f.Action(Cmd::MnuAnalyseLift)->isChecked());
  AddAerofoil(6);

  Run();
  const std::vector<float> plain = State(f).mesh.StreamFunction;
  const std::int32_t plainIterations = State(f).lastSolve.iterations;
  const QImage plainView = View();
  EXPECT_FALSE(AnyLabelMentionsCirculation());

  // The check item toggles, and the settings file follows each time.
  for (const bool expected : {true, false, true}) {
    Choose(Cmd::MnuAnalyseLift);
    EXPECT_EQ(State(f).liftOn, expected);
    EXPECT_EQ(f.Action(Cmd::MnuAnalyseLift)->isChecked(), expected);
    EXPECT_EQ(AppSettings().Lift(), expected);
  }

  std::vector<float> lifted;
  QImage liftedView;
  for (int round = 0; round < 2; ++round) {
    Run();
    EXPECT_EQ(State(f).lastSolve.iterations, plainIterations) << "the plain run under the lift is the run of before";
    ASSERT_EQ(State(f).lift.outcome, LiftOutcome::Applied) << round;
    ASSERT_EQ(State(f).lift.aerofoils.size(), 1u);
    EXPECT_NE(State(f).mesh.StreamFunction, plain);
    EXPECT_NE(View(), plainView) << "the flow lines follow the lifting flow";
    const Readout r = LiftLabel();
    ASSERT_TRUE(r.shown) << round;
    EXPECT_EQ(r.aerofoil, 1);
    EXPECT_GT(r.circulation, 0);
    // Nose up by 6 degrees: thin-aerofoil theory gives about 0.66 plus the camber's share.
    EXPECT_GT(r.cl, 0.3);
    EXPECT_LT(r.cl, 2.0);
    EXPECT_GT(r.clPressure, 0.3);
    EXPECT_LT(r.clPressure, 2.0);
    if (round == 0) {
      lifted = State(f).mesh.StreamFunction;
      liftedView = View();
    } else {
      EXPECT_EQ(State(f).mesh.StreamFunction, lifted) << "the same run gives the same lifting flow";
      EXPECT_EQ(View(), liftedView);
    }
  }

  // Switched off, the read-out goes at once and every run is the plain one again.
  Choose(Cmd::MnuAnalyseLift);
  EXPECT_FALSE(AnyLabelMentionsCirculation());
  for (int round = 0; round < 2; ++round) {
    Run();
    EXPECT_EQ(State(f).lastSolve.iterations, plainIterations) << round;
    EXPECT_EQ(State(f).mesh.StreamFunction, plain) << round;
    EXPECT_EQ(View(), plainView) << round;
    EXPECT_FALSE(AnyLabelMentionsCirculation()) << round;
  }
  EXPECT_TRUE(prompts.messages.empty());
}

// The circulation runs go through the solver chosen in Tools > Solver: the
// fast one reaches the same lift in far fewer iterations.
TEST_F(LiftSessionTest, TheCirculationRunsUseTheChosenSolver) {
  Form1& f = LaunchLiftOff();
  AddAerofoil(6);
  Choose(Cmd::MnuAnalyseLift);
  Run();
  ASSERT_EQ(State(f).lift.outcome, LiftOutcome::Applied);
  ASSERT_EQ(State(f).lift.extra.size(), 1u);
  const std::int32_t standardIterations = State(f).lift.extra[0].iterations;
  const double standardCl = State(f).lift.aerofoils[0].liftCoefficient;
  Choose(Cmd::MnuSolverFast);
  for (int round = 0; round < 2; ++round) {
    Run();
    ASSERT_EQ(State(f).lift.outcome, LiftOutcome::Applied) << round;
    ASSERT_EQ(State(f).lift.extra.size(), 1u);
    EXPECT_TRUE(State(f).lift.extra[0].Completed()) << round;
    EXPECT_LT(2 * State(f).lift.extra[0].iterations, standardIterations) << round;
    EXPECT_NEAR(State(f).lift.aerofoils[0].liftCoefficient, standardCl, 0.02) << round;
  }
}

TEST_F(LiftSessionTest, EscapeDuringTheCirculationRunsStopsTheRunEveryTime) {
  Form1& f = LaunchLiftOff();
  AddAerofoil(4);
  Run();
  const QImage before = View();
  Choose(Cmd::MnuAnalyseLift);
  for (int round = 0; round < 2; ++round) {
    // Escape as soon as the circulation runs show their prompt.
    QTimer watch;
    int escapes = 0;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (Panel(3) == " Calculating lift" && escapes == 0) {
        ++escapes;
        Press(Qt::Key_Escape);
      }
    });
    watch.start(1);
    Choose(Cmd::MnuAnalyseRun);
    watch.stop();
    ASSERT_EQ(escapes, 1) << round;
    EXPECT_EQ(View(), before) << "a stopped run draws nothing, round " << round;
    EXPECT_NE(State(f).lift.outcome, LiftOutcome::Applied);
    EXPECT_FALSE(AnyLabelMentionsCirculation());
    EXPECT_EQ(State(f).cmd.EscapePressed, 0);
    ExpectIdle("after Escape in the circulation runs, round " + std::to_string(round + 1));
    EXPECT_FALSE(Controls(f).ProgressBar1->isVisible());
  }
  // And a run left alone still lifts.
  Choose(Cmd::MnuAnalyseRun);
  EXPECT_EQ(State(f).lift.outcome, LiftOutcome::Applied);
  EXPECT_TRUE(LiftLabel().shown);
}

TEST_F(LiftSessionTest, SurfacePressureOfACircleShowsPrintsAndEndsAsThePlotDoes) {
  Form1& f = LaunchLiftOff();
  auto recording = std::make_unique<RecordingPrinter>();
  RecordingPrinter& printer = *recording;
  WindowProbe::SetPrinter(f, std::move(recording));
  GaugePanel* gauge = Controls(f).AGage;
  ASSERT_NE(gauge, nullptr);

  Choose(Cmd::MnuEditAddCircle);
  ClickView(50, 50);
  ClickView(58, 50);
  ASSERT_EQ(State(f).objects.CircleDataLen, 10);

  // Without a solution there is nothing to show, and the view stays.
  const QImage unsolved = View();
  Choose(Cmd::MnuViewSurfacePressure);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(View(), unsolved);
  EXPECT_EQ(State(f).cmd.PlotShown, 0);

  Run();
  ClickView(1, 1);  // nothing selected
  ASSERT_EQ(State(f).objects.ObjectSelected, 0);
  const QImage nothingSelected = View();
  Choose(Cmd::MnuViewSurfacePressure);
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(View(), nothingSelected);

  ClickView(50, 50);
  ASSERT_EQ(State(f).objects.ObjectSelected, 1);
  const QImage flow = View();
  const QRgb navy = qRgb(0, 0, 128), red = qRgb(255, 0, 0);
  for (int round = 0; round < 2; ++round) {
    Choose(Cmd::MnuViewSurfacePressure);
    ASSERT_EQ(State(f).cmd.PlotShown, 1) << round;
    EXPECT_TRUE(gauge->isVisible()) << "the plot's buttons come with the gauge";
    EXPECT_TRUE(gauge->EndPlot->isVisible());
    EXPECT_TRUE(gauge->PrintPlot->isVisible());
    EXPECT_TRUE(gauge->surface.hasExact);
    EXPECT_LT(gauge->surface.rmsDifference, 0.4);
    const QImage plot = View();
    EXPECT_GT(PixelsOf(plot, navy), 200) << "the computed curve";
    EXPECT_GT(PixelsOf(plot, red), 200) << "the exact curve";

    // Printed through the plot's print button, the window as it was after.
    QTest::mouseClick(gauge->PrintPlot, Qt::LeftButton);
    ASSERT_EQ(printer.jobs.size(), static_cast<std::size_t>(round + 1));
    const QImage& page = printer.jobs.back().at(0);
    EXPECT_GT(PixelsOf(page, navy), PixelsOf(plot, navy)) << "the page draws the curve larger";
    EXPECT_EQ(View(), plot);

    QTest::mouseClick(gauge->EndPlot, Qt::LeftButton);
    EXPECT_EQ(State(f).cmd.PlotShown, 0);
    EXPECT_FALSE(gauge->EndPlot->isVisible());
    EXPECT_EQ(View(), flow) << "End Plot brings the flow display back, round " << round;
    EXPECT_TRUE(gauge->isVisible()) << "the gauge stays open";
  }
  EXPECT_EQ(prompts.messages.size(), 2u);
}

}  // namespace
