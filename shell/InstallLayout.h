// Where the program's files live: the preference files, the help documents and
// the default data folder, decided once at start-up from where the program sits.
#pragma once

#include <string>

// A program started from an installed tree (bin/quorvane with its Help under
// ../share/quorvane) keeps the user's files in the user's own folders: the
// shared tree belongs to the system, and may be written by root alone. Started
// from a build or a portable folder, it keeps them all beside itself.
struct InstallLayout {
  bool installed = false;
  std::string preferenceFolder;   // Pref.PRF and WorkDir.DIR; ends with '/'
  std::string sharedFolder;       // Help/, Tutorial/, and the default preference files; ends with '/'
  std::string defaultDataFolder;  // the data folder until the user chooses one
};

// Everything in one folder: a build, a portable copy, or a test's own folder.
InstallLayout FolderLayout(const std::string& programFolder);

// The layout of a program whose executable is in `executableFolder`. It is
// installed when its Help is not beside it but under ../share/quorvane; the
// preference files then go to `configHome`/Quorvane and the data folder to
// `documentsHome`/Quorvane. Whether any folder is writable plays no part.
InstallLayout LayoutOf(const std::string& executableFolder, const std::string& configHome,
                       const std::string& documentsHome);

// The running program's layout, with the user's configuration and documents
// folders from the desktop's standard locations.
InstallLayout RunningLayout();

// For an installed layout: makes the preference folder and copies into it the
// default preference files the user does not have yet. A folder layout is left
// as it is: its files were put there with the program.
void PrepareUserFolders(const InstallLayout& layout);

// For an installed layout whose data folder is still the default one: makes
// that folder, so that the file dialogs open in it.
void PrepareDataFolder(const InstallLayout& layout, const std::string& dataFolder);
