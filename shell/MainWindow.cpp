#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "platform/QtPrompts.h"
#include "display/Gauge.h"
#include "display/Streamlines.h"
#include "geometry/Aerofoils.h"
#include "geometry/EditOperations.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/Grid.h"
#include "shell/GaugeCommands.h"
#include "shell/Glyphs.h"
#include "shell/OnlineHelp.h"
#include "shell/Panels.h"
#include "shell/RecoveryKeeper.h"
#include "shell/ViewWidget.h"

namespace {

QFont WindowFont() {
  QFont f("DejaVu Sans");
  f.setPixelSize(11);
  f.setBold(true);
  return f;
}

struct ButtonDesign {
  Cmd id;
  const char* hint;
};

// The speed buttons, left to right.
constexpr ButtonDesign SpeedButtons[] = {
    {Cmd::SpeedButton19, "New File"},
    {Cmd::SpeedButton2, "Open File"},
    {Cmd::SpeedButton1, "Save File"},
    {Cmd::SpeedButton3, "Print"},
    {Cmd::SpeedButton25, "Guideline"},
    {Cmd::SpeedButton4, "Add Rectangular Section"},
    {Cmd::SpeedButton23, "Add Circular Section"},
    {Cmd::SpeedButton6, "Aerofoil"},
    {Cmd::SpeedButton8, "Copy"},
    {Cmd::SpeedButton9, "Move"},
    {Cmd::SpeedButton10, "Rotate"},
    {Cmd::SpeedButton11, "Flip Left/Right"},
    {Cmd::SpeedButton16, "Flip Top/Bottom"},
    {Cmd::SpeedButton17, "Stretch"},
    {Cmd::SpeedButton18, "Trapezoid"},
    {Cmd::SpeedButton14, "Expand"},
    {Cmd::SpeedButton15, "Clear"},
    {Cmd::SpeedButton24, "Toggle Flow Lines / Pressure"},
    {Cmd::SpeedButton5, "Toggle flow/pressure gauge"},
    {Cmd::SpeedButton21, "Run"},
};

constexpr int ToolPanelHeight = 23;
constexpr int ButtonSide = 23;

}  // namespace

Form1::Form1(Prompts* prompts, std::string folder)
    : Form1(prompts, folder.empty() ? RunningLayout() : FolderLayout(folder)) {}

Form1::Form1(Prompts* prompts, InstallLayout where)
    : layout(std::move(where)), programFolder(layout.preferenceFolder) {
  if (prompts) {
    prompts_ = prompts;
  } else {
    ownPrompts_ = std::make_unique<QtPrompts>(this);
    prompts_ = ownPrompts_.get();
  }
  setObjectName("Form1");
  setFont(WindowFont());
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  pal.setColor(QPalette::Button, QColor(192, 192, 192));
  // Disabled captions must stay legible on the silver window.
  for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    pal.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
  setPalette(pal);
  menuBar()->setPalette(pal);
  auto* holder = new QWidget(this);
  client = new QWidget(holder);
  client->setObjectName("client");
  client->setAutoFillBackground(true);
  setCentralWidget(holder);
  viewImage = MakeBitmap(1, 1);
  viewCanvas_ = std::make_unique<Canvas>(viewImage);
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  BuildSideLabels();
  V = new ViewWidget(client, viewImage, *viewCanvas_);
  V->setFocusPolicy(Qt::ClickFocus);
  V->onMouse = [this](ViewWidget::MouseEventKind k, int x, int y, Qt::MouseButton b) {
    OnViewMouse(static_cast<int>(k), x, y, b);
  };
  BuildPanels();
  WireHooks();
  ConnectCommands();
  ConnectPanels();
  qApp->installEventFilter(this);
  FormCreate();
}

Form1::~Form1() { qApp->removeEventFilter(this); }

void ShowMainWindow(Form1& window) { window.showMaximized(); }

// ---------------------------------------------------------------- building

