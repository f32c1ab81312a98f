// GaugeCommands: the gauge panel AGage of the main window with its
// calibration entries, the readings and the plot buttons: the gauge, the line
// plot and the surface pressure plot.
#pragma once

#include <QGroupBox>
#include <QImage>
#include <functional>
#include <memory>

#include "display/Gauge.h"
#include "display/LinePlotDrawing.h"
#include "display/SurfacePressure.h"

class ShellServices;
struct ProgramState;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class GaugePanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit GaugePanel(ShellServices& window);
  ~GaugePanel() override;

  // What the panel shows, kept with the program's state.
  GaugeState& gauge;
  LinePlotState& plot;
  SurfacePressure& surface;
  std::string& surfaceTitle;
  // The plot is drawn here and then shown in place of the view.
  QImage PlotBitmap;
  // The plot covers the view (its flow display waits in the view snapshot).
  bool plotOnView = false;
  // Which plot PlotShown stands for: the line plot, or View > Surface
  // Pressure with the samples and title it was drawn from.
  enum class PlotKind { Line, SurfacePressure };
  PlotKind shownPlot = PlotKind::Line;

  QLineEdit* cal = nullptr;
  QLineEdit* calp = nullptr;
  QLineEdit* cald = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QLabel* f = nullptr;  // flow-rate reading
  QLabel* p = nullptr;  // pressure reading
  QLabel* speedRatio = nullptr;           // U/U∞
  QLabel* pressureCoefficient = nullptr;  // Cp
  QPushButton* PrintPlot = nullptr;
  QPushButton* EndPlot = nullptr;

  GaugeEntries Entries() const;
  void ToggleGauge();
  void EndPlotClick();
  // Prints the plot on the view, the line plot or the surface pressure.
  void PrintLinePlot();
  // View > Surface Pressure: Cp round the selected object, over the view.
  void ShowSurfacePressure();
  void PlotLineDown(float x, float y);
  bool PlotLineMove(float x, float y);
  bool PlotLineUp(float x, float y);
  void GaugeReadout(float x, float y);

 private:
  void Place();
  void DrawLinePlot();
  // The plot bitmap, drawn by `draw`, shown in place of the view.
  void ShowPlotBitmap(const std::function<void(Canvas&)>& draw);
  void ShowCaptions();
  void ClearPlotFlags();

  ShellServices& window_;
  ProgramState& s_;
};
