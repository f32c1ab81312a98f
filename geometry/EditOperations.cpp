#include "geometry/EditOperations.h"

#include <algorithm>
#include <cmath>

#include "geometry/Creation.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/Grid.h"

namespace {

using Drag = GeometryState::EditDrag;

constexpr int OutlineWidth = 2;
constexpr float Pi = 3.1415925f;

bool IsPolygon(std::int32_t k) { return k == KindRect || k == KindMagnet || k == KindCoil; }
bool IsRound(std::int32_t k) { return k == KindCircle || k == KindSolenoid; }
bool Sizing(const CommandState& c) { return c.StretchActive || c.TrapezoidActive || c.ExpandActive; }

void Snapshot(ViewScene& s) {
  s.services.SaveViewSnapshot();
}
void Help(ViewScene& s, int code) {
  s.services.ShowOnlineHelp(code);
}
void PreviewPen(Canvas& c) { c.SetPen(ObjectColours::RubberBand, 1, PenMode::NotXor, PenStyle::Solid); }

// The selected record names a record that exists.
bool SelectionValid(const ObjectTable& t) {
  if (!t.ObjectSelected) return false;
  const std::int32_t kind = t.SelectedKind;
  if (kind < KindRect || kind > KindAerofoil) return false;
  const std::int32_t size = ObjectTable::RecordSize(kind);
  const std::int32_t at = kind == KindAerofoil ? t.SelectedAerofoilOffset : t.SelectedIndex;
  if (at < 0 || at % size != 0 || at + size > t.Length(kind)) return false;
  return kind != KindAerofoil || t.SelectedAerofoil == at / AerofoilRecordSize + 1;
}

// The pole marker of the magnetic kinds, as the object drawing makes it: a
// small arc at the middle of the first and of the third edge.
void PoleMarkerAt(Canvas& c, int ax, int ay, int bx, int by) {
  const int mx = (ax + bx) / 2, my = (ay + by) / 2;
  constexpr int r = 3;
  c.Arc(mx - r, my - r, mx + r + 1, my + r + 1, ax, ay, bx, by);
}

// One outline of a record with the pen in force, pixel for pixel as the
// object drawing draws it, so that drawing it again takes it away.
void RecordOutline(Canvas& c, std::int32_t kind, const float* r) {
  if (IsPolygon(kind)) {
    int xs[4], ys[4];
    for (int k = 0; k < 4; ++k) {
      xs[k] = RoundPixel(r[2 * k]);
      ys[k] = RoundPixel(r[2 * k + 1]);
    }
    c.MoveTo(xs[0], ys[0]);
    for (int k = 1; k <= 4; ++k) c.LineTo(xs[k % 4], ys[k % 4]);
    if (kind != KindRect) {
      PoleMarkerAt(c, xs[0], ys[0], xs[1], ys[1]);
      PoleMarkerAt(c, xs[2], ys[2], xs[3], ys[3]);
    }
  } else if (IsRound(kind)) {
    c.SetBrush(Colours::White, BrushStyle::Clear);
    c.Ellipse(RoundPixel(r[0] - r[3]), RoundPixel(r[1] - r[3]), RoundPixel(r[0] + r[3]), RoundPixel(r[1] + r[3]));
  } else if (kind == KindWire) {
    const int cx = RoundPixel(r[0] - 1), cy = RoundPixel(r[1] - 1);
    DrawWireSymbol(c, cx, cy, WireHalfSide, r[2]);
  }
}

// The selected object's outline once in red: draws the selection, or takes
// a drawn one away.
void RedOutline(ViewScene& s, Canvas& c) {
  ObjectTable& t = s.table;
  if (t.SelectedKind == KindAerofoil) {
    DrawAerofoil(t, s.mesh, c, t.SelectedAerofoilOffset, "red");
    return;
  }
  c.SetPen(ObjectColours::Selected, OutlineWidth, PenMode::NotXor, PenStyle::Solid);
  RecordOutline(c, t.SelectedKind, t.SelectedRecord.data());
}

// ------------------------------------------------------------ drag state

void BeginDrag(ViewScene& s) {
  Drag& d = s.geometry.drag;
  const auto& r = s.table.SelectedRecord;
  d = Drag{};
  if (IsPolygon(s.table.SelectedKind)) {
    d.DragCentreX = (r[0] + r[2] + r[4] + r[6]) / 4;
    d.DragCentreY = (r[1] + r[3] + r[5] + r[7]) / 4;
    for (int k = 0; k < 4; ++k) {
      d.StartRelCorners[2 * k] = r[2 * k] - d.DragCentreX;
      d.StartRelCorners[2 * k + 1] = r[2 * k + 1] - d.DragCentreY;
    }
    d.RelCorners = d.StartRelCorners;
    const auto& q = d.StartRelCorners;
    d.RelMinX = std::min({q[0], q[2], q[4], q[6]});
    d.RelMaxX = std::max({q[0], q[2], q[4], q[6]});
    d.RelMinY = std::min({q[1], q[3], q[5], q[7]});
    d.RelMaxY = std::max({q[1], q[3], q[5], q[7]});
    d.ShapeAngle = ScreenAngle(q[2] - q[0], q[3] - q[1]);
  } else if (IsRound(s.table.SelectedKind)) {
    d.CircleX = r[0];
    d.CircleY = r[1];
  }
}

bool CornersInside(const Mesh& m, const std::array<float, 8>& corners) {
  for (int k = 0; k < 4; ++k)
    if (!InsideDrawArea(m, corners[2 * k], corners[2 * k + 1])) return false;
  return true;
}

std::array<float, 8> Absolute(float cx, float cy, const std::array<float, 8>& rel) {
  std::array<float, 8> a{};
  for (int k = 0; k < 4; ++k) {
    a[2 * k] = cx + rel[2 * k];
    a[2 * k + 1] = cy + rel[2 * k + 1];
  }
  return a;
}

bool SidesLongEnough(const Mesh& m, const std::array<float, 8>& a) {
  for (int k = 0; k < 4; ++k) {
    const int n = (k + 1) % 4;
    if (!(std::hypot(a[2 * k] - a[2 * n], a[2 * k + 1] - a[2 * n + 1]) > 2 * m.CellWidth)) return false;
  }
  return true;
}

void DrawPreviewPolygon(Canvas& c, const std::array<std::int32_t, 8>& p) {
  c.MoveTo(p[0], p[1]);
  for (int k = 1; k <= 4; ++k) c.LineTo(p[2 * (k % 4)], p[2 * (k % 4) + 1]);
}

void ErasePolygonPreview(ViewScene& s, Canvas& c) {
  Drag& d = s.geometry.drag;
  if (!d.PreviewDrawn) return;
  PreviewPen(c);
  DrawPreviewPolygon(c, d.PreviewCorners);
  d.PreviewDrawn = 0;
}

void ShowPolygonPreview(ViewScene& s, Canvas& c, const std::array<float, 8>& a) {
  Drag& d = s.geometry.drag;
  ErasePolygonPreview(s, c);
  for (int n = 0; n < 8; ++n) d.PreviewCorners[n] = RoundPixel(a[n]);
  PreviewPen(c);
  DrawPreviewPolygon(c, d.PreviewCorners);
  d.PreviewDrawn = 1;
  s.command.RubberBandDrawn = 1;
  std::copy(a.begin(), a.end(), s.table.NewShape.begin());
}

// Rotation: the short horizontal mark the angle is measured from, and the
// indicator from the centre to the mouse with its arc.
void ReferenceLine(ViewScene& s, Canvas& c) {
  const auto& l = s.geometry.drag.ReferenceLine;
  PreviewPen(c);
  c.MoveTo(l[0], l[1]);
  c.LineTo(l[2], l[3]);
}

void Indicator(ViewScene& s, Canvas& c) {
  const Drag& d = s.geometry.drag;
  const int cx = RoundPixel(d.DragCentreX), cy = RoundPixel(d.DragCentreY);
  const int r = RoundPixel(5 * s.mesh.CellWidth);
  PreviewPen(c);
  c.MoveTo(cx, cy);
  c.LineTo(d.Indicator[0], d.Indicator[1]);
  if (d.Indicator[0] != cx || d.Indicator[1] != cy)
    c.Arc(cx - r, cy - r, cx + r, cy + r, cx + r, cy, d.Indicator[0], d.Indicator[1]);
}

void EraseIndicator(ViewScene& s, Canvas& c) {
  Drag& d = s.geometry.drag;
  if (!d.IndicatorDrawn) return;
  Indicator(s, c);
  d.IndicatorDrawn = 0;
}

// The relative corners the armed polygon command makes of mouse (x, y).
std::array<float, 8> CommandCorners(ViewScene& s, float x, float y) {
  Drag& d = s.geometry.drag;
  const CommandState& cmd = s.command;
  std::array<float, 8> rel = d.StartRelCorners;
  if (cmd.RotateActive) {
    const float angle = ScreenAngle(x - d.DragCentreX, y - d.DragCentreY);
    for (int k = 0; k < 4; ++k) RotateBy(angle, rel[2 * k], rel[2 * k + 1]);
    d.MouseAngle = angle;
  } else if (Sizing(cmd)) {
    if (!d.StartRadiusTaken) {
      d.StartRadius = std::hypot(d.StartRelCorners[0], d.StartRelCorners[1]);
      d.StartRadiusTaken = true;
    }
    const float dist = std::hypot(x - d.DragCentreX, y - d.DragCentreY);
    const float f = d.StartRadius > 0 ? dist / d.StartRadius : 1.0f;
    d.SizeFactor = f;
    for (int k = 0; k < 4; ++k) {
      float& px = rel[2 * k];
      float& py = rel[2 * k + 1];
      if (cmd.ExpandActive) {
        px *= f;
        py *= f;
        continue;
      }
      // With the first edge laid horizontal the sides across it are the y.
      RotateBy(-d.ShapeAngle, px, py);
      if (cmd.StretchActive || k == 1 || k == 3) py *= f;
      RotateBy(d.ShapeAngle, px, py);
    }
  }
  return rel;
}

// The absolute corners for mouse (x, y): the centroid goes with the mouse for
// Move and Copy and stays for the others.
std::array<float, 8> CornersFor(ViewScene& s, float x, float y) {
  Drag& d = s.geometry.drag;
  const bool carried = s.command.MoveActive || s.command.CopyActive;
  const std::array<float, 8> rel = CommandCorners(s, x, y);
  d.RelCorners = rel;
  return carried ? Absolute(x, y, rel) : Absolute(d.DragCentreX, d.DragCentreY, rel);
}

void PolygonPreview(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  Drag& d = s.geometry.drag;
  const std::array<float, 8> a = CornersFor(s, x, y);
  if (!CornersInside(s.mesh, a)) {
    s.services.Ask().Beep();
    return;
  }
  if (s.command.RotateActive) EraseIndicator(s, c);
  ShowPolygonPreview(s, c, a);
  if (s.command.RotateActive) {
    d.Indicator = {RoundPixel(x), RoundPixel(y), 0, 0};
    Indicator(s, c);
    d.IndicatorDrawn = 1;
    ui.status[2] = RotationText(a[0] - a[2], a[1] - a[3]);
  }
}

// Ends a committed edit: the object stays selected, the command is over.
void FinishEdit(ViewScene& s, UiState& ui) {
  s.table.ObjectSelected = 1;
  Snapshot(s);
  ClearObjectLabels(ui);
  ShowSelectedData(s, ui);
  ui.status[3] = " ";
  CancelCommand(s.command);
  UnlockCommands(ui);
  s.geometry.drag.PreviewDrawn = 0;
  s.geometry.drag.IndicatorDrawn = 0;
}

void PolygonCommit(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  CommandState& cmd = s.command;
  const std::array<float, 8> a = CornersFor(s, x, y);
  if (!CornersInside(s.mesh, a) || (Sizing(cmd) && !SidesLongEnough(s.mesh, a)) ||
      (cmd.CopyActive && !HasRoom(t, t.SelectedKind))) {
    s.services.Ask().Beep();
    return;
  }
  if (cmd.CopyActive) {
    UnhighlightSelected(s, c, ui);
  } else {
    RedOutline(s, c);
  }
  ErasePolygonPreview(s, c);
  if (cmd.RotateActive) {
    EraseIndicator(s, c);
    ReferenceLine(s, c);
  }
  std::copy(a.begin(), a.end(), t.SelectedRecord.begin());
  RedOutline(s, c);
  StoreShape(t, t.SelectedKind, cmd.CopyActive ? StoreMode::Append : StoreMode::InPlace);
  FinishEdit(s, ui);
}

// ------------------------------------------------------------ circles

struct CircleTry {
  float x, y, scale;
  std::array<std::int32_t, 4> box;
};

CircleTry CircleFor(ViewScene& s, float x, float y) {
  const auto& r = s.table.SelectedRecord;
  const float radius = r[3];
  CircleTry t{x, y, 1.0f, {}};
  if (s.command.ExpandActive) {
    t.x = r[0];
    t.y = r[1];
    if (radius > 0) t.scale = std::max(std::hypot(x - r[0], y - r[1]), s.mesh.CellWidth) / radius;
  }
  const float rr = radius * t.scale;
  t.box = {RoundPixel(t.x - rr), RoundPixel(t.y - rr), RoundPixel(t.x + rr), RoundPixel(t.y + rr)};
  return t;
}

bool CircleAccepted(const Mesh& m, const CircleTry& t) {
  const auto& b = t.box;
  return b[0] >= m.DrawAreaLeft && b[2] <= m.DrawAreaRight && b[1] >= m.DrawAreaTop && b[3] <= m.DrawAreaBottom &&
         b[2] - b[0] >= 4 * m.CellWidth && b[3] - b[1] >= 4 * m.CellHeight;
}

void CircleOutline(Canvas& c, const std::array<std::int32_t, 4>& b) {
  PreviewPen(c);
  c.SetBrush(Colours::White, BrushStyle::Clear);
  c.Ellipse(b[0], b[1], b[2], b[3]);
}

void EraseCirclePreview(ViewScene& s, Canvas& c) {
  Drag& d = s.geometry.drag;
  if (!d.PreviewDrawn) return;
  CircleOutline(c, d.PreviewBox);
  d.PreviewDrawn = 0;
}

void CirclePreview(ViewScene& s, Canvas& c, float x, float y) {
  Drag& d = s.geometry.drag;
  const CircleTry t = CircleFor(s, x, y);
  if (!CircleAccepted(s.mesh, t)) {
    s.services.Ask().Beep();
    return;
  }
  EraseCirclePreview(s, c);
  d.PreviewBox = t.box;
  d.CircleX = t.x;
  d.CircleY = t.y;
  d.CircleScale = t.scale;
  CircleOutline(c, d.PreviewBox);
  d.PreviewDrawn = 1;
  s.command.RubberBandDrawn = 1;
}

void CircleCommit(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  CommandState& cmd = s.command;
  const CircleTry a = CircleFor(s, x, y);
  if (!CircleAccepted(s.mesh, a) || (cmd.CopyActive && !HasRoom(t, t.SelectedKind))) {
    s.services.Ask().Beep();
    return;
  }
  if (cmd.CopyActive)
    UnhighlightSelected(s, c, ui);
  else
    RedOutline(s, c);
  EraseCirclePreview(s, c);
  auto& r = t.SelectedRecord;
  if (cmd.ExpandActive) {
    r[2] *= a.scale;
    r[3] *= a.scale;
  } else {
    r[0] = x;
    r[1] = y;
  }
  RedOutline(s, c);
  StoreShape(t, t.SelectedKind, cmd.CopyActive ? StoreMode::Append : StoreMode::InPlace);
  FinishEdit(s, ui);
}

// ------------------------------------------------------------ wires

void WireSquare(Canvas& c, const std::array<std::int32_t, 4>& b) {
  PreviewPen(c);
  c.MoveTo(b[0], b[1]);
  c.LineTo(b[2], b[1]);
  c.LineTo(b[2], b[3]);
  c.LineTo(b[0], b[3]);
  c.LineTo(b[0], b[1]);
}

void WirePreview(ViewScene& s, Canvas& c, float x, float y) {
  Drag& d = s.geometry.drag;
  if (!InsideDrawArea(s.mesh, x, y)) {
    s.services.Ask().Beep();
    return;
  }
  if (d.PreviewDrawn) WireSquare(c, d.PreviewBox);
  const int cx = RoundPixel(x), cy = RoundPixel(y);
  d.PreviewBox = {cx - WireHalfSide, cy - WireHalfSide, cx + WireHalfSide, cy + WireHalfSide};
  WireSquare(c, d.PreviewBox);
  d.PreviewDrawn = 1;
  s.command.RubberBandDrawn = 1;
}

void WireCommit(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  Drag& d = s.geometry.drag;
  if (!InsideDrawArea(s.mesh, x, y) || (s.command.CopyActive && !HasRoom(t, KindWire))) {
    s.services.Ask().Beep();
    return;
  }
  if (s.command.CopyActive)
    UnhighlightSelected(s, c, ui);
  else
    RedOutline(s, c);
  if (d.PreviewDrawn) WireSquare(c, d.PreviewBox);
  d.PreviewDrawn = 0;
  // A wire is stored one pixel off its point.
  t.SelectedRecord[0] = x + 1;
  t.SelectedRecord[1] = y + 1;
  RedOutline(s, c);
  StoreShape(t, KindWire, s.command.CopyActive ? StoreMode::Append : StoreMode::InPlace);
  FinishEdit(s, ui);
}

// ------------------------------------------------------------ aerofoils

// The cells the selected aerofoil occupies, for the drag test.
void MeasureAerofoil(ViewScene& s) {
  const std::vector<char>& map = s.table.AerofoilMap(s.table.SelectedAerofoil);
  std::array<std::int32_t, 4> box{AerofoilMapSide, -1, AerofoilMapSide, -1};
  for (int i = 0; i < AerofoilMapSide; ++i)
    for (int j = 0; j < AerofoilMapSide; ++j)
      if (map[static_cast<std::size_t>(i) * AerofoilMapSide + j] != ' ') {
        box[0] = std::min(box[0], i);
        box[1] = std::max(box[1], i);
        box[2] = std::min(box[2], j);
        box[3] = std::max(box[3], j);
      }
  s.geometry.drag.AerofoilBox = box;
}

void CellShift(const ViewScene& s, float x, float y, std::int32_t& dx, std::int32_t& dy) {
  const float right = static_cast<float>(std::max(1, s.mesh.ViewRight));
  const float height = static_cast<float>(std::max(1, s.mesh.ViewSize));
  dx = RoundPixel((x - s.geometry.DragStartX) * 299.0f / right);
  dy = RoundPixel((y - s.geometry.DragStartY) * 299.0f / height);
}

// The whole shifted aerofoil stays on the map, one cell in from its edge,
// and inside the drawing area: no cell of it is ever lost.
bool ShiftAllowed(const ViewScene& s, std::int32_t dx, std::int32_t dy) {
  const auto& b = s.geometry.drag.AerofoilBox;
  if (b[1] < 0) return true;  // an empty map has nothing to lose
  const std::int64_t i0 = std::int64_t{b[0]} + dx, i1 = std::int64_t{b[1]} + dx;
  const std::int64_t j0 = std::int64_t{b[2]} + dy, j1 = std::int64_t{b[3]} + dy;
  if (i0 < 1 || i1 > AerofoilMapSide - 2 || j0 < 1 || j1 > AerofoilMapSide - 2) return false;
  const double sx = s.mesh.ViewRight / 299.0, sy = s.mesh.ViewSize / 299.0;
  return i0 * sx >= s.mesh.DrawAreaLeft && i1 * sx <= s.mesh.DrawAreaRight && j0 * sy >= s.mesh.DrawAreaTop &&
         j1 * sy <= s.mesh.DrawAreaBottom;
}

void FillScratch(ObjectTable& t, std::int32_t dx, std::int32_t dy) {
  const std::vector<char>& from = t.AerofoilMap(t.SelectedAerofoil);
  std::vector<char>& to = t.AerofoilScratchMap;
  std::fill(to.begin(), to.end(), ' ');
  for (int i = 0; i < AerofoilMapSide; ++i)
    for (int j = 0; j < AerofoilMapSide; ++j) {
      const char c = from[static_cast<std::size_t>(i) * AerofoilMapSide + j];
      if (c == ' ') continue;
      const int ti = i + dx, tj = j + dy;
      if (ti < 1 || ti > AerofoilMapSide - 2 || tj < 1 || tj > AerofoilMapSide - 2) continue;
      to[static_cast<std::size_t>(ti) * AerofoilMapSide + tj] = c;
    }
}

void EraseAerofoilPreview(ViewScene& s, Canvas& c) {
  Drag& d = s.geometry.drag;
  if (!d.PreviewDrawn) return;
  DrawAerofoil(s.table, s.mesh, c, -1, "black");
  d.PreviewDrawn = 0;
}

void AerofoilPreview(ViewScene& s, Canvas& c, float x, float y) {
  Drag& d = s.geometry.drag;
  GeometryState& g = s.geometry;
  if (!d.PreviewDrawn && !s.command.RubberBandDrawn) {
    // The drag starts where the button went down, not at the first move.
    g.DragStartX = s.mouse.PrevMouseX;
    g.DragStartY = s.mouse.PrevMouseY;
  }
  std::int32_t dx = 0, dy = 0;
  CellShift(s, x, y, dx, dy);
  if (!ShiftAllowed(s, dx, dy)) {
    s.services.Ask().Beep();
    return;
  }
  if (d.PreviewDrawn && dx == d.ShiftX && dy == d.ShiftY) return;
  // The old preview goes while the scratch map still holds it.
  EraseAerofoilPreview(s, c);
  FillScratch(s.table, dx, dy);
  DrawAerofoil(s.table, s.mesh, c, -1, "black");
  d.ShiftX = dx;
  d.ShiftY = dy;
  d.PreviewDrawn = 1;
  s.command.RubberBandDrawn = 1;
}

void AerofoilCommit(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  std::int32_t dx = 0, dy = 0;
  CellShift(s, x, y, dx, dy);
  if (!ShiftAllowed(s, dx, dy)) {
    s.services.Ask().Beep();
    return;
  }
  EraseAerofoilPreview(s, c);
  RedOutline(s, c);
  FillScratch(t, dx, dy);
  t.AerofoilMap(t.SelectedAerofoil) = t.AerofoilScratchMap;
  float* r = t.AerofoilData.data() + t.SelectedAerofoilOffset;
  r[0] += static_cast<float>(dx);
  r[1] += static_cast<float>(dy);
  t.SelectedRecord.fill(0.0f);
  std::copy_n(r, AerofoilRecordSize, t.SelectedRecord.begin());
  RedOutline(s, c);
  FinishEdit(s, ui);
  DisableNonAerofoilCommands(ui);
}

// ------------------------------------------------------------ starters

// Common start of the mouse-driven commands; false when the command does not
// apply and nothing was changed.
bool Arm(ViewScene& s, Canvas& c, UiState& ui, bool solidFill, std::int32_t CommandState::*flag, int help) {
  ObjectTable& t = s.table;
  if (AnyCommand(s.command) || !SelectionValid(t)) return false;
  s.DocumentModified = 1;
  s.command.CommandActive = 1;
  s.command.*flag = 1;
  LockCommands(ui, s.services, true);
  if (solidFill) {
    ClearView(c, s.mesh);
    RedrawAllObjects(s, c, ui);
  }
  Help(s, help);
  s.command.RubberBandDrawn = 0;
  ShowPrompt(s, ui);
  if (!t.ObjectSelected) {
    CancelCommand(s.command);
    UnlockCommands(ui);
    return false;
  }
  BeginDrag(s);
  return true;
}

bool SelectedIs(const ObjectTable& t, std::initializer_list<std::int32_t> kinds) {
  if (!SelectionValid(t)) return false;
  return std::find(kinds.begin(), kinds.end(), t.SelectedKind) != kinds.end();
}

void ArmSize(ViewScene& s, Canvas& c, UiState& ui, bool solidFill, std::int32_t CommandState::*flag,
             std::initializer_list<std::int32_t> kinds) {
  if (!SelectedIs(s.table, kinds)) return;
  Arm(s, c, ui, solidFill, flag, HelpSize);
}

void Flip(ViewScene& s, Canvas& c, UiState& ui, float sx, float sy) {
  ObjectTable& t = s.table;
  if (AnyCommand(s.command) || !SelectedIs(t, {KindRect, KindMagnet, KindCoil})) return;
  s.command.FlipActive = 1;
  Help(s, HelpFlip);
  BeginDrag(s);
  const Drag& d = s.geometry.drag;
  std::array<float, 8> rel = d.StartRelCorners;
  for (int k = 0; k < 4; ++k) {
    rel[2 * k] *= sx;
    rel[2 * k + 1] *= sy;
  }
  const std::array<float, 8> a = Absolute(d.DragCentreX, d.DragCentreY, rel);
  if (!CornersInside(s.mesh, a)) {
    s.services.Ask().Beep();
    CancelCommand(s.command);
    return;
  }
  s.DocumentModified = 1;
  RedOutline(s, c);
  std::copy(a.begin(), a.end(), t.SelectedRecord.begin());
  RedOutline(s, c);
  StoreShape(t, t.SelectedKind, StoreMode::InPlace);
  CancelCommand(s.command);
  Snapshot(s);
  ClearObjectLabels(ui);
  ShowSelectedData(s, ui);
}

}  // namespace

