// Printing: the page geometry, what lands on the page, and that the screen's
// state is the same after a print as before it.
#include <gtest/gtest.h>

#include "TestServices.h"
#include "core/DocumentTestScene.h"
#include "documents/Printing.h"
#include "display/Streamlines.h"
#include "geometry/GeometryState.h"
#include "platform/Canvas.h"

namespace {

bool Ink(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF; }

// Rows of a column that carry ink, collapsed into runs: the figures the column
// crosses, top to bottom, as the first row of each run.
std::vector<int> InkRuns(const QImage& image, int x, int top, int bottom) {
  std::vector<int> runs;
  bool inside = false;
  for (int y = top; y < bottom; ++y) {
    const bool ink = Ink(image, x, y);
    if (ink && !inside) runs.push_back(y);
    inside = ink;
  }
  return runs;
}

TEST(PrintGeometryTest, ThePrintAreaIsASquareOfSevenEighthsOfTheShorterSide) {
  Scene s{100, 400};
  const PrintGeometry g = ComputePrintGeometry(4800, 6600, 600, s.mesh);
  EXPECT_EQ(g.PrintPenScale, 2);
  EXPECT_TRUE(g.PrintLeft == 4800 / 16 && g.PrintTop == 4800 / 16);
  EXPECT_TRUE(g.PrintRight - g.PrintLeft == 4200 && g.PrintBottom - g.PrintTop == 4200);
  EXPECT_FLOAT_EQ(g.CellWidth, 4200.0f / 101.0f);
  // Landscape takes the side from the height and the margin from the width.
  const PrintGeometry l = ComputePrintGeometry(6600, 4800, 600, s.mesh);
  const int side = 4800 - 2 * (6600 / 16);
  EXPECT_TRUE(l.PrintRight - l.PrintLeft == side && l.PrintBottom - l.PrintTop == side);
  EXPECT_EQ(ComputePrintGeometry(1275, 1650, 150, s.mesh).PrintPenScale, 1) << "never a pen of no pixels";
  s.mesh.MeshExtended = 0;
  EXPECT_FLOAT_EQ(ComputePrintGeometry(2400, 3300, 300, s.mesh).CellWidth, 2100.0f / (s.mesh.MeshSize + 1));
}

class PrintViewTest : public ::testing::Test {
 protected:
  PrintViewTest() {
    s.AddRecord(KindRect, {100, 100, 200, 100, 200, 200, 100, 200, 999, 0});
    s.ui.status[5] = std::string(10, ' ') + "Wing";
    UnlockCommands(s.ui);
    s.grid.ShowGridCode = 0;
    s.grid.ShowGridChecked = false;
    s.grid.CentreLinesShown = 0;
    s.grid.CentreLinesChecked = false;
    s.display.SolidFill = 0;
  }
  // A uniform stream: the stream function grows steadily down the mesh.
  void UniformStream() {
    for (int k = 0; k < s.mesh.MeshSize * s.mesh.MeshSize; ++k)
      s.mesh.StreamFunction[k] = static_cast<float>(k / s.mesh.MeshSize);
    s.display.StreamlinesShown = 1;
    s.display.PressureShown = 0;
  }
  PrintSource Source() { return PrintSource{s.table, geometry, s.mesh, s.grid, s.display, s.doc, s.ui}; }
  PrintOutcome Print() { return PrintView(Source(), s.cmd, s.ui, printer, services); }
  const QImage& OnlyPage() {
    EXPECT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs.at(0).size(), 1u);
    return printer.jobs.at(0).at(0);
  }
  PrintGeometry PageGeometry() const {
    return ComputePrintGeometry(printer.page.width, printer.page.height, printer.page.dotsPerInch, s.mesh);
  }

  Scene s{100, 400};
  GeometryState geometry;
  RecordingPrinter printer;
  TestServices services;
  ScriptedPrompts& prompts = services.prompts;
};

TEST_F(PrintViewTest, ObjectsAndTheTitleLandOnThePageAtThePrinterScale) {
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  const int left = g.PrintLeft + static_cast<int>(100 * g.PrintScale + 0.5f);
  const int right = g.PrintLeft + static_cast<int>(200 * g.PrintScale + 0.5f);
  const int midY = g.PrintTop + static_cast<int>(150 * g.PrintScale);
  // The two-pixel-wide pen straddles the edge by a pixel either way.
  const auto green = [&](int x) { return page.pixel(x, midY) == qRgb(0, 128, 0); };
  EXPECT_TRUE(green(left - 1) || green(left) || green(left + 1));
  EXPECT_TRUE(green(right - 1) || green(right) || green(right + 1));
  // Where the screen would have put the rectangle the page stays white.
  EXPECT_FALSE(Ink(page, g.PrintLeft + 100, g.PrintTop + 150 - 10));
  // The title is written above the frame.
  int ink = 0;
  const int frameTop = static_cast<int>(static_cast<float>(g.PrintTop - 5) - g.CellHeight);
  for (int y = 0; y < frameTop - 3; ++y)
    for (int x = g.PrintLeft; x < g.PrintRight; ++x) ink += Ink(page, x, y);
  EXPECT_GT(ink, 50);
}

