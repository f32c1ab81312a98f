#include "documents/FileCommands.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "display/FlowDisplay.h"
#include "documents/Document.h"
#include "documents/DocumentFile.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "mesh/NumberText.h"
#include "platform/CommandState.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

namespace {

// Online help codes of the file commands.
constexpr int HelpOpen = 2, HelpSaveAs = 3, HelpNew = 15, HelpSave = 16;

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}

// The number in the external-field strength entry; false when the text is not
// one (the same rule as every other entry field: no hexadecimal, no "inf").
bool ConvertStrength(const std::string& text, float& value) {
  double v = 0;
  if (!ParseNumberText(text, v) || !std::isfinite(static_cast<float>(v))) return false;
  value = static_cast<float>(v);
  return true;
}

// Back to idle after a file command: a blank prompt and no command in progress.
void EndCommand(DocumentContext& ctx) {
  ctx.ui.status[3] = " ";
  CancelCommand(ctx.cmd);
  ctx.ui.cursor = CursorShape::Default;
}

}  // namespace

bool SaveDocumentFiles(DocumentContext& ctx, Prompts& prompts, const std::string& fileName) {
  ctx.ui.cursor = CursorShape::Hourglass;
  // Every text is converted before any file is touched.
  float strength = 0;
  if (!ConvertStrength(ctx.doc.ExtfldStrength, strength)) {
    ctx.ui.cursor = CursorShape::Default;
    prompts.Message("The external field strength \"" + ctx.doc.ExtfldStrength +
                    "\" is not a number. The document has not been saved.");
    return false;
  }
  const DocumentImage image =
      CaptureDocument(ctx.table, ctx.mesh, ctx.grid, ctx.display, ctx.doc, strength);
  std::string reason;
  const bool written = SaveDocumentFiles(fileName, image, reason);
  ctx.ui.cursor = CursorShape::Default;
  if (!written) {
    prompts.Message("The document could not be saved (" + reason + "). The files on disk are unchanged.");
    return false;
  }
  ctx.doc.ExternalFieldStrength = strength;
  ctx.doc.DocumentModified = 0;
  return true;
}

bool SaveWithDialog(DocumentContext& ctx, Prompts& prompts) {
  // A named document proposes its own name; an untitled one starts in the data folder.
  const std::string start = ctx.doc.CurrentFileName.empty() ? ctx.doc.DataFolder : ctx.doc.CurrentFileName;
  const std::string name = prompts.SaveFileName(start, DocumentFilter, DocumentExtension);
  if (name.empty()) {
    EndCommand(ctx);
    return false;
  }
  CompanionNames names;
  if (name.find('.') == std::string::npos || !DocumentNames(name, names)) {
    prompts.Message(FileErrorMessage);
    EndCommand(ctx);
    return false;
  }
  if (!SaveDocumentFiles(ctx, prompts, name)) {
    EndCommand(ctx);
    return false;
  }
  ctx.doc.CurrentFileName = name;
  ctx.ui.caption = WindowCaption(ctx.doc);
  EndCommand(ctx);
  return true;
}

void AskSaveChanges(DocumentContext& ctx, WindowServices& services, const DocumentHooks&) {
  const Answer answer = services.Ask().AskYesNoCancel("Save changes to " + WindowCaption(ctx.doc) + "?");
  if (answer == Answer::Yes) {
    const bool saved = ctx.doc.CurrentFileName.empty() ? SaveWithDialog(ctx, services.Ask())
                                                       : SaveDocumentFiles(ctx, services.Ask(), ctx.doc.CurrentFileName);
    // The work is only dropped once it is on disk.
    if (!saved) ctx.doc.SaveCancelled = 1;
  } else if (answer != Answer::No) {
    ctx.doc.SaveCancelled = 1;
  }
}

bool MaySetDocumentAside(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks) {
  if (ctx.doc.DocumentModified == 1) AskSaveChanges(ctx, services, hooks);
  if (ctx.doc.SaveCancelled == 1) {
    ctx.doc.SaveCancelled = 0;
    return false;
  }
  return true;
}

void NewDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks) {
  if (!MaySetDocumentAside(ctx, services, hooks)) return;
  DocumentState& doc = ctx.doc;
  UiState& ui = ctx.ui;
  doc.DocumentModified = 0;
  doc.CurrentFileName.clear();

  ui.helpLabels[0] = " ";
  ui.helpLabels[1] = " ";
  ui.status[2] = "";
  ClearDataLabels(ui);
  doc.Title.clear();
  ui.status[5] = "";

  ResetFlowView(ctx.display);
  Call(hooks.HidePressurePanels);

  ClearAllObjects(ctx.table);

  ui.cursor = CursorShape::Hourglass;
  ui.status[3] = "New file";
  services.ShowOnlineHelp(HelpNew);
  Call(hooks.ClearView);
  if (ctx.grid.ShowGridChecked) {
    if (!ctx.grid.LinesChecked) ctx.grid.GridDotsCode = 17;
    Call(hooks.DrawGrid);
  }

  EnableDocumentCommands(ui);
  // Run waits for a set-up of the new drawing.
  ui[Cmd::MnuAnalyseRun].enabled = false;
  ctx.mesh.SystemReady = false;
  ui.caption = WindowCaption(doc);
  doc.ListBox1Item = -1;
  doc.ListBox2Item = -1;
  doc.ExtfldStrength = "0";
  doc.ExternalFieldStrength = 0.0f;  // the empty document has no external field
  ui.cursor = CursorShape::Default;

  CancelCommand(ctx.cmd);
  ctx.table.ObjectSelected = 0;
  ctx.display.StreamlinesShown = 0;
  doc.DocumentModified = 0;
  ClearAerofoilMaps(ctx.table);
  std::fill(ctx.mesh.SolidMapCoarse.begin(), ctx.mesh.SolidMapCoarse.end(), ' ');
  std::fill(ctx.mesh.SolidMap.begin(), ctx.mesh.SolidMap.end(), ' ');
  services.SaveViewSnapshot();
}