QAction* Form1::Action(Cmd c) const {
  auto it = actions_.find(c);
  return it == actions_.end() ? nullptr : it->second;
}
QToolButton* Form1::Button(Cmd c) const {
  auto it = buttons_.find(c);
  return it == buttons_.end() ? nullptr : it->second;
}
QMenu* Form1::Menu(Cmd c) const {
  auto it = menus_.find(c);
  return it == menus_.end() ? nullptr : it->second;
}

void Form1::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [&](QWidget* parent, Cmd id, const char* caption) {
    QMenu* m = new QMenu(caption, parent);
    if (auto* mb = qobject_cast<QMenuBar*>(parent))
      mb->addMenu(m);
    else
      static_cast<QMenu*>(parent)->addMenu(m);
    menus_[id] = m;
    actions_[id] = m->menuAction();
    for (auto& [cmdId, menuOf] : menus_)
      if (menuOf == parent) parents_[id] = cmdId;
    return m;
  };
  auto item = [&](QMenu* m, Cmd id, const char* caption, bool checkable = false) {
    QAction* a = m->addAction(caption);
    a->setCheckable(checkable);
    actions_[id] = a;
    for (auto& [cmdId, menuOf] : menus_)
      if (menuOf == m) parents_[id] = cmdId;
    connect(a, &QAction::triggered, this, [this, id] { HandleCommand(id); });
    return a;
  };

  QMenu* file = menu(bar, Cmd::MnuFile, "&File");
  item(file, Cmd::MnuFileNew, "&New");
  item(file, Cmd::MnuFileOpen, "&Open");
  item(file, Cmd::MnuFileSave, "&Save");
  item(file, Cmd::MnuFileSaveAs, "Save &As");
  QMenu* recent = menu(file, Cmd::MnuFileRecent, "Open &Recent");
  connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
  item(file, Cmd::MnuFilePrint, "&Print");
  QMenu* exportMenu = new QMenu("Expor&t", file);
  file->addMenu(exportMenu);
  item(exportMenu, Cmd::MnuFileExportView, "View as &PNG...");
  item(exportMenu, Cmd::MnuFileExportPlot, "P&lot Data as CSV...");
  item(exportMenu, Cmd::MnuFileExportPsi, "&Stream Function as CSV...");
  file->addSeparator();
  item(file, Cmd::MnuFileExit, "&Exit");
  auto* fileShortcut = new QShortcut(QKeySequence("Ctrl+F"), this);
  connect(fileShortcut, &QShortcut::activated, this, [this, file] {
    if (ui[Cmd::MnuFile].enabled) menuBar()->setActiveAction(file->menuAction());
  });

  QMenu* edit = menu(bar, Cmd::MnuEdit, "&Edit");
  item(edit, Cmd::MnuEditUndo, "U&ndo");
  item(edit, Cmd::MnuEditRedo, "Re&do");
  edit->addSeparator();
  item(edit, Cmd::MnuEditAddGuideline, "Add &Guideline");
  item(edit, Cmd::MnuEditAddRectangle, "Add &Rectangle");
  item(edit, Cmd::MnuEditAddCircle, "Add &Circle");
  item(edit, Cmd::MnuEditAddAerofoil, "Add &Aerofoil");
  edit->addSeparator();
  item(edit, Cmd::MnuEditCopy, "Co&py");
  item(edit, Cmd::MnuEditMove, "Mo&ve");
  item(edit, Cmd::MnuEditRotate, "R&otate");
  QMenu* flip = menu(edit, Cmd::MnuEditFlip, "&Flip");
  item(flip, Cmd::MnuEditFlipLeftRight, "&Left/Right");
  item(flip, Cmd::MnuEditFlipTopBottom, "&Top/Bottom");
  QMenu* size = menu(edit, Cmd::MnuEditSize, "Si&ze");
  item(size, Cmd::MnuEditStretch, "&Stretch");
  item(size, Cmd::MnuEditTrapezoid, "Tra&pezoid");
  item(size, Cmd::MnuEditExpand, "&Expand");
  edit->addSeparator();
  item(edit, Cmd::MnuEditClear, "C&lear");
  item(edit, Cmd::MnuEditClearAll, "Cl&ear All");
  item(edit, Cmd::MnuEditClearAllGuidelines, "Clear All G&uidelines");

  QMenu* clip = menu(bar, Cmd::Clipbd, "&Clipboard");
  item(clip, Cmd::ClipbdCopy, "&Copy to Clipboard");
  QMenu* title = menu(bar, Cmd::MnuTitle, "T&itle");
  item(title, Cmd::MnuTitleAdd, "&Add Title");

  QMenu* view = menu(bar, Cmd::MnuView, "&View");
  item(view, Cmd::MnuViewFlowLines, "Flow &Lines", true);
  item(view, Cmd::MnuViewFlowPressure, "Flow Pressure", true);
  item(view, Cmd::MnuViewSolidFill, "Solid fill  ", true);
  item(view, Cmd::MnuViewGauge, "Gauge");
  item(view, Cmd::MnuViewSurfacePressure, "Surface Pressure");

  QMenu* analyse = menu(bar, Cmd::MnuAnalyse, "&Analyse");
  item(analyse, Cmd::MnuAnalyseSetUp, "&Set up Mesh");
  item(analyse, Cmd::MnuAnalyseRun, "&Run");
  QMenu* smooth = menu(analyse, Cmd::MnuAnalyseSmoothing, "Smoothing &Options");
  item(smooth, Cmd::MnuSmoothNone, "N&one", true);
  item(smooth, Cmd::MnuSmoothNormal, "&Normal", true);
  item(smooth, Cmd::MnuSmoothHigh, "&High", true);
  item(analyse, Cmd::MnuAnalyseErrorLevel, "Set Percentage &Error Level");
  item(analyse, Cmd::MnuAnalyseLift, "Lift (trailing-edge condition)", true);

  QMenu* tools = menu(bar, Cmd::MnuTools, "&Tools");
  QMenu* gridMenu = menu(tools, Cmd::MnuGrid, "&Grid");
  item(gridMenu, Cmd::MnuToolsDots, "&Dots", true);
  item(gridMenu, Cmd::MnuToolsLines, "&Lines", true);
  item(tools, Cmd::MnuToolsShowGrid, "&Show Grid", true);
  item(tools, Cmd::Showcentrelines, "Show &Centre Lines", true);
  QMenu* flow = menu(tools, Cmd::MnuToolsFlowLines, "&Flow Lines");
  item(flow, Cmd::MnuFlowHigh, "&High", true);
  item(flow, Cmd::MnuFlowNormal, "&Normal", true);
  item(flow, Cmd::MnuFlowLow, "&Low", true);
  QMenu* meshSize = menu(tools, Cmd::Meshsize1, "&Mesh Size");
  item(meshSize, Cmd::N100, "100 X 100", true);
  item(meshSize, Cmd::N200, "200 X 200", true);
  item(meshSize, Cmd::N300, "300 X 300", true);
  QMenu* solverMenu = menu(tools, Cmd::MnuToolsSolver, "S&olver");
  item(solverMenu, Cmd::MnuSolverStandard, "Conjugate gradient (standard)", true);
  item(solverMenu, Cmd::MnuSolverFast, "Multigrid-preconditioned (fast)", true);
  tools->addSeparator();
  item(tools, Cmd::MnuPreferences, "&Preferences");
  item(tools, Cmd::MnuUninstall, "Uninstall");

  QMenu* help = menu(bar, Cmd::Mnuhelp1, "&Help");
  item(help, Cmd::MnuHelpHelp, "Help");
  item(help, Cmd::MnuHelpTutorial, "Tutorial");
  item(help, Cmd::Mnuhelp, "On Line &Help", true);
  item(help, Cmd::MnuHelpTips, "Show start up tips", true);
  item(help, Cmd::MnuHelpWebsite, "Visit the Quorvane Website");
  item(help, Cmd::MnuHelpAbout, "About &Quorvane");

  // The shortcuts desktop users expect, shown in the menus. They fire through
  // the same handler as a click, so a locked command does not run.
  const std::pair<Cmd, QKeySequence> shortcuts[] = {
      {Cmd::MnuFileNew, QKeySequence::New},          {Cmd::MnuFileOpen, QKeySequence::Open},
      {Cmd::MnuFileSave, QKeySequence::Save},        {Cmd::MnuFileSaveAs, QKeySequence("Ctrl+Shift+S")},
      {Cmd::MnuFilePrint, QKeySequence::Print},      {Cmd::MnuFileExit, QKeySequence("Ctrl+Q")},
      {Cmd::MnuHelpHelp, QKeySequence(Qt::Key_F1)},
  };
  for (const auto& [id, keys] : shortcuts) actions_[id]->setShortcut(keys);
  actions_[Cmd::MnuEditUndo]->setShortcut(QKeySequence::Undo);
  actions_[Cmd::MnuEditRedo]->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  // F5 is the Run button's command (set up, then run); the menu shows it beside
  // Analyse > Run without binding it there, since that item runs without a set-up.
  actions_[Cmd::MnuAnalyseRun]->setText("&Run\tF5");
  auto* runShortcut = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(runShortcut, &QShortcut::activated, this, [this] { HandleCommand(Cmd::SpeedButton21); });
}

