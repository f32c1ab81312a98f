// Set-up, run and the flow display of the main window, with the panels of the
// error level, the pressure display and its filter; the circulation runs of
// Analyse > Lift and their read-out.
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

#include "display/PressureMap.h"
#include "mesh/SolidFill.h"
#include "display/Streamlines.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/MeshSetup.h"
#include "shell/MainWindow.h"
#include "shell/Panels.h"

namespace {

ExternalField FieldOf(const DocumentState& doc) {
  ExternalField field;
  field.Strength = doc.ExternalFieldStrength;
  field.VerticalItem = doc.ListBox1Item;
  field.HorizontalItem = doc.ListBox2Item;
  return field;
}

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

std::string Decimal(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text = buf;
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

// One aerofoil on two lines: its circulation, then its lift coefficient by
// Kutta-Joukowski and from the pressure round its outline.
std::string LiftReadout(const AerofoilLift& a) {
  const double size = std::fabs(a.circulation);
  const std::string gamma = Decimal(a.circulation, size >= 100 ? 0 : size >= 10 ? 1 : 2);
  return "Aerofoil " + std::to_string(a.number) + ":  \u0393 " + gamma + "\nCl " + Decimal(a.liftCoefficient, 3) +
         " (KJ)  " + Decimal(a.liftCoefficientPressure, 3) + " (Cp)";
}

}  // namespace

// Solver runs beyond the plain one (the free stream, the circulations) as the
// Run shows its own: hourglass, commands locked, the progress bar, Escape to
// stop. Afterwards the window is as it was before.
class Form1::ExtraRuns {
 public:
  ExtraRuns(Form1& f, const char* prompt) : f_(f), commands_(f.ui.commands), status3_(f.ui.status[3]),
        status4_(f.ui.status[4]), cursor_(f.ui.cursor) {
    f.ui.cursor = CursorShape::Hourglass;
    LockCommands(f.ui, f, true);
    f.ui.status[3] = prompt;
    f.cmd.EscapePressed = 0;
    f.ProgressBar1->setValue(0);
    f.ProgressBar1->show();
    f.Refresh();
  }
  ~ExtraRuns() {
    f_.ProgressBar1->hide();
    f_.ui.commands = commands_;
    f_.ui.status[3] = status3_;
    f_.ui.status[4] = status4_;
    f_.ui.cursor = cursor_;
    f_.Refresh();
  }
  ExtraRuns(const ExtraRuns&) = delete;
  ExtraRuns& operator=(const ExtraRuns&) = delete;

  // The chosen solver at the chosen error level, with the progress and Escape.
  StreamSolve Solve() const {
    Form1& f = f_;
    return [&f](Mesh& m) {
      SolverCallbacks callbacks;
      callbacks.progress = [&f](int percent) { return f.KeepWorking(f.ProgressBar1, percent); };
      return SolveStreamFunctionWith(f.solver.Kind, m, f.solver.ErrorTolerance2, callbacks);
    };
  }
  bool Stopped() const { return f_.cmd.EscapePressed == 1; }

