// Form1: the one main window. It owns the program's state (one instance of
// each subsystem's struct), every control, and the handlers that connect the
// controls to the program's procedures.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "display/FlowDisplay.h"
#include "display/Lift.h"
#include "documents/FileCommands.h"
#include "documents/Document.h"
#include "geometry/GeometryState.h"
#include "geometry/History.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "mesh/Solver.h"
#include "platform/Canvas.h"
#include "platform/CommandState.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"
#include "documents/Preferences.h"
#include "shell/AppSettings.h"
#include "shell/InstallLayout.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QToolButton;
class RecoveryKeeper;
class ViewWidget;

class Form1 : public QMainWindow, public WindowServices {
  Q_OBJECT
 public:
  // `prompts` answers the questions (Qt dialogs when null); `programFolder`
  // holds the preference files and the help (when empty: as the running
  // program's layout places them).
  explicit Form1(Prompts* prompts = nullptr, std::string programFolder = {});
  Form1(Prompts* prompts, InstallLayout layout);
  ~Form1() override;

  // Program state.
  ObjectTable objects;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  CommandState cmd;
  MouseState mouse;
  UiState ui;
  Preferences prefs;
  GeometryState geometry;
  SolverSettings solver;
  AppSettings appSettings;
  bool liftOn = false;  // Analyse > Lift (trailing-edge condition)
  // The empty mesh's flow, kept for the whole run: the reference of lift, of
  // the surface pressure and of the gauge's U/U∞ and Cp.
  FreeStream freeStream;
  // The last run's circulations, and the solution they were added to: the
  // read-out beside the view holds while that solution is on the mesh.
  LiftResult lift;
  std::vector<float> liftedStream;
  ViewScene scene{objects, geometry, cmd, mouse, mesh, grid, doc.DocumentModified, *this, &doc.ShowValues};
  DocumentContext documentContext{objects, mesh, grid, display, doc, cmd, ui};
  DocumentHooks documentHooks;
  FlowHooks flowHooks;
  bool onlineHelpOn = false;
  InstallLayout layout;       // where the preference files, the help and the data folder live
  std::string programFolder;  // the folder of the preference files: layout.preferenceFolder
  std::int32_t StatusWidthRotation = 0, StatusWidthPrompt = 0, StatusWidthEscape = 0;
  // The client area the view geometry was laid out from: read at start-up,
  // taken again from the window as really shown until the user first acts on
  // it, then kept for every later mesh-size change.
  struct ViewFrame {
    int toolHeight = 0, clientWidth = 0, clientHeight = 0;
  };
  const ViewFrame& SettledViewFrame() const { return viewFrame_; }
  bool ViewGeometrySettled() const { return viewSettled_; }
  std::int32_t ScrollBarWidth = 0, MinClientWidth = 0;
  bool exiting = false;  // the last Exit was pressed: the window may close

  // The view.
  QImage viewImage;
  QImage ViewSnapshot;
  Canvas& ViewCanvas() { return *viewCanvas_; }
  void SaveViewSnapshot() override;
  void RestoreViewSnapshot() override;
  void ViewChanged();  // repaints the drawing area from the view image

  // Shows the model state on the widgets: every check mark is derived here
  // from the model, and nothing reads a fact back from a menu.
  void SyncUi();
  // Every command-step flag back to 0; ResetCommandState also drops the
  // selection, the flow lines and the unsaved-changes mark.
  void CancelCommand();
  void ResetCommandState();
  void ShowOnlineHelp(int code) override;

