#pragma once
#include <QMainWindow>
class Form1 : public QMainWindow {
  Q_OBJECT
 public:
  Form1();
};
