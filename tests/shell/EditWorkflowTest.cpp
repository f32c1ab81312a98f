// The edit commands through the window: an aerofoil added from its panel and
// dragged with the mouse, a rectangle moved, and Clear All.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

class EditWorkflowTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    WritePreferences();
  }
  Form1& Shown() {
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    return f;
  }
  static QPoint At(Form1& f, float column, float row) {
    return QPoint(static_cast<int>(column * f.mesh.CellWidth), static_cast<int>(row * f.mesh.CellHeight));
  }
  void Click(Form1& f, float column, float row) {
    QTest::mouseMove(f.V, At(f, column, row));
    QTest::mouseClick(f.V, Qt::LeftButton, {}, At(f, column, row));
  }
  void DragOnView(Form1& f, QPoint from, QPoint to) {
    QTest::mouseMove(f.V, from);
    QTest::mousePress(f.V, Qt::LeftButton, {}, from);
    const QPoint mid = (from + to) / 2;
    // A move with the button held down, as the view's handlers see it.
    QMouseEvent press(QEvent::MouseMove, QPointF(mid), f.V->mapToGlobal(QPointF(mid)), Qt::NoButton, Qt::LeftButton,
                      {});
    QApplication::sendEvent(f.V, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), f.V->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(f.V, &move);
    QTest::mouseRelease(f.V, Qt::LeftButton, {}, to);
  }
};

TEST_F(EditWorkflowTest, AerofoilFromThePanelIsMovedWithTheMouseAndRectangleClearedOutOfTheWay) {
  Form1& f = Shown();
  auto* panel = f.findChild<QGroupBox*>("Aerosize");
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isHidden());
  f.Run(Cmd::SpeedButton6);
  EXPECT_FALSE(panel->isHidden());
  EXPECT_EQ(panel->pos(), QPoint(f.mesh.ViewRight, f.mesh.ViewTop));
  EXPECT_EQ(f.StatusPanel[3]->text().toStdString(), "Add aerofoil");
  f.findChild<QSlider*>("AeroRot")->setValue(-8);
  EXPECT_EQ(f.findChild<QLabel*>("Aeroang")->text(), "-8");
  QTest::mouseClick(f.findChild<QPushButton*>("Button1"), Qt::LeftButton);
  EXPECT_TRUE(panel->isHidden());
  ASSERT_EQ(f.objects.AerofoilDataLen, 4);
  EXPECT_EQ(f.objects.AerofoilData[3], -8.0f);
  EXPECT_FALSE(f.Button(Cmd::SpeedButton8)->isEnabled());  // Copy does not apply to it
  EXPECT_TRUE(f.Button(Cmd::SpeedButton9)->isEnabled());

  f.Run(Cmd::SpeedButton9);
  EXPECT_EQ(f.StatusPanel[3]->text().toStdString(), "Move: Click on object and drag to new position");
  const QPoint from = At(f, 50, 47), to = At(f, 50, 27);
  DragOnView(f, from, to);
  // Twenty cells of the 100 mesh up are a fifth of the 299 map cells.
  EXPECT_NEAR(f.objects.AerofoilData[1], -60.0f, 2.0f);
  EXPECT_EQ(f.objects.AerofoilData[0], 0.0f);
  EXPECT_EQ(f.cmd.MoveActive, 0);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
  EXPECT_EQ(f.doc.DocumentModified, 1);

  prompts.answers = {Answer::Yes};
  f.Run(Cmd::MnuEditClearAll);
  ASSERT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(prompts.questions.back(), "Do you want to clear all objects from the net?");
  EXPECT_EQ(f.objects.AerofoilDataLen, 0);
  EXPECT_EQ(f.objects.ObjectSelected, 0);
  EXPECT_EQ(f.StatusPanel[3]->text().toStdString(), "New file");
  EXPECT_TRUE(f.Button(Cmd::SpeedButton8)->isEnabled());  // nothing selected: Copy is back
}

TEST_F(EditWorkflowTest, EscapeClosesTheAngleAndAddsNothing) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton6);
  auto* panel = f.findChild<QGroupBox*>("Aerosize");
  ASSERT_FALSE(panel->isHidden());
  QTest::keyClick(&f, Qt::Key_Escape);
  EXPECT_TRUE(panel->isHidden());
  EXPECT_EQ(f.objects.AerofoilDataLen, 0);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
}

}  // namespace