void Form1::BuildToolBar() {
  toolpanel = new QWidget(client);
  toolpanel->setObjectName("toolpanel");
  toolpanel->setAutoFillBackground(true);
  int x = 2;
  for (const ButtonDesign& d : SpeedButtons) {
    auto* b = new QToolButton(toolpanel);
    b->setIcon(SpeedButtonGlyph(d.id));
    b->setIconSize(QSize(16, 16));
    b->setAutoRaise(true);
    b->setGeometry(x, 0, ButtonSide, ButtonSide);
    b->setToolTip(d.hint);
    b->setObjectName(QString("SpeedButton") + QString::number(static_cast<int>(d.id)));
    hints_[d.id] = d.hint;
    buttons_[d.id] = b;
    const Cmd id = d.id;
    connect(b, &QToolButton::clicked, this, [this, id] { HandleCommand(id); });
    x += ButtonSide;
    // Small gaps between the groups: file, drawing, editing, display, run.
    if (id == Cmd::SpeedButton3 || id == Cmd::SpeedButton6 || id == Cmd::SpeedButton15 ||
        id == Cmd::SpeedButton5)
      x += 8;
  }
  toolpanel->setGeometry(0, 0, x + 2, ToolPanelHeight);
}

void Form1::BuildStatusBar() {
  StatusBar1 = new QWidget(this);
  StatusBar1->setObjectName("StatusBar1");
  // The panels are placed by LayOutStatusBar whenever the bar changes size.
  for (std::size_t i = 0; i < 6; ++i) {
    auto* l = new QLabel(StatusBar1);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel[i] = l;
    statusDesignWidth_[i] = 50;
  }
  // The progress bars live in the status bar, hidden until long work runs.
  ProgressBar3 = new QProgressBar(StatusBar1);
  ProgressBar3->setRange(0, 1000);
  ProgressBar1 = new QProgressBar(StatusBar1);
  ProgressBar1->setRange(0, 100);
  for (QProgressBar* p : {ProgressBar3, ProgressBar1}) {
    p->setTextVisible(false);
    p->hide();
  }
  StatusBar1->setFixedHeight(QFontMetrics(font()).height() + 8);
  // Below the client area, as a status bar sits.
  StatusBar1->setParent(centralWidget());
  auto* v = new QVBoxLayout(centralWidget());
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  v->addWidget(client, 1);
  v->addWidget(StatusBar1);
}