  // Commands (a menu item and its speed button share one). Connect gives a
  // command its handler; Run runs it as a click would (not while disabled).
  void Connect(Cmd c, std::function<void()> handler);
  void Run(Cmd c);
  Prompts& Ask() override { return *prompts_; }
  bool Busy() const { return inHandler_; }
  void FileNew();
  // Opens a document named on the program's command line (any of its three
  // file names or its base name), as File > Open does after its dialog.
  void OpenNamedDocument(const std::string& name);
  // The same for the document named when the program starts: after the
  // question about recovered work, when there is one.
  void OpenAfterStartUp(const std::string& name);
  // The copy of unsaved work that a crash leaves for the next start.
  std::unique_ptr<RecoveryKeeper> recovery;
  // Once the window is on the screen (waiting at most waitsLeft turns of 20
  // ms): offers the work a crashed session left, then shows the start-up tip
  // and opens the command line's document.
  void OfferRecovery(int waitsLeft = 50);
  void ExitSequence();     // FormClose and File > Exit
  void ExitPanelExit();    // "Exit" on Panel6 / Panel7
  void SetMeshSize(int visibleSize);
  void OpenPreferences();
  void ShowPreferenceControls();  // the pending preferences onto the panel
  void PreferencesOk();
  void PreferencesCancel();
  void ShowTip();
  void NextTip();
  void CloseTip();
  void ShowAbout();
  void ShowUninstall();
  void OpenHelpFile(const std::string& fileName);
  // Mesh set-up as Analyse > Set up Mesh runs it; `keepSolution` is the quiet
  // form that redraws without dropping the solution.
  void SetUpMesh();
  // Analyse > Run: the solve, then the flow lines; false when it did not finish.
  bool RunAnalysis();
  // With Analyse > Lift on, after a completed plain run: each aerofoil's
  // circulation added to the solution. False when Escape stopped it.
  bool AddLift();
  SolverResult lastSolve;  // the last run's outcome and iteration count
  // Brings freeStream up to date for the mesh as set up. `interactive` shows
  // the progress and lets Escape stop the run (EscapePressed stays up for the
  // caller to see); false when it did not complete.
  bool UpdateFreeStreamForMesh(bool interactive);
  // The data labels as shown: the selected object's description, and where
  // it leaves room the lift read-out of the solution on the mesh.
  std::array<std::string, 3> DataLabelTexts() const;
  void RedrawView() override;  // ClearView, grid, objects
  // Lets pending input through during long work; false once Escape was pressed.
  bool KeepWorking(QProgressBar* bar, int position);
  // The window's services: ProgressBar3 and Escape, the state on the screen.
  void ShowProgress(bool shown) override;
  bool Progress(int position) override;
  void Refresh() override;
  // Saves the document under its name (asking for one when untitled); true
  // when it was written.
  std::function<bool()> saveDocument;

  // Controls, by design name.
  QWidget* client = nullptr;
  QWidget* toolpanel = nullptr;
  ViewWidget* V = nullptr;
  std::array<QLabel*, 3> DataLabel{};
  std::array<QLabel*, 4> OnLineHelp{};
  QWidget* StatusBar1 = nullptr;
  std::array<QLabel*, 6> StatusPanel{};
  QProgressBar* ProgressBar3 = nullptr;  // 0..1000
  QProgressBar* ProgressBar1 = nullptr;  // 0..100
  QGroupBox* PrefBox = nullptr;
  QListWidget* ListBox4 = nullptr;
  QListWidget* ListBox3 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLineEdit* WorkingDir = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* TipMemo = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QPushButton* tipclose = nullptr;
  QPushButton* Button8 = nullptr;
  QGroupBox* About = nullptr;
  QGroupBox* Uninstall = nullptr;
  std::array<QFrame*, 2> ExitPanel{};        // Panel6, Panel7
  std::array<QPushButton*, 2> ExitButton{};  // Button15, Button17
  std::array<QPushButton*, 2> WebButton{};   // Button14, Button16
  std::array<QLabel*, 2> SavingLabel{};
  std::array<QProgressBar*, 2> ExitProgress{};  // ProgressBar5, ProgressBar6
  QGroupBox* TitleFrame = nullptr;
  QLineEdit* TitleText = nullptr;
  QPushButton* TitleOK = nullptr;
  QPushButton* TitleCancel = nullptr;
  QGroupBox* SetErr = nullptr;
  QLineEdit* CGErrVal = nullptr;
  QPushButton* CGErrSet = nullptr;
  QPushButton* ErrorLevelCancel = nullptr;
  QGroupBox* Bdisplay = nullptr;
  QListWidget* Bcolor = nullptr;
  QListWidget* Linlog = nullptr;
  QGroupBox* BFilter = nullptr;
  QSlider* Bfilter_level = nullptr;
  QPushButton* Bset = nullptr;
  QAction* Action(Cmd c) const;
  QToolButton* Button(Cmd c) const;
  QMenu* Menu(Cmd c) const;

