// quorvane-cli: the computing core from the command line.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/CliSolve.h"

int main(int argc, char** argv) {
  // The view is drawn on an image off the screen: no display is needed.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // A private runtime folder keeps Qt from warning about a missing one on the
  // error stream, which carries only the program's own line.
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const std::string runtime = "/tmp/quorvane-cli-" + std::to_string(::getuid());
    ::mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  return RunCli(argc, argv, std::cout, std::cerr);
}
