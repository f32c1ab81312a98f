// Printing: the page geometry, what lands on the page, and that the screen's
// state is the same after a print as before it.
#include <gtest/gtest.h>

#include <memory>

#include "DocumentTestScene.h"
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

class PrintGeometryTest : public ::testing::Test {
 protected:
  Scene s{100, 400};
};

TEST_F(PrintGeometryTest, PortraitAt600DotsPerInchFramesASquareOfSevenEighthsOfTheWidth) {
  const PrintGeometry g = ComputePrintGeometry(4800, 6600, 600, s.mesh);
  EXPECT_EQ(g.PrintPenScale, 2);
  EXPECT_EQ(g.PrintLeft, 4800 / 16);
  EXPECT_EQ(g.PrintTop, 4800 / 16);
  EXPECT_EQ(g.PrintRight - g.PrintLeft, 4800 * 7 / 8);
  EXPECT_EQ(g.PrintBottom - g.PrintTop, 4800 * 7 / 8);
  EXPECT_FLOAT_EQ(g.CellWidth, 4200.0f / 101.0f);
  EXPECT_FLOAT_EQ(g.PrintScale, g.CellWidth / s.mesh.CellWidth);
}

TEST_F(PrintGeometryTest, LandscapeTakesTheSideFromTheHeightAndTheMarginFromTheWidth) {
  const PrintGeometry g = ComputePrintGeometry(6600, 4800, 600, s.mesh);
  EXPECT_EQ(g.PrintMargin, 6600 / 16);
  EXPECT_EQ(g.PrintRight - g.PrintLeft, 4800 - 2 * (6600 / 16));
  EXPECT_EQ(g.PrintBottom - g.PrintTop, g.PrintRight - g.PrintLeft);
}

TEST_F(PrintGeometryTest, ExtendedViewDividesThePageIntoTheWholeMesh) {
  s.mesh.MeshExtended = 0;
  const PrintGeometry g = ComputePrintGeometry(2400, 3300, 300, s.mesh);
  EXPECT_FLOAT_EQ(g.CellWidth, static_cast<float>(2400 * 7 / 8) / static_cast<float>(s.mesh.MeshSize + 1));
}

TEST_F(PrintGeometryTest, LowResolutionPrintersStillGetAOnePixelPen) {
  EXPECT_EQ(ComputePrintGeometry(1275, 1650, 150, s.mesh).PrintPenScale, 1);
  EXPECT_EQ(ComputePrintGeometry(2550, 3300, 300, s.mesh).PrintPenScale, 1);
}

class PrintViewTest : public ::testing::Test {
 protected:
  PrintViewTest() {
    s.AddRecord(KindRect, {100, 100, 200, 100, 200, 200, 100, 200, 999, 0});
    s.ui.status[5] = std::string(10, ' ') + "Wing";
    UnlockCommands(s.ui);
    HideGrid();
    s.display.SolidFill = 0;
  }
  void HideGrid() {
    s.grid.ShowGridCode = 0;
    s.grid.ShowGridChecked = false;
    s.grid.CentreLinesShown = 0;
    s.grid.CentreLinesChecked = false;
  }
  // A uniform stream: the stream function grows steadily down the mesh.
  void UniformStream() {
    for (int k = 0; k < s.mesh.MeshSize * s.mesh.MeshSize; ++k)
      s.mesh.StreamFunction[k] = static_cast<float>(k / s.mesh.MeshSize);
    s.display.StreamlinesShown = 1;
    s.ui[Cmd::MnuViewFlowLines].checked = true;
    s.ui[Cmd::MnuViewFlowPressure].checked = false;
  }
  PrintSource Source() { return PrintSource{s.table, geometry, s.mesh, s.grid, s.display, s.doc, s.ui}; }
  PrintOutcome Print() { return PrintView(Source(), s.cmd, s.ui, printer, prompts, {}); }
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
  ScriptedPrompts prompts;
};

