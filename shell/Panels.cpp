#include "shell/Panels.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "geometry/Aerofoils.h"
#include "shell/Glyphs.h"
#include "shell/OnlineHelp.h"
#include "shell/PanelKit.h"

namespace {

QListWidget* MakeList(QWidget* parent, std::initializer_list<const char*> items) {
  auto* list = new QListWidget(parent);
  for (const char* i : items) list->addItem(i);
  list->setFixedHeight(static_cast<int>(items.size()) * 18 + 6);
  return list;
}

}  // namespace

PreferencesPanel::PreferencesPanel(QWidget* client) : QGroupBox("Preferences", client) {
  DesignPanel(this, "PrefBox", 330, 330);
  auto* pg = new QGridLayout(this);
  pg->addWidget(new QLabel("Flow lines"), 0, 0);
  ListBox4 = MakeList(this, {"High", "Normal", "Low"});
  pg->addWidget(ListBox4, 1, 0);
  pg->addWidget(new QLabel("Grid Type"), 0, 1);
  ListBox3 = MakeList(this, {"Lines", "Dots"});
  pg->addWidget(ListBox3, 1, 1);
  pg->addWidget(new QLabel("Show grid"), 2, 0);
  CheckBox1 = new QCheckBox(this);
  pg->addWidget(CheckBox1, 2, 1);
  pg->addWidget(new QLabel("Data folder"), 3, 0, 1, 2);
  WorkingDir = new QLineEdit(this);
  Browse = new QPushButton("Browse...", this);
  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(WorkingDir, 1);
  dirRow->addWidget(Browse);
  pg->addLayout(dirRow, 4, 0, 1, 2);
  pg->addWidget(new QLabel("Preferences take effect the next"), 5, 0, 1, 2);
  pg->addWidget(new QLabel("next time the program is started"), 6, 0, 1, 2);
  Button2 = new QPushButton("OK", this);
  Button3 = new QPushButton("Cancel", this);
  pg->addWidget(Button2, 7, 0);
  pg->addWidget(Button3, 7, 1);
}

void PreferencesPanel::Show(const PreferenceControls& c) {
  ListBox4->setCurrentRow(c.FlowLinesItem);
  ListBox3->setCurrentRow(c.GridTypeItem);
  CheckBox1->setChecked(c.ShowGrid);
  WorkingDir->setText(QString::fromStdString(c.WorkingDir));
}

void PreferencesPanel::Read(PreferenceControls& c) const {
  c.FlowLinesItem = std::max(0, ListBox4->currentRow());
  c.GridTypeItem = std::max(0, ListBox3->currentRow());
  c.ShowGrid = CheckBox1->isChecked();
  c.WorkingDir = WorkingDir->text().toStdString();
}

TipPanel::TipPanel(QWidget* client) : QGroupBox("Start up tip", client) {
  DesignPanel(this, "GroupBox1", 430, 330);
  setStyleSheet("QGroupBox#GroupBox1 { background-color: rgb(128,128,0); color: white; }");
  auto* tl = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap::fromImage(PanelPicture(0, 400, 110)));
  tl->addWidget(picture);
  TipMemo = new QLabel(this);
  TipMemo->setWordWrap(true);
  TipMemo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  TipMemo->setStyleSheet("color: white;");
  TipMemo->setMinimumHeight(120);
  tl->addWidget(TipMemo, 1);
  CheckBox2 = new QCheckBox("Don't show start up tips in future", this);
  CheckBox2->setStyleSheet("color: white;");
  tl->addWidget(CheckBox2);
  AddButtonPair(tl, this, "Next tip", Button8, "Close", tipclose);
}

void TipPanel::ShowTip(const Tip& tip) {
  TipMemo->setText(QString("<b>%1</b><br><br>%2").arg(tip.firstLine, tip.paragraph));
  TipMemo->setObjectName(tip.memo);
  show();
  raise();
}

AboutPanel::AboutPanel(QWidget* client) : QGroupBox("About", client) {
  DesignPanel(this, "About", 320, 140);
  auto* al = new QVBoxLayout(this);
  al->addWidget(new QLabel("Quorvane version 2.3"));
  auto* what = new QLabel("Two-dimensional potential flow round obstacles, for learning and teaching.");
  what->setWordWrap(true);
  al->addWidget(what);
  auto* exitAbout = new QPushButton("Exit About", this);
  al->addWidget(exitAbout);
  connect(exitAbout, &QPushButton::clicked, this, &QWidget::hide);
}

UninstallPanel::UninstallPanel(QWidget* client) : QGroupBox("Uninstall", client) {
  DesignPanel(this, "Uninstall", 340, 190);
  auto* ul = new QVBoxLayout(this);
  // Removal here goes through the package manager, or the copy's own folder.
  for (const char* text :
       {"Quorvane installed from its Debian package is removed by the package manager: "
        "apt remove quorvane (as root). Your settings and documents stay.",
        "A copy run from a folder of its own is removed by deleting that folder."}) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    ul->addWidget(label);
  }
  auto* ok = new QPushButton("OK", this);
  ul->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