TEST_F(PrintViewTest, FlowLinesOfAUniformStreamCrossThePageAsOnTheScreenScaled) {
  UniformStream();
  // The screen's own drawing of the same flow lines, for comparison.
  Mesh screenMesh = s.mesh;
  FlowDisplayState screenFlow = s.display;
  UiState screenUi = s.ui;
  QImage screen = MakeBitmap(s.mesh.ViewRight, s.mesh.ViewBottom);
  {
    Canvas c(screen);
    TestServices screenServices;
    DrawStreamlines(c, screenMesh, screenFlow, screenUi, screenServices, {});
    c.Flush();
  }
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const PrintGeometry g = PageGeometry();
  const int screenX = 50;  // left of the rectangle
  const std::vector<int> onScreen = InkRuns(screen, screenX, s.mesh.MeshTop, s.mesh.MeshBottom);
  const std::vector<int> onPage =
      InkRuns(OnlyPage(), g.PrintLeft + static_cast<int>(screenX * g.PrintScale), g.PrintTop, g.PrintBottom);
  ASSERT_GT(onScreen.size(), 5u);
  ASSERT_EQ(onPage.size(), onScreen.size());
  for (std::size_t i = 0; i < onScreen.size(); ++i)
    EXPECT_NEAR(onPage[i], g.PrintTop + (onScreen[i] - s.mesh.MeshTop) * g.PrintScale, 2 * g.PrintScale) << i;
}

TEST_F(PrintViewTest, TheScreenStateIsTheSameAfterPrinting) {
  UniformStream();
  s.grid.ShowGridCode = 19;
  s.grid.ShowGridChecked = true;
  s.table.ObjectSelected = 1;
  s.table.SelectedKind = KindRect;
  const Mesh meshBefore = s.mesh;
  const FlowDisplayState flowBefore = s.display;
  s.ui[Cmd::MnuAnalyseRun].enabled = true;
  const auto commandsBefore = s.ui.commands;

  ASSERT_EQ(Print(), PrintOutcome::Printed);

  EXPECT_EQ(s.mesh.CellWidth, meshBefore.CellWidth);
  EXPECT_EQ(s.mesh.StreamFunction, meshBefore.StreamFunction);
  EXPECT_EQ(s.mesh.StreamDisplay, meshBefore.StreamDisplay);
  EXPECT_EQ(s.mesh.SpeedField, meshBefore.SpeedField);
  EXPECT_EQ(s.mesh.SolidMap, meshBefore.SolidMap);
  EXPECT_EQ(s.display.StreamLevels, flowBefore.StreamLevels);
  EXPECT_EQ(s.grid.ShowGridCode, 19);
  EXPECT_EQ(s.table.ObjectSelected, 1);
  EXPECT_EQ(s.cmd.PrintingActive, 0);
  EXPECT_EQ(s.ui.cursor, CursorShape::Default);
  for (int c = 0; c < CmdCount; ++c) EXPECT_EQ(s.ui.commands[c].enabled, commandsBefore[c].enabled) << c;
}

TEST_F(PrintViewTest, EachCopyIsAJobOfOnePageOfBoundedSize) {
  printer.page = {4800, 6600, 600, false};
  printer.chosenCopies = 2;
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  ASSERT_EQ(printer.jobs.size(), 2u);
  EXPECT_EQ(printer.jobs[0], printer.jobs[1]);
  ASSERT_EQ(printer.jobs[0].size(), 1u);
  EXPECT_EQ(printer.jobs[0][0].size(), QSize(4800 * MaxPageDotsPerInch / 600, 6600 * MaxPageDotsPerInch / 600));
  printer.jobs.clear();
  printer.chosenCopies = 0;
  EXPECT_EQ(Print(), PrintOutcome::Printed);
  EXPECT_TRUE(printer.jobs.empty());
}

TEST_F(PrintViewTest, ACancelledDialogNoPrinterOrAPrinterErrorEndsUnlocked) {
  printer.acceptDialog = false;
  EXPECT_EQ(Print(), PrintOutcome::Cancelled);
  EXPECT_TRUE(printer.jobs.empty() && prompts.messages.empty());
  EXPECT_EQ(services.calls, (std::vector<std::string>{"snapshot", "help 4", "restore"}))
      << "the view under the dialog is put back";
  EXPECT_TRUE(s.ui[Cmd::MnuFileOpen].enabled);
  printer.acceptDialog = true;
  printer.installed = false;
  EXPECT_EQ(Print(), PrintOutcome::NoPrinter);
  EXPECT_EQ(printer.dialogsShown, 1) << "no dialog opens without a printer";
  EXPECT_EQ(prompts.messages, std::vector<std::string>{NoPrinterMessage});
  printer.installed = true;
  printer.failure = "out of paper";
  EXPECT_EQ(Print(), PrintOutcome::PrinterFailed);
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_NE(prompts.messages[1].find("out of paper"), std::string::npos);
  EXPECT_EQ(s.cmd.PrintingActive, 0);
  EXPECT_TRUE(s.ui[Cmd::MnuFileOpen].enabled);
}

}  // namespace
