// The Edit menu's object commands in the main window: Add Aerofoil with its
// angle panel, Copy, Move, Rotate, the flips and sizes, Clear and Clear All.
// Each ends with the view shown as it now stands; the window brings the menus
// and buttons up to date after the handler.
#include <QLabel>
#include <QSlider>

#include "geometry/Aerofoils.h"
#include "geometry/EditOperations.h"
#include "shell/MainWindow.h"
#include "shell/Panels.h"

void Form1::mnuEditAeroClick() {
  AddAerofoilClick(scene, ui);
  if (!geometry.AerosizeVisible) return;
  Aerosize->AeroRot->setValue(geometry.AeroRotPosition);
  Aerosize->Aeroang->setText(QString::number(geometry.AeroRotPosition));
  Aerosize->move(mesh.ViewRight, mesh.ViewTop);
  Aerosize->show();
  Aerosize->raise();
  ViewChanged();
}

void Form1::AeroRotChange(int position) {
  Aerosize->Aeroang->setText(QString::fromStdString(::AeroRotChange(scene, position)));
  ViewChanged();
}

void Form1::Button1Click() {
  Aerosize->hide();
  AerosizeOk(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::Button4Click() {
  Aerosize->hide();
  AerosizeCancel(scene, ui);
  ViewChanged();
}

void Form1::MnuEditCopyClick() {
  CopyClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditMoveClick() {
  MoveClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditRotateClick() {
  RotateClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MenuLeftRightClick() {
  FlipLeftRightClick(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::TopBottomClick() {
  FlipTopBottomClick(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::MnuEditSizeHClick() {
  StretchClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditSizeVClick() {
  TrapezoidClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditSizeBothClick() {
  ExpandClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditClearClick() {
  ClearClick(scene, ViewCanvas(), ui, display.SolidFill == 1);
  ViewChanged();
}

void Form1::MnuEditClearAllClick() {
  ClearAllClick(scene, ViewCanvas(), ui);
  ViewChanged();
}
