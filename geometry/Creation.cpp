#include "mesh/Grid.h"
#include "geometry/Creation.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "geometry/Guidelines.h"
#include "geometry/ObjectDrawing.h"

namespace {

bool EditArmed(const CommandState& c) {
  return c.CopyActive || c.MoveActive || c.RotateActive || c.StretchActive || c.TrapezoidActive || c.ExpandActive ||
         c.SwitchPolesActive;
}

bool SizeActive(const CommandState& c) { return c.StretchActive || c.TrapezoidActive || c.ExpandActive; }

void BlackPen(Canvas& c) { c.SetPen(ObjectColours::RubberBand, 1, PenMode::NotXor, PenStyle::Solid); }

int CornerPx(const ObjectTable& t, int corner) { return RoundPixel(t.NewShape[2 * corner]); }
int CornerPy(const ObjectTable& t, int corner) { return RoundPixel(t.NewShape[2 * corner + 1]); }

void FixedEdge(ViewScene& s, Canvas& c) {
  c.MoveTo(CornerPx(s.table, 0), CornerPy(s.table, 0));
  c.LineTo(CornerPx(s.table, 1), CornerPy(s.table, 1));
}

// Sides 2-3, 3-4 and 4-1 through the band's corners 3 and 4.
void BandSides(ViewScene& s, Canvas& c) {
  const auto& b = s.geometry.BandSides;
  c.MoveTo(CornerPx(s.table, 1), CornerPy(s.table, 1));
  c.LineTo(b[0], b[1]);
  c.LineTo(b[2], b[3]);
  c.LineTo(CornerPx(s.table, 0), CornerPy(s.table, 0));
}

void DrawBandSides(ViewScene& s, Canvas& c) {
  s.geometry.BandSides = {CornerPx(s.table, 2), CornerPy(s.table, 2), CornerPx(s.table, 3), CornerPy(s.table, 3)};
  BandSides(s, c);
  s.command.RubberBandDrawn = 1;
}

void BandEllipse(ViewScene& s, Canvas& c) {
  const auto& b = s.geometry.BandCircle;
  c.SetBrush(Colours::White, BrushStyle::Clear);
  c.Ellipse(b[0], b[1], b[2], b[3]);
}

std::array<std::int32_t, 4> CircleBox(float x, float y, float r) {
  return {RoundPixel(x - r), RoundPixel(y - r), RoundPixel(x + r), RoundPixel(y + r)};
}

void Snapshot(ViewScene& s) {
  s.services.SaveViewSnapshot();
}

// Takes away whatever rubber band of an add command is on the view.
void EraseBand(ViewScene& s, Canvas& c, std::int32_t kind) {
  BlackPen(c);
  if (kind == KindCircle || kind == KindSolenoid) {
    if (s.command.RubberBandDrawn) BandEllipse(s, c);
    return;
  }
  FixedEdge(s, c);
  if (s.command.RubberBandDrawn) BandSides(s, c);
}

float Distance(float x1, float y1, float x2, float y2) { return std::hypot(x1 - x2, y1 - y2); }

bool StartAdd(ViewScene& s, UiState& ui, std::int32_t kind) {
  if (AnyCommand(s.command)) return false;
  if (!HasRoom(s.table, kind)) {
    s.services.Ask().Beep();
    return false;
  }
  ClearCreationScratch(s);
  s.DocumentModified = 1;
  s.command.CommandActive = 1;
  LockCommands(ui, s.services, true);
  return true;
}

void Help(ViewScene& s, int code) {
  s.services.ShowOnlineHelp(code);
}

}  // namespace

// An add or edit command (or one of its panels) is in progress. The plot line
// of the gauge and the mesh set-up are not commands of the view.
bool AnyCommand(const CommandState& c) {
  return c.CommandActive || c.AddRectStep || c.AddCircleStep || c.AddAerofoilActive || c.AddGuidelineStep || EditArmed(c) ||
         c.FlipActive || c.ChangeDataActive;
}

