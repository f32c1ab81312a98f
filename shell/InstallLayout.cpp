#include "shell/InstallLayout.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <filesystem>

#include "documents/Preferences.h"

namespace fs = std::filesystem;

namespace {

// The file whose presence marks the folder that holds the help documents.
constexpr const char* HelpMarker = "Help/quorvane.html";
constexpr const char* SharedSubfolder = "share/quorvane";
constexpr const char* UserSubfolder = "Quorvane";

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

InstallLayout FolderLayout(const std::string& programFolder) {
  InstallLayout layout;
  layout.preferenceFolder = WithSeparator(programFolder);
  layout.sharedFolder = layout.preferenceFolder;
  layout.defaultDataFolder = layout.preferenceFolder + "Data";
  return layout;
}

InstallLayout LayoutOf(const std::string& executableFolder, const std::string& configHome,
                       const std::string& documentsHome) {
  const std::string programFolder = WithSeparator(executableFolder);
  // Help beside the program marks a build or a portable copy, even when it
  // happens to sit in a bin/ folder next to an installed tree.
  if (IsFile(fs::path(programFolder) / HelpMarker)) return FolderLayout(programFolder);
  const fs::path shared = (fs::path(programFolder) / ".." / SharedSubfolder).lexically_normal();
  if (!IsFile(shared / HelpMarker)) return FolderLayout(programFolder);
  InstallLayout layout;
  layout.installed = true;
  layout.sharedFolder = WithSeparator(shared.string());
  layout.preferenceFolder = WithSeparator(WithSeparator(configHome) + UserSubfolder);
  layout.defaultDataFolder = WithSeparator(documentsHome) + UserSubfolder;
  return layout;
}

InstallLayout RunningLayout() {
  std::string documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
  if (documents.empty()) documents = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
  return LayoutOf(QCoreApplication::applicationDirPath().toStdString(),
                  QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString(), documents);
}

void PrepareUserFolders(const InstallLayout& layout) {
  if (!layout.installed) return;
  std::error_code ec;
  fs::create_directories(layout.preferenceFolder, ec);
  // A failure here shows later, where the files are read or written.
  for (const char* name : {PrefFileName, DataFolderFileName}) {
    const fs::path target = fs::path(layout.preferenceFolder) / name;
    const fs::path source = fs::path(layout.sharedFolder) / name;
    if (!fs::exists(target, ec) && IsFile(source)) fs::copy_file(source, target, ec);
  }
}

void PrepareDataFolder(const InstallLayout& layout, const std::string& dataFolder) {
  if (!layout.installed || dataFolder != layout.defaultDataFolder) return;
  std::error_code ec;
  fs::create_directories(dataFolder, ec);
}
