// An Escape pressed while nothing runs must not cut short a later flow drawing.
#include <QTest>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

class IdleEscape : public ShellFixture {
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
  void Click(Form1& f, float column, float row) {
    const QPoint p(static_cast<int>(column * f.mesh.CellWidth), static_cast<int>(row * f.mesh.CellHeight));
    QTest::mouseMove(f.V, p);
    QTest::mouseClick(f.V, Qt::LeftButton, {}, p);
  }
  int Black(Form1& f) {
    f.ViewCanvas().Flush();
    int n = 0;
    for (int y = 0; y < f.viewImage.height(); ++y)
      for (int x = 0; x < f.viewImage.width(); ++x) n += f.viewImage.pixel(x, y) == qRgb(0, 0, 0);
    return n;
  }
  Form1& CircleSolved() {
    Form1& f = Shown();
    f.Run(Cmd::SpeedButton23);
    Click(f, 50, 50);
    QTest::mouseMove(f.V, QPoint(static_cast<int>(56 * f.mesh.CellWidth),
                                 static_cast<int>(50 * f.mesh.CellHeight)));
    Click(f, 58, 50);
    f.Run(Cmd::SpeedButton21);
    return f;
  }
};

// The user presses Escape with nothing running (in the pressure map, to leave
// it); the next density command and the way back from the map still draw.
TEST_F(IdleEscape, LaterFlowDrawingsAreNotCutShort) {
  Form1& f = CircleSolved();
  ASSERT_EQ(f.display.StreamlinesShown, 1);
  const int drawn = Black(f);
  ASSERT_GT(drawn, 2000);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::MnuFlowNormal);
  EXPECT_GT(Black(f), drawn / 2) << "density command";
  f.Run(Cmd::SpeedButton24);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(f.display.PressureShown, 0);
  EXPECT_GT(Black(f), drawn / 2) << "back from the pressure map";
}

}  // namespace
