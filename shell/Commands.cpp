// The command table of the main window: every menu item and speed button with
// the handler it runs, and the panels' buttons with theirs. A menu item and
// its speed button share one handler; the button's row names the shared one.
// Also the handlers of the Tools and Help menus.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include "geometry/Guidelines.h"
#include "mesh/Grid.h"
#include "shell/MainWindow.h"
#include "shell/OnlineHelp.h"
#include "shell/Panels.h"

namespace {
constexpr const char* HelpFile = "Help/quorvane.html";
constexpr const char* TutorialFile = "Tutorial/tutorial.html";
}  // namespace

void Form1::ConnectCommands() {
  struct Row {
    Cmd id;
    void (Form1::*handler)();
  };
  static constexpr Row Table[] = {
      // File
      {Cmd::MnuFileNew, &Form1::MnuFileNewClick},
      {Cmd::SpeedButton19, &Form1::MnuFileNewClick},  // SpeedButton19Click
      {Cmd::MnuFileOpen, &Form1::MnuFileOpenClick},
      {Cmd::SpeedButton2, &Form1::MnuFileOpenClick},  // SpeedButton2Click
      {Cmd::MnuFileSave, &Form1::MnuFileSaveClick},
      {Cmd::MnuFileSaveAs, &Form1::MnuFileSaveAsClick},
      {Cmd::SpeedButton1, &Form1::MnuFileSaveAsClick},  // SpeedButton1Click
      {Cmd::MnuFilePrint, &Form1::MnuFilePrintClick},
      {Cmd::SpeedButton3, &Form1::MnuFilePrintClick},  // SpeedButton3Click
      {Cmd::MnuFileExportView, &Form1::MnuFileExportViewClick},
      {Cmd::MnuFileExportPlot, &Form1::MnuFileExportPlotClick},
      {Cmd::MnuFileExportPsi, &Form1::MnuFileExportPsiClick},
      {Cmd::MnuFileExit, &Form1::MnuFileExitClick},
      // Edit
      {Cmd::MnuEditUndo, &Form1::MnuEditUndoClick},
      {Cmd::MnuEditRedo, &Form1::MnuEditRedoClick},
      {Cmd::MnuEditAddGuideline, &Form1::MnuGuidelineClick},
      {Cmd::SpeedButton25, &Form1::MnuGuidelineClick},  // SpeedButton25Click
      {Cmd::MnuEditAddRectangle, &Form1::MnuEditMagdomClick},
      {Cmd::SpeedButton4, &Form1::MnuEditMagdomClick},  // SpeedButton4Click
      {Cmd::MnuEditAddCircle, &Form1::MnuEditCMagdomClick},
      {Cmd::SpeedButton23, &Form1::MnuEditCMagdomClick},  // SpeedButton23Click
      {Cmd::MnuEditAddAerofoil, &Form1::mnuEditAeroClick},
      {Cmd::SpeedButton6, &Form1::mnuEditAeroClick},  // SpeedButton6Click
      {Cmd::MnuEditCopy, &Form1::MnuEditCopyClick},
      {Cmd::SpeedButton8, &Form1::MnuEditCopyClick},  // SpeedButton8Click
      {Cmd::MnuEditMove, &Form1::MnuEditMoveClick},
      {Cmd::SpeedButton9, &Form1::MnuEditMoveClick},  // SpeedButton9Click
      {Cmd::MnuEditRotate, &Form1::MnuEditRotateClick},
      {Cmd::SpeedButton10, &Form1::MnuEditRotateClick},  // SpeedButton10Click
      {Cmd::MnuEditFlipLeftRight, &Form1::MenuLeftRightClick},
      {Cmd::SpeedButton11, &Form1::MenuLeftRightClick},  // SpeedButton11Click
      {Cmd::MnuEditFlipTopBottom, &Form1::TopBottomClick},
      {Cmd::SpeedButton16, &Form1::TopBottomClick},  // SpeedButton16Click
      {Cmd::MnuEditStretch, &Form1::MnuEditSizeHClick},
      {Cmd::SpeedButton17, &Form1::MnuEditSizeHClick},  // SpeedButton17Click
      {Cmd::MnuEditTrapezoid, &Form1::MnuEditSizeVClick},
      {Cmd::SpeedButton18, &Form1::MnuEditSizeVClick},  // SpeedButton18Click
      {Cmd::MnuEditExpand, &Form1::MnuEditSizeBothClick},
      {Cmd::SpeedButton14, &Form1::MnuEditSizeBothClick},  // SpeedButton14Click
      {Cmd::MnuEditClear, &Form1::MnuEditClearClick},
      {Cmd::SpeedButton15, &Form1::MnuEditClearClick},  // SpeedButton15Click
      {Cmd::MnuEditClearAll, &Form1::MnuEditClearAllClick},
      {Cmd::MnuEditClearAllGuidelines, &Form1::ClearallguidelinesClick},
      // Clipboard and Title
      {Cmd::ClipbdCopy, &Form1::ClipbdCopyClick},
      {Cmd::MnuTitleAdd, &Form1::MnuTitleAddClick},
      // View
      {Cmd::MnuViewFlowLines, &Form1::MnuFluxlinesClick},
      {Cmd::MnuViewFlowPressure, &Form1::MnuFluxdensityClick},
      {Cmd::SpeedButton24, &Form1::SpeedButton24Click},
      {Cmd::MnuViewSolidFill, &Form1::Solidfill1Click},
      {Cmd::MnuViewGauge, &Form1::EgageClick},
      {Cmd::SpeedButton5, &Form1::EgageClick},  // SpeedButton5Click
      {Cmd::MnuViewSurfacePressure, &Form1::MnuViewSurfacePressureClick},
      // Analyse
      {Cmd::MnuAnalyseSetUp, &Form1::MnuAnalyseSetClick},
      {Cmd::MnuAnalyseRun, &Form1::MnuAnalyseRunClick},
      {Cmd::SpeedButton21, &Form1::SpeedButton21Click},
      {Cmd::MnuSmoothNone, &Form1::SmoothnoneClick},
      {Cmd::MnuSmoothNormal, &Form1::smoothnormClick},
      {Cmd::MnuSmoothHigh, &Form1::SmoothhighClick},
      {Cmd::MnuAnalyseErrorLevel, &Form1::SetErrorClick},
      {Cmd::MnuAnalyseLift, &Form1::MnuAnalyseLiftClick},
      // Tools
      {Cmd::MnuToolsDots, &Form1::MnuToolsDotsClick},
      {Cmd::MnuToolsLines, &Form1::MnuToolsLinesClick},
      {Cmd::MnuToolsShowGrid, &Form1::MnuToolsShowGridClick},
      {Cmd::Showcentrelines, &Form1::ShowcentrelinesClick},
      {Cmd::MnuFlowHigh, &Form1::FluxhighClick},
      {Cmd::MnuFlowNormal, &Form1::FluxNormalClick},
      {Cmd::MnuFlowLow, &Form1::FluxLowClick},
      {Cmd::N100, &Form1::N100Click},
      {Cmd::N200, &Form1::N200Click},
      {Cmd::N300, &Form1::N300Click},
      {Cmd::MnuSolverStandard, &Form1::MnuSolverStandardClick},
      {Cmd::MnuSolverFast, &Form1::MnuSolverFastClick},
      {Cmd::MnuPreferences, &Form1::MnuPreferencesClick},
      {Cmd::MnuUninstall, &Form1::MnuUninstallClick},
      // Help
      {Cmd::MnuHelpHelp, &Form1::MnuHelpHelpClick},
      {Cmd::MnuHelpTutorial, &Form1::MnuHelpTutorialClick},
      {Cmd::Mnuhelp, &Form1::MnuhelpClick},
      {Cmd::MnuHelpTips, &Form1::MnuHelpTipsClick},
      {Cmd::MnuHelpWebsite, &Form1::MnuHelpWebsiteClick},
      {Cmd::MnuHelpAbout, &Form1::MnuHelpAboutClick},
  };
  for (const Row& row : Table) handlers_[row.id] = row.handler;
}

