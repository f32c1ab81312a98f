#include "geometry/ObjectDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "geometry/HitTest.h"
#include "mesh/Grid.h"

namespace {

// Outline pens: every object outline is two pixels wide; aerofoils are drawn as
// two one-pixel passes (their printer pen is two wide).
constexpr int OutlineWidth = 2;

Rgb ColourByName(const std::string& name) {
  if (name == "red") return ObjectColours::Selected;
  if (name == "black") return ObjectColours::RubberBand;
  return ObjectColours::Normal;
}

int OutlinePen(const DrawTarget& t) { return t.printer ? std::max(1, OutlineWidth * t.penScale) : OutlineWidth; }

int Tx(const DrawTarget& t, float v) { return t.originX + RoundPixel(v * t.scale); }
int Ty(const DrawTarget& t, float v) { return t.originY + RoundPixel(v * t.scale); }

void FourLines(Canvas& c, const std::array<std::int32_t, 4>& xs, const std::array<std::int32_t, 4>& ys) {
  c.MoveTo(xs[0], ys[0]);
  c.LineTo(xs[1], ys[1]);
  c.LineTo(xs[2], ys[2]);
  c.LineTo(xs[3], ys[3]);
  c.LineTo(xs[0], ys[0]);
}

// A small half circle on the outline at the middle of the edge from corner a
// to corner b.
void PoleMarkerAt(Canvas& c, int ax, int ay, int bx, int by) {
  const int mx = (ax + bx) / 2, my = (ay + by) / 2;
  constexpr int r = 3;
  c.Arc(mx - r, my - r, mx + r + 1, my + r + 1, ax, ay, bx, by);
}

void PoleMarker(Canvas& c, const std::array<std::int32_t, 4>& xs, const std::array<std::int32_t, 4>& ys) {
  PoleMarkerAt(c, xs[0], ys[0], xs[1], ys[1]);
  PoleMarkerAt(c, xs[2], ys[2], xs[3], ys[3]);
}

// The outline of one record of a kind, with the pen in force. Polygon kinds
// round their corners into `xs`, `ys` (CornerX or SelCornerX).
void RecordOutline(Canvas& c, std::int32_t kind, const float* r, const DrawTarget& t, std::array<std::int32_t, 4>& xs,
                   std::array<std::int32_t, 4>& ys) {
  switch (kind) {
    case KindRect:
    case KindMagnet:
    case KindCoil:
      for (int k = 0; k < 4; ++k) {
        xs[k] = Tx(t, r[2 * k]);
        ys[k] = Ty(t, r[2 * k + 1]);
      }
      FourLines(c, xs, ys);
      if (kind != KindRect) PoleMarker(c, xs, ys);
      break;
    case KindSolenoid:
    case KindCircle: {
      c.SetBrush(Colours::White, BrushStyle::Clear);
      const float x = r[0], y = r[1], radius = r[3];
      c.Ellipse(Tx(t, x - radius), Ty(t, y - radius), Tx(t, x + radius), Ty(t, y + radius));
      break;
    }
    case KindWire: {
      // Stored one pixel off the clicked point.
      const int cx = Tx(t, r[0] - 1), cy = Ty(t, r[1] - 1);
      DrawWireSymbol(c, cx, cy, std::max(1, RoundPixel(WireHalfSide * t.scale)), r[2]);
      break;
    }
    default: break;
  }
}

void SelectedOutline(ViewScene& s, Canvas& c, Rgb colour, const DrawTarget& t) {
  ObjectTable& tab = s.table;
  if (tab.SelectedKind == KindAerofoil) {
    DrawAerofoil(tab, s.mesh, c, tab.SelectedAerofoilOffset, colour == ObjectColours::Selected ? "red" : "green", t);
    return;
  }
  c.SetPen(colour, OutlinePen(t), PenMode::NotXor, PenStyle::Solid);
  RecordOutline(c, tab.SelectedKind, tab.SelectedRecord.data(), t, s.geometry.SelCornerX, s.geometry.SelCornerY);
}

void HighlightWith(ViewScene& s, Canvas& c, const DrawTarget& t) {
  SelectedOutline(s, c, ObjectColours::Normal, t);
  SelectedOutline(s, c, ObjectColours::Selected, t);
}

void Snapshot(ViewScene& s) {
  s.services.SaveViewSnapshot();
}





std::string Fixed1(float v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(v));
  return buf;
}

