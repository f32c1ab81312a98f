#include "geometry/History.h"

#include <algorithm>

namespace {
const std::string NoLabel;
}  // namespace

std::size_t DrawingSnapshot::Bytes() const {
  std::size_t n = sizeof(DrawingSnapshot) + title.capacity();
  for (const std::vector<float>& r : records) n += r.capacity() * sizeof(float);
  return n;
}

DrawingSnapshot TakeSnapshot(const ObjectTable& table, const std::string& title) {
  DrawingSnapshot s;
  for (std::int32_t kind = KindRect; kind <= KindAerofoil; ++kind) {
    const std::int32_t length = std::clamp(table.Length(kind), 0, ObjectTable::Capacity(kind));
    s.records[static_cast<std::size_t>(kind)].assign(table.Data(kind), table.Data(kind) + length);
  }
  s.ObjectSelected = table.ObjectSelected;
  s.SelectedKind = table.SelectedKind;
  s.SelectedIndex = table.SelectedIndex;
  s.SelectedEdge = table.SelectedEdge;
  s.SelectedAerofoil = table.SelectedAerofoil;
  s.SelectedAerofoilOffset = table.SelectedAerofoilOffset;
  s.SelectedRecord = table.SelectedRecord;
  s.title = title;
  return s;
}

void RestoreSnapshot(const DrawingSnapshot& s, ObjectTable& table, std::string& title,
                     const AerofoilProfile& profile) {
  for (std::int32_t kind = KindRect; kind <= KindAerofoil; ++kind) {
    const std::vector<float>& r = s.records[static_cast<std::size_t>(kind)];
    const std::int32_t length = std::min(static_cast<std::int32_t>(r.size()), ObjectTable::Capacity(kind));
    std::copy_n(r.begin(), length, table.Data(kind));
    std::fill(table.Data(kind) + length, table.Data(kind) + ObjectTable::Capacity(kind), 0.0f);
    table.Length(kind) = length;
  }
  table.ObjectSelected = s.ObjectSelected;
  table.SelectedKind = s.SelectedKind;
  table.SelectedIndex = s.SelectedIndex;
  table.SelectedEdge = s.SelectedEdge;
  table.SelectedAerofoil = s.SelectedAerofoil;
  table.SelectedAerofoilOffset = s.SelectedAerofoilOffset;
  table.SelectedRecord = s.SelectedRecord;
  title = s.title;
  StampAerofoilMaps(table, profile);
}

void DrawingHistory::Record(std::string label, DrawingSnapshot before) {
  redo_.clear();
  undo_.push_back({std::move(label), std::move(before)});
  while (undo_.size() > limit_) undo_.pop_front();
}

const std::string& DrawingHistory::UndoLabel() const { return undo_.empty() ? NoLabel : undo_.back().label; }
const std::string& DrawingHistory::RedoLabel() const { return redo_.empty() ? NoLabel : redo_.back().label; }

bool DrawingHistory::Undo(const DrawingSnapshot& now, DrawingSnapshot& restore) {
  if (undo_.empty()) return false;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  restore = std::move(step.state);
  redo_.push_back({std::move(step.label), now});
  return true;
}

bool DrawingHistory::Redo(const DrawingSnapshot& now, DrawingSnapshot& restore) {
  if (redo_.empty()) return false;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  restore = std::move(step.state);
  undo_.push_back({std::move(step.label), now});
  return true;
}

void DrawingHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

std::size_t DrawingHistory::Bytes() const {
  std::size_t n = sizeof(*this);
  for (const auto* list : {&undo_, &redo_})
    for (const Step& s : *list) n += s.state.Bytes() + s.label.capacity();
  return n;
}