TEST_F(PrintViewTest, ObjectsLandOnThePageAtThePrinterScale) {
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  ASSERT_EQ(page.width(), printer.page.width);
  const int left = g.PrintLeft + static_cast<int>(100 * g.PrintScale + 0.5f);
  const int right = g.PrintLeft + static_cast<int>(200 * g.PrintScale + 0.5f);
  const int midY = g.PrintTop + static_cast<int>(150 * g.PrintScale);
  // The two-pixel-wide pen straddles the edge by a pixel either way.
  auto greenNear = [&](int x) {
    for (int dx = -1; dx <= 1; ++dx)
      if (page.pixel(x + dx, midY) == qRgb(0, 128, 0)) return true;
    return false;
  };
  EXPECT_TRUE(greenNear(left));
  EXPECT_TRUE(greenNear(right));
  // Where the screen would have put the rectangle the page stays white.
  EXPECT_FALSE(Ink(page, g.PrintLeft + 100, g.PrintTop + 150 - 10));
  EXPECT_FALSE(Ink(page, (left + right) / 2, midY));
}

TEST_F(PrintViewTest, TheFrameIsDrawnOutsideThePrintAreaWithAFivePixelPen) {
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  const int midY = (g.PrintTop + g.PrintBottom) / 2;
  const int rightEdge = g.PrintRight + 5;
  EXPECT_TRUE(Ink(page, rightEdge, midY));
  EXPECT_TRUE(Ink(page, rightEdge + 2, midY));
  EXPECT_FALSE(Ink(page, rightEdge + 4, midY));
  EXPECT_FALSE(Ink(page, rightEdge - 4, midY));
  EXPECT_TRUE(Ink(page, static_cast<int>(g.PrintLeft - 5 - g.CellWidth), midY));
}

TEST_F(PrintViewTest, TheTitleIsWrittenAboveThePrintArea) {
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  int ink = 0;
  const int frameTop = static_cast<int>(static_cast<float>(g.PrintTop - 5) - g.CellHeight);
  for (int y = 0; y < frameTop - 3; ++y)
    for (int x = g.PrintLeft; x < g.PrintRight; ++x) ink += Ink(page, x, y);
  EXPECT_GT(ink, 50);
}

TEST_F(PrintViewTest, AnUntitledDocumentPrintsAnEmptyTitleLine) {
  s.ui.status[5] = std::string(10, ' ');
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  const int frameTop = static_cast<int>(static_cast<float>(g.PrintTop - 5) - g.CellHeight);
  for (int y = 0; y < frameTop - 3; ++y)
    for (int x = 0; x < page.width(); ++x) ASSERT_FALSE(Ink(page, x, y)) << x << "," << y;
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
    DrawStreamlines(c, screenMesh, screenFlow, screenUi, {});
    c.Flush();
  }
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();

  const int screenX = 50;  // left of the rectangle
  const std::vector<int> onScreen = InkRuns(screen, screenX, s.mesh.MeshTop, s.mesh.MeshBottom);
  const int pageX = g.PrintLeft + static_cast<int>(screenX * g.PrintScale);
  const std::vector<int> onPage = InkRuns(page, pageX, g.PrintTop, g.PrintBottom);
  ASSERT_GT(onScreen.size(), 5u);
  ASSERT_EQ(onPage.size(), onScreen.size());
  for (std::size_t i = 0; i < onScreen.size(); ++i)
    EXPECT_NEAR(onPage[i], g.PrintTop + (onScreen[i] - s.mesh.MeshTop) * g.PrintScale, 2 * g.PrintScale) << i;
}

TEST_F(PrintViewTest, WithoutASolutionNoFlowLinesArePrinted) {
  UniformStream();
  s.display.StreamlinesShown = 0;
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const PrintGeometry g = PageGeometry();
  EXPECT_TRUE(InkRuns(OnlyPage(), g.PrintLeft + static_cast<int>(50 * g.PrintScale), g.PrintTop, g.PrintBottom)
                  .empty());
}

