// Start-up of the main window: the settings read, the view laid out for the
// window as shown, the recovered work offered; New and the mesh size.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <filesystem>
#include <utility>

#include "shell/MainWindow.h"
#include "shell/OnlineHelp.h"
#include "shell/Panels.h"
#include "shell/RecoveryKeeper.h"
#include "shell/ViewWidget.h"

namespace {
constexpr int HelpLabelHeight = 110;

void CentreIn(QWidget* w, int cx, int cy) { w->move(cx - w->width() / 2, cy - w->height() / 2); }
}  // namespace

void Form1::FormCreate() {
  // An estimate of the maximized window's client area; the view is laid out
  // again from the real one once the window is shown (AdoptClientSize), and
  // never follows the window's size after the user has started to work.
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  ScrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  const int menuHeight = menuBar()->sizeHint().height();
  const int clientWidth = std::max(400, avail.width() - ScrollBarWidth);
  const int clientHeight = std::max(300, avail.height() - titleBar - menuHeight - StatusBar1->height());

  // Panels 2, 3 and 4 fit their longest texts.
  const QFontMetrics fm(StatusBar1->font());
  StatusWidthRotation = fm.horizontalAdvance(QString::fromUtf8("Rot: -12.34\u00B0"));
  StatusWidthPrompt = fm.horizontalAdvance("Add circular section: Click when outer circle positioned");
  StatusWidthEscape = fm.horizontalAdvance("Press escape key to exit");
  statusDesignWidth_[2] = StatusWidthRotation + 6;
  statusDesignWidth_[3] = StatusWidthPrompt + 6;
  statusDesignWidth_[4] = StatusWidthEscape + 6;
  LayOutStatusBar();

  QToolButton* run = Button(Cmd::SpeedButton21);
  MinClientWidth = run->x() + run->width() + 2 * ScrollBarWidth;
  setMinimumSize(MinClientWidth, 4 * toolpanel->height());

  // Shared defaults, then what the last run left.
  display.StreamLevelCount = 21;
  mesh.MeshExtended = 1;
  grid.CentreLinesShown = 1;
  PrepareUserFolders(layout);
  const PrefRead pref = LoadPreferences(programFolder, prefs, grid, display);
  SetMeshDimensions(mesh, 100);
  display.BcolorItem = 0;
  display.FilterLevel = 1.0f;
  const PrefRead dir = LoadDataFolder(programFolder, prefs, layout.defaultDataFolder);
  PrepareDataFolder(layout, prefs.controls.WorkingDir);
  doc.DataFolder = prefs.controls.WorkingDir;
  ShowPreferenceControls();
  if (pref == PrefRead::Damaged)
    prompts_->Message(std::string("The settings file ") + PrefFileName +
                      " could not be read in full. The settings it did hold are used, the defaults for the rest.");
  if (dir == PrefRead::Damaged)
    prompts_->Message(std::string("The data folder file ") + DataFolderFileName +
                      " could not be read. The data folder is now " + doc.DataFolder + ".");

  AllocSolverArrays(mesh);
  // The window opens at the size of the screen, maximized where a window
  // manager allows it. Until it is shown the client area is an estimate.
  resize(avail.size());
  client->resize(clientWidth, clientHeight);
  viewFrame_ = {toolpanel->height(), clientWidth, clientHeight};
  mesh.ViewLeft = clientWidth / 50;
  LayOutView();
  QFont bold = V->font();
  bold.setBold(true);
  V->setFont(bold);

  // What this program adds lives in its own settings file.
  solver.Kind = appSettings.Solver();
  liftOn = appSettings.Lift();
  // Offered in this program: the smoothing choice and the error level.
  ui[Cmd::MnuAnalyseSmoothing].visible = true;
  FileNew();
  // Work a crashed session left is offered once the window is up; the tip
  // waits for the answer (OfferRecovery).
  recovery_ = std::make_unique<RecoveryKeeper>(static_cast<ShellServices&>(*this));
  const bool leftWork = recovery_->FindLeftWork();
  if (prefs.ShowStartUpTips && !leftWork) {
    SaveViewSnapshot();
    ShowTip();
  }
  ui.cursor = CursorShape::Default;
  ReturnFocusToView();
  SyncUi();
}

