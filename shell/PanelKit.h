// PanelKit: the in-window panels are group boxes over the client area, hidden
// until their command shows them.
#pragma once

#include <QBoxLayout>
#include <QGroupBox>
#include <QPushButton>

inline void DesignPanel(QGroupBox* box, const char* name, int width, int height) {
  box->setObjectName(name);
  box->setAutoFillBackground(true);
  box->resize(width, height);
  box->hide();
}

// A row of two buttons side by side at the foot of a panel's layout.
inline void AddButtonPair(QBoxLayout* layout, QWidget* parent, const char* first, QPushButton*& firstButton,
                          const char* second, QPushButton*& secondButton) {
  auto* row = new QHBoxLayout;
  firstButton = new QPushButton(first, parent);
  secondButton = new QPushButton(second, parent);
  row->addWidget(firstButton);
  row->addWidget(secondButton);
  layout->addLayout(row);
}
