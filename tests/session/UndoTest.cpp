// Edit > Undo and Redo through whole sessions: every drawing command undone and
// redone twice gives back the same table and pixels; nothing before the first
// step; a new change drops the redo steps; the flow lines come back only with
// the drawing they were solved for; New and Open start a fresh history.
#include <QLineEdit>

#include "SessionFixture.h"
#include "geometry/History.h"

namespace {

class UndoTest : public SessionFixture {
 protected:
  void Undo() { Press(Qt::Key_Z, Qt::ControlModifier); }
  void Redo() { Press(Qt::Key_Y, Qt::ControlModifier); }
  DrawingSnapshot Table() { return TakeSnapshot(State(*window).objects, State(*window).doc.Title); }
  // Undoes and redoes the last step twice, holding table and pixels to the
  // states before and after it.
  void HoldStep(const std::string& name, const DrawingSnapshot& before, const QImage& viewBefore) {
    Form1& f = *window;
    const DrawingSnapshot after = Table();
    const QImage viewAfter = View();
    EXPECT_EQ(f.Action(Cmd::MnuEditUndo)->text().toStdString(), "U&ndo " + name);
    for (int round = 0; round < 2; ++round) {
      Undo();
      EXPECT_EQ(Table(), before) << name << " undone, round " << round;
      EXPECT_EQ(View(), viewBefore) << name << " undone, round " << round;
      EXPECT_EQ(State(f).doc.DocumentModified, 1);
      EXPECT_EQ(f.Action(Cmd::MnuEditRedo)->text().toStdString(), "Re&do " + name);
      Redo();
      EXPECT_EQ(Table(), after) << name << " redone, round " << round;
      EXPECT_EQ(View(), viewAfter) << name << " redone, round " << round;
    }
  }
};

TEST_F(UndoTest, EveryDrawingCommandUndoesAndRedoesToTheSameTableAndPixels) {
  Form1& f = Launch();
  // `select` picks the object the command works on; the step starts after it.
  auto step = [&](const std::string& name, const std::function<void()>& command,
                  const std::function<void()>& select = {}) {
    if (select) select();
    const DrawingSnapshot before = Table();
    const QImage viewBefore = View();
    command();
    ASSERT_NE(Table(), before) << name << " changed nothing";
    HoldStep(name, before, viewBefore);
  };
  step("Add Rectangular Section", [&] { DrawRectangle(); });
  step("Add Circular Section", [&] { DrawCircle(70, 30, 6); });
  step("Flip", [&] { ClickButton(Cmd::SpeedButton11); }, [&] { ClickView(37, 50); });
  step(
      "Move",
      [&] {
        ClickButton(Cmd::SpeedButton9);
        DragOnView(At(37, 50), At(37, 70));
      },
      [&] { ClickView(37, 50); });
  step(
      "Copy",
      [&] {
        ClickButton(Cmd::SpeedButton8);
        DragOnView(At(37, 70), At(60, 80));
      },
      [&] { ClickView(37, 70); });
  step(
      "Expand",
      [&] {
        ClickButton(Cmd::SpeedButton14);
        DragOnView(At(76, 30), At(79, 30));
      },
      [&] { ClickView(73, 30); });
  step("Add Aerofoil", [&] { AddAerofoil(6); });
  step("Clear", [&] { ClickButton(Cmd::SpeedButton15); }, [&] { ClickView(37, 70); });
  step("Clear All", [&] {
    prompts.answers = {Answer::Yes};
    Choose(Cmd::MnuEditClearAll);
  });
  step("Title", [&] {
    Choose(Cmd::MnuTitleAdd);
    Controls(f).TitleFrame->TitleText->setText("Two bodies");
    QTest::mouseClick(Controls(f).TitleFrame->TitleOK, Qt::LeftButton);
  });
  EXPECT_EQ(State(f).doc.Title, "Two bodies");
}

TEST_F(UndoTest, NothingBeforeTheFirstStepAndANewChangeDropsTheRedoSteps) {
  Form1& f = Launch();
  const QImage empty = View();
  for (int round = 0; round < 2; ++round) {
    const int beeps = prompts.beeps;
    Undo();
    Redo();
    EXPECT_EQ(prompts.beeps, beeps + 2);
    EXPECT_EQ(View(), empty);
  }
  DrawRectangle();
  DrawCircle(70, 30, 6);
  Undo();
  EXPECT_EQ(State(f).objects.CircleDataLen, 0);
  ClickButton(Cmd::SpeedButton23);  // a command started and cancelled is no step
  Press(Qt::Key_Escape);
  EXPECT_EQ(f.Action(Cmd::MnuEditRedo)->text().toStdString(), "Re&do Add Circular Section");
  DrawCircle(70, 30, 6);  // a new change: the circle undone before cannot come back
  EXPECT_EQ(f.Action(Cmd::MnuEditRedo)->text().toStdString(), "Re&do");
  const int beeps = prompts.beeps;
  Redo();
  EXPECT_EQ(prompts.beeps, beeps + 1);
  // Undo is locked while a command is in progress.
  ClickButton(Cmd::SpeedButton4);
  Undo();
  EXPECT_EQ(State(f).objects.CircleDataLen, 10);
  EXPECT_EQ(State(f).cmd.AddRectStep, 1) << "the command in progress goes on";
  Press(Qt::Key_Escape);
}

TEST_F(UndoTest, FlowLinesComeBackOnlyWithTheDrawingTheyWereSolvedForAndNewClearsTheHistory) {
  Form1& f = Launch();
  DrawCircle(70, 30, 6);
  ClickButton(Cmd::SpeedButton21);
  ASSERT_EQ(State(f).display.StreamlinesShown, 1);
  auto dots = [](const QImage& v) { return PixelsOf(v, qRgb(0, 0, 0)); };
  const int solvedDots = dots(View());
  DrawRectangle();
  QImage firstBack;
  for (int round = 0; round < 2; ++round) {
    Undo();  // the drawing the run was made for: its flow lines show again
    EXPECT_EQ(State(f).display.StreamlinesShown, 1) << round;
    const QImage back = View();
    EXPECT_NEAR(dots(back), solvedDots, solvedDots / 50) << "the same flow lines, round " << round;
    if (round == 0) firstBack = back;
    EXPECT_EQ(back, firstBack);
    Undo();  // an empty mesh was never solved
    EXPECT_EQ(State(f).display.StreamlinesShown, 0) << round;
    EXPECT_FALSE(f.Action(Cmd::MnuAnalyseRun)->isEnabled()) << "Run needs a set-up again";
    Redo();
    Redo();
    EXPECT_EQ(State(f).objects.RectDataLen, 10);
  }
  prompts.answers = {Answer::No};
  ClickButton(Cmd::SpeedButton19);
  EXPECT_EQ(f.Action(Cmd::MnuEditUndo)->text().toStdString(), "U&ndo");
  const int beeps = prompts.beeps;
  Undo();
  EXPECT_EQ(prompts.beeps, beeps + 1);
}

}  // namespace
