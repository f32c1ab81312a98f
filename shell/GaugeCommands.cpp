#include "shell/GaugeCommands.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "display/SurfacePressureDrawing.h"
#include "platform/Canvas.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "shell/MainWindow.h"
#include "shell/PanelKit.h"
#include "shell/Panels.h"
#include "shell/ShellServices.h"

namespace {

constexpr int GaugeWidth = 270;
constexpr int GaugeHeight = 396;
// A page is drawn no finer than this; the image is stretched over the paper.
constexpr int MaxPlotPageDotsPerInch = 300;

constexpr const char* MemoLines[] = {
    "Enter values and click on the streamline ", "display to set the base calibration at that ",
    "point. Must be repeated after every ",        "analysis run. Minium value is 0.1. Max:",
    " Flow rate 500 m/s",                          " Pressure 100 Atm (1Atm=101,300Pa)",
    " Density 10,000 Kg/m3"};

QFrame* ReadingPanel(QWidget* parent, const char* name, const char* title, QLabel*& reading, const char* unit) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* row = new QHBoxLayout(panel);
  row->addWidget(new QLabel(title, panel));
  reading = new QLabel(panel);
  reading->setMinimumWidth(90);
  reading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(reading, 1);
  row->addWidget(new QLabel(unit, panel));
  return panel;
}

// The speed ratio and Cp side by side: neither needs a calibration.
QFrame* CoefficientPanel(QWidget* parent, QLabel*& speedRatio, QLabel*& cp) {
  auto* panel = new QFrame(parent);
  panel->setObjectName("Panel3");
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* row = new QHBoxLayout(panel);
  for (auto [title, reading] : {std::pair{"U/U\u221E", &speedRatio}, std::pair{"Cp", &cp}}) {
    row->addWidget(new QLabel(QString::fromUtf8(title), panel));
    *reading = new QLabel(panel);
    (*reading)->setMinimumWidth(50);
    (*reading)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(*reading, 1);
  }
  return panel;
}

// How the selected object is named in the surface pressure's title.
std::string SelectedObjectName(const ObjectTable& t) {
  const std::int32_t size = ObjectTable::RecordSize(t.SelectedKind);
  const std::string number = std::to_string(size > 0 ? t.SelectedIndex / size + 1 : 1);
  switch (t.SelectedKind) {
    case KindRect: return "rectangular section " + number;
    case KindCircle: return "circular section " + number;
    case KindAerofoil: return "aerofoil " + std::to_string(t.SelectedAerofoil);
    default: return "object " + number;
  }
}

}  // namespace

GaugePanel::GaugePanel(ShellServices& window)
    : QGroupBox("Gauge", window.Client()),
      gauge(window.State().gauge),
      plot(window.State().plot),
      surface(window.State().surface),
      surfaceTitle(window.State().surfaceTitle),
      window_(window),
      s_(window.State()) {
  setObjectName("AGage");
  setAutoFillBackground(true);
  resize(GaugeWidth, GaugeHeight);
  hide();

  auto* layout = new QVBoxLayout(this);
  auto* calibrate = new QLabel("Calibrate", this);
  calibrate->setObjectName("Calibrate");
  layout->addWidget(calibrate);
  auto* grid = new QGridLayout;
  const char* captions[] = {"flow rate m/s", "Pressure Atm", "Density Kg/m3"};
  const char* names[] = {"cal", "calp", "cald"};
  const char* texts[] = {"10", "1", "1000"};
  QLineEdit** edits[] = {&cal, &calp, &cald};
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(captions[i], this);
    label->setWordWrap(true);
    grid->addWidget(label, 0, i);
    *edits[i] = new QLineEdit(texts[i], this);
    (*edits[i])->setObjectName(names[i]);
    grid->addWidget(*edits[i], 1, i);
  }
  layout->addLayout(grid);
  Memo2 = new QPlainTextEdit(this);
  Memo2->setObjectName("Memo2");
  QString memo;
  for (const char* line : MemoLines) memo += QString(line) + "\n";
  Memo2->setPlainText(memo.trimmed());
  Memo2->setEnabled(false);
  Memo2->setFixedHeight(120);
  layout->addWidget(Memo2);
  layout->addWidget(ReadingPanel(this, "Panel1", "Flow rate", f, "m/s"));
  layout->addWidget(ReadingPanel(this, "Panel2", "Pressure", p, "Atm"));
  f->setObjectName("f");
  p->setObjectName("p");
  layout->addWidget(CoefficientPanel(this, speedRatio, pressureCoefficient));
  speedRatio->setObjectName("speedRatio");
  pressureCoefficient->setObjectName("pressureCoefficient");
  AddButtonPair(layout, this, "Print Plot", PrintPlot, "End Plot", EndPlot);
  PrintPlot->setObjectName("PrintPlot");
  EndPlot->setObjectName("EndPlot");
  PrintPlot->hide();
  EndPlot->hide();

  connect(PrintPlot, &QPushButton::clicked, this, [this] { PrintLinePlot(); });
  connect(EndPlot, &QPushButton::clicked, this, [this] { EndPlotClick(); });
}

