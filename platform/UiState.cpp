#include "platform/UiState.h"

#include "platform/WindowServices.h"

#include <initializer_list>

namespace {
// The buttons that follow the lock (all but New's partner SpeedButton5, the gauge).
constexpr std::initializer_list<Cmd> LockedButtons = {
    Cmd::SpeedButton1,  Cmd::SpeedButton2,  Cmd::SpeedButton3,  Cmd::SpeedButton4,  Cmd::SpeedButton6,
    Cmd::SpeedButton8,  Cmd::SpeedButton9,  Cmd::SpeedButton10, Cmd::SpeedButton11, Cmd::SpeedButton14,
    Cmd::SpeedButton15, Cmd::SpeedButton16, Cmd::SpeedButton17, Cmd::SpeedButton18, Cmd::SpeedButton19,
    Cmd::SpeedButton23, Cmd::SpeedButton24, Cmd::SpeedButton25};
constexpr std::initializer_list<Cmd> LockedMenus = {Cmd::MnuFile, Cmd::MnuEdit, Cmd::Clipbd, Cmd::MnuTitle,
                                                    Cmd::MnuView, Cmd::MnuAnalyse, Cmd::MnuTools};
}  // namespace

UiState::UiState() {
  // Design-time states of the menus and buttons.
  for (Cmd c : {Cmd::MnuFileSave, Cmd::MnuFileSaveAs, Cmd::MnuFilePrint, Cmd::MnuEdit, Cmd::Clipbd,
                Cmd::MnuView, Cmd::MnuAnalyse, Cmd::MnuTools, Cmd::MnuGrid})
    (*this)[c].enabled = false;
  for (int i = static_cast<int>(Cmd::MnuEditAddGuideline); i <= static_cast<int>(Cmd::MnuEditClearAllGuidelines); ++i)
    commands[i].enabled = false;
  // The sub-items follow their parents "&Flip" and "Si&ze".
  for (Cmd c : {Cmd::MnuEditFlipLeftRight, Cmd::MnuEditFlipTopBottom, Cmd::MnuEditStretch, Cmd::MnuEditTrapezoid,
                Cmd::MnuEditExpand})
    (*this)[c].enabled = true;
  for (int i = FirstSpeedButton; i < CmdCount; ++i) commands[i].enabled = false;
  (*this)[Cmd::SpeedButton19].enabled = true;
  (*this)[Cmd::SpeedButton2].enabled = true;
  (*this)[Cmd::SpeedButton5].enabled = true;
  for (Cmd c : {Cmd::MnuViewFlowLines, Cmd::MnuViewSolidFill, Cmd::MnuSmoothNormal, Cmd::MnuToolsShowGrid,
                Cmd::Showcentrelines, Cmd::MnuFlowNormal, Cmd::N100, Cmd::MnuHelpTips, Cmd::MnuToolsDots})
    (*this)[c].checked = true;
  for (Cmd c : {Cmd::MnuViewFlowLines, Cmd::MnuViewFlowPressure, Cmd::MnuAnalyseSmoothing})
    (*this)[c].visible = false;
  status = {"X: ", "Y: ", "Rot: ", " ", "", ""};
  dataLabels = {" ", " ", " "};
  helpLabels = {" ", " ", " ", " "};
}

bool IsSpeedButton(Cmd c) { return static_cast<int>(c) >= FirstSpeedButton && c != Cmd::Count; }

void LockCommands(UiState& ui, WindowServices& services, bool escapable) {
  ui[Cmd::SpeedButton21].enabled = false;
  ui[Cmd::SpeedButton21].hint = false;
  for (Cmd c : LockedMenus) ui[c].enabled = false;
  ui[Cmd::MnuAnalyseRun].enabled = false;
  for (Cmd c : LockedButtons) {
    ui[c].enabled = false;
    if (c != Cmd::SpeedButton19) ui[c].hint = false;
  }
  if (escapable) ui.status[4] = "Press Escape key to exit";
  services.Refresh();
}

void UnlockCommands(UiState& ui) {
  for (Cmd c : LockedMenus) ui[c].enabled = true;
  for (Cmd c : LockedButtons) {
    ui[c].enabled = true;
    ui[c].hint = true;
  }
  ui[Cmd::SpeedButton21].enabled = true;
  ui[Cmd::SpeedButton21].hint = true;
  ui.status[3] = " ";
  ui.status[4] = "";
}

void EnableDocumentCommands(UiState& ui) {
  for (Cmd c : {Cmd::MnuEdit, Cmd::MnuAnalyse, Cmd::MnuAnalyseSetUp, Cmd::MnuTools, Cmd::MnuFile, Cmd::MnuFileSave,
                Cmd::MnuFileSaveAs, Cmd::MnuFilePrint, Cmd::Clipbd, Cmd::MnuTitle, Cmd::MnuView,
                Cmd::MnuEditAddGuideline, Cmd::MnuEditClearAllGuidelines, Cmd::MnuEditAddRectangle,
                Cmd::MnuEditAddCircle, Cmd::MnuEditAddAerofoil, Cmd::MnuEditCopy, Cmd::MnuEditMove,
                Cmd::MnuEditRotate, Cmd::MnuEditFlip, Cmd::MnuEditSize, Cmd::MnuEditClear, Cmd::MnuEditClearAll,
                Cmd::MnuGrid})
    ui[c].enabled = true;
  for (Cmd c : LockedButtons) {
    if (c == Cmd::SpeedButton19) continue;
    ui[c].enabled = true;
    ui[c].hint = true;
  }
  ui[Cmd::SpeedButton21].enabled = true;
  ui[Cmd::SpeedButton21].hint = true;
  ui.status[4] = "";
}

void ClearDataLabels(UiState& ui) { ui.dataLabels = {" ", " ", " "}; }
void ClearObjectLabels(UiState& ui) {
  ui.dataLabels[0] = " ";
  ui.dataLabels[1] = " ";
}
void ClearHelpLabels(UiState& ui) { ui.helpLabels = {" ", " ", " ", " "}; }