std::string ValueText(float v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
  return buf;
}

}  // namespace


void RedrawAllObjects(ViewScene& s, Canvas& c, UiState& ui, const DrawTarget& t) {
  ObjectTable& tab = s.table;
  GeometryState& g = s.geometry;
  ClearHelpLabels(ui);
  DrawCurrentGrid(c, s.mesh, s.grid, GridTarget{t.originX, t.originY, t.printer, t.printer ? t.penScale : 1});

  c.SetPen(ObjectColours::Normal, OutlinePen(t), PenMode::NotXor, PenStyle::Solid);
  for (std::int32_t kind : {KindRect, KindMagnet, KindCoil, KindSolenoid, KindCircle, KindWire}) {
    const std::int32_t size = ObjectTable::RecordSize(kind);
    for (std::int32_t o = 0; o + size <= tab.Length(kind); o += size)
      RecordOutline(c, kind, tab.Data(kind) + o, t, g.CornerX, g.CornerY);
  }
  if (!s.command.RestampMode)
    for (std::int32_t o = 0; o + AerofoilRecordSize <= tab.AerofoilDataLen; o += AerofoilRecordSize)
      DrawAerofoil(tab, s.mesh, c, o, "green", t);

  if (tab.ObjectSelected) {
    if (!LoadSelectedRecord(tab)) {
      tab.ObjectSelected = 0;
    } else if (!(tab.SelectedKind == KindAerofoil && s.command.RestampMode)) {
      HighlightWith(s, c, t);
    }
  }
  ClearObjectLabels(ui);
  if (tab.ObjectSelected) ShowSelectedData(s, ui);
  if (!t.printer) {
    Snapshot(s);
    g.Guidelines.clear();
  }
}

void HighlightSelected(ViewScene& s, Canvas& c) { HighlightWith(s, c, DrawTarget{}); }

void UnhighlightSelected(ViewScene& s, Canvas& c, UiState& ui) {
  ObjectTable& t = s.table;
  if (!t.ObjectSelected) return;
  SelectedOutline(s, c, ObjectColours::Selected, DrawTarget{});
  SelectedOutline(s, c, ObjectColours::Normal, DrawTarget{});
  if (t.SelectedKind == KindAerofoil) {
    Snapshot(s);
    // The commands an aerofoil had switched off apply again; while a command
    // holds the buttons locked only the menu items come back, and the buttons
    // with the unlock.
    if (!AnyCommand(s.command))
      EnableNonAerofoilCommands(ui);
    else
      for (Cmd m : {Cmd::MnuEditCopy, Cmd::MnuEditRotate, Cmd::MnuEditFlip, Cmd::MnuEditSize}) ui[m].enabled = true;
  }
  t.ObjectSelected = 0;
  ClearObjectLabels(ui);
}

void DrawPolygon(ViewScene& s, Canvas& c) {
  GeometryState& g = s.geometry;
  for (int k = 0; k < 4; ++k) {
    g.CornerX[k] = RoundPixel(s.table.NewShape[2 * k]);
    g.CornerY[k] = RoundPixel(s.table.NewShape[2 * k + 1]);
  }
  FourLines(c, g.CornerX, g.CornerY);
}

void DrawAerofoil(const ObjectTable& table, const Mesh& mesh, Canvas& c, std::int32_t offset,
                  const std::string& colour, const DrawTarget& t) {
  const std::vector<char>* map = nullptr;
  if (offset == -1)
    map = &table.AerofoilScratchMap;
  else if (offset == 0 || offset == 4 || offset == 8)
    map = &table.AerofoilMap(offset / AerofoilRecordSize + 1);
  if (!map || map->size() < static_cast<std::size_t>(AerofoilMapCells)) return;
  // The map frame spans the whole view, from its left edge, over 299 cells.
  const double sx = mesh.ViewRight / 299.0, sy = mesh.ViewSize / 299.0;
  const int hx = static_cast<int>(std::nearbyint(sx)), hy = static_cast<int>(std::nearbyint(sy));
  std::array<int, AerofoilMapSide> px{}, py{};
  for (int n = 0; n < AerofoilMapSide; ++n) {
    px[n] = static_cast<int>(std::nearbyint(n * sx));
    py[n] = static_cast<int>(std::nearbyint(n * sy));
  }
  c.SetPen(ColourByName(colour), t.printer ? 2 : 1, PenMode::NotXor, PenStyle::Solid);
  for (int p = 0; p < 2; ++p)
    for (int i = 0; i < AerofoilMapSide; ++i)
      for (int j = 0; j < AerofoilMapSide; ++j) {
        if ((*map)[i * AerofoilMapSide + j] != 'b') continue;
        const float x = static_cast<float>(px[i]), y = static_cast<float>(py[j] + p);
        c.MoveTo(Tx(t, x - hx), Ty(t, y - hy));
        c.LineTo(Tx(t, x), Ty(t, y));
      }
}



