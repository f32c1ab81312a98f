// Sessions a user lives through: Escape in every command, again and again; the
// mesh size changed and changed back; the window sized by the desktop after it
// is shown; panels closed from the keyboard's point of view; a narrow window;
// a run stopped twice; open, run, save and open again.
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "SessionFixture.h"

namespace {

class SessionTest : public SessionFixture {
 protected:
  // The first column of the view whose pixels match the vertical centre line
  // (xor over white leaves it non-white all the way down).
  int CentreLineColumn() {
    const QImage v = View();
    for (int x = 0; x < v.width(); ++x) {
      int dark = 0;
      for (int y = 0; y < v.height(); y += 7) dark += v.pixel(x, y) != qRgb(255, 255, 255);
      if (dark > v.height() / 7 * 9 / 10) return x;
    }
    return -1;
  }
  struct Geometry {
    int viewLeft, viewTop, viewSize, centreX, centreY;
    float cellWidth;
    QRect widget;
    bool operator==(const Geometry&) const = default;
  };
  Geometry Now() const {
    const Mesh& m = State(*window).mesh;
    return {m.ViewLeft, m.ViewTop, m.ViewSize, m.MeshCentreX, m.MeshCentreY, m.CellWidth, Controls(*window).V->geometry()};
  }
};

TEST_F(SessionTest, EscapeCancelsEveryCreationCommandThreeTimesInARow) {
  Form1& f = Launch();
  const QImage before = View();
  struct Creation {
    Cmd button;
    int clicks;  // clicks made before Escape, to be in the middle of the command
  };
  for (const Creation c : {Creation{Cmd::SpeedButton4, 1}, Creation{Cmd::SpeedButton4, 2},
                           Creation{Cmd::SpeedButton23, 1}, Creation{Cmd::SpeedButton25, 1},
                           Creation{Cmd::SpeedButton4, 0}}) {
    for (int round = 0; round < 3; ++round) {
      const std::string at = "button " + std::to_string(static_cast<int>(c.button)) + ", " +
                             std::to_string(c.clicks) + " clicks, round " + std::to_string(round + 1);
      ClickButton(c.button);
      ASSERT_FALSE(f.Action(Cmd::MnuFile)->isEnabled()) << at;
      EXPECT_EQ(Panel(4), "Press Escape key to exit") << at;
      for (int k = 0; k < c.clicks; ++k) ClickView(30, 40 + 20 * k);
      MoveOnView(55, 52);
      Press(Qt::Key_Escape);
      ExpectIdle(at);
      EXPECT_EQ(View(), before) << at;
      EXPECT_EQ(State(f).objects.RectDataLen + State(f).objects.CircleDataLen, 0) << at;
    }
  }
  // The aerofoil's angle panel closes on Escape every time too.
  auto* aerosize = f.findChild<QGroupBox*>("Aerosize");
  ASSERT_NE(aerosize, nullptr);
  for (int round = 0; round < 3; ++round) {
    ClickButton(Cmd::SpeedButton6);
    ASSERT_TRUE(aerosize->isVisible());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(aerosize->isVisible()) << round;
    ExpectIdle("aerofoil panel, round " + std::to_string(round + 1));
    EXPECT_EQ(State(f).objects.AerofoilDataLen, 0);
  }
}

TEST_F(SessionTest, EscapeCancelsEveryEditCommandThreeTimesInARow) {
  Form1& f = Launch();
  DrawRectangle();
  EXPECT_EQ(State(f).objects.RectData[8], 999.0f);
  EXPECT_GT(PixelsOf(View(), qRgb(255, 0, 0)), 40) << "drawn red as the selection";
  EXPECT_EQ(State(f).doc.DocumentModified, 1);
  ExpectIdle("a rectangle drawn");
  const std::vector<float> table(State(f).objects.RectData.begin(), State(f).objects.RectData.begin() + 10);
  for (Cmd c : {Cmd::SpeedButton8, Cmd::SpeedButton9, Cmd::SpeedButton10, Cmd::SpeedButton17, Cmd::SpeedButton18,
                Cmd::SpeedButton14}) {
    for (int round = 0; round < 3; ++round) {
      const std::string at = "button " + std::to_string(static_cast<int>(c)) + ", round " + std::to_string(round + 1);
      ClickView(37, 50);  // selects the rectangle again: Escape drops the selection
      ASSERT_EQ(State(f).objects.ObjectSelected, 1) << at;
      ClickButton(c);
      ASSERT_FALSE(f.Action(Cmd::MnuEdit)->isEnabled()) << at;
      MoveOnView(60, 70);
      Press(Qt::Key_Escape);
      ExpectIdle(at);
      EXPECT_EQ(State(f).objects.RectDataLen, 10) << at;
      EXPECT_EQ(std::vector<float>(State(f).objects.RectData.begin(), State(f).objects.RectData.begin() + 10), table) << at;
    }
  }
}

TEST_F(SessionTest, FlipShowsItsHelpAndTwoFlipsGiveTheRectangleBack) {
  Form1& f = Launch();
  Choose(Cmd::Mnuhelp);
  ASSERT_TRUE(f.Action(Cmd::Mnuhelp)->isChecked());
  DrawRectangle();
  const std::vector<float> drawn(State(f).objects.RectData.begin(), State(f).objects.RectData.begin() + 8);
  for (Cmd flip : {Cmd::SpeedButton11, Cmd::SpeedButton16}) {
    for (int round = 0; round < 2; ++round) {
      ClickButton(flip);
      EXPECT_TRUE(Controls(f).OnLineHelp[0]->text().startsWith(
          "FLIP reverses the direction of a selected object either horizontally or"));
      ExpectIdle("flip " + std::to_string(round));
    }
    for (std::size_t i = 0; i < 8; ++i) EXPECT_NEAR(State(f).objects.RectData[i], drawn[i], 1e-3f) << i;
  }
}

TEST_F(SessionTest, IdleEscapesDoNotUseUpTheOneThatCancels) {
  Form1& f = Launch();
  Press(Qt::Key_Escape);
  Press(Qt::Key_Escape);
  for (int round = 0; round < 2; ++round) {
    ClickButton(Cmd::SpeedButton23);
    ClickView(50, 50);
    Press(Qt::Key_Escape);
    ExpectIdle("circle after idle Escapes, round " + std::to_string(round + 1));
    EXPECT_EQ(State(f).cmd.EscapePressed, 0);
  }
  // A command still completes after all that.
  DrawRectangle();
  EXPECT_EQ(State(f).objects.RectDataLen, 10);
}

// A letter key empties panel four and leaves the command running; the last
// point's prompt stays while the rectangle is dragged out.
TEST_F(SessionTest, TheRectanglePromptsStandThroughKeysAndMoves) {
  Form1& f = Launch();
  for (int round = 0; round < 2; ++round) {
    ClickButton(Cmd::SpeedButton4);
    ASSERT_EQ(Panel(4), "Press Escape key to exit");
    Press(Qt::Key_A);
    EXPECT_EQ(Panel(4), "");
    EXPECT_EQ(State(f).cmd.AddRectStep, 1);
    EXPECT_EQ(Panel(3), "Add rectangular section: Click on first point ");
    ClickView(30, 40);
    EXPECT_EQ(Panel(3), "Add rectangular section: Click on second point");
    ClickView(30, 60);
    EXPECT_EQ(Panel(3), "Add rectangular section: Click on last point ");
    MoveOnView(36, 55);
    MoveOnView(40, 57);
    EXPECT_EQ(Panel(3), "Add rectangular section: Click on last point ") << round;
    Press(Qt::Key_Escape);
    ExpectIdle("after a letter key, round " + std::to_string(round + 1));
  }
}

TEST_F(SessionTest, MeshSizeThereAndBackKeepsTheStartUpView) {
  Form1& f = Launch();
  const Geometry start = Now();
  EXPECT_EQ(start.widget, QRect(start.viewLeft, start.viewTop, start.viewSize, start.viewSize));
  const int centreLine = CentreLineColumn();
  ASSERT_GT(centreLine, 0);
  const QImage startView = View();
  for (int round = 0; round < 2; ++round) {
    for (Cmd size : {Cmd::N300, Cmd::N200}) {
      Choose(size);
      const Geometry there = Now();
      EXPECT_EQ(there.viewSize, start.viewSize);
      EXPECT_EQ(there.widget, start.widget) << "the view widget keeps the laid-out size";
      // The whole visible mesh lies inside the widget.
      EXPECT_LE(std::ceil(State(f).mesh.VisibleMeshSize * State(f).mesh.CellWidth), Controls(f).V->width());
      Choose(Cmd::N100);
      EXPECT_EQ(Now(), start) << "round " << round;
      EXPECT_EQ(State(f).mesh.MeshSize, 120);
      EXPECT_EQ(State(f).mesh.StreamFunction.size(), 120u * 122u);
      EXPECT_EQ(State(f).mesh.MeshBorder, 10);
      EXPECT_EQ(CentreLineColumn(), centreLine);
      EXPECT_EQ(View(), startView);
    }
  }
}

TEST_F(SessionTest, TheViewSettlesOnTheWindowAsShownAndThenStaysPut) {
  Form1& f = Launch();
  // A window manager sizes the window once more after it first appears.
  const QSize shown = f.size();
  f.resize(shown.width() - 40, shown.height() - 60);
  QApplication::processEvents();
  const auto [toolHeight, clientWidth, clientHeight] = WindowProbe::ViewFrame(f);
  EXPECT_EQ(toolHeight, Controls(f).toolpanel->height());
  EXPECT_EQ(clientHeight, Controls(f).client->height());
  EXPECT_EQ(clientWidth, Controls(f).client->width());
  EXPECT_EQ(State(f).mesh.ViewSize, Controls(f).client->height() - Controls(f).toolpanel->height());
  EXPECT_EQ(State(f).mesh.ViewLeft, Controls(f).client->width() / 50);
  const Geometry settled = Now();
  EXPECT_EQ(settled.widget, QRect(settled.viewLeft, settled.viewTop, settled.viewSize, settled.viewSize));
  EXPECT_EQ(WindowProbe::ViewFrame(f)[2], Controls(f).client->height());
  EXPECT_EQ(State(f).mesh.ViewTop, Controls(f).toolpanel->height());
  // The labels beside it, the image as wide as view and labels.
  EXPECT_EQ(Controls(f).DataLabel[0]->x(), State(f).mesh.ViewRight);
  EXPECT_EQ(Controls(f).OnLineHelp[3]->geometry().bottom() + 1, State(f).mesh.ViewBottom);
  EXPECT_EQ(Controls(f).viewImage.width(), State(f).mesh.ViewRight);

  // The user starts to work; from then on the geometry never moves.
  DrawRectangle();
  EXPECT_TRUE(WindowProbe::ViewGeometrySettled(f));
  for (int round = 0; round < 2; ++round) {
    f.resize(shown.width() - 100 - 30 * round, shown.height() - 120 - 20 * round);
    QApplication::processEvents();
    EXPECT_EQ(Now(), settled);
    Choose(Cmd::N300);
    Choose(Cmd::N100);
    EXPECT_EQ(Now(), settled) << "round " << round;
  }
}

TEST_F(SessionTest, FocusGoesBackToTheViewWhenAPanelCloses) {
  WritePreferences(/*tips=*/true);
  Form1& f = Launch();
  auto* gauge = f.findChild<QWidget*>("AGage");
  ASSERT_NE(gauge, nullptr);
  ASSERT_TRUE(Controls(f).GroupBox1->isVisible());
  QTest::mouseClick(Controls(f).GroupBox1->tipclose, Qt::LeftButton);
  EXPECT_EQ(f.focusWidget(), Controls(f).V);
  Press(Qt::Key_Space);
  EXPECT_FALSE(gauge->isVisible()) << "a stray Space pressed a button";
  for (int round = 0; round < 2; ++round) {
    Choose(Cmd::MnuPreferences);
    ASSERT_TRUE(Controls(f).PrefBox->isVisible());
    QTest::mouseClick(round == 0 ? Controls(f).PrefBox->Button3 : Controls(f).PrefBox->Button2, Qt::LeftButton);
    EXPECT_FALSE(Controls(f).PrefBox->isVisible());
    EXPECT_EQ(f.focusWidget(), Controls(f).V) << round;
    Press(Qt::Key_Space);
    EXPECT_FALSE(gauge->isVisible());
  }
}

TEST_F(SessionTest, StatusPanelsNeverOverlapAndThePromptStaysWholeOnANarrowWindow) {
  Form1& f = Launch();
  const QFontMetrics fm(Controls(f).StatusBar1->font());
  const int prompt = fm.horizontalAdvance("Add circular section: Click when outer circle positioned");
  for (int width : {f.minimumWidth(), f.minimumWidth() + 150, 2000}) {
    f.resize(width, f.height());
    QApplication::processEvents();
    for (std::size_t i = 0; i + 1 < 6; ++i) {
      const QRect a = Controls(f).StatusPanel[i]->geometry(), b = Controls(f).StatusPanel[i + 1]->geometry();
      EXPECT_LT(a.right(), b.left()) << "panels " << i << " and " << i + 1 << " at width " << width;
    }
    EXPECT_LE(Controls(f).StatusPanel[5]->geometry().right(), Controls(f).StatusBar1->width()) << width;
    EXPECT_GE(Controls(f).StatusPanel[3]->width(), prompt) << width;
  }
  // Where the design fits, every panel has its design width.
  EXPECT_EQ(Controls(f).StatusPanel[0]->width(), 50);
  EXPECT_EQ(Controls(f).StatusPanel[3]->width(), prompt + 6);
  EXPECT_EQ(Controls(f).StatusPanel[4]->width(), fm.horizontalAdvance("Press escape key to exit") + 6);
  QToolButton* run = f.Button(Cmd::SpeedButton21);
  EXPECT_EQ(f.minimumWidth(), run->x() + run->width() + 2 * WindowProbe::ScrollBarWidth(f));
  EXPECT_EQ(f.minimumHeight(), 4 * Controls(f).toolpanel->height());
}

TEST_F(SessionTest, EscapeStopsARunEveryTime) {
  Form1& f = Launch();
  Choose(Cmd::N300);
  DrawCircle(150, 150, 20);
  Choose(Cmd::MnuAnalyseSetUp);
  for (int round = 0; round < 2; ++round) {
    const QImage before = View();
    // Escape arrives while the run lets input through.
    QTimer::singleShot(30, &f, [this] { Press(Qt::Key_Escape); });
    Choose(Cmd::MnuAnalyseRun);
    EXPECT_EQ(State(f).display.StreamlinesShown, 0) << round;
    EXPECT_EQ(View(), before) << "a stopped run draws nothing, round " << round;
    EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
    EXPECT_FALSE(Controls(f).ProgressBar1->isVisible());
  }
}

TEST_F(SessionTest, OpenRunSaveAndOpenAgainGiveTheSameSolution) {
  Form1& f = Launch();
  DrawCircle(50, 50, 10);
  Choose(Cmd::MnuTitleAdd);
  Controls(f).TitleFrame->TitleText->setText("Circle in a stream");
  QTest::mouseClick(Controls(f).TitleFrame->TitleOK, Qt::LeftButton);
  Run();
  const std::string name = (folder / "round.QDN").string();
  prompts.fileNames = {name};
  Choose(Cmd::MnuFileSaveAs);
  ASSERT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane " + name);
  std::vector<float> solved(State(f).mesh.StreamFunction.begin(), State(f).mesh.StreamFunction.end());
  QImage solvedView = View();
  for (int round = 0; round < 2; ++round) {
    ClickButton(Cmd::SpeedButton19);  // New
    EXPECT_EQ(State(f).objects.CircleDataLen, 0);
    prompts.fileNames = {name};
    ClickButton(Cmd::SpeedButton2);  // Open
    ASSERT_EQ(State(f).objects.CircleDataLen, 10) << round;
    EXPECT_EQ(std::vector<float>(State(f).mesh.StreamFunction.begin(), State(f).mesh.StreamFunction.end()), solved);
    EXPECT_EQ(View(), solvedView) << round;
    EXPECT_EQ(State(f).doc.Title, "Circle in a stream");
    EXPECT_NE(Panel(5).find("Circle in a stream"), std::string::npos);
    // Run again from the kept solution, and save over the document.
    ClickButton(Cmd::SpeedButton21);
    EXPECT_EQ(State(f).display.StreamlinesShown, 1);
    solvedView = View();
    ClickButton(Cmd::SpeedButton1);  // Save
    EXPECT_EQ(State(f).doc.DocumentModified, 0);
    solved.assign(State(f).mesh.StreamFunction.begin(), State(f).mesh.StreamFunction.end());
  }
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SessionTest, TheSolverChoiceIsKeptAndTheFastRunDrawsTheSameFlow) {
  Form1& f = Launch();
  EXPECT_TRUE(f.Action(Cmd::MnuSolverStandard)->isChecked()) << "the specified solver is the default";
  DrawCircle(50, 50, 8);
  Run();
  ASSERT_TRUE(State(f).lastSolve.Completed());
  const int standardIterations = State(f).lastSolve.iterations;
  const std::vector<float> standard(State(f).mesh.StreamFunction.begin(), State(f).mesh.StreamFunction.end());
  for (int round = 0; round < 2; ++round) {
    Choose(Cmd::MnuSolverFast);
    EXPECT_TRUE(f.Action(Cmd::MnuSolverFast)->isChecked());
    EXPECT_FALSE(f.Action(Cmd::MnuSolverStandard)->isChecked());
    ClickButton(Cmd::SpeedButton21);
    ASSERT_TRUE(State(f).lastSolve.Completed());
    EXPECT_LT(State(f).lastSolve.iterations * 10, standardIterations);
    const auto [lo, hi] = std::minmax_element(standard.begin(), standard.end());
    float worst = 0;
    for (std::int32_t r = 0; r < 100; ++r)
      for (std::int32_t c = 0; c < 100; ++c) {
        const auto k = static_cast<std::size_t>(State(f).mesh.Index(r, c));
        worst = std::max(worst, std::fabs(State(f).mesh.StreamFunction[k] - standard[k]));
      }
    EXPECT_LT(worst / (*hi - *lo), 0.01f);
  }
  // The next start keeps the choice; the preference file is not where it lives.
  const std::string prefBefore = ReadFile("Pref.PRF");
  window.reset();
  Form1& again = Launch();
  EXPECT_TRUE(again.Action(Cmd::MnuSolverFast)->isChecked());
  Choose(Cmd::MnuSolverStandard);
  EXPECT_TRUE(again.Action(Cmd::MnuSolverStandard)->isChecked());
  EXPECT_EQ(ReadFile("Pref.PRF"), prefBefore);
}

}  // namespace
