// File > Open Recent and File > Export in the main window: the documents last
// opened or saved, kept in the program's own settings file, and the view, the
// line plot's samples and the stream function written out whole.
#include <QBuffer>
#include <QMenu>
#include <filesystem>

#include "display/FlowField.h"
#include "display/LinePlot.h"
#include "documents/WholeFile.h"
#include "shell/GaugeCommands.h"
#include "shell/MainWindow.h"

namespace {

// The file name the user gives an export, with its extension added when left out.
std::string ExportName(Prompts& prompts, const std::string& folder, const char* filter, const char* extension) {
  std::string name = prompts.SaveFileName(folder, filter, extension);
  if (name.empty()) return name;
  const std::string dotted = std::string(".") + extension;
  if (std::filesystem::path(name).extension().string().empty()) name += dotted;
  return name;
}

}  // namespace

void Form1::MnuFileExportViewClick() {
    const std::string name = ExportName(*prompts_, doc.DataFolder, "PNG pictures (*.png)", "png");
    if (name.empty()) return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    std::string error;
    if (!ViewCanvas().Image().save(&buffer, "PNG")) {
      prompts_->Message("The view could not be exported.", name + ": the picture could not be encoded as PNG.");
      return;
    }
    if (!WriteFileWhole(name, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error))
      prompts_->Message("The view could not be exported.", error + ".");
}

void Form1::MnuFileExportPlotClick() {
    if (plot.PlotSampleLast < 0) {
      prompts_->Message("There is no line plot to export yet: open the gauge and drag a line across the flow.");
      return;
    }
    const std::string name = ExportName(*prompts_, doc.DataFolder, "CSV files (*.csv)", "csv");
    std::string error;
    if (!name.empty() && !WriteFileWhole(name, PlotSamplesCsv(plot), error))
      prompts_->Message("The plot data could not be exported.", error + ".");
}

void Form1::MnuFileExportPsiClick() {
    if (display.StreamlinesShown != 1 || !HoldsFlowField(mesh)) {
      prompts_->Message("There is no solution to export yet: run the analysis first.");
      return;
    }
    const std::string name = ExportName(*prompts_, doc.DataFolder, "CSV files (*.csv)", "csv");
    std::string error;
    if (!name.empty() && !WriteFileWhole(name, VisibleFieldCsv(mesh, mesh.StreamFunction, false), error))
      prompts_->Message("The stream function could not be exported.", error + ".");
}

void Form1::FillRecentMenu(QMenu* menu) {
  menu->clear();
  const std::vector<std::string> names = appSettings.RecentDocuments();
  if (names.empty()) menu->addAction("(none)")->setEnabled(false);
  int n = 0;
  for (const std::string& name : names) {
    QAction* a = menu->addAction(QString("&%1 %2").arg(++n).arg(QString::fromStdString(name)));
    connect(a, &QAction::triggered, this, [this, name] {
      // As locked as the File menu it sits in.
      if (!ui[Cmd::MnuFile].enabled || Busy()) return;
      std::error_code ec;
      if (!std::filesystem::exists(name, ec)) {
        appSettings.RemoveRecentDocument(name);
        prompts_->Message("The document " + name + " is no longer there. It has been taken off the list.");
        return;
      }
      OpenNamedDocument(name);
    });
  }
}

void Form1::RememberRecentDocument() {
  const std::string& name = doc.CurrentFileName;
  if (name.empty() || doc.DocumentModified != 0 || name == lastRecentDocument_) return;
  lastRecentDocument_ = name;
  appSettings.AddRecentDocument(name);
}
