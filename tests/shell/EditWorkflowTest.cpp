// The edit commands through the window: an aerofoil added from its panel and
// dragged with the mouse, and Clear All; Escape closing the panel.
#include <QAction>
#include <QGroupBox>
#include <QToolButton>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

class EditWorkflowTest : public ShellFixture {
 protected:
  Form1& Shown() {
    WritePreferences();
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    panel = f.findChild<QGroupBox*>("Aerosize");
    EXPECT_NE(panel, nullptr);
    return f;
  }
  static QPoint At(Form1& f, float column, float row) {
    return QPoint(static_cast<int>(column * State(f).mesh.CellWidth), static_cast<int>(row * State(f).mesh.CellHeight));
  }
  // Moves with the button held down, as the view's handlers see them.
  void DragOnView(Form1& f, QPoint from, QPoint to) {
    QTest::mouseMove(Controls(f).V, from);
    QTest::mousePress(Controls(f).V, Qt::LeftButton, {}, from);
    for (const QPoint p : {(from + to) / 2, to}) {
      QMouseEvent move(QEvent::MouseMove, QPointF(p), Controls(f).V->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton, {});
      QApplication::sendEvent(Controls(f).V, &move);
    }
    QTest::mouseRelease(Controls(f).V, Qt::LeftButton, {}, to);
  }
  QGroupBox* panel = nullptr;
};

TEST_F(EditWorkflowTest, AerofoilFromThePanelIsMovedWithTheMouseAndClearedWithClearAll) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton6);
  EXPECT_FALSE(panel->isHidden());
  EXPECT_EQ(panel->pos(), QPoint(State(f).mesh.ViewRight, State(f).mesh.ViewTop));
  f.findChild<QSlider*>("AeroRot")->setValue(-8);
  QTest::mouseClick(f.findChild<QPushButton*>("Button1"), Qt::LeftButton);
  EXPECT_TRUE(panel->isHidden());
  ASSERT_EQ(State(f).objects.AerofoilDataLen, 4);
  EXPECT_EQ(State(f).objects.AerofoilData[3], -8.0f);
  EXPECT_FALSE(f.Button(Cmd::SpeedButton8)->isEnabled());  // Copy does not apply to it

  f.Run(Cmd::SpeedButton9);
  DragOnView(f, At(f, 50, 47), At(f, 50, 27));
  // Twenty cells of the 100 mesh up are a fifth of the 299 map cells.
  EXPECT_NEAR(State(f).objects.AerofoilData[1], -60.0f, 2.0f);
  EXPECT_EQ(State(f).objects.AerofoilData[0], 0.0f);
  EXPECT_EQ(State(f).doc.DocumentModified, 1);

  prompts.answers = {Answer::Yes};
  f.Run(Cmd::MnuEditClearAll);
  ASSERT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(prompts.questions.back(), "Do you want to clear all objects from the net?");
  EXPECT_EQ(State(f).objects.AerofoilDataLen, 0);
  EXPECT_TRUE(f.Button(Cmd::SpeedButton8)->isEnabled());  // nothing selected: Copy is back
}

TEST_F(EditWorkflowTest, EscapeClosesTheAngleAndAddsNothing) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton6);
  ASSERT_FALSE(panel->isHidden());
  QTest::keyClick(&f, Qt::Key_Escape);
  EXPECT_TRUE(panel->isHidden());
  EXPECT_EQ(State(f).objects.AerofoilDataLen, 0);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
}

}  // namespace
