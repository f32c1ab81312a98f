#include "documents/Printing.h"

#include <algorithm>
#include <cmath>

#include "display/PressureMap.h"
#include "display/Streamlines.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/MeshSetup.h"
#include "mesh/SolidFill.h"
#include "platform/Canvas.h"

PrintGeometry ComputePrintGeometry(int width, int height, int dotsPerInch, const Mesh& screenMesh) {
  PrintGeometry g;
  g.PrintPenScale = std::max(1, dotsPerInch / 300);
  g.PrintMargin = width / 16;
  g.PrintLeft = g.PrintTop = g.PrintMargin;
  g.PrintRight = width - g.PrintMargin;
  g.PrintBottom = height - g.PrintMargin;
  // The view is square: in portrait the width decides, in landscape the
  // height; taking the smaller keeps the square on paper of any shape.
  g.PrintRight = g.PrintBottom = std::min(g.PrintRight, g.PrintBottom);
  const float n = static_cast<float>(screenMesh.ShownCells());
  g.CellWidth = static_cast<float>(g.PrintRight - g.PrintLeft) / (n + 1);
  g.CellHeight = static_cast<float>(g.PrintBottom - g.PrintTop) / (n + 1);
  g.PrintScale = screenMesh.CellWidth > 0 ? g.CellWidth / screenMesh.CellWidth : 1.0f;
  return g;
}

namespace {

void DrawFrame(Canvas& page, const PrintGeometry& g) {
  const int w = 5 * g.PrintPenScale;
  page.SetPen(Colours::Black, w, PenMode::Copy, PenStyle::Solid);
  page.SetBrush(Colours::White, BrushStyle::Clear);
  const int x0 = static_cast<int>(static_cast<float>(g.PrintLeft - w) - g.CellWidth);
  const int y0 = static_cast<int>(static_cast<float>(g.PrintTop - w) - g.CellHeight);
  const int x1 = g.PrintRight + w, y1 = g.PrintBottom + w;
  page.MoveTo(x0, y0);
  page.LineTo(x0, y1);
  page.LineTo(x1, y1);
  page.LineTo(x1, y0);
  page.LineTo(x0, y0);
}

void DrawTitle(Canvas& page, const PrintGeometry& g, int dotsPerInch, const std::string& title) {
  // 14 points at the page's resolution.
  page.SetFont("Arial", std::max(1, 14 * dotsPerInch / 72), true);
  page.SetFontColour(Colours::Black);
  page.SetBrush(Colours::White, BrushStyle::Solid);
  const int titleX = g.PrintLeft;
  const int titleY = g.PrintTop - page.TextHeight("X");
  page.TextOut(titleX, titleY, title);
  page.SetBrush(Colours::White, BrushStyle::Clear);
}

}  // namespace

QImage RenderPrintPage(const PrintSource& s, int width, int height, int dotsPerInch, PrintGeometry* used) {
  const PrintGeometry g = ComputePrintGeometry(width, height, dotsPerInch, s.mesh);
  if (used) *used = g;
  QImage image = MakeBitmap(std::max(1, width), std::max(1, height));
  Canvas page(image);

  // The drawing routines leave their marks in the state they are given (the
  // smoothed solution, the flow state, the help labels, the snapshot of the
  // selection); the page is drawn from copies so the screen keeps all of it.
  ObjectTable objects = s.objects;
  GeometryState geometry = s.geometry;
  GridState grid = s.grid;
  FlowDisplayState display = s.display;
  UiState ui = s.ui;
  CommandState cmd;
  cmd.PrintingActive = 1;
  MouseState mouse;
  std::int32_t modified = s.doc.DocumentModified;
  const std::int32_t showValues = s.doc.ShowValues;

  // The page's cells stand in for the screen's while the drawing runs.
  Mesh pageMesh = s.mesh;
  pageMesh.CellWidth = g.CellWidth;
  pageMesh.CellHeight = g.CellHeight;

  DrawFrame(page, g);

  QuietServices offScreen;
  ViewScene scene{objects, geometry, cmd, mouse, pageMesh, grid, modified, offScreen, &showValues};
  RedrawAllObjects(scene, page, ui, DrawTarget{true, g.PrintLeft, g.PrintTop, g.PrintScale, g.PrintPenScale});

  if (display.SolidFill == 1) {
    // Set-up maps the objects to cells at the screen's cell size; only the
    // fill it paints goes onto the page.
    Mesh setupMesh = s.mesh;
    ExternalField field;
    field.Strength = s.doc.ExternalFieldStrength;
    field.VerticalItem = s.doc.ListBox1Item;
    field.HorizontalItem = s.doc.ListBox2Item;
    MeshSetupOptions options;
    options.printingActive = true;
    options.solidFill = true;
    const SolidFillTarget target{g.PrintLeft, g.PrintTop, FineStepX(s.mesh) * g.PrintScale,
                                 FineStepY(s.mesh) * g.PrintScale, true, g.PrintPenScale};
    options.paintSolidFill = [&](bool strokes) { PaintSolidFill(page, setupMesh, target, strokes); };
    MeshSetup(objects, field, setupMesh, options);
  }

  const FlowTarget flowTarget{true, g.PrintLeft, g.PrintTop, g.PrintPenScale};
  const FlowHooks noHooks;
  if (display.StreamlinesShown == 1 && display.PressureShown == 0)
    DrawStreamlines(page, pageMesh, display, ui, offScreen, noHooks, flowTarget);
  if (display.PressureShown != 0 && display.StreamlinesShown == 1)
    ShowPressureDisplay(page, pageMesh, display, ui, offScreen, noHooks, flowTarget);

  DrawTitle(page, g, dotsPerInch, s.ui.status[5]);
  page.Flush();
  return image;
}