void ClearCreationScratch(ViewScene& s) {
  CancelCommand(s.command);
  s.table.NewShape.fill(0.0f);
  GeometryState& g = s.geometry;
  g.CornerX.fill(0);
  g.CornerY.fill(0);
  g.BandLineX = g.BandLineY = 0;
  g.BandSides.fill(0);
  g.BandCircle.fill(0);
}

void AddRectangleClick(ViewScene& s, UiState& ui) {
  if (!StartAdd(s, ui, KindRect)) return;
  s.command.AddRectStep = 1;
  Help(s, HelpAddRectangle);
  ShowPrompt(s, ui);
}

void AddCircleClick(ViewScene& s, UiState& ui) {
  if (!StartAdd(s, ui, KindCircle)) return;
  s.command.AddCircleStep = 1;
  Help(s, HelpAddCircle);
  ShowPrompt(s, ui);
}

void ShowPrompt(const ViewScene& s, UiState& ui) {
  const CommandState& c = s.command;
  std::string& panel = ui.status[3];
  if (c.AddRectStep) {
    switch (c.AddRectStep) {
      case 1: panel = "Add rectangular section: Click on first point "; break;
      case 2: panel = "Add rectangular section: Click on second point"; break;
      case 3: panel = "Add rectangular section: Click on last point "; break;
      default: panel = " "; break;
    }
  } else if (c.AddCircleStep) {
    switch (c.AddCircleStep) {
      case 1: panel = "Add circular section: Click on centre point "; break;
      case 2: panel = "Add circular section: Click when inner circle positioned "; break;
      case 3: panel = "Add circular section: Click when outer circle positioned "; break;
      default: panel = " "; break;
    }
  } else if (c.AddGuidelineStep) {
    panel = c.AddGuidelineStep == 1 ? "Guideline: Click on the first point" : "Guideline: Click on the last point";
  } else if (c.CopyActive) {
    panel = "Click on object and drag copy to new position";
  } else if (c.MoveActive) {
    panel = "Move: Click on object and drag to new position";
  } else if (c.FlipActive) {
    panel = "Flip left to right or top to bottom";
  } else if (SizeActive(c)) {
    panel = "Click on object and drag to new size";
  } else if (c.RotateActive) {
    panel = "Click on object and drag to new rotation";
  } else if (c.SwitchPolesActive) {
    panel = "Switch Poles: Click on the new North Pole line";
  } else if (c.ChangeDataActive) {
    static const char* const texts[] = {"Change Permeability Data",
                                        "Change Strength Data",
                                        "Change Permeability and Strength Data",
                                        "Change Strength and Direction Data",
                                        "Change Permeability, Strength and Direction Data",
                                        "Change Permeability Data"};
    const std::int32_t k = s.table.SelectedKind;
    if (k >= 0 && k <= 5) panel = texts[k];
  }
}

void UpdateMouseReadout(ViewScene& s, UiState& ui) {
  MouseState& m = s.mouse;
  const CommandState& c = s.command;
  const ObjectTable& t = s.table;
  m.PrevMouseX = m.MouseX;
  m.PrevMouseY = m.MouseY;
  m.MouseX = m.MouseRawX;
  m.MouseY = m.MouseRawY;
  if (!c.RubberBandDrawn) {
    s.geometry.DragStartX = m.MouseX;
    s.geometry.DragStartY = m.MouseY;
  }
  ui.status[0] = "X: " + std::to_string(RoundPixel(m.MouseX) - s.mesh.MeshCentreX);
  ui.status[1] = "Y: " + std::to_string(RoundPixel(m.MouseY) - s.mesh.MeshCentreY);
  if ((c.RotateActive || c.AddGuidelineStep == 2) && c.RubberBandDrawn) {
    if (c.RotateActive)
      ui.status[2] = RotationText(t.NewShape[0] - t.NewShape[2], t.NewShape[1] - t.NewShape[3]);
    else
      ui.status[2] = RotationText(t.NewShape[0] - m.MouseX, t.NewShape[1] - m.MouseY);
  } else if (t.ObjectSelected &&
             (t.SelectedKind == KindRect || t.SelectedKind == KindMagnet || t.SelectedKind == KindCoil)) {
    ui.status[2] = RotationText(t.SelectedRecord[2] - t.SelectedRecord[0], t.SelectedRecord[3] - t.SelectedRecord[1]);
  }
  if (s.geometry.hooks.GaugeReadout) s.geometry.hooks.GaugeReadout(m.MouseX, m.MouseY);
}

