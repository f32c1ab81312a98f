// A user's road through the window with real mouse events: draw, run, look at
// the pressure, save and open again.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

class WorkflowTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    WritePreferences();
  }
  // Mouse moves reach only a window on the screen.
  Form1& Shown() {
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    return f;
  }
  // A click on the view at a point given in cells from its top-left corner.
  void Click(Form1& f, float column, float row) {
    const QPoint p(static_cast<int>(column * State(f).mesh.CellWidth), static_cast<int>(row * State(f).mesh.CellHeight));
    QTest::mouseMove(Controls(f).V, p);
    QTest::mouseClick(Controls(f).V, Qt::LeftButton, {}, p);
  }
  void Move(Form1& f, float column, float row) {
    QTest::mouseMove(Controls(f).V, QPoint(static_cast<int>(column * State(f).mesh.CellWidth),
                                 static_cast<int>(row * State(f).mesh.CellHeight)));
  }
  int PixelsOf(Form1& f, QRgb colour) {
    WindowProbe::ViewCanvas(f).Flush();
    int n = 0;
    for (int y = 0; y < Controls(f).viewImage.height(); ++y)
      for (int x = 0; x < Controls(f).viewImage.width(); ++x) n += Controls(f).viewImage.pixel(x, y) == colour;
    return n;
  }
};

TEST_F(WorkflowTest, ThreeClicksMakeARectangleWithThePromptsOnTheWay) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton4);
  EXPECT_EQ(Controls(f).StatusPanel[3]->text().toStdString(), "Add rectangular section: Click on first point ");
  EXPECT_FALSE(f.Action(Cmd::MnuFile)->isEnabled());
  Click(f, 30, 40);
  EXPECT_EQ(Controls(f).StatusPanel[3]->text().toStdString(), "Add rectangular section: Click on second point");
  Click(f, 30, 60);
  Move(f, 40, 55);
  Click(f, 45, 60);
  EXPECT_EQ(State(f).objects.RectDataLen, 10);
  EXPECT_EQ(State(f).objects.ObjectSelected, 1);
  EXPECT_EQ(State(f).objects.RectData[8], 999.0f);
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_GT(PixelsOf(f, qRgb(255, 0, 0)), 40);  // drawn red as the selection
  EXPECT_EQ(State(f).doc.DocumentModified, 1);
}

TEST_F(WorkflowTest, EscapeInTheMiddleOfACircleLeavesNothingBehind) {
  Form1& f = Shown();
  WindowProbe::ViewCanvas(f).Flush();
  const QImage before = Controls(f).viewImage.copy();
  f.Run(Cmd::SpeedButton23);
  Click(f, 50, 50);
  Move(f, 58, 50);
  Move(f, 60, 52);
  QTest::keyClick(&f, Qt::Key_Escape);
  EXPECT_EQ(State(f).objects.CircleDataLen, 0);
  EXPECT_EQ(State(f).cmd.AddCircleStep, 0);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
  WindowProbe::ViewCanvas(f).Flush();
  EXPECT_EQ(Controls(f).viewImage, before);
}

TEST_F(WorkflowTest, RunDrawsFlowLinesRoundACentredCircleAndThePressureMapComesAndGoes) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton23);
  Click(f, 50, 50);
  Move(f, 56, 50);
  Click(f, 58, 50);
  ASSERT_EQ(State(f).objects.CircleDataLen, 10);
  f.Run(Cmd::SpeedButton21);
  EXPECT_EQ(State(f).display.StreamlinesShown, 1);
  EXPECT_TRUE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_TRUE(Controls(f).ProgressBar1->isHidden());
  EXPECT_GT(PixelsOf(f, qRgb(0, 0, 0)), 2000);        // the contour dots
  EXPECT_GT(PixelsOf(f, qRgb(128, 128, 128)), 200);  // the solid fill

  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 1);
  EXPECT_FALSE(Controls(f).Bdisplay->isHidden());
  EXPECT_EQ(Controls(f).StatusPanel[4]->text().toStdString(), "Click F>P to return");
  EXPECT_FALSE(f.Action(Cmd::MnuEdit)->isEnabled());
  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 0);
  EXPECT_TRUE(Controls(f).Bdisplay->isHidden());
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
}

// The user presses Escape with nothing running (in the pressure map, to leave
// it); the next density command and the way back from the map still draw.
TEST_F(WorkflowTest, AnIdleEscapeDoesNotCutShortLaterFlowDrawings) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton23);
  Click(f, 50, 50);
  Move(f, 56, 50);
  Click(f, 58, 50);
  f.Run(Cmd::SpeedButton21);
  ASSERT_EQ(State(f).display.StreamlinesShown, 1);
  const int drawn = PixelsOf(f, qRgb(0, 0, 0));
  ASSERT_GT(drawn, 2000);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::MnuFlowNormal);
  EXPECT_GT(PixelsOf(f, qRgb(0, 0, 0)), drawn / 2) << "density command";
  f.Run(Cmd::SpeedButton24);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 0);
  EXPECT_GT(PixelsOf(f, qRgb(0, 0, 0)), drawn / 2) << "back from the pressure map";
}