TEST_F(PrintViewTest, TheScreenStateIsTheSameAfterPrinting) {
  UniformStream();
  s.grid.ShowGridCode = 19;
  s.grid.ShowGridChecked = true;
  s.table.ObjectSelected = 1;
  s.table.SelectedKind = KindRect;
  s.table.SelectedIndex = 0;
  const Mesh meshBefore = s.mesh;
  const FlowDisplayState flowBefore = s.display;
  const GridState gridBefore = s.grid;
  s.ui[Cmd::MnuAnalyseRun].enabled = true;
  const auto commandsBefore = s.ui.commands;
  const ObjectTable tableBefore = s.table;

  ASSERT_EQ(Print(), PrintOutcome::Printed);

  EXPECT_EQ(s.mesh.CellWidth, meshBefore.CellWidth);
  EXPECT_EQ(s.mesh.CellHeight, meshBefore.CellHeight);
  EXPECT_EQ(s.mesh.StreamFunction, meshBefore.StreamFunction);
  EXPECT_EQ(s.mesh.StreamDisplay, meshBefore.StreamDisplay);
  EXPECT_EQ(s.mesh.SpeedField, meshBefore.SpeedField);
  EXPECT_EQ(s.mesh.SolidMap, meshBefore.SolidMap);
  EXPECT_EQ(s.display.StreamLevels, flowBefore.StreamLevels);
  EXPECT_EQ(s.display.StreamlinesShown, flowBefore.StreamlinesShown);
  EXPECT_EQ(s.grid.ShowGridCode, gridBefore.ShowGridCode);
  EXPECT_EQ(s.table.ObjectSelected, tableBefore.ObjectSelected);
  EXPECT_EQ(s.table.RectDataLen, tableBefore.RectDataLen);
  EXPECT_EQ(s.cmd.PrintingActive, 0);
  EXPECT_EQ(s.ui.cursor, CursorShape::Default);
  for (int c = 0; c < CmdCount; ++c) EXPECT_EQ(s.ui.commands[c].enabled, commandsBefore[c].enabled) << c;
}

TEST_F(PrintViewTest, TheGridIsPrintedWithAsManyDotsAsTheScreenShows) {
  s.grid.ShowGridCode = 19;
  s.grid.ShowGridChecked = true;
  QImage screen = MakeBitmap(s.mesh.ViewRight, s.mesh.ViewBottom);
  {
    Canvas c(screen);
    GridState grid = s.grid;
    DrawCurrentGrid(c, s.mesh, grid);
    c.Flush();
  }
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  const PrintGeometry g = PageGeometry();
  // The first row of dots on the screen and where it lands on the page.
  int screenRow = -1;
  for (int y = s.mesh.MeshTop; y < s.mesh.MeshBottom && screenRow < 0; ++y)
    for (int x = 0; x < 50; ++x)
      if (Ink(screen, x, y)) screenRow = y;
  ASSERT_GE(screenRow, 0);
  int pageRow = -1;
  for (int y = g.PrintTop; y < g.PrintBottom && pageRow < 0; ++y)
    for (int x = g.PrintLeft; x < g.PrintLeft + static_cast<int>(50 * g.PrintScale); ++x)
      if (Ink(page, x, y)) pageRow = y;
  ASSERT_GE(pageRow, 0);
  EXPECT_NEAR(pageRow, g.PrintTop + (screenRow - s.mesh.MeshTop) * g.PrintScale, 2 * g.PrintScale);
  // Across the width left of the rectangle, dot for dot.
  auto runsAlong = [](const QImage& image, int y, int from, int to) {
    int runs = 0;
    bool inside = false;
    for (int x = from; x < to; ++x) {
      const bool ink = Ink(image, x, y);
      runs += ink && !inside;
      inside = ink;
    }
    return runs;
  };
  const int screenDots = runsAlong(screen, screenRow, 0, 90);
  EXPECT_GT(screenDots, 3);
  EXPECT_EQ(runsAlong(page, pageRow, g.PrintLeft, g.PrintLeft + static_cast<int>(90 * g.PrintScale)), screenDots);
}

TEST_F(PrintViewTest, EachCopyIsAJobOfOnePage) {
  printer.chosenCopies = 2;
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  EXPECT_EQ(printer.presetCopies, 1);
  ASSERT_EQ(printer.jobs.size(), 2u);
  EXPECT_EQ(printer.jobs[0].size(), 1u);
  EXPECT_EQ(printer.jobs[1].size(), 1u);
  EXPECT_EQ(printer.jobs[0][0], printer.jobs[1][0]);
}

