#include <QApplication>

#include "shell/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");
  Form1 form;
  ShowMainWindow(form);
  return app.exec();
}
