// Printer: the print dialog and the printer, as the program uses them: choose a
// printer and a number of copies, read the page, print page images as one job.
// QtPrinter drives the desktop's printers; RecordingPrinter keeps the pages for
// tests, so nothing ever opens a dialog or needs a real printer.
#pragma once

#include <QImage>
#include <memory>
#include <string>
#include <vector>

// The printable page of the chosen printer, in printer pixels.
struct PageGeometry {
  int width = 0;
  int height = 0;
  int dotsPerInch = 0;
  bool landscape = false;
};

class Printer {
 public:
  virtual ~Printer() = default;

  // False when no printer is installed or usable.
  virtual bool Available() = 0;
  // Runs the print dialog with `copies` preset; on OK `copies` holds the
  // user's count. False when the user cancelled.
  virtual bool ChoosePrinter(int& copies) = 0;
  // The page of the printer chosen last (the default printer before that).
  virtual PageGeometry Page() = 0;
  // Prints `pages` as one job, each image stretched over the whole printable
  // page. False with `error` set when the printer failed.
  virtual bool PrintPages(const std::vector<QImage>& pages, std::string& error) = 0;

  // One page as one job.
  bool PrintPage(const QImage& page, std::string& error) { return PrintPages({page}, error); }
};

// The desktop's printers through the Qt print dialog.
std::unique_ptr<Printer> MakeQtPrinter();

// Test double: a scripted dialog answer and a fixed page; every job's pages
// are kept in `jobs`.
class RecordingPrinter : public Printer {
 public:
  bool Available() override { return installed; }
  bool ChoosePrinter(int& copies) override {
    ++dialogsShown;
    presetCopies = copies;
    if (!acceptDialog) return false;
    copies = chosenCopies;
    return true;
  }
  PageGeometry Page() override { return page; }
  bool PrintPages(const std::vector<QImage>& pages, std::string& error) override {
    if (!failure.empty()) {
      error = failure;
      return false;
    }
    jobs.push_back(pages);
    return true;
  }

  bool installed = true;
  bool acceptDialog = true;
  int chosenCopies = 1;
  int presetCopies = -1;
  int dialogsShown = 0;
  std::string failure;  // non-empty: every job fails with this text
  PageGeometry page{1275, 1650, 150, false};
  std::vector<std::vector<QImage>> jobs;
};