float ScreenAngle(float dx, float dy) {
  if (dx == 0) return dy >= 0 ? 4.712389f : 1.5707963f;
  if (dy == 0) return dx < 0 ? Pi : 0.0f;
  const float phi = std::atan(std::fabs(dy / dx));
  if (dy < 0) return dx > 0 ? phi : Pi - phi;
  return dx < 0 ? phi + Pi : 6.283185f - phi;
}

void RotateBy(float angle, float& x, float& y) {
  const float ca = std::cos(angle), sa = std::sin(angle);
  const float nx = ca * x + sa * y, ny = ca * y - sa * x;
  x = nx;
  y = ny;
}

void CopyClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  ObjectTable& t = s.table;
  if (!SelectedIs(t, {KindRect, KindMagnet, KindCoil, KindWire, KindSolenoid, KindCircle})) return;
  if (!HasRoom(t, t.SelectedKind)) {
    s.services.Ask().Beep();
    return;
  }
  Arm(s, c, ui, solidFill, &CommandState::CopyActive, HelpCopy);
}

void MoveClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  if (!Arm(s, c, ui, solidFill, &CommandState::MoveActive, HelpMove)) return;
  ObjectTable& t = s.table;
  if (t.SelectedKind == KindAerofoil) {
    t.AerofoilScratchMap = t.AerofoilMap(t.SelectedAerofoil);
    MeasureAerofoil(s);
    // The locked buttons stay off; the aerofoil keeps its own few commands.
    DisableNonAerofoilCommands(ui);
  }
}

void RotateClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  if (!SelectedIs(s.table, {KindRect, KindMagnet, KindCoil})) return;
  if (!Arm(s, c, ui, solidFill, &CommandState::RotateActive, HelpRotate)) return;
  Drag& d = s.geometry.drag;
  const float cw = s.mesh.CellWidth;
  d.ReferenceLine = {RoundPixel(d.DragCentreX + 5 * cw), RoundPixel(d.DragCentreY), RoundPixel(d.DragCentreX + 10 * cw),
                     RoundPixel(d.DragCentreY)};
  ReferenceLine(s, c);
}

void StretchClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  ArmSize(s, c, ui, solidFill, &CommandState::StretchActive, {KindRect, KindMagnet, KindCoil});
}
void TrapezoidClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  ArmSize(s, c, ui, solidFill, &CommandState::TrapezoidActive, {KindRect, KindMagnet, KindCoil});
}
void ExpandClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  ArmSize(s, c, ui, solidFill, &CommandState::ExpandActive, {KindRect, KindMagnet, KindCoil, KindSolenoid, KindCircle});
}

void EditPreview(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  const CommandState& cmd = s.command;
  if (!s.mouse.MouseButtonDown || !SelectionValid(s.table)) return;
  const std::int32_t kind = s.table.SelectedKind;
  if (kind == KindAerofoil) {
    if (cmd.MoveActive) AerofoilPreview(s, c, x, y);
  } else if (IsRound(kind)) {
    if (cmd.MoveActive || cmd.CopyActive || cmd.ExpandActive) CirclePreview(s, c, x, y);
  } else if (kind == KindWire) {
    if (cmd.MoveActive || cmd.CopyActive) WirePreview(s, c, x, y);
  } else if (cmd.MoveActive || cmd.CopyActive || cmd.RotateActive || Sizing(cmd)) {
    PolygonPreview(s, c, ui, x, y);
  }
}

