// WindowProbe: how tests look inside the main window beyond what a user sees:
// the program state, the controls by design name and the view, and the few
// steps of the window a test takes on its own.
#pragma once

#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "shell/GaugeCommands.h"
#include "shell/MainWindow.h"
#include "shell/Panels.h"
#include "shell/RecoveryKeeper.h"
#include "shell/ViewWidget.h"

class WindowProbe {
 public:
  static ProgramState& State(Form1& w) { return w; }
  static const ProgramState& State(const Form1& w) { return w; }
  static WindowServices& Services(Form1& w) { return w; }
  static WindowControls& Controls(Form1& w) { return w; }
  static Canvas& ViewCanvas(Form1& w) { return *w.viewCanvas_; }
  static RecoveryKeeper& Recovery(Form1& w) { return *w.recovery_; }
  static bool& Exiting(Form1& w) { return w.exiting_; }
  static int ScrollBarWidth(const Form1& w) { return w.ScrollBarWidth; }
  // The client area the view was laid out from, and whether it is kept now.
  static std::array<int, 3> ViewFrame(const Form1& w) {
    return {w.viewFrame_.toolHeight, w.viewFrame_.clientWidth, w.viewFrame_.clientHeight};
  }
  static bool ViewGeometrySettled(const Form1& w) { return w.viewSettled_; }
  static void SaveViewSnapshot(Form1& w) { w.SaveViewSnapshot(); }
  static void RestoreViewSnapshot(Form1& w) { w.RestoreViewSnapshot(); }
  static void RedrawView(Form1& w) { w.RedrawView(); }
  static void SyncUi(Form1& w) { w.SyncUi(); }
  static void ViewChanged(Form1& w) { w.ViewChanged(); }
  // The command table gives `c` a handler.
  static bool HasHandler(const Form1& w, Cmd c) { return w.handlers_.count(c) == 1; }
  static void ShowOnlineHelp(Form1& w, int code) { w.ShowOnlineHelp(code); }
  // The printer and clipboard every page and copy goes to, in place of the
  // desktop's.
  static void SetPrinter(Form1& w, std::unique_ptr<Printer> printer) { w.printer_ = std::move(printer); }
  static void SetClipboard(Form1& w, std::unique_ptr<Clipboard> clipboard) { w.clipboard_ = std::move(clipboard); }
};

inline ProgramState& State(Form1& w) { return WindowProbe::State(w); }
inline const ProgramState& State(const Form1& w) { return WindowProbe::State(w); }
inline WindowControls& Controls(Form1& w) { return WindowProbe::Controls(w); }
