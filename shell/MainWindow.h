// Form1: the one main window. It owns the program's state (ProgramState), every
// control, and the handlers that connect the controls to the program's
// procedures. Its state and controls are private: its parts reach the window
// through ShellServices, and tests through WindowProbe.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <array>
#include <map>
#include <memory>
#include <string>

#include "geometry/History.h"
#include "platform/Canvas.h"
#include "platform/Prompts.h"
#include "shell/InstallLayout.h"
#include "shell/ProgramState.h"
#include "shell/ShellServices.h"

class AboutPanel;
class AerosizePanel;
class Clipboard;
class ErrorLevelPanel;
class ExitPanel;
class FilterPanel;
class GaugePanel;
class PreferencesPanel;
class PressureDisplayPanel;
class Printer;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class RecoveryKeeper;
class TipPanel;
class TitlePanel;
class UninstallPanel;
class ViewWidget;

// The controls of the window by their design names, and the view image.
struct WindowControls {
  QWidget* client = nullptr;
  QWidget* toolpanel = nullptr;
  ViewWidget* V = nullptr;
  // All drawing goes into the view image; the snapshot is the view as an entry
  // panel or a plot found it.
  QImage viewImage;
  QImage ViewSnapshot;
  std::array<QLabel*, 3> DataLabel{};
  std::array<QLabel*, 4> OnLineHelp{};
  QWidget* StatusBar1 = nullptr;
  std::array<QLabel*, 6> StatusPanel{};
  QProgressBar* ProgressBar3 = nullptr;  // 0..1000, the flow drawings
  QProgressBar* ProgressBar1 = nullptr;  // 0..100, the solver
  PreferencesPanel* PrefBox = nullptr;
  TipPanel* GroupBox1 = nullptr;
  AboutPanel* About = nullptr;
  UninstallPanel* Uninstall = nullptr;
  std::array<ExitPanel*, 2> ExitPanels{};  // Panel6, Panel7
  TitlePanel* TitleFrame = nullptr;
  ErrorLevelPanel* SetErr = nullptr;
  PressureDisplayPanel* Bdisplay = nullptr;
  FilterPanel* BFilter = nullptr;
  AerosizePanel* Aerosize = nullptr;
  GaugePanel* AGage = nullptr;
};

class Form1 : public QMainWindow, private ProgramState, private WindowControls, private ShellServices {
  Q_OBJECT
 public:
  // `prompts` answers the questions (Qt dialogs when null); `programFolder`
  // holds the preference files and the help (when empty: as the running
  // program's layout places them).
  explicit Form1(Prompts* prompts = nullptr, std::string programFolder = {});
  Form1(Prompts* prompts, InstallLayout layout);
  ~Form1() override;

  // Runs a command as a click on its menu item or speed button would (not
  // while it or its menu is disabled).
  void Run(Cmd c);
  QAction* Action(Cmd c) const;
  QToolButton* Button(Cmd c) const;
  QMenu* Menu(Cmd c) const;
  // Opens a document named on the program's command line (any of its three
  // file names or its base name), as File > Open does after its dialog.
  void OpenNamedDocument(const std::string& name);
  // The same for the document named when the program starts: after the
  // question about recovered work, when there is one.
  void OpenAfterStartUp(const std::string& name);

  // The web addresses the exit panels and the Help menu open.
  static constexpr const char* WebSite = "https://quorvane.example.org/";
  static constexpr const char* PartnerSite = "https://quorvane.example.org/analysis-service";