namespace {

// The locks after printing, as the display on the view wants them: idle under
// the flow lines; under the pressure map only its toggle, print and clipboard.
// Analyse > Run keeps the state it had: printing leaves the mesh as it was.
void UnlockAfterPrint(const FlowDisplayState& display, UiState& ui, bool runEnabled) {
  if (display.PressureShown == 0) {
    UnlockCommands(ui);
    ui[Cmd::MnuAnalyseRun].enabled = runEnabled;
    return;
  }
  for (Cmd c : {Cmd::SpeedButton24, Cmd::SpeedButton3}) {
    ui[c].enabled = true;
    ui[c].hint = true;
  }
  ui[Cmd::Clipbd].enabled = true;
}

}  // namespace

PrintOutcome PrintView(const PrintSource& source, CommandState& cmd, UiState& ui, Printer& printer,
                       WindowServices& services) {
  const bool runEnabled = ui[Cmd::MnuAnalyseRun].enabled;
  LockCommands(ui, services, false);
  if (!printer.Available()) {
    services.Ask().Message(NoPrinterMessage);
    UnlockAfterPrint(source.display, ui, runEnabled);
    return PrintOutcome::NoPrinter;
  }
  services.SaveViewSnapshot();
  cmd.PrintingActive = 1;
  services.ShowOnlineHelp(PrintHelpCode);
  services.Refresh();
  ui.cursor = CursorShape::Hourglass;

  PrintOutcome outcome = PrintOutcome::Printed;
  int copies = 1;
  if (!printer.ChoosePrinter(copies)) {
    outcome = PrintOutcome::Cancelled;
  } else {
    ui.status[3] = " ";
    for (int k = 0; k < 3; ++k) ui.helpLabels[k] = " ";
    for (int copy = 0; copy < copies; ++copy) {
      const PageGeometry paper = printer.Page();
      if (paper.width <= 0 || paper.height <= 0 || paper.dotsPerInch <= 0) {
        services.Ask().Message("The printer reported a page of no size; nothing was printed.");
        outcome = PrintOutcome::PrinterFailed;
        break;
      }
      // Draw at a bounded resolution and let the printer stretch the image.
      const int dpi = std::min(paper.dotsPerInch, MaxPageDotsPerInch);
      const int width = static_cast<int>(static_cast<long long>(paper.width) * dpi / paper.dotsPerInch);
      const int height = static_cast<int>(static_cast<long long>(paper.height) * dpi / paper.dotsPerInch);
      const QImage pageImage = RenderPrintPage(source, width, height, dpi);
      std::string error;
      if (!printer.PrintPage(pageImage, error)) {
        services.Ask().Message("Printing failed: " + (error.empty() ? std::string("the printer reported an error.") : error));
        outcome = PrintOutcome::PrinterFailed;
        break;
      }
    }
  }

  services.RestoreViewSnapshot();
  CancelCommand(cmd);
  if (outcome == PrintOutcome::Cancelled) ui.status[3] = " ";
  UnlockAfterPrint(source.display, ui, runEnabled);
  ui.cursor = CursorShape::Default;
  return outcome;
}

QImage ViewBitmap(const QImage& view, const Mesh& mesh) {
  return view.copy(0, mesh.MeshTop, mesh.MeshRight, mesh.MeshBottom - mesh.MeshTop);
}
