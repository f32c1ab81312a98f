// File > Print, its speed button and Copy to Clipboard through the window, with
// a printer that keeps its pages and a clipboard that keeps its images.
#include <QAction>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "ShellFixture.h"
#include "documents/Printing.h"
#include "shell/PrintCommands.h"
#include "shell/ViewWidget.h"

namespace {

class PrintWorkflowTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    WritePreferences();
  }
  Form1& Shown() {
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto p = std::make_unique<RecordingPrinter>();
    printer = p.get();
    SetWindowPrinter(f, std::move(p));
    auto c = std::make_unique<RecordingClipboard>();
    clipboard = c.get();
    SetWindowClipboard(f, std::move(c));
    return f;
  }
  void Click(Form1& f, float column, float row) {
    const QPoint p(static_cast<int>(column * f.mesh.CellWidth), static_cast<int>(row * f.mesh.CellHeight));
    QTest::mouseMove(f.V, p);
    QTest::mouseClick(f.V, Qt::LeftButton, {}, p);
  }
  // A centred circle, set up and solved: flow lines and solid fill on the view.
  void SolvedCircle(Form1& f) {
    f.Run(Cmd::SpeedButton23);
    Click(f, 50, 50);
    QTest::mouseMove(f.V, QPoint(static_cast<int>(56 * f.mesh.CellWidth), static_cast<int>(50 * f.mesh.CellHeight)));
    Click(f, 58, 50);
    ASSERT_EQ(f.objects.CircleDataLen, 10);
    f.Run(Cmd::SpeedButton21);
    ASSERT_EQ(f.display.StreamlinesShown, 1);
  }
  QImage View(Form1& f) {
    f.ViewCanvas().Flush();
    return f.viewImage.copy();
  }
  static int PixelsOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
  }

  RecordingPrinter* printer = nullptr;
  RecordingClipboard* clipboard = nullptr;
};

TEST_F(PrintWorkflowTest, PrintingASolvedViewPutsItOnOnePageAndLeavesTheWindowAsItWas) {
  Form1& f = Shown();
  SolvedCircle(f);
  const QImage before = View(f);
  const float cellWidth = f.mesh.CellWidth, cellHeight = f.mesh.CellHeight;
  const std::vector<float> solution = f.mesh.StreamFunction;
  const std::vector<char> solid = f.mesh.SolidMap;

  f.Run(Cmd::MnuFilePrint);

  ASSERT_EQ(printer->jobs.size(), 1u);
  const QImage& page = printer->jobs[0].at(0);
  EXPECT_GT(PixelsOf(page, qRgb(0, 0, 0)), PixelsOf(before, qRgb(0, 0, 0)));  // flow lines, larger
  EXPECT_GT(PixelsOf(page, qRgb(128, 128, 128)), PixelsOf(before, qRgb(128, 128, 128)));  // the fill, larger
  EXPECT_EQ(View(f), before);
  EXPECT_EQ(f.mesh.CellWidth, cellWidth);
  EXPECT_EQ(f.mesh.CellHeight, cellHeight);
  EXPECT_EQ(f.mesh.StreamFunction, solution);
  EXPECT_EQ(f.mesh.SolidMap, solid);
  EXPECT_EQ(f.cmd.PrintingActive, 0);
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_TRUE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PrintWorkflowTest, ACancelledDialogFromTheSpeedButtonPrintsNothing) {
  Form1& f = Shown();
  SolvedCircle(f);
  printer->acceptDialog = false;
  const QImage before = View(f);
  f.Run(Cmd::SpeedButton3);
  EXPECT_EQ(printer->dialogsShown, 1);
  EXPECT_TRUE(printer->jobs.empty());
  EXPECT_EQ(View(f), before);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
  EXPECT_EQ(f.StatusPanel[3]->text().toStdString(), " ");
}

TEST_F(PrintWorkflowTest, APrinterErrorIsToldToTheUser) {
  Form1& f = Shown();
  printer->failure = "The printer is offline.";
  f.Run(Cmd::MnuFilePrint);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("The printer is offline."), std::string::npos);
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
}

TEST_F(PrintWorkflowTest, PrintingThePressureMapLeavesOnlyItsToggleAndPrintUsable) {
  Form1& f = Shown();
  SolvedCircle(f);
  f.Run(Cmd::SpeedButton24);
  ASSERT_EQ(f.display.PressureShown, 1);
  const QImage before = View(f);
  f.Run(Cmd::SpeedButton3);
  ASSERT_EQ(printer->jobs.size(), 1u);
  EXPECT_EQ(View(f), before);
  EXPECT_TRUE(f.Button(Cmd::SpeedButton24)->isEnabled());
  EXPECT_TRUE(f.Button(Cmd::SpeedButton3)->isEnabled());
  EXPECT_FALSE(f.Action(Cmd::MnuEdit)->isEnabled());
  EXPECT_FALSE(f.Button(Cmd::SpeedButton21)->isEnabled());
  f.Run(Cmd::SpeedButton24);
  EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled());
}

TEST_F(PrintWorkflowTest, CopyToClipboardPutsTheDrawingAreaOnTheClipboard) {
  Form1& f = Shown();
  SolvedCircle(f);
  f.Run(Cmd::ClipbdCopy);
  ASSERT_EQ(clipboard->images.size(), 1u);
  const QImage view = View(f);
  const QImage expected = view.copy(0, f.mesh.MeshTop, f.mesh.MeshRight, f.mesh.MeshBottom - f.mesh.MeshTop);
  EXPECT_EQ(clipboard->images[0], expected);
  EXPECT_EQ(f.ViewSnapshot, expected);
}

}  // namespace
