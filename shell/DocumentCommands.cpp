// File > New / Open / Save / Save As and the title panel in the main window.
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "shell/MainWindow.h"
#include "shell/Panels.h"
#include "shell/RecoveryKeeper.h"

void Form1::MnuFileNewClick() { FileNew(); }

void Form1::MnuFileOpenClick() {
  OpenDocument(documentContext, *this, documentHooks);
  ViewChanged();
}

void Form1::MnuFileSaveClick() { SaveDocument(documentContext, *this); }
void Form1::MnuFileSaveAsClick() { SaveDocumentAs(documentContext, *this); }

void Form1::MnuTitleAddClick() {
  if (!BeginAddTitle(documentContext, *this)) return;
  TitleFrame->TitleText->setText(QString::fromStdString(doc.Title));
  TitleFrame->move(mesh.ViewRight, mesh.ViewTop);
  TitleFrame->show();
  TitleFrame->raise();
  TitleFrame->TitleText->setFocus();
}

void Form1::TitleOKClick() {
  if (AcceptTitle(documentContext, *this, TitleFrame->TitleText->text().toStdString()))
    TitleFrame->hide();
  else
    TitleFrame->TitleText->setFocus();
}

void Form1::TitleCancelClick() {
  CancelTitle(documentContext, *this);
  TitleFrame->hide();
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
  recovery_->Check();
}