  // The web addresses the exit panels and the Help menu open.
  static constexpr const char* WebSite = "https://quorvane.example.org/";
  static constexpr const char* PartnerSite = "https://quorvane.example.org/analysis-service";

 protected:
  void closeEvent(QCloseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void FormCreate();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void BuildSideLabels();
  void BuildPanels();
  void BuildExitPanels();
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
  void ConnectCommands();
  void ConnectViewCommands();    // drawing on the view: adds, guidelines, mouse hooks
  void ConnectAnalyseCommands(); // set-up, run, flow lines, pressure map
  void ConnectDocumentCommands();
  void ConnectFileExtras();  // File > Open Recent and File > Export
  // Undo and redo of the drawing (UndoCommands.cpp).
  void ConnectUndoCommands();
  void BeforeCommand(Cmd c);  // opens a step when a drawing command starts from idle
  void AfterCommand(Cmd c);   // New and Open clear the history; a run stamps the drawing
  void NoteDocumentBeforeOpen();
  void DocumentReplacedIfOpened();
  void DocumentReplaced();
  void CloseUndoStep();       // keeps the step once its command has ended with a change
  void UndoStep(bool redo);
  void ShowUndoCaptions();
  DrawingHistory history_;
  DrawingSnapshot undoBefore_, solvedFor_;
  std::string undoLabel_, beforeOpenName_;
  DrawingSnapshot beforeOpen_;
  std::int32_t beforeOpenModified_ = 0;
  bool undoStepOpen_ = false, solvedForValid_ = false;
  void FillRecentMenu(QMenu* menu);
  // Puts an opened or saved document at the head of File > Open Recent.
  void RememberRecentDocument();
  std::string lastRecentDocument_;
  void BuildEntryPanels();       // title, error level, pressure display, filter
  void KeyEscape();
  void HandleCommand(Cmd c);
  void OnViewMouse(int kind, int x, int y, Qt::MouseButton button);
  // "Save changes to ...?": Yes saves (a save that does not happen counts as
  // Cancel), Cancel sets SaveCancelled.
  Answer AskSaveChanges();
  // Saves the document for the question; false when it was not saved.
  bool SaveForQuestion();
  void ReportWriteError(const PrefWrite& written);

  std::unique_ptr<Prompts> ownPrompts_;
  Prompts* prompts_;
  std::unique_ptr<Canvas> viewCanvas_;
  std::map<Cmd, QAction*> actions_;
  std::map<Cmd, QToolButton*> buttons_;
  std::map<Cmd, QMenu*> menus_;
  std::map<Cmd, std::function<void()>> handlers_;
  std::map<Cmd, std::string> hints_;
  std::map<Cmd, Cmd> parents_;  // the menu each item sits in
  bool inHandler_ = false;
  ViewFrame viewFrame_;
  bool viewSettled_ = false;
  bool shownOnce_ = false;
  std::string startUpDocument_;  // named on the command line, waiting for OfferRecovery
  std::array<int, 6> statusDesignWidth_{};
};

// Shows the main window as the program starts it: maximized, where a window
// manager allows it. The view geometry settles from the window as shown.
void ShowMainWindow(Form1& window);