std::string RotationText(float dx, float dy) {
  const double angle = dx == 0 ? 90.0 : std::atan(std::fabs(static_cast<double>(dy) / dx)) * 180.0 / 3.141593;
  char buf[48];
  std::snprintf(buf, sizeof buf, "Rot: %.2f\u00B0", angle);
  return buf;
}

bool InsideDrawArea(const Mesh& mesh, float x, float y) {
  return mesh.DrawAreaLeft <= x && x <= mesh.DrawAreaRight && mesh.DrawAreaTop <= y && y <= mesh.DrawAreaBottom;
}

void SquareCorners(ObjectTable& t, CommandState& c, float mx, float my) {
  auto& n = t.NewShape;
  c.SavedCorners = {n[4], n[5], n[6], n[7]};
  const float ex = n[2] - n[0], ey = n[3] - n[1];
  const float len2 = ex * ex + ey * ey;
  // The component of (M − P2) along the first edge goes; the rest sets the height.
  const float along = len2 > 0 ? ((mx - n[2]) * ex + (my - n[3]) * ey) / len2 : 0.0f;
  n[4] = mx - along * ex;
  n[5] = my - along * ey;
  n[6] = n[4] - ex;
  n[7] = n[5] - ey;
}

void RubberBandLine(ViewScene& s, Canvas& c) {
  GeometryState& g = s.geometry;
  BlackPen(c);
  const int x0 = CornerPx(s.table, 0), y0 = CornerPy(s.table, 0);
  if (s.command.RubberBandDrawn) {
    c.MoveTo(x0, y0);
    c.LineTo(g.BandLineX, g.BandLineY);
  }
  g.BandLineX = RoundPixel(s.mouse.MouseX);
  g.BandLineY = RoundPixel(s.mouse.MouseY);
  c.MoveTo(x0, y0);
  c.LineTo(g.BandLineX, g.BandLineY);
  s.command.RubberBandDrawn = 1;
}

void RectRubberBand(ViewScene& s, Canvas& c, std::int32_t& step) {
  const float mx = s.mouse.MouseX, my = s.mouse.MouseY;
  BlackPen(c);
  if (step == 2) {
    RubberBandLine(s, c);
  } else if (step == 3) {
    if (mx != s.table.NewShape[2] || my != s.table.NewShape[3]) {
      SquareCorners(s.table, s.command, mx, my);
      DrawBandSides(s, c);
      // The last-point prompt stays up while the height is dragged out.
      step = 4;
    }
  } else if (step == 4) {
    if (s.command.RubberBandDrawn) BandSides(s, c);
    SquareCorners(s.table, s.command, mx, my);
    DrawBandSides(s, c);
  }
}

void CircleRubberBand(ViewScene& s, Canvas& c) {
  GeometryState& g = s.geometry;
  auto& n = s.table.NewShape;
  BlackPen(c);
  if (s.command.RubberBandDrawn) BandEllipse(s, c);
  n[3] = Distance(n[0], n[1], s.mouse.MouseX, s.mouse.MouseY);
  g.BandCircle = CircleBox(n[0], n[1], n[3]);
  BandEllipse(s, c);
  s.command.RubberBandDrawn = 1;
}

