// GeometryState: the working state of drawing, selecting and creating objects
// that lives between two mouse events (rounded corners, the hit test, the rubber
// band on the view, the guidelines drawn since the last redraw), the hooks
// through which the view's procedures reach the other subsystems, and
// ViewScene, the set of state structs (and the window's services) those
// procedures work on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "geometry/AerofoilProfile.h"
#include "geometry/ObjectTable.h"
#include "mesh/GridState.h"
#include "mesh/Mesh.h"
#include "platform/CommandState.h"
#include "platform/WindowServices.h"

// What the other subsystems do for the geometry procedures. Every hook may be
// left empty: it is then simply not called (the tests run without them).
struct ViewHooks {
  // Hides the entry panels' widgets as they close (the snapshot goes back over
  // the view through the window's services right after).
  std::function<void()> CloseEntryPanels;
  // Clears what other subsystems lose with a command-state reset
  // (StreamlinesShown); runs when Escape cancels a command.
  std::function<void()> OnCommandStateReset;
  // The gauge read-out at the end of every mouse read-out.
  std::function<void(float x, float y)> GaugeReadout;
  // The plot line of the gauge, with no command in progress: down records the
  // start; move and up return true when they took the event.
  std::function<void(float x, float y)> PlotLineDown;
  std::function<bool(float x, float y)> PlotLineMove;
  std::function<bool(float x, float y)> PlotLineUp;
  // The armed edit commands (copy, move, rotate, size): the preview while
  // the mouse moves and the commit when the button is released.
  std::function<void(float x, float y)> EditPreview;
  std::function<void(float x, float y)> EditCommit;
};

// Where the outlines land: the view (identity), or a printer page with its
// origin, the printer cell size over the screen one, and its pen unit.
struct DrawTarget {
  bool printer = false;
  std::int32_t originX = 0, originY = 0;
  float scale = 1.0f;
  std::int32_t penScale = 1;
};

struct Guideline {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const Guideline&) const = default;
};

struct GeometryState {
  // Corners of NewShape and of SelectedRecord, rounded to pixels.
  std::array<std::int32_t, 4> CornerX{}, CornerY{};
  std::array<std::int32_t, 4> SelCornerX{}, SelCornerY{};
  // Hit test of one click.
  float BestHitMeasure = 0;
  std::int32_t HitEdge = 0;
  std::int32_t CornerHit = 0;
  std::array<float, 4> EdgeMeasures{};
  // The rubber band exactly as it stands on the view, so that it is erased
  // where it was drawn even when a click came between two mouse moves: the end
  // of the line from the first point, the three sides' corners 3 and 4, the
  // box of the circle.
  std::int32_t BandLineX = 0, BandLineY = 0;
  std::array<std::int32_t, 4> BandSides{};
  std::array<std::int32_t, 4> BandCircle{};
  // Where a drag started: the mouse position while no rubber band is drawn.
  float DragStartX = 0, DragStartY = 0;
  // Guidelines on the view since the last full redraw (they are pixels only and
  // go with the next redraw).
  std::vector<Guideline> Guidelines;

  // The unrotated wing profile every aerofoil map is stamped from,
  // [row k × 20 + column m] with k along the chord; the aerofoil being rebuilt
  // while a loaded document's aerofoils are re-stamped; the angle panel.
  AerofoilProfile AerofoilTemplate{};
  std::int32_t RestampOffset = 0;
  bool AerosizeVisible = false;
  std::int32_t AeroRotPosition = 0;  // -20 .. +20 degrees

  // The drag of an armed Copy / Move / Rotate / Size and what its preview
  // left on the view, so that the next preview or the commit erases exactly it.
  struct EditDrag {
    float DragCentreX = 0, DragCentreY = 0;
    std::array<float, 8> StartRelCorners{}, RelCorners{};
    float RelMinX = 0, RelMaxX = 0, RelMinY = 0, RelMaxY = 0;
    float MouseAngle = 0, ShapeAngle = 0, SizeFactor = 1, StartRadius = 0, CircleScale = 1;
    bool StartRadiusTaken = false;
    std::int32_t PreviewDrawn = 0;
    std::array<std::int32_t, 8> PreviewCorners{};  // polygon preview, pixels
    std::array<std::int32_t, 4> PreviewBox{};      // circle preview, pixels
    float CircleX = 0, CircleY = 0;                // last accepted circle preview
    std::int32_t IndicatorDrawn = 0;               // rotation angle indicator
    std::array<std::int32_t, 4> Indicator{};       // mouse end, arc end
    std::array<std::int32_t, 4> ReferenceLine{};
    std::int32_t ShiftX = 0, ShiftY = 0;           // aerofoil preview, cells
    std::array<std::int32_t, 4> AerofoilBox{};     // occupied cells: min i, max i, min j, max j
  } drag;

  ViewHooks hooks;
};

// The state structs of the program that the view's procedures read and write,
// and the window's services they call; the main window builds it once from the
// instances it owns (and itself).
struct ViewScene {
  ObjectTable& table;
  GeometryState& geometry;
  CommandState& command;
  MouseState& mouse;
  const Mesh& mesh;
  GridState& grid;
  std::int32_t& DocumentModified;  // DocumentState::DocumentModified
  WindowServices& services;
  // DocumentState::ShowValues: write each object's value field beside it
  // (only documents that ask for it; none given reads as 0).
  const std::int32_t* ShowValues = nullptr;
};

// An add or edit command, or one of its panels, is in progress (the gauge's
// plot line and the mesh set-up are not commands of the view).
bool AnyCommand(const CommandState& command);