void Form1::ConnectPanels() {
  // Each button's handler, then the model onto the widgets.
  auto click = [this](QPushButton* button, void (Form1::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, handler] {
      (this->*handler)();
      SyncUi();
    });
  };
  click(PrefBox->Button2, &Form1::Button2Click);
  click(PrefBox->Button3, &Form1::Button3Click);
  click(PrefBox->Browse, &Form1::BrowseClick);
  click(GroupBox1->Button8, &Form1::Button8Click);
  click(GroupBox1->tipclose, &Form1::tipcloseClick);
  for (std::size_t i = 0; i < ExitPanels.size(); ++i) {
    connect(ExitPanels[i]->WebButton, &QPushButton::clicked, this,
            [this, url = i == 0 ? WebSite : PartnerSite] { OpenWebAddress(url); });
    click(ExitPanels[i]->ExitButton, &Form1::ExitButtonClick);  // Button15Click, Button17Click
  }
  click(TitleFrame->TitleOK, &Form1::TitleOKClick);
  connect(TitleFrame->TitleText, &QLineEdit::returnPressed, this, [this] {
    TitleOKClick();
    SyncUi();
  });
  click(TitleFrame->TitleCancel, &Form1::TitleCancelClick);
  click(SetErr->CGErrSet, &Form1::CGErrSetClick);
  click(SetErr->ErrorLevelCancel, &Form1::ErrorLevelCancelClick);
  connect(Bdisplay->Bcolor, &QListWidget::currentRowChanged, this, [this] { PressureDisplayChange(); });
  connect(Bdisplay->Linlog, &QListWidget::currentRowChanged, this, [this] { PressureDisplayChange(); });
  click(BFilter->Bset, &Form1::BsetClick);
  connect(Aerosize->AeroRot, &QSlider::valueChanged, this, &Form1::AeroRotChange);
  click(Aerosize->Button1, &Form1::Button1Click);
  click(Aerosize->Button4, &Form1::Button4Click);
}

