// ShellServices: the main window as its parts that live outside it see it (the
// gauge panel, the recovery copy): the program's services, and beyond them the
// program state and the view. The window implements it; nothing else needs Form1.
#pragma once

#include "platform/WindowServices.h"
#include "shell/ProgramState.h"

class Canvas;
class Printer;
class QWidget;

class ShellServices : public WindowServices {
 public:
  virtual ProgramState& State() = 0;
  // The client area the in-window panels sit on.
  virtual QWidget* Client() = 0;
  // The view image, and the part of it that just changed shown.
  virtual Canvas& ViewCanvas() = 0;
  virtual void ViewChanged() = 0;
  // The model onto the widgets (check marks, status panels, labels).
  virtual void SyncUi() = 0;
  // A command's handler is running (a long run lets input through meanwhile).
  virtual bool Busy() const = 0;
  // The empty mesh's flow brought up to date for the mesh as set up;
  // `interactive` shows the progress and lets Escape stop it.
  virtual bool UpdateFreeStreamForMesh(bool interactive) = 0;
  // The printer every page goes to.
  virtual Printer& WindowPrinter() = 0;

 protected:
  ShellServices() = default;
  ShellServices(const ShellServices&) = default;
  ShellServices& operator=(const ShellServices&) = default;
};
