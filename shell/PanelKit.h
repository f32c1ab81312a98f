// PanelKit: the in-window panels are group boxes over the client area, hidden
// until their command shows them.
#pragma once

#include <QGroupBox>

inline QGroupBox* MakePanel(QWidget* parent, const char* name, const char* caption, int width, int height) {
  auto* box = new QGroupBox(caption, parent);
  box->setObjectName(name);
  box->setAutoFillBackground(true);
  box->resize(width, height);
  box->hide();
  return box;
}
