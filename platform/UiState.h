// UiState: what the window shows apart from the view, as plain data: the
// enabled / checked / visible state and hint of every menu item and speed
// button, the six status panels, the data and online-help labels, the caption.
// Commands write it; the main window mirrors it onto its widgets.
#pragma once

#include <array>
#include <string>

class WindowServices;

enum class Cmd {
  // File
  MnuFile, MnuFileNew, MnuFileOpen, MnuFileSave, MnuFileSaveAs, MnuFilePrint, MnuFileExit,
  MnuFileRecent, MnuFileExportView, MnuFileExportPlot, MnuFileExportPsi,
  // Edit
  MnuEdit, MnuEditAddGuideline, MnuEditAddRectangle, MnuEditAddCircle, MnuEditAddAerofoil,
  MnuEditCopy, MnuEditMove, MnuEditRotate, MnuEditFlip, MnuEditFlipLeftRight, MnuEditFlipTopBottom,
  MnuEditSize, MnuEditStretch, MnuEditTrapezoid, MnuEditExpand, MnuEditClear, MnuEditClearAll,
  MnuEditClearAllGuidelines, MnuEditUndo, MnuEditRedo,
  // Clipboard, Title
  Clipbd, ClipbdCopy, MnuTitle, MnuTitleAdd,
  // View
  MnuView, MnuViewFlowLines, MnuViewFlowPressure, MnuViewSolidFill, MnuViewGauge, MnuViewSurfacePressure,
  // Analyse
  MnuAnalyse, MnuAnalyseSetUp, MnuAnalyseRun, MnuAnalyseSmoothing, MnuSmoothNone, MnuSmoothNormal,
  MnuSmoothHigh, MnuAnalyseErrorLevel, MnuAnalyseLift,
  // Tools
  MnuTools, MnuGrid, MnuToolsDots, MnuToolsLines, MnuToolsShowGrid, Showcentrelines, MnuToolsFlowLines,
  MnuFlowHigh, MnuFlowNormal, MnuFlowLow, Meshsize1, N100, N200, N300, MnuToolsSolver, MnuSolverStandard, MnuSolverFast,
  MnuPreferences, MnuUninstall,
  // Help
  Mnuhelp1, MnuHelpHelp, MnuHelpTutorial, Mnuhelp, MnuHelpTips, MnuHelpWebsite, MnuHelpAbout,
  // Speed buttons, left to right
  SpeedButton19, SpeedButton2, SpeedButton1, SpeedButton3, SpeedButton25, SpeedButton4, SpeedButton23,
  SpeedButton6, SpeedButton8, SpeedButton9, SpeedButton10, SpeedButton11, SpeedButton16, SpeedButton17,
  SpeedButton18, SpeedButton14, SpeedButton15, SpeedButton24, SpeedButton5, SpeedButton21,
  Count
};

constexpr int CmdCount = static_cast<int>(Cmd::Count);
constexpr int FirstSpeedButton = static_cast<int>(Cmd::SpeedButton19);

struct CommandUi {
  bool enabled = true;
  bool checked = false;
  bool visible = true;
  bool hint = true;  // buttons only: whether the hint shows
};

enum class CursorShape { Default, Hourglass };

struct UiState {
  UiState();

  CommandUi& operator[](Cmd c) { return commands[static_cast<int>(c)]; }
  const CommandUi& operator[](Cmd c) const { return commands[static_cast<int>(c)]; }

  std::array<CommandUi, CmdCount> commands;
  std::array<std::string, 6> status;      // StatusBar1 panels 0-5
  std::array<std::string, 3> dataLabels;  // DataLabel1-3
  std::array<std::string, 4> helpLabels;  // OnLineHelp1, OnLineHelp2, OnlineHelp3, OnLineHelp4
  std::string caption;
  CursorShape cursor = CursorShape::Default;
};

// The speed buttons that lock, unlock and document-enable switch as a group,
// and the menus that go with them.
bool IsSpeedButton(Cmd c);

// Enters the busy state: menus and tool buttons off (Help and the gauge button
// stay), hints off; with `escapable`, panel 4 invites Escape. The window shows
// the locked state at once.
void LockCommands(UiState& ui, WindowServices& services, bool escapable);
// Back to idle: menus and buttons on (Analyse > Run stays as it is), panel 3 a
// single blank, panel 4 empty.
void UnlockCommands(UiState& ui);
// The commands of a document, after New.
void EnableDocumentCommands(UiState& ui);
void ClearDataLabels(UiState& ui);
void ClearObjectLabels(UiState& ui);
void ClearHelpLabels(UiState& ui);
