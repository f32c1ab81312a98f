// Set-up, run and the flow display of the main window, with the panels of the
// error level, the pressure display and its filter.
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "display/PressureMap.h"
#include "mesh/SolidFill.h"
#include "display/Streamlines.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/MeshSetup.h"
#include "shell/MainWindow.h"
#include "shell/PanelKit.h"

void Form1::BuildEntryPanels() {
  TitleFrame = MakePanel(client, "TitleFrame", "Enter Title", 300, 90);
  auto* tl = new QVBoxLayout(TitleFrame);
  TitleText = new QLineEdit(TitleFrame);
  TitleText->setMaxLength(32);
  tl->addWidget(TitleText);
  AddButtonPair(tl, TitleFrame, "OK", TitleOK, "Cancel", TitleCancel);

  SetErr = MakePanel(client, "SetErr", "Set Percentage Error Level", 260, 90);
  auto* el = new QVBoxLayout(SetErr);
  auto* row = new QHBoxLayout;
  CGErrVal = new QLineEdit("0.2", SetErr);
  row->addWidget(CGErrVal);
  row->addWidget(new QLabel("%", SetErr));
  el->addLayout(row);
  AddButtonPair(el, SetErr, "Set", CGErrSet, "Cancel", ErrorLevelCancel);

  Bdisplay = MakePanel(client, "Bdisplay", "Flow pressure display", 200, 110);
  auto* bl = new QHBoxLayout(Bdisplay);
  Bcolor = new QListWidget(Bdisplay);
  Bcolor->addItems({"Color", "Mono"});
  Linlog = new QListWidget(Bdisplay);
  Linlog->addItems({"Lin", "Log"});
  for (QListWidget* l : {Bcolor, Linlog}) {
    l->setFixedHeight(44);
    bl->addWidget(l);
  }

  BFilter = MakePanel(client, "BFilter", "Filter level", 200, 80);
  auto* fl = new QVBoxLayout(BFilter);
  Bfilter_level = new QSlider(Qt::Horizontal, BFilter);
  Bfilter_level->setRange(0, 100);
  Bset = new QPushButton("Set", BFilter);
  fl->addWidget(Bfilter_level);
  fl->addWidget(Bset);
}

bool Form1::KeepWorking(QProgressBar* bar, int position) {
  static QElapsedTimer sinceRepaint;
  QCoreApplication::processEvents();
  // A repaint costs far more than an iteration: the bar moves every 40 ms.
  if (bar && (!sinceRepaint.isValid() || sinceRepaint.elapsed() >= 40)) {
    bar->setValue(position);
    bar->repaint();
    sinceRepaint.restart();
  }
  return cmd.EscapePressed != 1;
}

