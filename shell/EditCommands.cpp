#include "shell/EditCommands.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "geometry/Aerofoils.h"
#include "geometry/EditOperations.h"
#include "shell/MainWindow.h"

namespace {

struct AerosizePanel {
  QGroupBox* box = nullptr;
  QSlider* AeroRot = nullptr;
  QLabel* Aeroang = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button4 = nullptr;
};

AerosizePanel BuildAerosize(Form1& f) {
  AerosizePanel p;
  p.box = new QGroupBox("Select aerofoil angle", f.client);
  p.box->setObjectName("Aerosize");
  p.box->setAutoFillBackground(true);
  p.box->resize(209, 129);
  auto label = [&](const char* text, int x, int y, int w) {
    auto* l = new QLabel(text, p.box);
    l->setGeometry(x, y, w, 16);
    return l;
  };
  p.AeroRot = new QSlider(Qt::Horizontal, p.box);
  p.AeroRot->setObjectName("AeroRot");
  p.AeroRot->setRange(AeroRotMin, AeroRotMax);
  p.AeroRot->setValue(0);
  p.AeroRot->setTickPosition(QSlider::TicksBelow);
  p.AeroRot->setTickInterval(5);
  p.AeroRot->setGeometry(8, 20, 193, 28);
  label("-20", 8, 50, 30);
  label("0", 100, 50, 20);
  label("+20", 178, 50, 30);
  label("Degrees rotation", 8, 70, 120);
  p.Aeroang = label("0", 140, 70, 50);
  p.Aeroang->setObjectName("Aeroang");
  p.Button1 = new QPushButton("OK", p.box);
  p.Button1->setObjectName("Button1");
  p.Button1->setGeometry(16, 94, 75, 25);
  p.Button4 = new QPushButton("Cancel", p.box);
  p.Button4->setObjectName("Button4");
  p.Button4->setGeometry(116, 94, 75, 25);
  p.box->hide();
  return p;
}

bool SolidFillChecked(const Form1& f) { return f.display.SolidFill == 1; }

}  // namespace

void ConnectEditCommands(Form1& f) {
  const AerosizePanel panel = BuildAerosize(f);
  ViewHooks& h = f.geometry.hooks;

  // Escape and every other close of the entry panels takes the angle panel too.
  h.CloseEntryPanels = [&f, box = panel.box] {
    box->hide();
    f.geometry.AerosizeVisible = false;
  };
  h.EditPreview = [&f](float x, float y) { EditPreview(f.scene, f.ViewCanvas(), f.ui, x, y); };
  h.EditCommit = [&f](float x, float y) { EditCommit(f.scene, f.ViewCanvas(), f.ui, x, y); };
  f.documentHooks.RestampAerofoils = [&f] {
    RestampAerofoils(f.scene, f.ViewCanvas(), f.ui);
    f.ViewChanged();
  };

  auto addAerofoil = [&f, panel] {
    AddAerofoilClick(f.scene, f.ui);
    if (!f.geometry.AerosizeVisible) return;
    panel.AeroRot->setValue(f.geometry.AeroRotPosition);
    panel.Aeroang->setText(QString::number(f.geometry.AeroRotPosition));
    panel.box->move(f.mesh.ViewRight, f.mesh.ViewTop);
    panel.box->show();
    panel.box->raise();
    f.ViewChanged();
  };
  f.Connect(Cmd::MnuEditAddAerofoil, addAerofoil);
  f.Connect(Cmd::SpeedButton6, addAerofoil);
  QObject::connect(panel.AeroRot, &QSlider::valueChanged, &f, [&f, panel](int value) {
    panel.Aeroang->setText(QString::fromStdString(AeroRotChange(f.scene, value)));
    f.update();
  });
  QObject::connect(panel.Button1, &QPushButton::clicked, &f, [&f, panel] {
    panel.box->hide();
    AerosizeOk(f.scene, f.ViewCanvas(), f.ui);
    f.ViewChanged();
    f.SyncUi();
  });
  QObject::connect(panel.Button4, &QPushButton::clicked, &f, [&f, panel] {
    panel.box->hide();
    AerosizeCancel(f.scene, f.ui);
    f.ViewChanged();
    f.SyncUi();
  });

  // Every command below ends with the view shown as it now stands; the window
  // brings the menus and buttons up to date after the handler.
  auto on = [&f](std::initializer_list<Cmd> ids, std::function<void()> body) {
    for (Cmd id : ids)
      f.Connect(id, [&f, body] {
        body();
        f.ViewChanged();
      });
  };
  on({Cmd::MnuEditCopy, Cmd::SpeedButton8},
     [&f] { CopyClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditMove, Cmd::SpeedButton9}, [&f] { MoveClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditRotate, Cmd::SpeedButton10},
     [&f] { RotateClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditFlipLeftRight, Cmd::SpeedButton11},
     [&f] { FlipLeftRightClick(f.scene, f.ViewCanvas(), f.ui); });
  on({Cmd::MnuEditFlipTopBottom, Cmd::SpeedButton16},
     [&f] { FlipTopBottomClick(f.scene, f.ViewCanvas(), f.ui); });
  on({Cmd::MnuEditStretch, Cmd::SpeedButton17},
     [&f] { StretchClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditTrapezoid, Cmd::SpeedButton18},
     [&f] { TrapezoidClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditExpand, Cmd::SpeedButton14},
     [&f] { ExpandClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditClear, Cmd::SpeedButton15},
     [&f] { ClearClick(f.scene, f.ViewCanvas(), f.ui, SolidFillChecked(f)); });
  on({Cmd::MnuEditClearAll}, [&f] { ClearAllClick(f.scene, f.ViewCanvas(), f.ui); });
}
