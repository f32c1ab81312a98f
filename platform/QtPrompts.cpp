#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <cctype>
#include <filesystem>
#include <system_error>

std::string DialogStartFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  if (folder.empty()) return folder;
  std::error_code ec;
  fs::path at = fs::path(folder).lexically_normal();
  while (!at.empty()) {
    if (fs::is_directory(at, ec)) return at.string();
    const fs::path up = at.parent_path();
    if (up == at) break;
    at = up;
  }
  return {};
}

SaveDialogStart SaveDialogStartFor(const std::string& path, const std::string& extension) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(path);
  const auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  if (!path.empty() && !fs::is_directory(p, ec) && !extension.empty() &&
      lower(p.extension().string()) == "." + lower(extension))
    return {DialogStartFolder(p.parent_path().string()), p.filename().string()};
  return {DialogStartFolder(path), {}};
}

void QtPrompts::Beep() { QApplication::beep(); }

void QtPrompts::Message(const std::string& text, const std::string& detail) {
  QMessageBox box(QMessageBox::Warning, "Quorvane", QString::fromStdString(text), QMessageBox::Ok, parent_);
  if (!detail.empty()) box.setInformativeText(QString::fromStdString(detail));
  box.exec();
}

Answer QtPrompts::AskYesNoCancel(const std::string& text) {
  const auto b = QMessageBox::question(parent_, "Quorvane", QString::fromStdString(text),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                       QMessageBox::Yes);
  if (b == QMessageBox::Yes) return Answer::Yes;
  if (b == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

Answer QtPrompts::AskYesNo(const std::string& text) {
  const auto b = QMessageBox::question(parent_, "Quorvane", QString::fromStdString(text),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
  return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::string QtPrompts::OpenFileName(const std::string& folder, const std::string& filter) {
  return QFileDialog::getOpenFileName(parent_, "Open File",
                                      QString::fromStdString(DialogStartFolder(folder)),
                                      QString::fromStdString(filter))
      .toStdString();
}

std::string QtPrompts::SaveFileName(const std::string& folder, const std::string& filter,
                                    const std::string& defaultExtension) {
  const SaveDialogStart start = SaveDialogStartFor(folder, defaultExtension);
  QFileDialog dialog(parent_, "SaveAs", QString::fromStdString(start.folder), QString::fromStdString(filter));
  if (!start.fileName.empty()) dialog.selectFile(QString::fromStdString(start.fileName));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

bool QtPrompts::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool QtPrompts::OpenDocument(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::string QtPrompts::ChooseFolder(const std::string& folder) {
  return QFileDialog::getExistingDirectory(parent_, "Data folder",
                                           QString::fromStdString(DialogStartFolder(folder)))
      .toStdString();
}