ExitPanel::ExitPanel(QWidget* client, int which, const char* webCaption) : QFrame(client) {
  setObjectName(which == 6 ? "Panel6" : "Panel7");
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);
  resize(495, 375);
  hide();
  auto* inner = new QFrame(this);
  inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  inner->setGeometry(4, 4, 487, 367);
  auto* picture = new QLabel(inner);
  const int ph = which == 6 ? 354 : 361;
  const int pw = which == 6 ? 474 : 473;
  picture->setPixmap(QPixmap::fromImage(PanelPicture(which, pw, ph)));
  picture->setGeometry(6, 3, pw, ph);
  WebButton = new QPushButton(webCaption, inner);
  WebButton->setGeometry(20, 300, which == 6 ? 200 : 447, 26);
  ExitButton = new QPushButton("Exit", inner);
  ExitButton->setGeometry(380, which == 6 ? 300 : 332, 90, 26);
  SavingLabel = new QLabel("Saving settings", inner);
  SavingLabel->setGeometry(20, 332, 150, 20);
  SavingLabel->setStyleSheet("background: white;");
  SavingLabel->hide();
  ExitProgress = new QProgressBar(inner);
  ExitProgress->setRange(0, 40000);
  ExitProgress->setValue(0);
  ExitProgress->setTextVisible(false);
  ExitProgress->setGeometry(170, 334, 200, 16);
  ExitProgress->hide();
}

void ExitPanel::RunSavingBar() {
  SavingLabel->show();
  ExitProgress->show();
  repaint();
  for (int i = 0; i < 40001; ++i) {
    ExitProgress->setValue(std::min(40000, ExitProgress->value() + 2));
    if (i % 2000 == 0) ExitProgress->repaint();
  }
}

TitlePanel::TitlePanel(QWidget* client) : QGroupBox("Enter Title", client) {
  DesignPanel(this, "TitleFrame", 300, 90);
  auto* tl = new QVBoxLayout(this);
  TitleText = new QLineEdit(this);
  TitleText->setMaxLength(32);
  tl->addWidget(TitleText);
  AddButtonPair(tl, this, "OK", TitleOK, "Cancel", TitleCancel);
}

ErrorLevelPanel::ErrorLevelPanel(QWidget* client) : QGroupBox("Set Percentage Error Level", client) {
  DesignPanel(this, "SetErr", 260, 90);
  auto* el = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  CGErrVal = new QLineEdit("0.2", this);
  row->addWidget(CGErrVal);
  row->addWidget(new QLabel("%", this));
  el->addLayout(row);
  AddButtonPair(el, this, "Set", CGErrSet, "Cancel", ErrorLevelCancel);
}

PressureDisplayPanel::PressureDisplayPanel(QWidget* client) : QGroupBox("Flow pressure display", client) {
  DesignPanel(this, "Bdisplay", 200, 110);
  auto* bl = new QHBoxLayout(this);
  Bcolor = new QListWidget(this);
  Bcolor->addItems({"Color", "Mono"});
  Linlog = new QListWidget(this);
  Linlog->addItems({"Lin", "Log"});
  for (QListWidget* l : {Bcolor, Linlog}) {
    l->setFixedHeight(44);
    bl->addWidget(l);
  }
}

FilterPanel::FilterPanel(QWidget* client) : QGroupBox("Filter level", client) {
  DesignPanel(this, "BFilter", 200, 80);
  auto* fl = new QVBoxLayout(this);
  Bfilter_level = new QSlider(Qt::Horizontal, this);
  Bfilter_level->setRange(0, 100);
  Bset = new QPushButton("Set", this);
  fl->addWidget(Bfilter_level);
  fl->addWidget(Bset);
}

AerosizePanel::AerosizePanel(QWidget* client) : QGroupBox("Select aerofoil angle", client) {
  setObjectName("Aerosize");
  setAutoFillBackground(true);
  resize(209, 129);
  auto label = [this](const char* text, int x, int y, int w) {
    auto* l = new QLabel(text, this);
    l->setGeometry(x, y, w, 16);
    return l;
  };
  AeroRot = new QSlider(Qt::Horizontal, this);
  AeroRot->setObjectName("AeroRot");
  AeroRot->setRange(AeroRotMin, AeroRotMax);
  AeroRot->setValue(0);
  AeroRot->setTickPosition(QSlider::TicksBelow);
  AeroRot->setTickInterval(5);
  AeroRot->setGeometry(8, 20, 193, 28);
  label("-20", 8, 50, 30);
  label("0", 100, 50, 20);
  label("+20", 178, 50, 30);
  label("Degrees rotation", 8, 70, 120);
  Aeroang = label("0", 140, 70, 50);
  Aeroang->setObjectName("Aeroang");
  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(16, 94, 75, 25);
  Button4 = new QPushButton("Cancel", this);
  Button4->setObjectName("Button4");
  Button4->setGeometry(116, 94, 75, 25);
  hide();
}