GaugePanel::~GaugePanel() = default;

GaugeEntries GaugePanel::Entries() const {
  return {cal->text().toStdString(), calp->text().toStdString(), cald->text().toStdString()};
}

void GaugePanel::Place() {
  const int right = s_.mesh.ViewRight;
  const int left = right + (window_.Client()->width() - right) / 2 - width() / 2;
  // Below the three data labels, which stay readable.
  const int top = 3 * DataLabelHeight;
  move(std::max(0, left), std::max(0, top));
}

void GaugePanel::ClearPlotFlags() {
  s_.cmd.PlotPending = 0;
  s_.cmd.PlotShown = 0;
  s_.cmd.PlotLineActive = 0;
}

void GaugePanel::ToggleGauge() {
  if (gauge.AGageVisible) {
    gauge.AGageVisible = false;
    hide();
    PrintPlot->hide();
    EndPlot->hide();
    EraseRubberLine(plot, window_.ViewCanvas());
    // Only a plot has covered the flow display; otherwise the view is as the
    // user left it and an older snapshot must not replace it.
    if (plotOnView) window_.RestoreViewSnapshot();
    plotOnView = false;
    ClearPlotFlags();
    window_.ViewChanged();
  } else {
    gauge.AGageVisible = true;
    // U/U∞ and Cp read against the empty mesh's flow.
    if (s_.display.StreamlinesShown && !window_.UpdateFreeStreamForMesh(true)) s_.cmd.EscapePressed = 0;
    Place();
    show();
    raise();
    cal->setFocus();
  }
}

void GaugePanel::EndPlotClick() {
  PrintPlot->hide();
  EndPlot->hide();
  if (plotOnView) window_.RestoreViewSnapshot();
  plotOnView = false;
  ClearPlotFlags();
  window_.SyncUi();
}

void GaugePanel::ShowCaptions() {
  f->setText(QString::fromStdString(gauge.FlowCaption));
  p->setText(QString::fromStdString(gauge.PressureCaption));
  speedRatio->setText(QString::fromStdString(gauge.SpeedRatioCaption));
  pressureCoefficient->setText(QString::fromStdString(gauge.PressureCoefficientCaption));
}

void GaugePanel::GaugeReadout(float x, float y) {
  if (!gauge.AGageVisible || AnyCommand(s_.cmd) || s_.cmd.PlotShown) return;
  ShowGaugeReading(gauge, s_.mesh, x, y);
  ShowFlowCoefficients(gauge, s_.mesh, s_.freeStream, x, y);
  ShowCaptions();
}

void GaugePanel::PlotLineDown(float x, float y) {
  if (!gauge.AGageVisible) return;
  // While a plot covers the view the snapshot still holds the flow display,
  // and the next plot must not take its place there.
  if (!plotOnView) window_.SaveViewSnapshot();
  PlotLinePress(plot, s_.cmd, s_.mesh, x, y);
}

bool GaugePanel::PlotLineMove(float x, float y) {
  if (!gauge.AGageVisible || s_.mouse.MouseButtonDown != 1 || s_.cmd.PlotPending != 1) return false;
  PlotLineDrag(plot, s_.cmd, window_.ViewCanvas(), x, y);
  return true;
}

bool GaugePanel::PlotLineUp(float x, float y) {
  if (!gauge.AGageVisible || s_.cmd.PlotPending != 1) return false;
  s_.mouse.MouseButtonDown = 0;
  s_.mouse.MouseRawX = x;
  s_.mouse.MouseRawY = y;
  const bool dragged = s_.cmd.PlotLineActive == 1;
  EraseRubberLine(plot, window_.ViewCanvas());
  const PlotEnd end = SetPlotEnd(plot, s_.mesh, x, y);
  const bool click = !dragged && plot.PlotEndCol == plot.PlotStartCol && plot.PlotEndRow == plot.PlotStartRow;
  if (click) {
    const CalibrationResult r =
        CalibrateAtClick(gauge, s_.mesh, s_.display.StreamlinesShown, Entries(), x, y, window_.Ask());
    if (r.refused == CalibrationEntry::FlowRate) cal->setFocus();
    if (r.refused == CalibrationEntry::Pressure) calp->setFocus();
    if (r.refused == CalibrationEntry::Density) cald->setFocus();
  } else if (end == PlotEnd::Accepted) {
    DrawLinePlot();
  } else if (end == PlotEnd::OutsideMesh) {
    window_.Ask().Beep();
    window_.Ask().Message("Please draw another plot line within the mesh area.");
    ::CancelCommand(s_.cmd);
  }
  GaugeReadout(x, y);
  window_.ViewChanged();
  return true;
}

void GaugePanel::DrawLinePlot() {
  SamplePlotLine(plot, gauge, s_.mesh);
  if (plot.PlotSampleLast < 1) return;
  shownPlot = PlotKind::Line;
  ShowPlotBitmap([this](Canvas& canvas) { DrawPlotGraphs(canvas, plot, ScreenPlotLayout(s_.mesh)); });
}