void Form1::BuildSideLabels() {
  for (std::size_t i = 0; i < 3; ++i) {
    DataLabel[i] = new QLabel(" ", client);
    DataLabel[i]->setStyleSheet("color: rgb(255,0,0);");
    QFont f = font();
    f.setPixelSize(12);
    DataLabel[i]->setFont(f);
    DataLabel[i]->setObjectName(QString("DataLabel%1").arg(i + 1));
  }
  for (std::size_t i = 0; i < 4; ++i) {
    OnLineHelp[i] = new QLabel(" ", client);
    OnLineHelp[i]->setStyleSheet("color: rgb(0,0,128);");
    OnLineHelp[i]->setWordWrap(true);
    OnLineHelp[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(false);
    OnLineHelp[i]->setFont(f);
  }
}

// ---------------------------------------------------------------- the model on screen

void Form1::SyncUi() {
  // Every user action ends here: a drawing command that has now ended with a
  // change becomes an undo step.
  CloseUndoStep();
  ShowUndoCaptions();
  ui[Cmd::MnuToolsDots].checked = grid.DotsChecked;
  ui[Cmd::MnuToolsLines].checked = grid.LinesChecked;
  ui[Cmd::MnuToolsShowGrid].checked = grid.ShowGridChecked;
  ui[Cmd::Showcentrelines].checked = grid.CentreLinesChecked;
  ui[Cmd::N100].checked = mesh.N100Checked;
  ui[Cmd::N200].checked = mesh.N200Checked;
  ui[Cmd::N300].checked = mesh.N300Checked;
  for (std::size_t i = 0; i < 3; ++i) {
    ui[std::array{Cmd::MnuFlowHigh, Cmd::MnuFlowNormal, Cmd::MnuFlowLow}[i]].checked = display.DensityMarks[i];
    ui[std::array{Cmd::MnuSmoothNone, Cmd::MnuSmoothNormal, Cmd::MnuSmoothHigh}[i]].checked =
        display.SmoothingLevel == static_cast<std::int32_t>(i);
  }
  ui[Cmd::MnuViewFlowLines].checked = display.PressureShown == 0;
  ui[Cmd::MnuViewFlowPressure].checked = display.PressureShown != 0;
  ui[Cmd::MnuViewSolidFill].checked = display.SolidFill != 0;
  ui[Cmd::MnuSolverStandard].checked = solver.Kind == SolverKind::Standard;
  ui[Cmd::MnuSolverFast].checked = solver.Kind == SolverKind::Fast;
  ui[Cmd::MnuAnalyseLift].checked = liftOn;
  ui[Cmd::Mnuhelp].checked = onlineHelpOn;
  ui[Cmd::MnuHelpTips].checked = prefs.ShowStartUpTips;
  for (auto& [id, action] : actions_) {
    const CommandUi& s = ui[id];
    action->setEnabled(s.enabled);
    action->setVisible(s.visible);
    if (action->isCheckable()) action->setChecked(s.checked);
  }
  for (auto& [id, button] : buttons_) {
    const CommandUi& s = ui[id];
    button->setEnabled(s.enabled);
    button->setVisible(s.visible);
    button->setToolTip(s.hint ? QString::fromStdString(hints_[id]) : QString());
  }
  Bdisplay->setVisible(display.BdisplayVisible);
  BFilter->setVisible(display.BFilterVisible);
  if (Bdisplay->Bcolor->currentRow() != display.BcolorItem || Bdisplay->Linlog->currentRow() != display.LinlogItem) {
    const bool wasIn = inHandler_;
    inHandler_ = true;  // the rows follow the state without repainting the map
    Bdisplay->Bcolor->setCurrentRow(display.BcolorItem);
    Bdisplay->Linlog->setCurrentRow(display.LinlogItem);
    inHandler_ = wasIn;
  }
  for (std::size_t i = 0; i < 6; ++i) StatusPanel[i]->setText(QString::fromStdString(ui.status[i]));
  const std::array<std::string, 3> dataLabels = DataLabelTexts();
  for (std::size_t i = 0; i < 3; ++i) DataLabel[i]->setText(QString::fromStdString(dataLabels[i]));
  for (std::size_t i = 0; i < 4; ++i) OnLineHelp[i]->setText(QString::fromStdString(ui.helpLabels[i]));
  if (!ui.caption.empty()) setWindowTitle(QString::fromStdString(ui.caption));
  if (ui.cursor == CursorShape::Hourglass) {
    if (!QApplication::overrideCursor()) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }
}

void Form1::ViewChanged() {
  if (V) V->ShowChanged();
}

void Form1::SaveViewSnapshot() {
  ViewSnapshot = viewCanvas_->Image().copy(0, mesh.MeshTop, mesh.MeshRight, mesh.MeshBottom - mesh.MeshTop);
}

void Form1::RestoreViewSnapshot() {
  if (ViewSnapshot.isNull()) return;
  viewCanvas_->Draw(0, mesh.MeshTop, ViewSnapshot);
  ViewChanged();
}

void Form1::CancelCommand() { ::CancelCommand(cmd); }

void Form1::Refresh() {
  SyncUi();
  if (V) V->ShowChanged(true);
}

void Form1::ShowProgress(bool shown) {
  // An Escape pressed earlier, with nothing to stop, must not cut this drawing short.
  if (shown) cmd.EscapePressed = 0;
  ProgressBar3->setValue(0);
  ProgressBar3->setVisible(shown);
}

bool Form1::Progress(int position) { return KeepWorking(ProgressBar3, position); }

void Form1::WireHooks() {
  ViewHooks& v = geometry.hooks;
  // Escape and every other close of the entry panels takes the angle panel too.
  v.CloseEntryPanels = [this] {
    Aerosize->hide();
    geometry.AerosizeVisible = false;
  };
  v.OnCommandStateReset = [this] { display.StreamlinesShown = 0; };
  v.EditPreview = [this](float x, float y) { EditPreview(scene, ViewCanvas(), ui, x, y); };
  v.EditCommit = [this](float x, float y) { EditCommit(scene, ViewCanvas(), ui, x, y); };
  v.GaugeReadout = [this](float x, float y) { AGage->GaugeReadout(x, y); };
  v.PlotLineDown = [this](float x, float y) { AGage->PlotLineDown(x, y); };
  v.PlotLineMove = [this](float x, float y) { return AGage->PlotLineMove(x, y); };
  v.PlotLineUp = [this](float x, float y) { return AGage->PlotLineUp(x, y); };

  FlowHooks& f = flowHooks;
  f.MeshSetupRedraw = [this] { SetUpMesh(); };
  f.ReadGaugeCalibration = [this] {
    ReadGaugeCalibration(gauge, mesh, AGage->Entries());
    // The free stream of a new mesh size or stream, for U/U∞ and Cp (a run of
    // the empty mesh, once per mesh).
    if (gauge.AGageVisible) UpdateFreeStreamForMesh(false);
  };

  DocumentHooks& d = documentHooks;
  d.ClearView = [this] { ClearView(ViewCanvas(), mesh); };
  d.DrawGrid = [this] { DrawCurrentGrid(ViewCanvas(), mesh, grid); };
  d.HidePressurePanels = [this] {
    display.BdisplayVisible = false;
    display.BFilterVisible = false;
  };
  d.RestampAerofoils = [this] {
    RestampAerofoils(scene, ViewCanvas(), ui);
    ViewChanged();
  };
  d.SolidFillSetUp = [this] {
    cmd.RestampMode = 1;
    SetUpMesh();
    cmd.RestampMode = 0;
  };
  d.DrawStreamlines = [this] { DrawStreamlines(ViewCanvas(), mesh, display, ui, *this, flowHooks); };
}

void Form1::ShowOnlineHelp(int code) { ::ShowOnlineHelp(ui, code, onlineHelpOn, cmd.AddGuidelineStep > 0); }

// ---------------------------------------------------------------- events

void Form1::HandleCommand(Cmd c) {
  // A disabled command, or one in a disabled menu, never runs.
  for (Cmd at = c;;) {
    if (!ui[at].enabled) return;
    auto parent = parents_.find(at);
    if (parent == parents_.end()) break;
    at = parent->second;
  }
  if (inHandler_) return;
  if (shownOnce_) viewSettled_ = true;
  BeforeCommand(c);
  auto it = handlers_.find(c);
  if (it != handlers_.end()) {
    inHandler_ = true;
    (this->*(it->second))();
    inHandler_ = false;
  }
  AfterCommand(c);
  RememberRecentDocument();
  SyncUi();
  recovery_->Check();
}

void Form1::Run(Cmd c) { HandleCommand(c); }

void Form1::closeEvent(QCloseEvent* e) {
  if (exiting_) {
    e->accept();
    return;
  }
  e->ignore();
  if (inHandler_) {
    // A long run is in progress: stop it first, the next request exits.
    cmd.EscapePressed = 1;
    return;
  }
  ExitSequence();
  SyncUi();
  recovery_->Check();
}

void Form1::paintEvent(QPaintEvent* e) {
  if (!objects.ObjectSelected && ui.dataLabels != std::array<std::string, 3>{" ", " ", " "}) {
    ClearDataLabels(ui);
    for (QLabel* l : DataLabel) l->setText(" ");
  }
  QMainWindow::paintEvent(e);
}

bool Form1::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w || !(w == this || isAncestorOf(w))) break;
      if (shownOnce_) viewSettled_ = true;
      // Any key empties panel 4; Escape also cancels the command in progress
      // or stops the run. Escape is taken here, where the window first sees
      // it, so it never climbs on to the parents and acts once per press.
      ui.status[4] = "";
      StatusPanel[4]->setText(QString());
      if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        if (inHandler_)
          cmd.EscapePressed = 1;  // the run looks at the flag itself
        else
          KeyEscape();
        return true;
      }
      break;
    }
    case QEvent::MouseButtonPress: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (shownOnce_ && w && (w == this || isAncestorOf(w))) viewSettled_ = true;
      break;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
      // A click or a key may have changed the document (panels' buttons too).
      if (recovery_) recovery_->Check();
      break;
    case QEvent::Resize:
      if (watched == StatusBar1)
        LayOutStatusBar();
      else if (watched == client && shownOnce_ && !viewSettled_)
        AdoptClientSize();
      break;
    case QEvent::Hide:
      if (IsInWindowPanel(watched)) ReturnFocusToView();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, e);
}

