#include "mesh/Grid.h"
#include "geometry/Guidelines.h"

#include <cmath>

#include "geometry/Creation.h"
#include "geometry/ObjectDrawing.h"

void AddGuidelineClick(ViewScene& s, UiState& ui) {
  if (AnyCommand(s.command)) return;
  ClearCreationScratch(s);
  s.command.CommandActive = 1;
  s.command.AddGuidelineStep = 1;
  LockCommands(ui, s.services, true);
  s.services.ShowOnlineHelp(HelpAddGuideline);
  ShowPrompt(s, ui);
}

void GuidelineClick(ViewScene& s, Canvas& c, UiState& ui, float x, float y) {
  ObjectTable& t = s.table;
  CommandState& cmd = s.command;
  GeometryState& g = s.geometry;
  auto& n = t.NewShape;
  if (!InsideDrawArea(s.mesh, x, y)) {
    s.services.Ask().Beep();
    return;
  }
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  if (cmd.AddGuidelineStep == 1) {
    n[0] = x;
    n[1] = y;
    cmd.FirstClickX = x;
    cmd.FirstClickY = y;
    cmd.AddGuidelineStep = 2;
    ShowPrompt(s, ui);
    return;
  }
  if (std::hypot(x - n[0], y - n[1]) < 2 * s.mesh.CellWidth) {
    s.services.Ask().Beep();
    return;
  }
  const int x0 = RoundPixel(n[0]), y0 = RoundPixel(n[1]);
  if (cmd.RubberBandDrawn) {
    c.SetPen(ObjectColours::RubberBand, 1, PenMode::NotXor, PenStyle::Solid);
    c.MoveTo(x0, y0);
    c.LineTo(g.BandLineX, g.BandLineY);
    cmd.RubberBandDrawn = 0;
  }
  const Guideline line{x0, y0, RoundPixel(x), RoundPixel(y)};
  c.SetPen(ObjectColours::Guideline, 2, PenMode::NotXor, PenStyle::Solid);
  c.MoveTo(line.x1, line.y1);
  c.LineTo(line.x2, line.y2);
  g.Guidelines.push_back(line);
  n[2] = x;
  n[3] = y;
  ui.status[2] = RotationText(n[0] - x, n[1] - y);
  CancelCommand(cmd);
  ui.status[3] = "";
  UnlockCommands(ui);
}

void ClearAllGuidelines(ViewScene& s, Canvas& c, UiState& ui) {
  ClearView(c, s.mesh);
  RedrawAllObjects(s, c, ui);
}
