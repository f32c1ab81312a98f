// The in-window panels of the main window, and the handlers of Preferences,
// the start-up tip and the exit.
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/GaugeCommands.h"
#include "shell/MainWindow.h"
#include "shell/OnlineHelp.h"
#include "shell/Panels.h"
#include "shell/RecoveryKeeper.h"
#include "shell/ViewWidget.h"

void Form1::BuildPanels() {
  PrefBox = new PreferencesPanel(client);
  GroupBox1 = new TipPanel(client);
  About = new AboutPanel(client);
  Uninstall = new UninstallPanel(client);
  ExitPanels = {new ExitPanel(client, 6, "quorvane.example.org"),
                new ExitPanel(client, 7, "Have your design analysed: quorvane.example.org/analysis-service")};
  TitleFrame = new TitlePanel(client);
  SetErr = new ErrorLevelPanel(client);
  Bdisplay = new PressureDisplayPanel(client);
  BFilter = new FilterPanel(client);
  Aerosize = new AerosizePanel(client);
  AGage = new GaugePanel(*this);
}

// ---------------------------------------------------------------- preferences

void Form1::MnuPreferencesClick() {
  LockCommands(ui, *this, false);
  ui.status[3] = " ";
  SaveViewSnapshot();
  ShowOnlineHelp(20);
  PrefBox->show();
  PrefBox->raise();
  PrefBox->CheckBox1->setFocus();
}

void Form1::ShowPreferenceControls() { PrefBox->Show(prefs.controls); }

void Form1::Button2Click() {
  PrefBox->Button3->setEnabled(false);
  ui.cursor = CursorShape::Hourglass;
  SyncUi();
  PrefBox->Read(prefs.controls);
  const PrefWrite written = SavePreferences(programFolder, prefs);
  PrefBox->Button3->setEnabled(true);
  ui.cursor = CursorShape::Default;
  if (!written.Complete()) {
    // The panel stays open so the folder can be put right or the panel left.
    ReportWriteError(written);
    return;
  }
  PrefBox->hide();
  RestoreViewSnapshot();
  UnlockCommands(ui);
}

void Form1::Button3Click() {
  // Nothing is written now, but the values stand for the save at exit.
  PrefBox->Read(prefs.controls);
  UnlockCommands(ui);
  PrefBox->hide();
  RestoreViewSnapshot();
  ui.cursor = CursorShape::Default;
}

void Form1::ReportWriteError(const PrefWrite& written) {
  std::string files;
  if (!written.prefFile) files = PrefFileName;
  if (!written.dataFolderFile) files += std::string(files.empty() ? "" : " and ") + DataFolderFileName;
  prompts_->Message("The settings could not be written to " + files + " in " + programFolder +
                    ". Check that the folder exists and may be written to.");
}

// ---------------------------------------------------------------- tips

void Form1::ShowTip() {
  LockCommands(ui, *this, false);
  ui[Cmd::Mnuhelp1].enabled = false;
  GroupBox1->ShowTip(StartUpTips()[static_cast<std::size_t>(std::clamp(prefs.TipIndex, 0, 11))]);
}

void Form1::Button8Click() {
  prefs.TipIndex = prefs.TipIndex + 1 > 11 ? 0 : prefs.TipIndex + 1;
  ShowTip();
}

void Form1::tipcloseClick() {
  prefs.ShowStartUpTips = !GroupBox1->CheckBox2->isChecked();
  GroupBox1->hide();
  RestoreViewSnapshot();
  UnlockCommands(ui);
  ui[Cmd::Mnuhelp1].enabled = true;
}

// ---------------------------------------------------------------- exit

Answer Form1::AskSaveChanges() {
  const Answer a = prompts_->AskYesNoCancel("Save changes to " + ui.caption + "?");
  if (a == Answer::Yes && !SaveDocumentForQuestion()) {
    // A save that did not happen (cancelled or failed) keeps the document open.
    doc.SaveCancelled = 1;
    return Answer::Cancel;
  }
  if (a == Answer::Cancel) doc.SaveCancelled = 1;
  return a;
}

void Form1::ExitSequence() {
  if (doc.DocumentModified == 1 && AskSaveChanges() == Answer::No) {
    // The user let these changes go; anything changed from now on is asked
    // about again when the exit panel's Exit is pressed.
    doc.DocumentModified = 0;
  }
  if (doc.SaveCancelled == 1) {
    doc.SaveCancelled = 0;
    return;
  }
  PrefBox->Read(prefs.controls);
  const PrefWrite written = SavePreferences(programFolder, prefs);
  if (!written.Complete()) {
    // Reported, and the window stays open without an exit panel: the user can
    // put the folder right and leave again.
    ReportWriteError(written);
    ui.cursor = CursorShape::Default;
    return;
  }
  const int cx = client->width() / 2, cy = client->height() / 2;
  for (ExitPanel* p : ExitPanels) p->move(cx - p->width() / 2, cy - p->height() / 2);
  const std::size_t shown = prefs.ExitPanelChoice == 6 ? 0 : 1;
  ExitPanels[1 - shown]->hide();
  ExitPanels[shown]->show();
  ExitPanels[shown]->raise();
}

void Form1::ExitButtonClick() {
  if (doc.DocumentModified == 1) {
    AskSaveChanges();
    if (doc.SaveCancelled == 1) {
      doc.SaveCancelled = 0;
      return;
    }
  }
  ExitPanels[ExitPanels[0]->isHidden() ? 1 : 0]->RunSavingBar();
  recovery_->Finish();
  exiting_ = true;
  close();
  QApplication::quit();
}