void Form1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  AdoptClientSize();
  if (recovery_->OfferPending()) QTimer::singleShot(0, this, [this] { OfferRecovery(); });
}

bool Form1::IsInWindowPanel(const QObject* o) const {
  auto* w = qobject_cast<const QWidget*>(o);
  return w && client && w->parentWidget() == client && w != V && w != toolpanel && !qobject_cast<const QLabel*>(w);
}

void Form1::ReturnFocusToView() {
  if (V) V->setFocus(Qt::OtherFocusReason);
}

void Form1::LayOutStatusBar() {
  if (!StatusBar1 || !StatusPanel[0]) return;
  constexpr int margin = 2, gap = 2;
  const int room = std::max(0, StatusBar1->width() - 2 * margin - 5 * gap);
  std::array<int, 6> w = statusDesignWidth_;
  int design = 0;
  for (int d : w) design += d;
  if (design > room) {
    // Panel 3 keeps its prompt whole as far as the bar allows; the others
    // share what is left in proportion to their design widths.
    w[3] = std::min(statusDesignWidth_[3], room);
    const int rest = room - w[3];
    const int others = design - statusDesignWidth_[3];
    int given = 0;
    for (std::size_t i : {0u, 1u, 2u, 4u, 5u}) {
      w[i] = others > 0 ? statusDesignWidth_[i] * rest / others : 0;
      given += w[i];
    }
    w[5] += rest - given;
  } else {
    w[5] += room - design;
  }
  int x = margin;
  const int h = StatusBar1->height() - 2;
  for (std::size_t i = 0; i < 6; ++i) {
    StatusPanel[i]->setGeometry(x, 1, w[i], h);
    x += w[i] + gap;
  }
  // The progress bars sit over panel 3, just after the word "Calculating".
  const int left = StatusPanel[3]->x() + QFontMetrics(StatusBar1->font()).horizontalAdvance("Calculating    ");
  const int width = std::max(0, std::min(150, StatusPanel[3]->geometry().right() - 2 - left));
  const int top = (StatusBar1->height() - 16) / 2 + 1;
  for (QProgressBar* p : {ProgressBar3, ProgressBar1}) {
    p->setGeometry(left, top, width, 16);
    p->raise();
  }
}

Printer& Form1::WindowPrinter() {
  if (!printer_) printer_ = MakeQtPrinter();
  return *printer_;
}
