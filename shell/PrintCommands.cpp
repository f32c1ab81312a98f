#include "shell/PrintCommands.h"

#include <QObject>

#include "documents/Printing.h"
#include "shell/MainWindow.h"

namespace {

// The printer and the clipboard live with the window: a child object that the
// window deletes with itself.
class PrintServices : public QObject {
 public:
  explicit PrintServices(QObject* parent) : QObject(parent) { setObjectName(Name); }
  static constexpr const char* Name = "QuorvanePrintServices";
  std::unique_ptr<Printer> printer;
  std::unique_ptr<Clipboard> clipboard;
};

PrintServices& Services(Form1& f) {
  auto* s = f.findChild<PrintServices*>(PrintServices::Name, Qt::FindDirectChildrenOnly);
  if (!s) s = new PrintServices(&f);
  return *s;
}

}  // namespace

Printer& WindowPrinter(Form1& f) {
  PrintServices& s = Services(f);
  if (!s.printer) s.printer = MakeQtPrinter();
  return *s.printer;
}

Clipboard& WindowClipboard(Form1& f) {
  PrintServices& s = Services(f);
  if (!s.clipboard) s.clipboard = MakeQtClipboard();
  return *s.clipboard;
}

void SetWindowPrinter(Form1& f, std::unique_ptr<Printer> printer) { Services(f).printer = std::move(printer); }

void SetWindowClipboard(Form1& f, std::unique_ptr<Clipboard> clipboard) {
  Services(f).clipboard = std::move(clipboard);
}

void PrintViewCommand(Form1& f) {
  const PrintSource source{f.objects, f.geometry, f.mesh, f.grid, f.display, f.doc, f.ui};
  PrintView(source, f.cmd, f.ui, WindowPrinter(f), f);
  f.ViewChanged();
}

void CopyViewToClipboardCommand(Form1& f) {
  f.ViewChanged();
  f.ViewSnapshot = ViewBitmap(f.viewImage, f.mesh);
  WindowClipboard(f).SetImage(f.ViewSnapshot);
  f.SaveViewSnapshot();
}

void ConnectPrintCommands(Form1& f) {
  f.Connect(Cmd::MnuFilePrint, [&f] { PrintViewCommand(f); });
  f.Connect(Cmd::SpeedButton3, [&f] { PrintViewCommand(f); });
  f.Connect(Cmd::ClipbdCopy, [&f] { CopyViewToClipboardCommand(f); });
}