void RectClick(ViewScene& s, Canvas& c, UiState& ui, std::int32_t& step, std::int32_t kind, float x,
               float y) {
  ObjectTable& t = s.table;
  CommandState& cmd = s.command;
  const Mesh& mesh = s.mesh;
  auto& n = t.NewShape;
  if (!InsideDrawArea(mesh, x, y)) {
    s.services.Ask().Beep();
    return;
  }
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  switch (step) {
    case 1:
      n[0] = x;
      n[1] = y;
      cmd.FirstClickX = x;
      cmd.FirstClickY = y;
      step = 2;
      ShowPrompt(s, ui);
      break;
    case 2: {
      if (Distance(x, y, n[0], n[1]) < 2 * mesh.CellWidth || (x == cmd.FirstClickX && y == cmd.FirstClickY)) {
        s.services.Ask().Beep();
        return;
      }
      BlackPen(c);
      if (cmd.RubberBandDrawn) {
        c.MoveTo(CornerPx(t, 0), CornerPy(t, 0));
        c.LineTo(s.geometry.BandLineX, s.geometry.BandLineY);
        cmd.RubberBandDrawn = 0;
      }
      n[2] = x;
      n[3] = y;
      FixedEdge(s, c);
      step = 3;
      ShowPrompt(s, ui);
      break;
    }
    case 3:
      // The mouse has not left the second point yet.
      s.services.Ask().Beep();
      break;
    case 4: {
      SquareCorners(t, cmd, x, y);
      bool inside = true, longSides = true;
      for (int k = 0; k < 4; ++k) {
        inside = inside && InsideDrawArea(mesh, n[2 * k], n[2 * k + 1]);
        const int m = (k + 1) % 4;
        longSides = longSides && Distance(n[2 * k], n[2 * k + 1], n[2 * m], n[2 * m + 1]) > 2 * mesh.CellWidth;
      }
      cmd.BadRectFlag = inside ? 0 : 1;
      cmd.ShortEdgeFlag = longSides ? 0 : 1;
      if (!inside || !longSides) {
        // The band stays where it is drawn.
        n[4] = cmd.SavedCorners[0];
        n[5] = cmd.SavedCorners[1];
        n[6] = cmd.SavedCorners[2];
        n[7] = cmd.SavedCorners[3];
        s.services.Ask().Beep();
        return;
      }
      BlackPen(c);
      if (cmd.RubberBandDrawn) BandSides(s, c);
      DrawBandSides(s, c);
      step = 5;
      ShowPrompt(s, ui);
      Snapshot(s);
      FinishSection(s, c, ui, kind);
      break;
    }
    default: break;
  }
}

void CircleClick(ViewScene& s, Canvas& c, UiState& ui, std::int32_t& step, std::int32_t kind, float x,
                 float y) {
  ObjectTable& t = s.table;
  const Mesh& mesh = s.mesh;
  auto& n = t.NewShape;
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  if (step == 1) {
    n[0] = x;
    n[1] = y;
    step = 3;
    ShowPrompt(s, ui);
  } else if (step == 3) {
    const float r = n[3];
    const auto box = CircleBox(n[0], n[1], r);
    if (box[0] < mesh.DrawAreaLeft || box[2] > mesh.DrawAreaRight || box[1] < mesh.DrawAreaTop ||
        box[3] > mesh.DrawAreaBottom || r < 2 * mesh.CellWidth) {
      s.services.Ask().Beep();
      return;
    }
    step = 4;
    ShowPrompt(s, ui);
    Snapshot(s);
    FinishSection(s, c, ui, kind);
  }
}

void FinishSection(ViewScene& s, Canvas& c, UiState& ui, std::int32_t kind) {
  ObjectTable& t = s.table;
  const bool round = kind == KindCircle || kind == KindSolenoid;
  s.DocumentModified = 1;
  if (!HasRoom(t, kind)) {
    EraseBand(s, c, kind);
    s.services.Ask().Beep();
    UnlockCommands(ui);
    CancelCommand(s.command);
    return;
  }
  t.SelectedRecord.fill(0.0f);
  t.SelectedRecord[8] = s.command.AirFlag ? 0.0f : SolidPermeability;
  ui.status[3] = " ";
  if (s.geometry.hooks.CloseEntryPanels) s.geometry.hooks.CloseEntryPanels();
  s.services.RestoreViewSnapshot();

  EraseBand(s, c, kind);
  c.SetPen(ObjectColours::Selected, 2, PenMode::NotXor, PenStyle::Solid);
  if (round) {
    const auto box = CircleBox(t.NewShape[0], t.NewShape[1], t.NewShape[3]);
    c.SetBrush(Colours::White, BrushStyle::Clear);
    c.Ellipse(box[0], box[1], box[2], box[3]);
  } else {
    DrawPolygon(s, c);
  }
  std::copy_n(t.NewShape.begin(), 8, t.SelectedRecord.begin());
  t.ObjectSelected = 1;
  Snapshot(s);
  StoreShape(t, kind, StoreMode::Append);
  ClearObjectLabels(ui);
  ShowSelectedData(s, ui);
  UnlockCommands(ui);
  CancelCommand(s.command);
}