 private:
  Form1& f_;
  const std::array<CommandUi, CmdCount> commands_;
  const std::string status3_, status4_;
  const CursorShape cursor_;
};

bool Form1::KeepWorking(QProgressBar* bar, int position) {
  QCoreApplication::processEvents();
  // A repaint costs far more than an iteration: the bar moves every 40 ms.
  if (bar && (!sinceProgressShown_.isValid() || sinceProgressShown_.elapsed() >= 40)) {
    bar->setValue(position);
    bar->repaint();
    sinceProgressShown_.restart();
  }
  return cmd.EscapePressed != 1;
}

void Form1::RedrawView() {
  ClearView(ViewCanvas(), mesh);
  RedrawAllObjects(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::SetUpMesh() {
  const ExternalField field = FieldOf(doc);
  MeshSetupOptions options;
  options.viewSwitchRedraw = display.ViewSwitchRedraw == 1;
  options.densityRedraw = display.DensityRedraw == 1;
  options.solidFill = display.SolidFill == 1;
  options.paintSolidFill = [this](bool strokes) { PaintSolidFill(ViewCanvas(), mesh, SolidFillTarget{}, strokes); };
  options.unhighlightSelected = [this] { UnhighlightSelected(scene, ViewCanvas(), ui); };
  options.redrawView = [this] { RedrawView(); };
  const MeshSetupReport report =
      MeshSetupCommand(objects, field, mesh, options, ui, cmd, display.StreamlinesShown, *this);
  if (report.objectsLeftOut > 0)
    prompts_->Message(std::to_string(report.objectsLeftOut) +
                      " object(s) lie far outside the mesh and were left out of the set-up.");
  SaveViewSnapshot();
  ViewChanged();
}

bool Form1::UpdateFreeStreamForMesh(bool interactive) {
  const ExternalField field = FieldOf(doc);
  if (FreeStreamMatches(freeStream, mesh, field)) return true;
  if (!interactive) return UpdateFreeStream(freeStream, mesh, field, StreamSolveWith(solver.Kind, solver.ErrorTolerance2));
  const ExtraRuns runs(*this, " Calculating the free stream");
  return UpdateFreeStream(freeStream, mesh, field, runs.Solve());
}

bool Form1::AddLift() {
  lift = LiftResult{};
  liftedStream.clear();
  if (objects.AerofoilDataLen <= 0) return true;
  bool stopped = false;
  {
    const ExtraRuns runs(*this, " Calculating lift");
    const StreamSolve solve = runs.Solve();
    UpdateFreeStream(freeStream, mesh, FieldOf(doc), solve);
    stopped = runs.Stopped();
    if (!stopped) lift = ApplyLift(objects, mesh, freeStream, solve);
    stopped = stopped || runs.Stopped();
  }
  // Escape stops the extra runs as it stops the plain one: nothing is drawn.
  if (stopped) {
    lift = LiftResult{};
    return false;
  }
  if (lift.outcome == LiftOutcome::Applied)
    liftedStream = mesh.StreamFunction;
  else if (lift.outcome == LiftOutcome::SolveIncomplete || lift.outcome == LiftOutcome::Singular)
    prompts_->Message("The circulation of the aerofoils could not be calculated; the flow is shown without lift.");
  return true;
}

std::array<std::string, 3> Form1::DataLabelTexts() const {
  std::array<std::string, 3> shown = ui.dataLabels;
  const bool liftShown = liftOn && lift.outcome == LiftOutcome::Applied && display.StreamlinesShown == 1 &&
                         mesh.StreamFunction == liftedStream;
  if (!liftShown) return shown;
  if (!Blank(shown[0]) || !Blank(shown[1])) {
    // An object is described: the third label gives the selected aerofoil's lift.
    if (objects.ObjectSelected && objects.SelectedKind == KindAerofoil && Blank(shown[2]))
      for (const AerofoilLift& a : lift.aerofoils)
        if (a.number == objects.SelectedAerofoil) shown[2] = LiftReadout(a);
    return shown;
  }
  for (std::size_t i = 0; i < shown.size() && i < lift.aerofoils.size(); ++i)
    if (Blank(shown[i])) shown[i] = LiftReadout(lift.aerofoils[i]);
  return shown;
}

bool Form1::RunAnalysis() {
  SolverCallbacks callbacks;
  ProgressBar1->setValue(0);
  ProgressBar1->show();
  callbacks.progress = [this](int percent) { return KeepWorking(ProgressBar1, percent); };
  const SolverResult result = RunSolver(mesh, solver, ui, cmd, *this, callbacks);
  lastSolve = result;
  ProgressBar1->hide();
  if (result.outcome == SolverOutcome::NotFinite) {
    prompts_->Message(SolverNotFiniteMessage);
    return false;
  }
  if (result.outcome == SolverOutcome::NotSetUp) {
    prompts_->Message("The mesh has not been set up at its present size. Use Analyse > Set up Mesh first.");
    return false;
  }
  if (!result.Completed() || (liftOn && !AddLift())) {
    ui.status[3] = " ";
    cmd.EscapePressed = 0;
    return false;
  }
  DrawStreamlines(ViewCanvas(), mesh, display, ui, *this, flowHooks);
  UnlockCommands(ui);
  // The system stays set up: another run may start from this solution.
  ui[Cmd::MnuAnalyseRun].enabled = mesh.SystemReady;
  if (ui.status[3] == " Streamlines") ui.status[3] = " ";
  cmd.EscapePressed = 0;
  ViewChanged();
  return true;
}

void Form1::MnuAnalyseSetClick() { SetUpMesh(); }
void Form1::MnuAnalyseRunClick() { RunAnalysis(); }

void Form1::SpeedButton21Click() {
  SetUpMesh();
  if (mesh.SystemReady) RunAnalysis();
}

void Form1::MnuAnalyseLiftClick() {
  liftOn = !liftOn;
  appSettings.SetLift(liftOn);
}

void Form1::ChooseSolver(SolverKind kind) {
  solver.Kind = kind;
  appSettings.SetSolver(solver.Kind);
}
void Form1::MnuSolverStandardClick() { ChooseSolver(SolverKind::Standard); }
void Form1::MnuSolverFastClick() { ChooseSolver(SolverKind::Fast); }

void Form1::SmoothnoneClick() { ChooseSmoothing(display.SmoothingLevel, 0); }
void Form1::smoothnormClick() { ChooseSmoothing(display.SmoothingLevel, 1); }
void Form1::SmoothhighClick() { ChooseSmoothing(display.SmoothingLevel, 2); }

void Form1::SetErrorClick() {
  OpenErrorLevelPanel(solver, SetErr->CGErrVal->text().toStdString(), ui, *this);
  SaveViewSnapshot();
  SetErr->move(mesh.ViewRight, mesh.ViewTop);
  SetErr->show();
  SetErr->raise();
  SetErr->CGErrVal->setFocus();
}

void Form1::CGErrSetClick() {
  if (!SetErrorLevel(solver, SetErr->CGErrVal->text().toStdString(), mesh, ui)) {
    prompts_->Beep();
    SetErr->CGErrVal->setFocus();
  } else {
    SetErr->hide();
    RestoreViewSnapshot();
  }
}

void Form1::ErrorLevelCancelClick() {
  CancelErrorLevel(solver, mesh, ui);
  SetErr->CGErrVal->setText(QString::fromStdString(solver.CGErrVal));
  SetErr->hide();
  RestoreViewSnapshot();
}

// ---------------------------------------------------------------- flow lines and pressure

void Form1::Density(std::int32_t levels) {
  SetStreamDensity(ViewCanvas(), mesh, display, ui, *this, flowHooks, levels);
  ViewChanged();
}
void Form1::FluxhighClick() { Density(HighStreamLevels); }
void Form1::FluxNormalClick() { Density(NormalStreamLevels); }
void Form1::FluxLowClick() { Density(LowStreamLevels); }

// After a redraw of the flow lines the prompt of the drawing is done with.
void Form1::FlowViewDone() {
  if (ui.status[3] == " Streamlines") ui.status[3] = " ";
  ViewChanged();
}

void Form1::SpeedButton24Click() {
  SwitchFlowView(ViewCanvas(), mesh, display, ui, *this, flowHooks);
  FlowViewDone();
}

void Form1::MnuFluxlinesClick() {
  ChooseFlowLinesView(ViewCanvas(), mesh, display, ui, *this, flowHooks);
  FlowViewDone();
}

void Form1::MnuFluxdensityClick() {
  ChooseFlowPressureView(ViewCanvas(), mesh, display, ui, *this, flowHooks);
  FlowViewDone();
}

void Form1::Solidfill1Click() { ToggleSolidFill(display); }

void Form1::PressureDisplayChange() {
  if (inHandler_) return;
  inHandler_ = true;
  SetPressureDisplay(ViewCanvas(), mesh, display, ui, *this, flowHooks, Bdisplay->Bcolor->currentRow(),
                     Bdisplay->Linlog->currentRow());
  inHandler_ = false;
  ViewChanged();
  SyncUi();
}

void Form1::BsetClick() {
  SetFilterLevel(ViewCanvas(), mesh, display, ui, *this, flowHooks, BFilter->Bfilter_level->value());
  ViewChanged();
}