void Form1::RedrawView() {
  ClearView(ViewCanvas(), mesh);
  RedrawAllObjects(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::SetUpMesh() {
  ExternalField field;
  field.Strength = doc.ExternalFieldStrength;
  field.VerticalItem = doc.ListBox1Item;
  field.HorizontalItem = doc.ListBox2Item;
  MeshSetupOptions options;
  options.viewSwitchRedraw = display.ViewSwitchRedraw == 1;
  options.densityRedraw = display.DensityRedraw == 1;
  options.solidFill = display.SolidFill == 1;
  options.paintSolidFill = [this](bool strokes) { PaintSolidFill(ViewCanvas(), mesh, SolidFillTarget{}, strokes); };
  options.unhighlightSelected = [this] { UnhighlightSelected(scene, ViewCanvas(), ui); };
  options.redrawView = [this] { RedrawView(); };
  const MeshSetupReport report =
      MeshSetupCommand(objects, field, mesh, options, ui, cmd, display.StreamlinesShown,
                       [this](int code) { ShowOnlineHelp(code); });
  if (report.objectsLeftOut > 0)
    prompts_->Message(std::to_string(report.objectsLeftOut) +
                      " object(s) lie far outside the mesh and were left out of the set-up.");
  SaveViewSnapshot();
  ViewChanged();
}

bool Form1::RunAnalysis() {
  SolverCallbacks callbacks;
  ProgressBar1->setValue(0);
  ProgressBar1->show();
  callbacks.progress = [this](int percent) { return KeepWorking(ProgressBar1, percent); };
  const SolverResult result = RunSolver(mesh, solver, ui, cmd, callbacks);
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
  if (!result.Completed()) {
    ui.status[3] = " ";
    cmd.EscapePressed = 0;
    return false;
  }
  DrawStreamlines(ViewCanvas(), mesh, display, ui, flowHooks);
  UnlockCommands(ui);
  // The system stays set up: another run may start from this solution.
  ui[Cmd::MnuAnalyseRun].enabled = mesh.SystemReady;
  if (ui.status[3] == " Streamlines") ui.status[3] = " ";
  cmd.EscapePressed = 0;
  ViewChanged();
  return true;
}

void Form1::ConnectAnalyseCommands() {
  FlowHooks& h = flowHooks;
  h.SaveViewSnapshot = [this] { SaveViewSnapshot(); };
  h.ShowOnlineHelp = [this](int code) { ShowOnlineHelp(code); };
  h.RedrawAllObjects = [this] { RedrawView(); };
  h.MeshSetupRedraw = [this] { SetUpMesh(); };
  h.ShowProgress = [this](bool shown) {
    // An Escape pressed earlier, with nothing to stop, must not cut this drawing short.
    if (shown) cmd.EscapePressed = 0;
    ProgressBar3->setValue(0);
    ProgressBar3->setVisible(shown);
  };
  h.Progress = [this](int position) { return KeepWorking(ProgressBar3, position); };

  Connect(Cmd::MnuAnalyseSetUp, [this] { SetUpMesh(); });
  Connect(Cmd::MnuAnalyseRun, [this] { RunAnalysis(); });
  Connect(Cmd::SpeedButton21, [this] {
    SetUpMesh();
    if (mesh.SystemReady) RunAnalysis();
  });

  Connect(Cmd::MnuSolverStandard, [this] {
    solver.Kind = SolverKind::Standard;
    appSettings.SetSolver(solver.Kind);
  });
  Connect(Cmd::MnuSolverFast, [this] {
    solver.Kind = SolverKind::Fast;
    appSettings.SetSolver(solver.Kind);
  });
  Connect(Cmd::MnuSmoothNone, [this] { ChooseSmoothing(display.SmoothingLevel, 0); });
  Connect(Cmd::MnuSmoothNormal, [this] { ChooseSmoothing(display.SmoothingLevel, 1); });
  Connect(Cmd::MnuSmoothHigh, [this] { ChooseSmoothing(display.SmoothingLevel, 2); });

  Connect(Cmd::MnuAnalyseErrorLevel, [this] {
    OpenErrorLevelPanel(solver, CGErrVal->text().toStdString(), ui);
    SaveViewSnapshot();
    SetErr->move(mesh.ViewRight, mesh.ViewTop);
    SetErr->show();
    SetErr->raise();
    CGErrVal->setFocus();
  });
  connect(CGErrSet, &QPushButton::clicked, this, [this] {
    if (!SetErrorLevel(solver, CGErrVal->text().toStdString(), mesh, ui)) {
      prompts_->Beep();
      CGErrVal->setFocus();
    } else {
      SetErr->hide();
      RestoreViewSnapshot();
    }
    SyncUi();
  });
  connect(ErrorLevelCancel, &QPushButton::clicked, this, [this] {
    CancelErrorLevel(solver, mesh, ui);
    CGErrVal->setText(QString::fromStdString(solver.CGErrVal));
    SetErr->hide();
    RestoreViewSnapshot();
    SyncUi();
  });

  // Flow lines and pressure.
  auto density = [this](std::int32_t levels) {
    SetStreamDensity(ViewCanvas(), mesh, display, ui, flowHooks, levels);
    ViewChanged();
  };
  Connect(Cmd::MnuFlowHigh, [density] { density(HighStreamLevels); });
  Connect(Cmd::MnuFlowNormal, [density] { density(NormalStreamLevels); });
  Connect(Cmd::MnuFlowLow, [density] { density(LowStreamLevels); });
  // After a redraw of the flow lines the prompt of the drawing is done with.
  auto flowViewDone = [this] {
    if (ui.status[3] == " Streamlines") ui.status[3] = " ";
    ViewChanged();
  };
  Connect(Cmd::SpeedButton24, [this, flowViewDone] {
    SwitchFlowView(ViewCanvas(), mesh, display, ui, flowHooks);
    flowViewDone();
  });
  Connect(Cmd::MnuViewFlowLines, [this, flowViewDone] {
    ChooseFlowLinesView(ViewCanvas(), mesh, display, ui, flowHooks);
    flowViewDone();
  });
  Connect(Cmd::MnuViewFlowPressure, [this, flowViewDone] {
    ChooseFlowPressureView(ViewCanvas(), mesh, display, ui, flowHooks);
    flowViewDone();
  });
  Connect(Cmd::MnuViewSolidFill, [this] { ToggleSolidFill(display); });

  auto pressureChoice = [this] {
    if (inHandler_) return;
    inHandler_ = true;
    SetPressureDisplay(ViewCanvas(), mesh, display, ui, flowHooks, Bcolor->currentRow(), Linlog->currentRow());
    inHandler_ = false;
    ViewChanged();
    SyncUi();
  };
  connect(Bcolor, &QListWidget::currentRowChanged, this, pressureChoice);
  connect(Linlog, &QListWidget::currentRowChanged, this, pressureChoice);
  connect(Bset, &QPushButton::clicked, this, [this] {
    SetFilterLevel(ViewCanvas(), mesh, display, ui, flowHooks, Bfilter_level->value());
    ViewChanged();
    SyncUi();
  });
}