void SelectAt(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  GeometryState& g = s.geometry;
  if (!AnyObjects(t)) return;
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  Snapshot(s);
  t.SelectedRecord.fill(0.0f);
  g.CornerHit = 0;
  g.BestHitMeasure = 0;

  for (std::int32_t o = 0; o + WireRecordSize <= t.WireDataLen; o += WireRecordSize) {
    const float cx = t.WireData[o] - 1, cy = t.WireData[o + 1] - 1;
    if (std::fabs(x - cx) < WireHalfSide && std::fabs(y - cy) < WireHalfSide) {
      Select(t, KindWire, o);
      HighlightSelected(s, c);
      DrawObjectValues(s, c);
      Snapshot(s);
      ClearObjectLabels(ui);
      ShowSelectedData(s, ui);
      return;
    }
  }

  for (std::int32_t kind : {KindRect, KindMagnet, KindCoil}) HitPolygonKind(t, g, kind, x, y);
  for (std::int32_t kind : {KindSolenoid, KindCircle}) HitCircleKind(t, kind, x, y);
  if (t.ObjectSelected) {
    HighlightSelected(s, c);
    Snapshot(s);
    ClearObjectLabels(ui);
    ShowSelectedData(s, ui);
  }
  DrawObjectValues(s, c);

  if (t.AerofoilDataLen >= AerofoilRecordSize && t.AerofoilDataLen <= 3 * AerofoilRecordSize) {
    std::int32_t i = 0, j = 0;
    std::int32_t hit = 0;
    if (PixelToAerofoilCell(s.mesh, x, y, i, j)) {
      for (std::int32_t k = 1; k <= 3 && hit == 0; ++k) {
        if (t.AerofoilDataLen < AerofoilRecordSize * k) break;
        const char cell = t.AerofoilMap(k)[i * AerofoilMapSide + j];
        if (cell == 'b' || cell == 'i') hit = k;
      }
    }
    if (hit == 0) {
      if (t.ObjectSelected && t.SelectedKind == KindAerofoil) UnhighlightSelected(s, c, ui);
      return;
    }
    // The aerofoil takes the selection from whatever this click found first.
    if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
    t.SelectedAerofoil = hit;
    t.SelectedAerofoilOffset = (hit - 1) * AerofoilRecordSize;
    t.ObjectSelected = 1;
    t.SelectedKind = KindAerofoil;
    t.SelectedRecord.fill(0.0f);
    std::copy_n(t.AerofoilData.begin() + t.SelectedAerofoilOffset, AerofoilRecordSize, t.SelectedRecord.begin());
    DisableNonAerofoilCommands(ui);
    HighlightSelected(s, c);
    Snapshot(s);
    ShowSelectedData(s, ui);
  }
}

void DrawObjectValues(ViewScene& s, Canvas& c) {
  ObjectTable& t = s.table;
  if (!s.ShowValues || *s.ShowValues != 1) return;
  c.SetFont("DejaVu Sans", 16);
  for (std::int32_t kind : {KindRect, KindMagnet, KindCoil, KindWire, KindCircle}) {
    const std::int32_t size = ObjectTable::RecordSize(kind);
    const float* data = t.Data(kind);
    for (std::int32_t o = 0; o + size <= t.Length(kind); o += size) {
      const float* r = data + o;
      float cx, cy, value;
      if (kind == KindWire) {
        cx = r[0] - 1;
        cy = r[1] - 1;
        value = r[2];
      } else if (kind == KindCircle) {
        cx = r[0];
        cy = r[1];
        value = r[8];
      } else {
        cx = (r[0] + r[2] + r[4] + r[6]) / 4;
        cy = (r[1] + r[3] + r[5] + r[7]) / 4;
        value = r[8];
      }
      const bool selected = t.ObjectSelected && t.SelectedKind == kind && t.SelectedIndex == o;
      c.SetFontColour(selected ? ObjectColours::Selected : ObjectColours::Normal);
      c.SetBrush(Colours::White, BrushStyle::Clear);
      const std::string text = ValueText(value);
      c.TextOut(RoundPixel(cx), RoundPixel(cy) - c.TextHeight(text), text);
    }
  }
}

