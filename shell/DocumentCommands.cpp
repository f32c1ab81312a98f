// File > New / Open / Save / Save As and the title panel in the main window.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "display/Streamlines.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/Grid.h"
#include "shell/MainWindow.h"
#include "shell/RecoveryKeeper.h"

void Form1::ConnectDocumentCommands() {
  DocumentHooks& h = documentHooks;
  h.ClearView = [this] { ClearView(ViewCanvas(), mesh); };
  h.DrawGrid = [this] { DrawCurrentGrid(ViewCanvas(), mesh, grid); };
  h.HidePressurePanels = [this] {
    display.BdisplayVisible = false;
    display.BFilterVisible = false;
  };
  h.SolidFillSetUp = [this] {
    cmd.RestampMode = 1;
    SetUpMesh();
    cmd.RestampMode = 0;
  };
  h.DrawStreamlines = [this] { DrawStreamlines(ViewCanvas(), mesh, display, ui, *this, flowHooks); };

  saveDocument = [this] {
    if (doc.CurrentFileName.empty()) return SaveWithDialog(documentContext, *prompts_);
    return SaveDocumentFiles(documentContext, *prompts_, doc.CurrentFileName);
  };

  auto newFile = [this] { FileNew(); };
  Connect(Cmd::MnuFileNew, newFile);
  Connect(Cmd::SpeedButton19, newFile);
  auto open = [this] {
    OpenDocument(documentContext, *this, documentHooks);
    ViewChanged();
  };
  Connect(Cmd::MnuFileOpen, open);
  Connect(Cmd::SpeedButton2, open);
  Connect(Cmd::MnuFileSave, [this] { SaveDocument(documentContext, *this); });
  auto saveAs = [this] { SaveDocumentAs(documentContext, *this); };
  Connect(Cmd::MnuFileSaveAs, saveAs);
  Connect(Cmd::SpeedButton1, saveAs);

  Connect(Cmd::MnuTitleAdd, [this] {
    if (!BeginAddTitle(documentContext, *this)) return;
    TitleText->setText(QString::fromStdString(doc.Title));
    TitleFrame->move(mesh.ViewRight, mesh.ViewTop);
    TitleFrame->show();
    TitleFrame->raise();
    TitleText->setFocus();
  });
  auto accept = [this] {
    if (AcceptTitle(documentContext, *this, TitleText->text().toStdString()))
      TitleFrame->hide();
    else
      TitleText->setFocus();
    SyncUi();
  };
  connect(TitleOK, &QPushButton::clicked, this, accept);
  connect(TitleText, &QLineEdit::returnPressed, this, accept);
  connect(TitleCancel, &QPushButton::clicked, this, [this] {
    CancelTitle(documentContext, *this);
    TitleFrame->hide();
    SyncUi();
  });
}

void Form1::OpenNamedDocument(const std::string& name) {
  // The view is laid out for good before a document is drawn on it.
  if (shownOnce_) viewSettled_ = true;
  std::error_code ec;
  const std::string path = std::filesystem::absolute(DataFileNameOf(name), ec).string();
  NoteDocumentBeforeOpen();
  OpenDocumentFile(documentContext, *this, documentHooks, ec ? DataFileNameOf(name) : path);
  DocumentReplacedIfOpened();
  RememberRecentDocument();
  ViewChanged();
  SyncUi();
  recovery->Check();
}
