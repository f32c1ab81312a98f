// Printing: File > Print draws the view anew on a printer page (objects, grid,
// solid fill, flow lines or pressure map, the title, a frame) once per copy,
// and Copy to Clipboard puts the view on the clipboard as a bitmap.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>

#include "display/FlowDisplay.h"
#include "documents/Document.h"
#include "geometry/GeometryState.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "platform/Clipboard.h"
#include "platform/CommandState.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

// Where the view lands on a page, in page pixels.
struct PrintGeometry {
  std::int32_t PrintPenScale = 1;
  std::int32_t PrintMargin = 0;
  std::int32_t PrintLeft = 0, PrintTop = 0, PrintRight = 0, PrintBottom = 0;
  float CellWidth = 0, CellHeight = 0;  // the page's cells
  float PrintScale = 1;                 // page cell width over the screen's
};

// The geometry of a page `width` × `height` pixels at `dotsPerInch` for the
// mesh as the screen shows it. The print area is the largest square inside the
// margins; the pen scale is at least 1 so that thin figures still print.
PrintGeometry ComputePrintGeometry(int width, int height, int dotsPerInch, const Mesh& screenMesh);

// The resolution a page is drawn at: the printer's, but no finer than this,
// which keeps a page image near 35 MB; the image is stretched over the page.
constexpr int MaxPageDotsPerInch = 300;

// The program state a page is drawn from. The page is drawn from copies, so
// nothing here changes.
struct PrintSource {
  const ObjectTable& objects;
  const GeometryState& geometry;
  const Mesh& mesh;
  const GridState& grid;
  const FlowDisplayState& display;
  const DocumentState& doc;
  const UiState& ui;  // the check marks and the title in status panel 5
};

// One page: white, the frame, the drawing at the page's cell size and the title.
QImage RenderPrintPage(const PrintSource& source, int width, int height, int dotsPerInch,
                       PrintGeometry* used = nullptr);

enum class PrintOutcome { Printed, Cancelled, NoPrinter, PrinterFailed };

inline constexpr const char* NoPrinterMessage = "You must install a printer driver before using the Print function";
inline constexpr int PrintHelpCode = 4;

// File > Print: the dialog, one job of one page per copy, and afterwards the
// view, the command flags and the locks as the view's display wants them.
PrintOutcome PrintView(const PrintSource& source, CommandState& cmd, UiState& ui, Printer& printer,
                       WindowServices& services);

// The part of the view that Copy to Clipboard and the view snapshot take.
QImage ViewBitmap(const QImage& view, const Mesh& mesh);
