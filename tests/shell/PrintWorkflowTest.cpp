// File > Print, its speed button and Copy to Clipboard through the window, with
// a printer that keeps its pages and a clipboard that keeps its images.
#include <QTest>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

class PrintWorkflowTest : public ShellFixture {
 protected:
  // The window with a centred circle set up and solved: flow lines and solid fill on the view.
  Form1& SolvedCircle() {
    WritePreferences();
    Form1& f = Start();
    f.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto p = std::make_unique<RecordingPrinter>();
    printer = p.get();
    WindowProbe::SetPrinter(f, std::move(p));
    auto c = std::make_unique<RecordingClipboard>();
    clipboard = c.get();
    WindowProbe::SetClipboard(f, std::move(c));
    f.Run(Cmd::SpeedButton23);
    for (int column : {50, 56, 58}) {
      const QPoint at(static_cast<int>(column * State(f).mesh.CellWidth), static_cast<int>(50 * State(f).mesh.CellHeight));
      QTest::mouseMove(Controls(f).V, at);
      if (column != 56) QTest::mouseClick(Controls(f).V, Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(State(f).objects.CircleDataLen, 10);
    f.Run(Cmd::SpeedButton21);
    EXPECT_EQ(State(f).display.StreamlinesShown, 1);
    return f;
  }
  QImage View(Form1& f) {
    WindowProbe::ViewCanvas(f).Flush();
    return Controls(f).viewImage.copy();
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
  Form1& f = SolvedCircle();
  const QImage before = View(f);
  const float cellWidth = State(f).mesh.CellWidth;
  const std::vector<float> solution = State(f).mesh.StreamFunction;
  f.Run(Cmd::MnuFilePrint);
  ASSERT_EQ(printer->jobs.size(), 1u);
  const QImage& page = printer->jobs[0].at(0);
  EXPECT_GT(PixelsOf(page, qRgb(0, 0, 0)), PixelsOf(before, qRgb(0, 0, 0)));  // flow lines, larger
  EXPECT_GT(PixelsOf(page, qRgb(128, 128, 128)), PixelsOf(before, qRgb(128, 128, 128)));  // the fill, larger
  EXPECT_EQ(View(f), before);
  EXPECT_EQ(State(f).mesh.CellWidth, cellWidth);
  EXPECT_EQ(State(f).mesh.StreamFunction, solution);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PrintWorkflowTest, CopyToClipboardPutsTheDrawingAreaOnTheClipboard) {
  Form1& f = SolvedCircle();
  f.Run(Cmd::ClipbdCopy);
  ASSERT_EQ(clipboard->images.size(), 1u);
  const QImage expected = View(f).copy(0, State(f).mesh.MeshTop, State(f).mesh.MeshRight, State(f).mesh.MeshBottom - State(f).mesh.MeshTop);
  EXPECT_EQ(clipboard->images[0], expected);
  EXPECT_EQ(Controls(f).ViewSnapshot, expected);
}

}  // namespace
