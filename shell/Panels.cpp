// The in-window panels of the shell: Preferences, the start-up tip, About,
// Uninstall and the two exit panels.
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

#include "shell/Glyphs.h"
#include "shell/MainWindow.h"
#include "shell/PanelKit.h"
#include "shell/OnlineHelp.h"
#include "shell/RecoveryKeeper.h"
#include "shell/ViewWidget.h"

namespace {


QListWidget* MakeList(QWidget* parent, std::initializer_list<const char*> items) {
  auto* list = new QListWidget(parent);
  for (const char* i : items) list->addItem(i);
  list->setFixedHeight(static_cast<int>(items.size()) * 18 + 6);
  return list;
}

}  // namespace

void Form1::BuildPanels() {
  // Preferences.
  PrefBox = MakePanel(client, "PrefBox", "Preferences", 330, 330);
  auto* pg = new QGridLayout(PrefBox);
  pg->addWidget(new QLabel("Flow lines"), 0, 0);
  ListBox4 = MakeList(PrefBox, {"High", "Normal", "Low"});
  pg->addWidget(ListBox4, 1, 0);
  pg->addWidget(new QLabel("Grid Type"), 0, 1);
  ListBox3 = MakeList(PrefBox, {"Lines", "Dots"});
  pg->addWidget(ListBox3, 1, 1);
  pg->addWidget(new QLabel("Show grid"), 2, 0);
  CheckBox1 = new QCheckBox(PrefBox);
  pg->addWidget(CheckBox1, 2, 1);
  pg->addWidget(new QLabel("Data folder"), 3, 0, 1, 2);
  WorkingDir = new QLineEdit(PrefBox);
  auto* browse = new QPushButton("Browse...", PrefBox);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(WorkingDir, 1);
  dirRow->addWidget(browse);
  pg->addLayout(dirRow, 4, 0, 1, 2);
  pg->addWidget(new QLabel("Preferences take effect the next"), 5, 0, 1, 2);
  pg->addWidget(new QLabel("next time the program is started"), 6, 0, 1, 2);
  Button2 = new QPushButton("OK", PrefBox);
  Button3 = new QPushButton("Cancel", PrefBox);
  pg->addWidget(Button2, 7, 0);
  pg->addWidget(Button3, 7, 1);
  connect(Button2, &QPushButton::clicked, this, [this] { PreferencesOk(); SyncUi(); });
  connect(Button3, &QPushButton::clicked, this, [this] { PreferencesCancel(); SyncUi(); });
  connect(browse, &QPushButton::clicked, this, [this] {
    const std::string chosen = prompts_->ChooseFolder(WorkingDir->text().toStdString());
    if (!chosen.empty()) WorkingDir->setText(QString::fromStdString(chosen));
  });

  // Start-up tip.
  GroupBox1 = MakePanel(client, "GroupBox1", "Start up tip", 430, 330);
  GroupBox1->setStyleSheet("QGroupBox#GroupBox1 { background-color: rgb(128,128,0); color: white; }");
  auto* tl = new QVBoxLayout(GroupBox1);
  auto* picture = new QLabel(GroupBox1);
  picture->setPixmap(QPixmap::fromImage(PanelPicture(0, 400, 110)));
  tl->addWidget(picture);
  TipMemo = new QLabel(GroupBox1);
  TipMemo->setWordWrap(true);
  TipMemo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  TipMemo->setStyleSheet("color: white;");
  TipMemo->setMinimumHeight(120);
  tl->addWidget(TipMemo, 1);
  CheckBox2 = new QCheckBox("Don't show start up tips in future", GroupBox1);
  CheckBox2->setStyleSheet("color: white;");
  tl->addWidget(CheckBox2);
  AddButtonPair(tl, GroupBox1, "Next tip", Button8, "Close", tipclose);
  connect(Button8, &QPushButton::clicked, this, [this] { NextTip(); SyncUi(); });
  connect(tipclose, &QPushButton::clicked, this, [this] { CloseTip(); SyncUi(); });

  // About and Uninstall.
  About = MakePanel(client, "About", "About", 320, 140);
  auto* al = new QVBoxLayout(About);
  al->addWidget(new QLabel("Quorvane version 2.3"));
  al->addWidget(new QLabel("Two-dimensional potential flow round obstacles, for learning and teaching."));
  static_cast<QLabel*>(al->itemAt(1)->widget())->setWordWrap(true);
  auto* exitAbout = new QPushButton("Exit About", About);
  al->addWidget(exitAbout);
  connect(exitAbout, &QPushButton::clicked, this, [this] { About->hide(); });

  Uninstall = MakePanel(client, "Uninstall", "Uninstall", 340, 190);
  auto* ul = new QVBoxLayout(Uninstall);
  // Removal here goes through the package manager, or the copy's own folder.
  for (const char* text :
       {"Quorvane installed from its Debian package is removed by the package manager: "
        "apt remove quorvane (as root). Your settings and documents stay.",
        "A copy run from a folder of its own is removed by deleting that folder."}) {
    auto* label = new QLabel(text, Uninstall);
    label->setWordWrap(true);
    ul->addWidget(label);
  }
  auto* ok = new QPushButton("OK", Uninstall);
  ul->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, [this] { Uninstall->hide(); });
}