TEST_F(WorkflowTest, ASavedDocumentOpensAgainWithItsObjectsTitleAndSolution) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton4);
  Click(f, 20, 20);
  Click(f, 20, 40);
  Move(f, 30, 35);
  Click(f, 35, 40);
  f.Run(Cmd::MnuTitleAdd);
  Controls(f).TitleFrame->TitleText->setText("Plate in a stream");
  Controls(f).TitleFrame->TitleOK->click();
  f.Run(Cmd::SpeedButton21);
  const std::string name = Folder() + "plate.QDN";
  prompts.fileNames = {name};
  f.Run(Cmd::MnuFileSaveAs);
  ASSERT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane " + name);
  EXPECT_EQ(State(f).doc.DocumentModified, 0);
  const std::vector<float> solution = State(f).mesh.StreamFunction;
  const auto rect = State(f).objects.RectData;

  f.Run(Cmd::MnuFileNew);
  EXPECT_EQ(State(f).objects.RectDataLen, 0);
  prompts.fileNames = {name};
  f.Run(Cmd::MnuFileOpen);
  EXPECT_EQ(State(f).objects.RectDataLen, 10);
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(State(f).objects.RectData[static_cast<std::size_t>(i)], rect[static_cast<std::size_t>(i)]);
  EXPECT_EQ(State(f).mesh.StreamFunction, solution);
  EXPECT_EQ(State(f).doc.Title, "Plate in a stream");
  EXPECT_NE(Controls(f).StatusPanel[5]->text().toStdString().find("Plate in a stream"), std::string::npos);
  EXPECT_EQ(State(f).display.StreamlinesShown, 1);
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(WorkflowTest, ADamagedDocumentIsRefusedAndTheDrawingInMemoryStays) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton23);
  Click(f, 50, 50);
  Click(f, 55, 50);
  const std::string name = Folder() + "broken.QDN";
  WriteFile("broken.QDN", std::string(100, '\x07'));
  WriteFile("broken.FLG", std::string(188, '\x01'));
  WriteFile("broken.TLE", "x");
  prompts.answers = {Answer::No};
  prompts.fileNames = {name};
  f.Run(Cmd::MnuFileOpen);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("A file error has been detected."), std::string::npos);
  EXPECT_EQ(State(f).objects.CircleDataLen, 10);
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]");
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
}

TEST_F(WorkflowTest, ChangingTheMeshSizeKeepsTheObjectsAndRunsAgainAfterASetUp) {
  Form1& f = Shown();
  f.Run(Cmd::SpeedButton4);
  Click(f, 40, 40);
  Click(f, 40, 60);
  Click(f, 50, 60);
  f.Run(Cmd::N200);
  EXPECT_EQ(State(f).objects.RectDataLen, 10);
  EXPECT_GT(PixelsOf(f, qRgb(0, 128, 0)) + PixelsOf(f, qRgb(255, 0, 0)), 40);
  EXPECT_FALSE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  f.Run(Cmd::SpeedButton21);
  EXPECT_EQ(State(f).display.StreamlinesShown, 1);
  EXPECT_EQ(State(f).mesh.SetupMeshSize, 238);
}

TEST_F(WorkflowTest, TheErrorLevelPanelRefusesNonsenseAndCancelPutsTheTextBack) {
  Form1& f = Shown();
  f.Run(Cmd::MnuAnalyseErrorLevel);
  ASSERT_FALSE(Controls(f).SetErr->isHidden());
  Controls(f).SetErr->CGErrVal->setText("12");
  Controls(f).SetErr->CGErrSet->click();
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FALSE(Controls(f).SetErr->isHidden());
  Controls(f).SetErr->CGErrVal->setText("1");
  Controls(f).SetErr->CGErrSet->click();
  EXPECT_TRUE(Controls(f).SetErr->isHidden());
  EXPECT_FLOAT_EQ(State(f).solver.ErrorTolerance2, 0.01f * 0.01f);
  f.Run(Cmd::MnuAnalyseErrorLevel);
  Controls(f).SetErr->CGErrVal->setText("5");
  Controls(f).SetErr->ErrorLevelCancel->click();
  EXPECT_EQ(Controls(f).SetErr->CGErrVal->text().toStdString(), "1");
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
}

}  // namespace