// ---------------------------------------------------------------- Tools

void Form1::GridChanged() {
  doc.DocumentModified = 1;
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::MnuToolsDotsClick() {
  ClearHelpLabels(ui);
  ui.cursor = CursorShape::Hourglass;
  if (ChooseGridDots(ViewCanvas(), mesh, grid)) GridChanged();
  ui.cursor = CursorShape::Default;
}

void Form1::MnuToolsLinesClick() {
  ClearHelpLabels(ui);
  ui.cursor = CursorShape::Hourglass;
  if (ChooseGridLines(ViewCanvas(), mesh, grid)) GridChanged();
  ui.cursor = CursorShape::Default;
}

void Form1::MnuToolsShowGridClick() {
  ClearHelpLabels(ui);
  ToggleShowGrid(ViewCanvas(), mesh, grid);
  GridChanged();
}

void Form1::ShowcentrelinesClick() {
  ToggleCentreLines(ViewCanvas(), mesh, grid);
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::N100Click() { SetMeshSize(100); }
void Form1::N200Click() { SetMeshSize(200); }
void Form1::N300Click() { SetMeshSize(300); }

void Form1::MnuUninstallClick() {
  Uninstall->show();
  Uninstall->raise();
}

void Form1::BrowseClick() {
  const std::string chosen = prompts_->ChooseFolder(PrefBox->WorkingDir->text().toStdString());
  if (!chosen.empty()) PrefBox->WorkingDir->setText(QString::fromStdString(chosen));
}

// ---------------------------------------------------------------- Help

void Form1::MnuHelpHelpClick() { OpenHelpFile(HelpFile); }
void Form1::MnuHelpTutorialClick() { OpenHelpFile(TutorialFile); }

void Form1::MnuhelpClick() {
  ClearHelpLabels(ui);
  doc.DocumentModified = 1;
  onlineHelpOn = !onlineHelpOn;
}

void Form1::MnuHelpTipsClick() { prefs.ShowStartUpTips = !prefs.ShowStartUpTips; }
void Form1::MnuHelpWebsiteClick() { OpenWebAddress(WebSite); }

void Form1::OpenWebAddress(const char* url) {
  if (!prompts_->OpenUrl(url)) prompts_->Message(std::string("The desktop could not open ") + url + ".");
}

void Form1::MnuHelpAboutClick() {
  About->show();
  About->raise();
}

void Form1::MnuFileExitClick() { ExitSequence(); }

bool Form1::SaveDocumentForQuestion() {
  if (doc.CurrentFileName.empty()) return SaveWithDialog(documentContext, *prompts_);
  return SaveDocumentFiles(documentContext, *prompts_, doc.CurrentFileName);
}