namespace {

// Reads the named document into the program, or reports why it cannot; the
// open command has already begun (labels kept aside in `labelsBefore`).
void OpenNamed(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks, const std::string& name,
               const std::array<std::string, 3>& labelsBefore) {
  UiState& ui = ctx.ui;
  // Everything is read and checked before the current document is touched.
  ui.cursor = CursorShape::Hourglass;
  DocumentImage image;
  std::string reason;
  if (!LoadDocumentFiles(name, ctx.mesh.ViewSize, image, reason)) {
    ctx.cmd.LoadFailed = 1;
    ui.cursor = CursorShape::Default;
    services.Ask().Message(FileErrorMessage, name + ": " + reason + ".");
    ui.dataLabels = labelsBefore;
    EndCommand(ctx);
    return;
  }
  CommitDocument(image, ctx.table, ctx.mesh, ctx.grid, ctx.display, ctx.doc, ui);
  ctx.doc.CurrentFileName = name;
  DrawCommittedDocument(ctx, services, hooks);

  UnlockCommands(ui);
  EndCommand(ctx);
  ctx.doc.DocumentModified = 0;
  ui.caption = WindowCaption(ctx.doc);
}

// The start of File > Open: the save question, then the prompt and the help.
bool BeginOpen(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks,
               std::array<std::string, 3>& labelsBefore) {
  if (!MaySetDocumentAside(ctx, services, hooks)) return false;
  UiState& ui = ctx.ui;
  ui.status[2] = "";
  ui.status[3] = "Load an existing file";
  // The labels describe the selected object; an open that does not happen keeps them.
  labelsBefore = ui.dataLabels;
  ClearDataLabels(ui);
  ctx.cmd.RestampMode = 1;  // re-stamping the loaded aerofoils adds no record
  services.ShowOnlineHelp(HelpOpen);
  return true;
}

}  // namespace

void OpenDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks) {
  std::array<std::string, 3> labelsBefore;
  if (!BeginOpen(ctx, services, hooks, labelsBefore)) return;
  const std::string name = services.Ask().OpenFileName(ctx.doc.DataFolder, DocumentFilter);
  if (name.empty()) {
    ctx.ui.dataLabels = labelsBefore;
    EndCommand(ctx);
    return;
  }
  OpenNamed(ctx, services, hooks, name, labelsBefore);
}

std::string DataFileNameOf(const std::string& given) {
  CompanionNames names;
  if (DocumentNames(given, names)) return given;
  auto endsWith = [&](const char* tail) {
    const std::size_t n = std::char_traits<char>::length(tail);
    if (given.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
      if (std::toupper(static_cast<unsigned char>(given[given.size() - n + i])) != tail[i]) return false;
    return true;
  };
  if (endsWith(".FLG") || endsWith(".TLE")) return given.substr(0, given.size() - 4) + ".QDN";
  return given + ".QDN";
}

void DrawCommittedDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks) {
  services.RedrawView();
  if (ctx.table.AerofoilDataLen > 0) Call(hooks.RestampAerofoils);
  if (ctx.display.SolidFill) Call(hooks.SolidFillSetUp);
  if (ctx.display.StreamlinesShown == 1) Call(hooks.DrawStreamlines);
  services.SaveViewSnapshot();
}

void OpenDocumentFile(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks, const std::string& name) {
  std::array<std::string, 3> labelsBefore;
  if (!BeginOpen(ctx, services, hooks, labelsBefore)) return;
  OpenNamed(ctx, services, hooks, name, labelsBefore);
}

void SaveDocument(DocumentContext& ctx, WindowServices& services) {
  ctx.ui.status[3] = "Save the file";
  services.ShowOnlineHelp(HelpSave);
  if (ctx.doc.CurrentFileName.empty())
    SaveWithDialog(ctx, services.Ask());
  else
    SaveDocumentFiles(ctx, services.Ask(), ctx.doc.CurrentFileName);
  EndCommand(ctx);
  services.Refresh();
}

void SaveDocumentAs(DocumentContext& ctx, WindowServices& services) {
  ctx.ui.status[3] = "Name and save the file";
  services.ShowOnlineHelp(HelpSaveAs);
  services.SaveViewSnapshot();
  SaveWithDialog(ctx, services.Ask());
  services.RestoreViewSnapshot();
}

bool BeginAddTitle(DocumentContext& ctx, WindowServices& services) {
  if (ctx.cmd.Busy()) return false;
  LockCommands(ctx.ui, services, false);
  services.SaveViewSnapshot();
  return true;
}

bool AcceptTitle(DocumentContext& ctx, WindowServices& services, const std::string& text) {
  if (!ValidTitle(text)) {
    services.Ask().Beep();
    return false;
  }
  ctx.doc.Title = text;
  ctx.ui.status[5] = "          " + text;
  services.RestoreViewSnapshot();
  UnlockCommands(ctx.ui);
  return true;
}

void CancelTitle(DocumentContext& ctx, WindowServices& services) {
  services.RestoreViewSnapshot();
  UnlockCommands(ctx.ui);
}