 protected:
  void closeEvent(QCloseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  friend class WindowProbe;
  using ProgramState::geometry;  // not QWidget::geometry()
  class ExtraRuns;  // solver runs beyond the plain one, shown as the Run shows its own

  // The services (WindowServices, then ShellServices).
  void SaveViewSnapshot() override;
  void RestoreViewSnapshot() override;
  void ShowOnlineHelp(int code) override;
  Prompts& Ask() override { return *prompts_; }
  // ProgressBar3 in the status bar, and its position 0..1000 while a flow
  // drawing runs (false once Escape was pressed).
  void ShowProgress(bool shown) override;
  bool Progress(int position) override;
  void Refresh() override;
  void RedrawView() override;  // ClearView, grid, objects
  ProgramState& State() override { return *this; }
  QWidget* Client() override { return client; }
  Canvas& ViewCanvas() override { return *viewCanvas_; }
  void ViewChanged() override;  // the drawing area shows the view image
  // Shows the model state on the widgets: every check mark is derived here
  // from the model, and nothing reads a fact back from a menu.
  void SyncUi() override;
  bool Busy() const override { return inHandler_; }
  bool UpdateFreeStreamForMesh(bool interactive) override;
  Printer& WindowPrinter() override;

  // Building (MainWindow.cpp, WindowPanels.cpp, StartUp.cpp).
  void FormCreate();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void BuildSideLabels();
  void BuildPanels();
  void LayOutView();
  // While the view geometry is not settled, lays the view out again for the
  // client area as it now is (the window manager may size the window after
  // it is first shown).
  void AdoptClientSize();
  // Places the six status panels: their design widths where they fit, else
  // panel 3's prompt in full and the others shrunk, never overlapping.
  void LayOutStatusBar();
  // An in-window panel has closed: the keys go to the view again.
  void ReturnFocusToView();
  bool IsInWindowPanel(const QObject* o) const;
  // The calls the view's, the flow drawings' and the document's procedures
  // make into the window.
  void WireHooks();

  // The command table (Commands.cpp): every menu item and speed button with
  // its handler, and the panels' buttons with theirs.
  void ConnectCommands();
  void ConnectPanels();
  void HandleCommand(Cmd c);

  // File (DocumentCommands.cpp, FileExtras.cpp, PrintCommands.cpp).
  void MnuFileNewClick();
  void MnuFileOpenClick();
  void MnuFileSaveClick();
  void MnuFileSaveAsClick();
  void MnuFilePrintClick();
  void MnuFileExitClick();
  void MnuFileExportViewClick();
  void MnuFileExportPlotClick();
  void MnuFileExportPsiClick();
  void ClipbdCopyClick();
  void MnuTitleAddClick();
  void TitleOKClick();
  void TitleCancelClick();
  // Edit (ViewCommands.cpp, EditCommands.cpp, UndoCommands.cpp).
  void MnuEditUndoClick();
  void MnuEditRedoClick();
  void MnuGuidelineClick();
  void MnuEditMagdomClick();   // Add Rectangle
  void MnuEditCMagdomClick();  // Add Circle
  void mnuEditAeroClick();     // Add Aerofoil
  void MnuEditCopyClick();
  void MnuEditMoveClick();
  void MnuEditRotateClick();
  void MenuLeftRightClick();
  void TopBottomClick();
  void MnuEditSizeHClick();     // Stretch
  void MnuEditSizeVClick();     // Trapezoid
  void MnuEditSizeBothClick();  // Expand
  void MnuEditClearClick();
  void MnuEditClearAllClick();
  void ClearallguidelinesClick();
  void AeroRotChange(int position);
  void Button1Click();  // the aerofoil angle's OK
  void Button4Click();  // its Cancel
  // View and Analyse (AnalyseCommands.cpp, GaugeCommands.cpp).
  void MnuFluxlinesClick();
  void MnuFluxdensityClick();
  void Solidfill1Click();
  void EgageClick();  // View > Gauge and SpeedButton5
  void MnuViewSurfacePressureClick();
  void SpeedButton24Click();  // flow lines / pressure
  void MnuAnalyseSetClick();
  void MnuAnalyseRunClick();
  void SpeedButton21Click();  // set-up, then run
  void SmoothnoneClick();
  void smoothnormClick();
  void SmoothhighClick();
  void SetErrorClick();
  void CGErrSetClick();
  void ErrorLevelCancelClick();
  void MnuAnalyseLiftClick();
  void PressureDisplayChange();  // Bcolor or Linlog
  void BsetClick();
  // Tools and Help (Commands.cpp, WindowPanels.cpp).
  void MnuToolsDotsClick();
  void MnuToolsLinesClick();
  void MnuToolsShowGridClick();
  void ShowcentrelinesClick();
  void FluxhighClick();
  void FluxNormalClick();
  void FluxLowClick();
  void N100Click();
  void N200Click();
  void N300Click();
  void MnuSolverStandardClick();
  void MnuSolverFastClick();
  void MnuPreferencesClick();
  void Button2Click();  // Preferences OK
  void Button3Click();  // Preferences Cancel
  void BrowseClick();
  void MnuUninstallClick();
  void MnuHelpHelpClick();
  void MnuHelpTutorialClick();
  void MnuhelpClick();  // On Line Help
  void MnuHelpTipsClick();
  void MnuHelpWebsiteClick();
  void MnuHelpAboutClick();
  void Button8Click();  // next tip
  void tipcloseClick();
  void ExitButtonClick();  // Button15 and Button17
  void OpenWebAddress(const char* url);  // Button14, Button16 and the Help menu

  // What the handlers share.
  void CancelCommand();
  void FileNew();
  void ExitSequence();  // FormClose and File > Exit
  void SetMeshSize(int visibleSize);
  void GridChanged();
  void Density(std::int32_t levels);
  void FlowViewDone();
  void ChooseSolver(SolverKind kind);
  void ShowPreferenceControls();  // the pending preferences onto the panel
  void ShowTip();
  void OpenHelpFile(const std::string& fileName);
  // Mesh set-up as Analyse > Set up Mesh runs it.
  void SetUpMesh();
  // Analyse > Run: the solve, then the flow lines; false when it did not finish.
  bool RunAnalysis();
  // With Analyse > Lift on, after a completed plain run: each aerofoil's
  // circulation added to the solution. False when Escape stopped it.
  bool AddLift();
  // The data labels as shown: the selected object's description, and where
  // it leaves room the lift read-out of the solution on the mesh.
  std::array<std::string, 3> DataLabelTexts() const;
  // Lets pending input through during long work, moving `bar` at most every
  // 40 ms; false once Escape was pressed.
  bool KeepWorking(QProgressBar* bar, int position);
  // Saves the document under its name (asking for one when untitled); true
  // when it was written.
  bool SaveDocumentForQuestion();
  // "Save changes to ...?": Yes saves (a save that does not happen counts as
  // Cancel), Cancel sets SaveCancelled.
  Answer AskSaveChanges();
  void ReportWriteError(const PrefWrite& written);
  // Once the window is on the screen (waiting at most waitsLeft turns of 20
  // ms): offers the work a crashed session left, then shows the start-up tip
  // and opens the command line's document.
  void OfferRecovery(int waitsLeft = 50);
  void KeyEscape();
  void OnViewMouse(int kind, int x, int y, Qt::MouseButton button);

  // Undo and redo of the drawing (UndoCommands.cpp).
  void BeforeCommand(Cmd c);  // opens a step when a drawing command starts from idle
  void AfterCommand(Cmd c);   // New and Open clear the history; a run stamps the drawing
  void NoteDocumentBeforeOpen();
  void DocumentReplacedIfOpened();
  void DocumentReplaced();
  void CloseUndoStep();  // keeps the step once its command has ended with a change
  void UndoStep(bool redo);
  void ShowUndoCaptions();
  // File > Open Recent (FileExtras.cpp).
  void FillRecentMenu(QMenu* menu);
  // Puts an opened or saved document at the head of File > Open Recent.
  void RememberRecentDocument();

  // Where the preference files, the help and the data folder live.
  InstallLayout layout;
  std::string programFolder;  // the folder of the preference files: layout.preferenceFolder
  // The state structs the view's procedures work on.
  ViewScene scene{objects, geometry, cmd, mouse, mesh, grid, doc.DocumentModified, *this, &doc.ShowValues};
  DocumentHooks documentHooks;
  FlowHooks flowHooks;
  std::unique_ptr<Prompts> ownPrompts_;
  Prompts* prompts_;
  std::unique_ptr<Canvas> viewCanvas_;
  std::unique_ptr<Printer> printer_;
  std::unique_ptr<Clipboard> clipboard_;
  // The copy of unsaved work that a crash leaves for the next start.
  std::unique_ptr<RecoveryKeeper> recovery_;
  std::map<Cmd, QAction*> actions_;
  std::map<Cmd, QToolButton*> buttons_;
  std::map<Cmd, QMenu*> menus_;
  std::map<Cmd, void (Form1::*)()> handlers_;
  std::map<Cmd, std::string> hints_;
  std::map<Cmd, Cmd> parents_;  // the menu each item sits in
  bool inHandler_ = false;
  bool exiting_ = false;  // the last Exit was pressed: the window may close
  // The client area the view geometry was laid out from: read at start-up,
  // taken again from the window as really shown until the user first acts on
  // it, then kept for every later mesh-size change.
  struct ViewFrame {
    int toolHeight = 0, clientWidth = 0, clientHeight = 0;
  };
  ViewFrame viewFrame_;
  bool viewSettled_ = false;
  bool shownOnce_ = false;
  std::int32_t ScrollBarWidth = 0, MinClientWidth = 0;
  std::int32_t StatusWidthRotation = 0, StatusWidthPrompt = 0, StatusWidthEscape = 0;
  std::array<int, 6> statusDesignWidth_{};
  std::string startUpDocument_;  // named on the command line, waiting for OfferRecovery
  QElapsedTimer sinceProgressShown_;  // since a progress bar last moved
  // Undo.
  DrawingHistory history_;
  DrawingSnapshot undoBefore_, solvedFor_;
  std::string undoLabel_, beforeOpenName_;
  DrawingSnapshot beforeOpen_;
  std::int32_t beforeOpenModified_ = 0;
  bool undoStepOpen_ = false, solvedForValid_ = false;
  std::string lastRecentDocument_;
};

// Shows the main window as the program starts it: maximized, where a window
// manager allows it. The view geometry settles from the window as shown.
void ShowMainWindow(Form1& window);
