// File > Print with its speed button and Clipboard > Copy to Clipboard in the
// main window, through the window's printer and clipboard (the desktop's,
// until a test puts its own in their place).
#include "documents/Printing.h"
#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "shell/MainWindow.h"

void Form1::MnuFilePrintClick() {
  const PrintSource source{objects, geometry, mesh, grid, display, doc, ui};
  PrintView(source, cmd, ui, WindowPrinter(), *this);
  ViewChanged();
}

void Form1::ClipbdCopyClick() {
  ViewChanged();
  ViewSnapshot = ViewBitmap(viewImage, mesh);
  if (!clipboard_) clipboard_ = MakeQtClipboard();
  clipboard_->SetImage(ViewSnapshot);
  SaveViewSnapshot();
}