void Form1::OfferRecovery(int waitsLeft) {
  if (!recovery_->OfferPending()) return;
  // The desktop may size the window until it is on the screen: wait for that.
  if (waitsLeft > 0 && !(windowHandle() && windowHandle()->isExposed())) {
    QTimer::singleShot(20, this, [this, waitsLeft] { OfferRecovery(waitsLeft - 1); });
    return;
  }
  // A recovered drawing is laid out for the view as it is now, and stays there.
  const bool settled = viewSettled_;
  viewSettled_ = true;
  DocumentImage recovered;
  if (recovery_->Offer(recovered)) {
    AdoptRecoveredDocument(documentContext, *this, documentHooks, recovered);
    // The copy is written again as this window holds the document.
    recovery_->Check();
  } else {
    viewSettled_ = settled;
  }
  if (prefs.ShowStartUpTips) {
    SaveViewSnapshot();
    ShowTip();
  }
  ViewChanged();
  ReturnFocusToView();
  SyncUi();
  if (!startUpDocument_.empty()) OpenNamedDocument(std::exchange(startUpDocument_, {}));
}

void Form1::OpenAfterStartUp(const std::string& name) {
  if (recovery_->OfferPending())
    startUpDocument_ = name;
  else
    OpenNamedDocument(name);
}

void Form1::AdoptClientSize() {
  const ViewFrame now{toolpanel->height(), client->width(), client->height()};
  if (now.clientWidth == viewFrame_.clientWidth && now.clientHeight == viewFrame_.clientHeight &&
      now.toolHeight == viewFrame_.toolHeight)
    return;
  viewFrame_ = now;
  mesh.ViewLeft = now.clientWidth / 50;
  LayOutView();
  // Only the start-up drawing is on the view yet: draw it again at the new size.
  RedrawView();
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::LayOutView() {
  ViewLayout(mesh, viewFrame_.toolHeight, viewFrame_.clientHeight);
  V->setGeometry(mesh.ViewLeft, mesh.ViewTop, mesh.ViewSize, mesh.ViewSize);
  // The view image reaches to ViewRight, like the snapshot the panels use.
  viewCanvas_->Flush();
  viewImage = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
  ViewSnapshot = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
  const int width = std::max(1, viewFrame_.clientWidth - mesh.ViewRight);
  int top = 0;
  for (QLabel* l : DataLabel) {
    l->setGeometry(mesh.ViewRight, top, width, DataLabelHeight);
    top += DataLabelHeight;
  }
  for (std::size_t i = 0; i < 3; ++i) {
    OnLineHelp[i]->setGeometry(mesh.ViewRight, top, width, HelpLabelHeight);
    top += HelpLabelHeight;
  }
  OnLineHelp[3]->setGeometry(mesh.ViewRight, top, width, std::max(1, mesh.ViewBottom - top));
  // The pressure panels sit at the foot of the area right of the view.
  const int rightCentre = mesh.ViewRight + (viewFrame_.clientWidth - mesh.ViewRight) / 2;
  BFilter->move(rightCentre - BFilter->width() / 2, mesh.ViewBottom - BFilter->height());
  Bdisplay->move(rightCentre - Bdisplay->width() / 2, mesh.ViewBottom - BFilter->height() - Bdisplay->height());
  // The centred panels sit in the middle of the client area.
  const int cx = viewFrame_.clientWidth / 2, cy = viewFrame_.clientHeight / 2;
  for (QWidget* w : {static_cast<QWidget*>(Uninstall), static_cast<QWidget*>(About),
                     static_cast<QWidget*>(PrefBox), static_cast<QWidget*>(GroupBox1)})
    CentreIn(w, cx, cy);
}

void Form1::FileNew() {
  NewDocument(documentContext, *this, documentHooks);
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::SetMeshSize(int visibleSize) {
  Mesh next = mesh;
  if (!SetMeshDimensions(next, visibleSize)) return;
  FreeSolverArrays(mesh);
  mesh.MeshSize = next.MeshSize;
  mesh.VisibleMeshSize = next.VisibleMeshSize;
  mesh.N100Checked = next.N100Checked;
  mesh.N200Checked = next.N200Checked;
  mesh.N300Checked = next.N300Checked;
  AllocSolverArrays(mesh);
  LayOutView();
  RedrawView();
  // The old solution belongs to the old mesh: Run waits for the next set-up.
  display.StreamlinesShown = 0;
  mesh.SystemReady = false;
  ui[Cmd::MnuAnalyseRun].enabled = false;
  doc.DocumentModified = 1;
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::OpenHelpFile(const std::string& fileName) {
  const std::string path = layout.sharedFolder + fileName;
  if (!std::filesystem::exists(path)) {
    prompts_->Message("The document " + path + " could not be found. Reinstall Quorvane to restore it.");
    return;
  }
  if (!prompts_->OpenDocument(path)) prompts_->Message("The desktop could not open " + path + ".");
}
