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

std::vector<std::string> AppSettings::RecentDocuments() const {
  std::vector<std::string> names;
  for (const QString& n : settings_->value("recent/documents").toStringList()) names.push_back(n.toStdString());
  return names;
}

void AppSettings::AddRecentDocument(const std::string& name) {
  QStringList names = settings_->value("recent/documents").toStringList();
  names.removeAll(QString::fromStdString(name));
  names.prepend(QString::fromStdString(name));
  while (names.size() > RecentLimit) names.removeLast();
  settings_->setValue("recent/documents", names);
  settings_->sync();
}

void AppSettings::RemoveRecentDocument(const std::string& name) {
  QStringList names = settings_->value("recent/documents").toStringList();
  names.removeAll(QString::fromStdString(name));
  settings_->setValue("recent/documents", names);
  settings_->sync();
}

std::string AppSettings::FileName() const { return settings_->fileName().toStdString(); }
