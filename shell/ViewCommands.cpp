// The commands that draw on the view: adding sections, guidelines, the mouse
// and the Escape key.
#include <QApplication>

#include "geometry/Creation.h"
#include "geometry/Guidelines.h"
#include "geometry/ObjectDrawing.h"
#include "shell/MainWindow.h"
#include "shell/ViewWidget.h"

void Form1::MnuEditMagdomClick() { AddRectangleClick(scene, ui); }
void Form1::MnuEditCMagdomClick() { AddCircleClick(scene, ui); }
void Form1::MnuGuidelineClick() { AddGuidelineClick(scene, ui); }

void Form1::ClearallguidelinesClick() {
  ClearAllGuidelines(scene, ViewCanvas(), ui);
  ViewChanged();
}

void Form1::OnViewMouse(int kind, int x, int y, Qt::MouseButton button) {
  // While a long run lets input through, the view takes no clicks.
  if (inHandler_) return;
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  switch (static_cast<ViewWidget::MouseEventKind>(kind)) {
    case ViewWidget::MouseEventKind::Down:
      if (button != Qt::LeftButton) return;
      VMouseDown(scene, ViewCanvas(), ui, fx, fy);
      break;
    case ViewWidget::MouseEventKind::Move:
      VMouseMove(scene, ViewCanvas(), ui, fx, fy);
      break;
    case ViewWidget::MouseEventKind::Up:
      if (button != Qt::LeftButton) return;
      VMouseUp(scene, ViewCanvas(), ui, fx, fy);
      break;
  }
  ViewChanged();
  SyncUi();
}

void Form1::KeyEscape() {
  FormKeyPress(scene, ViewCanvas(), ui, 27);
  ViewChanged();
  SyncUi();
}
