// A user's road through the window with real mouse events: draw, edit, run,
// look at the pressure, change the mesh, open a damaged file, print and copy.
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include "session/SessionFixture.h"

namespace {

using WorkflowTest = SessionFixture;

TEST_F(WorkflowTest, RunDrawsFlowLinesRoundACentredCircleAndThePressureMapComesAndGoes) {
  Form1& f = Launch();
  DrawCircle(50, 50, 8);
  f.Run(Cmd::SpeedButton21);
  EXPECT_EQ(State(f).display.StreamlinesShown, 1);
  EXPECT_TRUE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_TRUE(Controls(f).ProgressBar1->isHidden());
  EXPECT_GT(PixelsOf(View(), qRgb(0, 0, 0)), 2000);        // the contour dots
  EXPECT_GT(PixelsOf(View(), qRgb(128, 128, 128)), 200);  // the solid fill

  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 1);
  EXPECT_FALSE(Controls(f).Bdisplay->isHidden());
  EXPECT_EQ(Panel(4), "Click F>P to return");
  EXPECT_FALSE(f.Action(Cmd::MnuEdit)->isEnabled());
  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 0);
  EXPECT_TRUE(Controls(f).Bdisplay->isHidden());
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
}

// The user presses Escape with nothing running (in the pressure map, to leave
// it); the next density command and the way back from the map still draw.
TEST_F(WorkflowTest, AnIdleEscapeDoesNotCutShortLaterFlowDrawings) {
  Form1& f = Launch();
  DrawCircle(50, 50, 8);
  Run();
  const int drawn = PixelsOf(View(), qRgb(0, 0, 0));
  ASSERT_GT(drawn, 2000);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::MnuFlowNormal);
  EXPECT_GT(PixelsOf(View(), qRgb(0, 0, 0)), drawn / 2) << "density command";
  f.Run(Cmd::SpeedButton24);
  QTest::keyClick(&f, Qt::Key_Escape);
  f.Run(Cmd::SpeedButton24);
  EXPECT_EQ(State(f).display.PressureShown, 0);
  EXPECT_GT(PixelsOf(View(), qRgb(0, 0, 0)), drawn / 2) << "back from the pressure map";
}

TEST_F(WorkflowTest, ADamagedDocumentIsRefusedAndTheDrawingInMemoryStays) {
  Form1& f = Launch();
  DrawCircle(50, 50, 5);
  WriteFile("broken.QDN", std::string(100, '\x07'));
  WriteFile("broken.FLG", std::string(188, '\x01'));
  WriteFile("broken.TLE", "x");
  prompts.answers = {Answer::No};
  prompts.fileNames = {Folder() + "broken.QDN"};
  f.Run(Cmd::MnuFileOpen);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("A file error has been detected."), std::string::npos);
  EXPECT_EQ(State(f).objects.CircleDataLen, 10);
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]");
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
}

TEST_F(WorkflowTest, AMeshSizeChangeKeepsTheObjectsAndRunWaitsForTheNextSetUp) {
  Form1& f = Launch();
  DrawRectangle(40, 40);
  Run();
  ASSERT_TRUE(State(f).mesh.SystemReady);
  ASSERT_TRUE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  f.Run(Cmd::N200);
  EXPECT_EQ(State(f).mesh.MeshSize, 238);
  EXPECT_EQ(State(f).mesh.StreamFunction.size(), 238u * 240u);
  EXPECT_TRUE(f.Action(Cmd::N200)->isChecked());
  EXPECT_FALSE(f.Action(Cmd::N100)->isChecked());
  EXPECT_FALSE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_FALSE(State(f).mesh.SystemReady);
  EXPECT_EQ(State(f).objects.RectDataLen, 10);
  EXPECT_GT(PixelsOf(View(), qRgb(0, 128, 0)) + PixelsOf(View(), qRgb(255, 0, 0)), 40);
  Run();
  EXPECT_EQ(State(f).mesh.SetupMeshSize, 238);
  f.Run(Cmd::N100);
  EXPECT_EQ(State(f).mesh.MeshBorder, 10);
}

TEST_F(WorkflowTest, TheErrorLevelPanelRefusesNonsenseAndCancelPutsTheTextBack) {
  Form1& f = Launch();
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

TEST_F(WorkflowTest, AerofoilFromThePanelIsMovedWithTheMouseAndClearedWithClearAll) {
  Form1& f = Launch();
  auto* panel = f.findChild<QGroupBox*>("Aerosize");
  ASSERT_NE(panel, nullptr);
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
  DragOnView(At(50, 47), At(50, 27));
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

// File > Print and Copy to Clipboard with a printer that keeps its pages and a
// clipboard that keeps its images: the window is left as it was.
TEST_F(WorkflowTest, PrintAndCopyTakeTheSolvedViewAndLeaveTheWindowAsItWas) {
  Form1& f = Launch();
  auto printer = std::make_unique<RecordingPrinter>();
  auto clipboard = std::make_unique<RecordingClipboard>();
  const RecordingPrinter& pages = *printer;
  const RecordingClipboard& copies = *clipboard;
  WindowProbe::SetPrinter(f, std::move(printer));
  WindowProbe::SetClipboard(f, std::move(clipboard));
  DrawCircle(50, 50, 8);
  Run();
  const QImage before = View();
  const float cellWidth = State(f).mesh.CellWidth;
  const std::vector<float> solution = State(f).mesh.StreamFunction;
  f.Run(Cmd::MnuFilePrint);
  ASSERT_EQ(pages.jobs.size(), 1u);
  const QImage& page = pages.jobs[0].at(0);
  EXPECT_GT(PixelsOf(page, qRgb(0, 0, 0)), PixelsOf(before, qRgb(0, 0, 0)));  // flow lines, larger
  EXPECT_GT(PixelsOf(page, qRgb(128, 128, 128)), PixelsOf(before, qRgb(128, 128, 128)));  // the fill, larger
  EXPECT_EQ(View(), before);
  EXPECT_EQ(State(f).mesh.CellWidth, cellWidth);
  EXPECT_EQ(State(f).mesh.StreamFunction, solution);

  f.Run(Cmd::ClipbdCopy);
  ASSERT_EQ(copies.images.size(), 1u);
  const Mesh& m = State(f).mesh;
  const QImage expected = View().copy(0, m.MeshTop, m.MeshRight, m.MeshBottom - m.MeshTop);
  EXPECT_EQ(copies.images[0], expected);
  EXPECT_EQ(Controls(f).ViewSnapshot, expected);
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
