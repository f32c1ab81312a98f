#include "platform/Printer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class QtPrinter : public Printer {
 public:
  QtPrinter() : printer_(QPrinter::HighResolution) {}

  bool Available() override {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) return true;
    return !QPrinterInfo::defaultPrinter().isNull();
  }

  bool ChoosePrinter(int& copies) override {
    printer_.setCopyCount(1);
    QPrintDialog dialog(&printer_);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    // Copies are printed as separate jobs by the program, so the printer
    // itself prints each job once.
    copies = printer_.copyCount();
    printer_.setCopyCount(1);
    return true;
  }

  PageGeometry Page() override {
    const QRect r = printer_.pageLayout().paintRectPixels(printer_.resolution());
    PageGeometry g;
    g.width = r.width();
    g.height = r.height();
    g.dotsPerInch = printer_.resolution();
    g.landscape = printer_.pageLayout().orientation() == QPageLayout::Landscape;
    return g;
  }

  bool PrintPages(const std::vector<QImage>& pages, std::string& error) override {
    if (pages.empty()) return true;
    QPainter painter;
    if (!painter.begin(&printer_)) {
      error = "The printer could not start the print job.";
      return false;
    }
    const QRect target = painter.viewport();
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (i > 0 && !printer_.newPage()) {
        painter.end();
        error = "The printer could not start a new page.";
        return false;
      }
      painter.drawImage(target, pages[i]);
    }
    if (!painter.end() || printer_.printerState() == QPrinter::Error) {
      error = "The printer reported an error while printing.";
      return false;
    }
    return true;
  }

 private:
  QPrinter printer_;
};

}  // namespace

std::unique_ptr<Printer> MakeQtPrinter() { return std::make_unique<QtPrinter>(); }
