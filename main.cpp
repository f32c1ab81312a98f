#include <QApplication>
#include <QTimer>

#include "shell/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");
  Form1 form;
  ShowMainWindow(form);
  // A document named on the command line opens once the window is up (and
  // any question about recovered work is answered).
  if (argc > 1) {
    const std::string name = argv[argc - 1];
    QTimer::singleShot(0, &form, [&form, name] { form.OpenAfterStartUp(name); });
  }
  return app.exec();
}