TEST_F(PrintViewTest, NoCopiesPrintNothing) {
  printer.chosenCopies = 0;
  EXPECT_EQ(Print(), PrintOutcome::Printed);
  EXPECT_TRUE(printer.jobs.empty());
}

TEST_F(PrintViewTest, ACancelledDialogPrintsNothingAndUnlocks) {
  printer.acceptDialog = false;
  s.ui.status[3] = " Something";
  int restored = 0;
  PrintHooks hooks;
  hooks.RestoreViewSnapshot = [&] { ++restored; };
  EXPECT_EQ(PrintView(Source(), s.cmd, s.ui, printer, prompts, hooks), PrintOutcome::Cancelled);
  EXPECT_TRUE(printer.jobs.empty());
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(s.ui.status[3], " ");
  EXPECT_EQ(s.cmd.PrintingActive, 0);
  EXPECT_TRUE(s.ui[Cmd::MnuFileOpen].enabled);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PrintViewTest, WithoutAPrinterTheUserIsToldAndNoDialogOpens) {
  printer.installed = false;
  EXPECT_EQ(Print(), PrintOutcome::NoPrinter);
  EXPECT_EQ(printer.dialogsShown, 0);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], NoPrinterMessage);
  EXPECT_TRUE(s.ui[Cmd::MnuFileOpen].enabled);
}

TEST_F(PrintViewTest, APrinterErrorIsReportedAndStopsTheRemainingCopies) {
  printer.chosenCopies = 3;
  printer.failure = "out of paper";
  EXPECT_EQ(Print(), PrintOutcome::PrinterFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("out of paper"), std::string::npos);
  EXPECT_EQ(s.cmd.PrintingActive, 0);
  EXPECT_TRUE(s.ui[Cmd::MnuFileOpen].enabled);
}

TEST_F(PrintViewTest, AfterPrintingThePressureDisplayOnlyItsToggleAndPrintAreUsable) {
  UniformStream();
  s.display.PressureShown = 1;
  s.ui[Cmd::MnuViewFlowLines].checked = false;
  s.ui[Cmd::MnuViewFlowPressure].checked = true;
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  EXPECT_TRUE(s.ui[Cmd::SpeedButton24].enabled);
  EXPECT_TRUE(s.ui[Cmd::SpeedButton3].enabled);
  EXPECT_FALSE(s.ui[Cmd::MnuFile].enabled);
  EXPECT_FALSE(s.ui[Cmd::SpeedButton21].enabled);
  // The map fills the print area with colour.
  const PrintGeometry g = PageGeometry();
  EXPECT_TRUE(Ink(OnlyPage(), g.PrintLeft + 20, (g.PrintTop + g.PrintBottom) / 2));
}

TEST_F(PrintViewTest, AHighResolutionPrinterGetsAPageOfBoundedSizeStretchedOverIt) {
  printer.page = {4800, 6600, 600, false};
  ASSERT_EQ(Print(), PrintOutcome::Printed);
  const QImage& page = OnlyPage();
  EXPECT_EQ(page.width(), 4800 * MaxPageDotsPerInch / 600);
  EXPECT_EQ(page.height(), 6600 * MaxPageDotsPerInch / 600);
}

TEST(ViewBitmapTest, TakesTheMeshPartOfTheView) {
  Scene s{100, 400};
  QImage view = MakeBitmap(s.mesh.ViewRight + 20, s.mesh.ViewBottom + 20);
  view.setPixel(3, s.mesh.MeshTop + 4, qRgb(255, 0, 0));
  const QImage bitmap = ViewBitmap(view, s.mesh);
  EXPECT_EQ(bitmap.width(), s.mesh.MeshRight);
  EXPECT_EQ(bitmap.height(), s.mesh.MeshBottom - s.mesh.MeshTop);
  EXPECT_EQ(bitmap.pixel(3, 4), qRgb(255, 0, 0));
}

}  // namespace