void ShowSelectedData(const ViewScene& s, UiState& ui) {
  const ObjectTable& t = s.table;
  if (!t.ObjectSelected) return;
  const float cw = s.mesh.CellWidth > 0 ? s.mesh.CellWidth : 1.0f;
  const char* unit = s.mesh.CellWidth > 0 ? " cells" : " pixels";
  const auto& r = t.SelectedRecord;
  const std::string number = std::to_string(t.SelectedIndex / ObjectTable::RecordSize(t.SelectedKind) + 1);
  switch (t.SelectedKind) {
    case KindRect: {
      const float w = std::hypot(r[2] - r[0], r[3] - r[1]) / cw, h = std::hypot(r[4] - r[2], r[5] - r[3]) / cw;
      ui.dataLabels[0] = "Rectangular section " + number;
      ui.dataLabels[1] = Fixed1(w) + " x " + Fixed1(h) + unit;
      break;
    }
    case KindCircle:
    case KindSolenoid:
      ui.dataLabels[0] = (t.SelectedKind == KindCircle ? "Circular section " : "Solenoid ") + number;
      ui.dataLabels[1] = "Radius " + Fixed1(r[3] / cw) + unit;
      break;
    case KindMagnet:
    case KindCoil:
      ui.dataLabels[0] = (t.SelectedKind == KindMagnet ? "Permanent magnet " : "Coil ") + number;
      ui.dataLabels[1] = "Strength " + ValueText(r[9]);
      break;
    case KindWire:
      ui.dataLabels[0] = "Wire " + number;
      ui.dataLabels[1] = "Strength " + ValueText(r[2]);
      break;
    case KindAerofoil:
      ui.dataLabels[0] = "Aerofoil " + std::to_string(t.SelectedAerofoil);
      ui.dataLabels[1] = "Angle " + ValueText(r[3]) + "\u00B0";
      break;
    default: break;
  }
}

void DisableNonAerofoilCommands(UiState& ui) {
  for (Cmd b : {Cmd::SpeedButton8, Cmd::SpeedButton10, Cmd::SpeedButton11, Cmd::SpeedButton14, Cmd::SpeedButton16,
                Cmd::SpeedButton17, Cmd::SpeedButton18}) {
    ui[b].enabled = false;
    ui[b].hint = false;
  }
  for (Cmd m : {Cmd::MnuEditCopy, Cmd::MnuEditRotate, Cmd::MnuEditFlip, Cmd::MnuEditSize}) ui[m].enabled = false;
}

void EnableNonAerofoilCommands(UiState& ui) {
  for (Cmd b : {Cmd::SpeedButton8, Cmd::SpeedButton10, Cmd::SpeedButton11, Cmd::SpeedButton14, Cmd::SpeedButton16,
                Cmd::SpeedButton17, Cmd::SpeedButton18}) {
    ui[b].enabled = true;
    ui[b].hint = true;
  }
  for (Cmd m : {Cmd::MnuEditCopy, Cmd::MnuEditRotate, Cmd::MnuEditFlip, Cmd::MnuEditSize}) ui[m].enabled = true;
}

void DrawWireSymbol(Canvas& c, int cx, int cy, int half, float strength) {
  c.MoveTo(cx - half, cy - half);
  c.LineTo(cx + half, cy - half);
  c.LineTo(cx + half, cy + half);
  c.LineTo(cx - half, cy + half);
  c.LineTo(cx - half, cy - half);
  const int m = std::max(1, half / 2);
  if (strength >= 0) {
    // Current out of the mesh: a dot.
    c.MoveTo(cx - 1, cy);
    c.LineTo(cx + 1, cy);
  } else {
    // Into the mesh: a cross.
    c.MoveTo(cx - m, cy - m);
    c.LineTo(cx + m, cy + m);
    c.MoveTo(cx + m, cy - m);
    c.LineTo(cx - m, cy + m);
  }
}
