// The handlers behind the menus and speed buttons of the main window.
#include "shell/MainWindow.h"
#include "shell/OnlineHelp.h"

namespace {
constexpr const char* HelpFile = "Help/quorvane.html";
constexpr const char* TutorialFile = "Tutorial/tutorial.html";
}  // namespace

void Form1::ConnectCommands() {
  Connect(Cmd::MnuFileExit, [this] { ExitSequence(); });

  // Grid and centre lines.
  auto gridChanged = [this] {
    doc.DocumentModified = 1;
    SaveViewSnapshot();
    ViewChanged();
  };
  Connect(Cmd::MnuToolsDots, [this, gridChanged] {
    ClearHelpLabels(ui);
    ui.cursor = CursorShape::Hourglass;
    if (ChooseGridDots(ViewCanvas(), mesh, grid)) gridChanged();
    ui.cursor = CursorShape::Default;
  });
  Connect(Cmd::MnuToolsLines, [this, gridChanged] {
    ClearHelpLabels(ui);
    ui.cursor = CursorShape::Hourglass;
    if (ChooseGridLines(ViewCanvas(), mesh, grid)) gridChanged();
    ui.cursor = CursorShape::Default;
  });
  Connect(Cmd::MnuToolsShowGrid, [this, gridChanged] {
    ClearHelpLabels(ui);
    ToggleShowGrid(ViewCanvas(), mesh, grid);
    gridChanged();
  });
  Connect(Cmd::Showcentrelines, [this] {
    ToggleCentreLines(ViewCanvas(), mesh, grid);
    SaveViewSnapshot();
    ViewChanged();
  });

  Connect(Cmd::N100, [this] { SetMeshSize(100); });
  Connect(Cmd::N200, [this] { SetMeshSize(200); });
  Connect(Cmd::N300, [this] { SetMeshSize(300); });
  Connect(Cmd::MnuPreferences, [this] { OpenPreferences(); });
  Connect(Cmd::MnuUninstall, [this] { ShowUninstall(); });

  // Help.
  Connect(Cmd::MnuHelpHelp, [this] { OpenHelpFile(HelpFile); });
  Connect(Cmd::MnuHelpTutorial, [this] { OpenHelpFile(TutorialFile); });
  Connect(Cmd::Mnuhelp, [this] {
    ClearHelpLabels(ui);
    doc.DocumentModified = 1;
    onlineHelpOn = !onlineHelpOn;
  });
  Connect(Cmd::MnuHelpTips, [this] { prefs.ShowStartUpTips = !prefs.ShowStartUpTips; });
  Connect(Cmd::MnuHelpWebsite, [this] {
    if (!prompts_->OpenUrl(WebSite)) prompts_->Message(std::string("The desktop could not open ") + WebSite + ".");
  });
  Connect(Cmd::MnuHelpAbout, [this] { ShowAbout(); });
}

bool Form1::SaveForQuestion() {
  if (saveDocument) return saveDocument();
  return false;
}