void EditCommit(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  const CommandState& cmd = s.command;
  if (!SelectionValid(s.table)) return;
  const std::int32_t kind = s.table.SelectedKind;
  if (kind == KindAerofoil) {
    if (cmd.MoveActive) AerofoilCommit(s, c, ui, x, y);
  } else if (IsRound(kind)) {
    if (cmd.MoveActive || cmd.CopyActive || cmd.ExpandActive) CircleCommit(s, c, ui, x, y);
  } else if (kind == KindWire) {
    if (cmd.MoveActive || cmd.CopyActive) WireCommit(s, c, ui, x, y);
  } else if (cmd.MoveActive || cmd.CopyActive || cmd.RotateActive || Sizing(cmd)) {
    PolygonCommit(s, c, ui, x, y);
  }
}

void FlipLeftRightClick(ViewScene& s, Canvas& c, UiState& ui) { Flip(s, c, ui, -1.0f, 1.0f); }
void FlipTopBottomClick(ViewScene& s, Canvas& c, UiState& ui) { Flip(s, c, ui, 1.0f, -1.0f); }

void ClearClick(ViewScene& s, Canvas& c, UiState& ui, bool solidFill) {
  ObjectTable& t = s.table;
  if (AnyCommand(s.command)) return;
  if (!SelectionValid(t)) {
    t.ObjectSelected = 0;
    UnlockCommands(ui);
    return;
  }
  s.DocumentModified = 1;
  s.command.CommandActive = 1;
  if (solidFill) {
    ClearView(c, s.mesh);
    RedrawAllObjects(s, c, ui);
  }
  if (t.ObjectSelected) {
    RedOutline(s, c);
    if (t.SelectedKind == KindAerofoil) {
      // The later aerofoils move down one place, records and maps.
      const std::int32_t count = t.AerofoilDataLen / AerofoilRecordSize;
      for (std::int32_t n = t.SelectedAerofoil; n < count; ++n) {
        t.AerofoilMap(n) = t.AerofoilMap(n + 1);
        std::copy_n(t.AerofoilData.begin() + n * AerofoilRecordSize, AerofoilRecordSize,
                    t.AerofoilData.begin() + (n - 1) * AerofoilRecordSize);
      }
      std::fill(t.AerofoilMap(count).begin(), t.AerofoilMap(count).end(), ' ');
      t.AerofoilDataLen -= AerofoilRecordSize;
      t.SelectedAerofoil = 0;
      t.SelectedAerofoilOffset = 0;
      EnableNonAerofoilCommands(ui);
    } else {
      DeleteSelected(t);
    }
  }
  CancelCommand(s.command);
  t.ObjectSelected = 0;
  UnlockCommands(ui);
  ClearObjectLabels(ui);
  Snapshot(s);
}

void ClearAllClick(ViewScene& s, Canvas& c, UiState& ui) {
  ObjectTable& t = s.table;
  if (AnyCommand(s.command)) return;
  ClearHelpLabels(ui);
  LockCommands(ui, s.services, false);
  if (s.services.Ask().AskYesNo(ClearAllQuestion) != Answer::Yes) {
    UnlockCommands(ui);
    return;
  }
  s.services.Refresh();
  const bool aerofoilSelected = t.ObjectSelected && t.SelectedKind == KindAerofoil;
  ClearAllObjects(t);
  s.services.Refresh();
  ClearView(c, s.mesh);
  DrawCurrentGrid(c, s.mesh, s.grid);
  s.geometry.Guidelines.clear();
  CancelCommand(s.command);
  t.ObjectSelected = 0;
  if (s.geometry.hooks.OnCommandStateReset) s.geometry.hooks.OnCommandStateReset();
  // Emptying the table is a change the user may still want to save.
  s.DocumentModified = 1;
  if (aerofoilSelected) EnableNonAerofoilCommands(ui);
  UnlockCommands(ui);
  ui.status[3] = "New file";
  ClearObjectLabels(ui);
  Snapshot(s);
}
