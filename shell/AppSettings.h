// AppSettings: the program's own settings file, for what goes beyond the
// preference files (which solver, lift, recovery, recent documents). An INI
// file in the user's configuration folder (QSettings, organisation and
// application "Quorvane"); Pref.PRF and the documents never carry these.
#pragma once

#include <memory>
#include <string>

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

  // Where the file lies (for messages and tests).
  std::string FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};
