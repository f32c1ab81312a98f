// ShellServices: the main window as its parts that live outside it see it (the
// gauge panel, the recovery copy): the program state, the view and the
// window's services. The window implements it; nothing else needs Form1.
#pragma once

#include "shell/ProgramState.h"

class Canvas;
class Printer;
class Prompts;
class QWidget;

class ShellServices {
 public:
  virtual ~ShellServices() = default;
  virtual ProgramState& State() = 0;
  virtual Prompts& Ask() = 0;
  // The client area the in-window panels sit on.
  virtual QWidget* Client() = 0;
  // The view image, the part of it that just changed shown, and the snapshot
  // an entry panel or a plot puts back.
  virtual Canvas& ViewCanvas() = 0;
  virtual void ViewChanged() = 0;
  virtual void SaveViewSnapshot() = 0;
  virtual void RestoreViewSnapshot() = 0;
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
