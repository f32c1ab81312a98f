// History: undo and redo of the changes to the drawing. A step keeps what is
// needed to rebuild the drawing as it was before a command: the used records of
// every kind, the selection and the title; the aerofoil maps are stamped again
// from their records, as opening a document does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "geometry/AerofoilProfile.h"
#include "geometry/ObjectTable.h"

struct DrawingSnapshot {
  std::array<std::vector<float>, 7> records;  // the used part of each kind's array, by kind code
  std::int32_t ObjectSelected = 0, SelectedKind = 0, SelectedIndex = 0, SelectedEdge = 0;
  std::int32_t SelectedAerofoil = 0, SelectedAerofoilOffset = 0;
  std::array<float, 10> SelectedRecord{};
  std::string title;

  bool operator==(const DrawingSnapshot&) const = default;
  // Whether the objects themselves are the same (selection and title aside).
  bool SameObjects(const DrawingSnapshot& other) const { return records == other.records; }
  std::size_t Bytes() const;
};

DrawingSnapshot TakeSnapshot(const ObjectTable& table, const std::string& title);
// Puts a snapshot back: the records and lengths, the selection, the title, and
// the aerofoil maps stamped anew from the records.
void RestoreSnapshot(const DrawingSnapshot& snapshot, ObjectTable& table, std::string& title,
                     const AerofoilProfile& profile);

class DrawingHistory {
 public:
  static constexpr std::size_t DefaultLimit = 100;
  explicit DrawingHistory(std::size_t limit = DefaultLimit) : limit_(limit) {}

  // A command named `label` changed the drawing from `before`: a new step,
  // the steps that could be redone are dropped, the oldest beyond the limit go.
  void Record(std::string label, DrawingSnapshot before);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  const std::string& UndoLabel() const;
  const std::string& RedoLabel() const;
  // The state to put back, given the state now (which the opposite list keeps);
  // false when there is no step.
  bool Undo(const DrawingSnapshot& now, DrawingSnapshot& restore);
  bool Redo(const DrawingSnapshot& now, DrawingSnapshot& restore);
  void Clear();
  std::size_t Steps() const { return undo_.size(); }
  std::size_t Bytes() const;

 private:
  struct Step {
    std::string label;
    DrawingSnapshot state;
  };
  std::size_t limit_;
  std::deque<Step> undo_, redo_;
};
