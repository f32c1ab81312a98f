// AppSettings: the program's own settings file, for what goes beyond the
// preference files (which solver, lift, recovery, recent documents). An INI
// file in the user's configuration folder (QSettings, organisation and
// application "Quorvane"); Pref.PRF and the documents never carry these.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mesh/Solver.h"

class QSettings;

class AppSettings {
 public:
  AppSettings();
  ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  SolverKind Solver() const;
  void SetSolver(SolverKind kind);
  bool Lift() const;
  void SetLift(bool on);

  // File > Open Recent: the documents last opened or saved, newest first.
  static constexpr int RecentLimit = 6;
  std::vector<std::string> RecentDocuments() const;
  // `name` to the front of the list (once), the list held to RecentLimit.
  void AddRecentDocument(const std::string& name);
  void RemoveRecentDocument(const std::string& name);

  // Where the file lies (for messages and tests).
  std::string FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};