void Form1::BuildExitPanels() {
  for (std::size_t i = 0; i < 2; ++i) {
    const int which = i == 0 ? 6 : 7;
    auto* panel = new QFrame(client);
    panel->setObjectName(which == 6 ? "Panel6" : "Panel7");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    panel->resize(495, 375);
    panel->hide();
    auto* inner = new QFrame(panel);
    inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    inner->setGeometry(4, 4, 487, 367);
    auto* picture = new QLabel(inner);
    const int ph = which == 6 ? 354 : 361;
    const int pw = which == 6 ? 474 : 473;
    picture->setPixmap(QPixmap::fromImage(PanelPicture(which, pw, ph)));
    picture->setGeometry(6, 3, pw, ph);
    auto* web = new QPushButton(which == 6 ? QString("quorvane.example.org")
                                           : QString("Have your design analysed: quorvane.example.org/analysis-service"),
                                inner);
    web->setGeometry(which == 6 ? 20 : 20, 300, which == 6 ? 200 : 447, 26);
    auto* exit = new QPushButton("Exit", inner);
    exit->setGeometry(which == 6 ? 380 : 380, which == 6 ? 300 : 332, 90, 26);
    auto* saving = new QLabel("Saving settings", inner);
    saving->setGeometry(20, 332, 150, 20);
    saving->setStyleSheet("background: white;");
    saving->hide();
    auto* bar = new QProgressBar(inner);
    bar->setRange(0, 40000);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(170, 334, 200, 16);
    bar->hide();
    ExitPanel[i] = panel;
    ExitButton[i] = exit;
    WebButton[i] = web;
    SavingLabel[i] = saving;
    ExitProgress[i] = bar;
    const char* url = which == 6 ? WebSite : PartnerSite;
    connect(web, &QPushButton::clicked, this, [this, url] {
      if (!prompts_->OpenUrl(url)) prompts_->Message(std::string("The desktop could not open ") + url + ".");
    });
    connect(exit, &QPushButton::clicked, this, [this] { ExitPanelExit(); });
  }
}

// ---------------------------------------------------------------- preferences

void Form1::OpenPreferences() {
  LockCommands(ui, *this, false);
  ui.status[3] = " ";
  SaveViewSnapshot();
  ShowOnlineHelp(20);
  PrefBox->show();
  PrefBox->raise();
  CheckBox1->setFocus();
}

void Form1::ShowPreferenceControls() {
  const PreferenceControls& c = prefs.controls;
  ListBox4->setCurrentRow(c.FlowLinesItem);
  ListBox3->setCurrentRow(c.GridTypeItem);
  CheckBox1->setChecked(c.ShowGrid);
  WorkingDir->setText(QString::fromStdString(c.WorkingDir));
}

namespace {
void ReadControls(const Form1& f, PreferenceControls& c) {
  c.FlowLinesItem = std::max(0, f.ListBox4->currentRow());
  c.GridTypeItem = std::max(0, f.ListBox3->currentRow());
  c.ShowGrid = f.CheckBox1->isChecked();
  c.WorkingDir = f.WorkingDir->text().toStdString();
}
}  // namespace

void Form1::PreferencesOk() {
  Button3->setEnabled(false);
  ui.cursor = CursorShape::Hourglass;
  SyncUi();
  ReadControls(*this, prefs.controls);
  const PrefWrite written = SavePreferences(programFolder, prefs);
  Button3->setEnabled(true);
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

void Form1::PreferencesCancel() {
  // Nothing is written now, but the values stand for the save at exit.
  ReadControls(*this, prefs.controls);
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
  const Tip& tip = StartUpTips()[static_cast<std::size_t>(std::clamp(prefs.TipIndex, 0, 11))];
  TipMemo->setText(QString("<b>%1</b><br><br>%2").arg(tip.firstLine, tip.paragraph));
  TipMemo->setObjectName(tip.memo);
  GroupBox1->show();
  GroupBox1->raise();
}

void Form1::NextTip() {
  prefs.TipIndex = prefs.TipIndex + 1 > 11 ? 0 : prefs.TipIndex + 1;
  ShowTip();
}

void Form1::CloseTip() {
  prefs.ShowStartUpTips = !CheckBox2->isChecked();
  GroupBox1->hide();
  RestoreViewSnapshot();
  UnlockCommands(ui);
  ui[Cmd::Mnuhelp1].enabled = true;
}

// ---------------------------------------------------------------- exit

Answer Form1::AskSaveChanges() {
  const Answer a = prompts_->AskYesNoCancel("Save changes to " + ui.caption + "?");
  if (a == Answer::Yes && !SaveForQuestion()) {
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
  ReadControls(*this, prefs.controls);
  const PrefWrite written = SavePreferences(programFolder, prefs);
  if (!written.Complete()) {
    // Reported, and the window stays open without an exit panel: the user can
    // put the folder right and leave again.
    ReportWriteError(written);
    ui.cursor = CursorShape::Default;
    return;
  }
  const int cx = client->width() / 2, cy = client->height() / 2;
  for (QFrame* p : ExitPanel) p->move(cx - p->width() / 2, cy - p->height() / 2);
  const std::size_t shown = prefs.ExitPanelChoice == 6 ? 0 : 1;
  ExitPanel[1 - shown]->hide();
  ExitPanel[shown]->show();
  ExitPanel[shown]->raise();
}

void Form1::ExitPanelExit() {
  if (doc.DocumentModified == 1) {
    AskSaveChanges();
    if (doc.SaveCancelled == 1) {
      doc.SaveCancelled = 0;
      return;
    }
  }
  const std::size_t shown = ExitPanel[0]->isHidden() ? 1 : 0;
  SavingLabel[shown]->show();
  ExitProgress[shown]->show();
  ExitPanel[shown]->repaint();
  for (int i = 0; i < 40001; ++i) {
    ExitProgress[shown]->setValue(std::min(40000, ExitProgress[shown]->value() + 2));
    if (i % 2000 == 0) ExitProgress[shown]->repaint();
  }
  recovery->Finish();
  exiting = true;
  close();
  QApplication::quit();
}