void VMouseDown(ViewScene& s, Canvas&, UiState&, float x, float y) {
  s.mouse.MouseButtonDown = 1;
  if (!AnyCommand(s.command) && s.geometry.hooks.PlotLineDown) s.geometry.hooks.PlotLineDown(x, y);
}

void VMouseMove(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  CommandState& cmd = s.command;
  s.mouse.MouseRawX = x;
  s.mouse.MouseRawY = y;
  UpdateMouseReadout(s, ui);
  if (cmd.AddGuidelineStep == 2) {
    RubberBandLine(s, c);
  } else if (cmd.AddRectStep >= 2 && cmd.AddRectStep <= 4) {
    RectRubberBand(s, c, cmd.AddRectStep);
  } else if (cmd.AddCircleStep == 2 || cmd.AddCircleStep == 3) {
    CircleRubberBand(s, c);
  } else if (EditArmed(cmd)) {
    if (s.geometry.hooks.EditPreview) s.geometry.hooks.EditPreview(x, y);
  } else if (!AnyCommand(cmd) && s.geometry.hooks.PlotLineMove) {
    s.geometry.hooks.PlotLineMove(x, y);
  }
}

void VMouseUp(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  CommandState& cmd = s.command;
  ViewHooks& hooks = s.geometry.hooks;
  if (!AnyCommand(cmd) && hooks.PlotLineUp && hooks.PlotLineUp(x, y)) return;
  if (cmd.ChangeDataActive) return;
  s.mouse.MouseButtonDown = 0;
  s.DocumentModified = 1;
  s.mouse.MouseRawX = x;
  s.mouse.MouseRawY = y;
  UpdateMouseReadout(s, ui);

  if (cmd.AddGuidelineStep >= 1) {
    GuidelineClick(s, c, ui, x, y);
  } else if (!AnyCommand(cmd)) {
    SelectAt(s, c, ui, x, y);
  } else if (cmd.AddRectStep >= 1) {
    RectClick(s, c, ui, cmd.AddRectStep, KindRect, x, y);
  } else if (cmd.AddCircleStep >= 1) {
    CircleClick(s, c, ui, cmd.AddCircleStep, KindCircle, x, y);
  } else if (EditArmed(cmd)) {
    if (hooks.EditCommit) hooks.EditCommit(x, y);
  }
  // Any other command works through its panel: a click on the view neither
  // commits nor copies anything.
}

bool FormKeyPress(ViewScene& s, Canvas& c, UiState& ui, int key, bool externalFieldPanelVisible) {
  bool cancelled = false;
  if (key == 27) {
    CommandState& cmd = s.command;
    cmd.EscapePressed = 1;
    if (AnyCommand(cmd) || cmd.PlotLineStep || externalFieldPanelVisible) {
      ObjectTable& t = s.table;
      if (s.geometry.hooks.CloseEntryPanels) s.geometry.hooks.CloseEntryPanels();
      s.services.RestoreViewSnapshot();
      ClearView(c, s.mesh);
      const std::int32_t modified = s.DocumentModified;
      // Nothing stays selected: an aerofoil's disabled commands apply again.
      if (t.ObjectSelected && t.SelectedKind == KindAerofoil) EnableNonAerofoilCommands(ui);
      CancelCommand(cmd);
      t.ObjectSelected = 0;
      s.DocumentModified = 0;
      if (s.geometry.hooks.OnCommandStateReset) s.geometry.hooks.OnCommandStateReset();
      if (modified == 1) s.DocumentModified = 1;
      RedrawAllObjects(s, c, ui);
      cmd.EscapePressed = 0;
      UnlockCommands(ui);
      cancelled = true;
    }
  }
  ui.status[4] = "";
  return cancelled;
}