void GaugePanel::ShowPlotBitmap(const std::function<void(Canvas&)>& draw) {
  s_.cmd.PlotShown = 1;
  PrintPlot->show();
  EndPlot->show();
  const Mesh& mesh = s_.mesh;
  const int width = std::max(1, mesh.ViewRight), height = std::max(1, mesh.ViewSize);
  if (PlotBitmap.width() != width || PlotBitmap.height() != height) PlotBitmap = MakeBitmap(width, height);
  {
    Canvas canvas(PlotBitmap);
    ClearView(canvas, mesh);
    draw(canvas);
  }
  window_.ViewCanvas().Draw(0, mesh.MeshTop, PlotBitmap);
  plotOnView = true;
  window_.ViewChanged();
}

void GaugePanel::ShowSurfacePressure() {
  if (!s_.display.StreamlinesShown) {
    window_.Ask().Message("Surface Pressure needs a solution: set up the mesh and run the analysis first.");
    return;
  }
  if (!s_.objects.ObjectSelected) {
    window_.Ask().Message("Select an object first: Surface Pressure shows the pressure round the selected object.");
    return;
  }
  if (!window_.UpdateFreeStreamForMesh(true)) {
    // Escape ends it quietly; a run that failed is told.
    if (s_.cmd.EscapePressed != 1)
      window_.Ask().Message("The flow of the empty mesh could not be calculated, so there is no pressure to show.");
    s_.cmd.EscapePressed = 0;
    return;
  }
  SurfacePressure sampled = SampleSelectedSurface(s_.objects, s_.mesh, s_.freeStream);
  if (sampled.kind < 0 || sampled.samples.empty()) {
    window_.Ask().Message("There is no surface pressure to show round this object: it has no outline in the flow.");
    return;
  }
  surface = std::move(sampled);
  surfaceTitle = "Surface pressure round " + SelectedObjectName(s_.objects);
  // The plot's buttons sit on the gauge panel.
  if (!gauge.AGageVisible) ToggleGauge();
  if (!plotOnView) window_.SaveViewSnapshot();
  shownPlot = PlotKind::SurfacePressure;
  ShowPlotBitmap([this](Canvas& canvas) {
    DrawSurfacePressure(canvas, surface, surfaceTitle, ScreenSurfacePlotLayout(s_.mesh));
  });
}

void GaugePanel::PrintLinePlot() {
  const bool surfaceShown = shownPlot == PlotKind::SurfacePressure;
  if (!s_.cmd.PlotShown || (surfaceShown ? surface.samples.empty() : plot.PlotSampleLast < 1)) return;
  UiState& ui = s_.ui;
  // Printing leaves the commands as the display had them (the pressure map
  // keeps its own locks).
  const auto commands = ui.commands;
  const std::string panel4 = ui.status[4];
  auto finish = [&] {
    ui.commands = commands;
    ui.status[3] = " ";
    ui.status[4] = panel4;
    ui.cursor = CursorShape::Default;
    window_.SyncUi();
  };
  LockCommands(ui, window_, false);
  window_.SyncUi();
  Printer& printer = window_.WindowPrinter();
  if (!printer.Available()) {
    finish();
    window_.Ask().Message("Printing the plot needs a printer, and no printer is installed.");
    return;
  }
  ui.cursor = CursorShape::Hourglass;
  window_.SyncUi();
  int copies = 1;
  if (!printer.ChoosePrinter(copies)) {
    finish();
    return;
  }
  copies = std::max(1, copies);
  ui.status[3] = " ";
  for (std::size_t i = 0; i < 3; ++i) ui.helpLabels[i] = " ";
  const PageGeometry paper = printer.Page();
  if (paper.width <= 0 || paper.height <= 0 || paper.dotsPerInch <= 0) {
    finish();
    window_.Ask().Message("The printer did not report a usable page; nothing was printed.");
    return;
  }
  const int dpi = std::min(paper.dotsPerInch, MaxPlotPageDotsPerInch);
  const int width = std::max(1, static_cast<int>(static_cast<long long>(paper.width) * dpi / paper.dotsPerInch));
  const int height = std::max(1, static_cast<int>(static_cast<long long>(paper.height) * dpi / paper.dotsPerInch));
  QImage page = MakeBitmap(width, height);
  {
    Canvas canvas(page);
    const PlotPageArea area = ComputePlotPageArea(width, height, dpi);
    if (surfaceShown)
      DrawSurfacePressurePage(canvas, surface, surfaceTitle, area);
    else
      DrawPlotPage(canvas, plot, area, s_.mesh.VisibleMeshSize);
  }
  std::string error;
  for (int copy = 0; copy < copies; ++copy) {
    if (!printer.PrintPage(page, error)) {
      finish();
      window_.Ask().Message("The plot could not be printed: " + error);
      return;
    }
  }
  finish();
}

void Form1::EgageClick() { AGage->ToggleGauge(); }
void Form1::MnuViewSurfacePressureClick() { AGage->ShowSurfacePressure(); }
