#include "shell/AppSettings.h"

#include <QSettings>

AppSettings::AppSettings()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Quorvane", "Quorvane")) {}

AppSettings::~AppSettings() = default;

SolverKind AppSettings::Solver() const {
  return settings_->value("solver/kind", "standard").toString() == "fast" ? SolverKind::Fast : SolverKind::Standard;
}

void AppSettings::SetSolver(SolverKind kind) {
  settings_->setValue("solver/kind", kind == SolverKind::Fast ? "fast" : "standard");
  settings_->sync();
}

bool AppSettings::Lift() const { return settings_->value("analysis/lift", false).toBool(); }

void AppSettings::SetLift(bool on) {
  settings_->setValue("analysis/lift", on);
  settings_->sync();
}

std::string AppSettings::FileName() const { return settings_->fileName().toStdString(); }
