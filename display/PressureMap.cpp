#include "display/PressureMap.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/SolidCells.h"
#include "display/Streamlines.h"
#include "platform/UiState.h"

namespace {

constexpr float Diagonal = 0.7071f;
constexpr float OtherHalf = -10000.0f;  // marks a point of the other half in the log maps
constexpr int PressureHelpCode = 23;

bool HoldsSolution(const Mesh& mesh) {
  const std::size_t n = static_cast<std::size_t>(mesh.MeshSize);
  return mesh.MeshSize > 2 && mesh.StreamFunction.size() >= n * n && mesh.SpeedField.size() >= n * n &&
         mesh.PressureField.size() >= n * n && mesh.LogUpper.size() >= n * n && mesh.LogLower.size() >= n * n;
}

std::uint8_t Component(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Largest value over the displayed points, never below 0.
float DisplayedMax(const std::vector<float>& field, std::int32_t n, std::int32_t b) {
  float max = 0.0f;
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) max = std::max(max, field[r * n + c]);
  return max;
}

// Divides the displayed points by their maximum; with no flow at all (a zero
// maximum) every point is 0.
void NormaliseDisplayed(std::vector<float>& field, std::int32_t n, std::int32_t b) {
  const float max = DisplayedMax(field, n, b);
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) {
      float& v = field[r * n + c];
      v = max > 0.0f ? v / max : 0.0f;
    }
}

// The log stretch of one half: points of that half (above -9000) move to
// |x / max - 1| / 2 away from 0.5, towards `end`; a zero maximum means every
// point of the half sits at the end of the ramp.
void StretchHalf(std::vector<float>& half, std::int32_t n, std::int32_t b, bool upper) {
  const float max = DisplayedMax(half, n, b);
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) {
      float& v = half[r * n + c];
      if (!(v > -9000.0f)) continue;
      const float spread = std::fabs((max > 0.0f ? v / max : 0.0f) - 1.0f) / 2.0f;
      v = upper ? spread + 0.5f : 0.5f - spread;
    }
}

void LogStretch(Mesh& mesh, std::int32_t n, std::int32_t b) {
  std::vector<float>& p = mesh.PressureField;
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) {
      const std::int32_t k = r * n + c;
      const float d = p[k] - 0.5f;
      const float twice = 2.0f * std::fabs(d);
      const float stretched = std::log(twice < 1e-37f ? 1.0e34f : 1.0f / twice);
      if (d >= 0) {
        mesh.LogLower[k] = OtherHalf;
        mesh.LogUpper[k] = stretched;
      } else {
        mesh.LogUpper[k] = OtherHalf;
        mesh.LogLower[k] = stretched;
      }
    }
  StretchHalf(mesh.LogUpper, n, b, true);
  StretchHalf(mesh.LogLower, n, b, false);
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) {
      const std::int32_t k = r * n + c;
      if (mesh.LogUpper[k] < -9000.0f) mesh.LogUpper[k] = 0.0f;
      if (mesh.LogLower[k] < -9000.0f) mesh.LogLower[k] = 0.0f;
      p[k] = mesh.LogUpper[k] + mesh.LogLower[k];
    }
}

// Solid test of a visible cell through the mask, cells off the mesh not solid.
struct SolidCells {
  std::vector<std::uint8_t> mask;
  std::int32_t size = 0;
  bool operator()(std::int32_t row, std::int32_t column) const {
    return row >= 0 && column >= 0 && row < size && column < size &&
           mask[static_cast<std::size_t>(row) * size + column];
  }
  bool Enclosed(std::int32_t r, std::int32_t c) const {
    return (*this)(r - 1, c - 1) && (*this)(r - 1, c) && (*this)(r - 1, c + 1) && (*this)(r, c - 1) &&
           (*this)(r, c + 1) && (*this)(r + 1, c - 1) && (*this)(r + 1, c) && (*this)(r + 1, c + 1);
  }
};

SolidCells MakeSolidCells(const Mesh& mesh) { return SolidCells{SolidCellMask(mesh), mesh.VisibleMeshSize}; }

// A point beside an obstacle takes the value of its neighbour on the far side,
// so the near-zero differences across an obstacle wall do not show as a rim.
void ObstacleEdges(Mesh& mesh, const SolidCells& solid, float inside) {
  const std::int32_t n = mesh.MeshSize, border = mesh.MeshBorder;
  std::vector<float>& p = mesh.PressureField;
  const std::int32_t visible = std::min(mesh.VisibleMeshSize, n - 2 * border);
  for (std::int32_t r = 0; r < visible; ++r)
    for (std::int32_t c = 0; c < visible; ++c) {
      const std::int32_t k = n * (border + r) + border + c;
      if (solid(r - 1, c - 1)) p[k] = p[k + n + 1];
      if (solid(r - 1, c)) p[k] = p[k + n];
      if (solid(r - 1, c + 1)) p[k] = p[k + n - 1];
      if (solid(r, c - 1)) p[k] = p[k + 1];
      if (solid(r, c + 1)) p[k] = p[k - 1];
      if (solid(r + 1, c - 1)) p[k] = p[k - n + 1];
      if (solid(r + 1, c)) p[k] = p[k - n];
      if (solid(r + 1, c + 1)) p[k] = p[k - n - 1];
      if (solid.Enclosed(r, c)) p[k] = inside;
    }
}

void EnableCommandsOfPressureView(UiState& ui) {
  for (Cmd c : {Cmd::SpeedButton24, Cmd::SpeedButton3}) {
    ui[c].enabled = true;
    ui[c].hint = true;
  }
  ui[Cmd::Clipbd].enabled = true;
}

void ShowHelp(const FlowHooks& hooks) {
  if (hooks.ShowOnlineHelp) hooks.ShowOnlineHelp(PressureHelpCode);
}

void SyncViewChecks(const FlowDisplayState& flow, UiState& ui) {
  ui[Cmd::MnuViewFlowLines].checked = flow.PressureShown == 0;
  ui[Cmd::MnuViewFlowPressure].checked = flow.PressureShown != 0;
}

}  // namespace

void ComputeFlowField(Mesh& mesh, FlowDisplayState& flow, FlowFieldMode mode) {
  if (flow.StreamlinesShown != 1 || !HoldsSolution(mesh)) return;
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;
  const std::int32_t total = n * n;
  const float* s = mesh.StreamFunction.data();
  std::vector<float>& p = mesh.PressureField;

  // The speed: the steepest signed drop to one of the eight neighbours, taken
  // on flat offsets, so a point of column 0 compares with the end of the row
  // above.
  const std::int32_t offsets[8] = {-n - 1, -n, -n + 1, -1, 1, n - 1, n, n + 1};
  const bool diagonal[8] = {true, false, true, false, false, true, false, true};
  for (std::int32_t k = 0; k < total; ++k) {
    float steepest = 0.0f;
    for (int i = 0; i < 8; ++i) {
      const std::int32_t j = k + offsets[i];
      if (j < 0 || j >= total) continue;
      float difference = s[k] - s[j];
      if (diagonal[i]) difference *= Diagonal;
      if (std::fabs(difference) > std::fabs(steepest)) steepest = difference;
    }
    mesh.SpeedField[k] = steepest;
    p[k] = steepest;
  }

  float max = 0.0f;
  for (std::int32_t k = 0; k < total; ++k) max = std::max(max, p[k]);
  float min = max;
  for (std::int32_t k = 0; k < total; ++k) min = std::min(min, p[k]);
  flow.SpeedMin = min;
  flow.SpeedUnit = (max - min) / 255.0f;

  const SolidCells solid = MakeSolidCells(mesh);
  ObstacleEdges(mesh, solid, flow.SpeedMin + 125.0f * flow.SpeedUnit);

  std::fill(mesh.LogUpper.begin(), mesh.LogUpper.begin() + total, 0.0f);
  std::fill(mesh.LogLower.begin(), mesh.LogLower.begin() + total, 0.0f);

  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) p[r * n + c] = std::fabs(p[r * n + c]);
  NormaliseDisplayed(p, n, b);

  if (mode == FlowFieldMode::Pressure && flow.LinlogItem == 1) {
    LogStretch(mesh, n, b);
    return;
  }
  NormaliseDisplayed(p, n, b);
  if (flow.SpeedGrid.size() < static_cast<std::size_t>(SpeedGridStride) * SpeedGridStride)
    flow.SpeedGrid.assign(static_cast<std::size_t>(SpeedGridStride) * SpeedGridStride, 0.0f);
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c)
      flow.SpeedGrid[static_cast<std::size_t>(c) * SpeedGridStride + r] = p[r * n + c];
}

Rgb PressureColour(float v) {
  if (!(v >= 0.0f)) v = 0.0f;  // also a value that is not a number
  if (v > 1.0f) v = 1.0f;
  auto t = [](float x) { return static_cast<int>(x); };
  if (v >= 0.9f) return {Component(t((1 - v) * 600)), 0, Component(t((1 - v) * 1000))};
  if (v >= 0.8f) return {Component(t((v - 0.8f) * 600)), 0, Component(t((0.9f - v) * 1550 + 100))};
  if (v >= 0.6f) return {0, Component(t((0.8f - v) * 5 * 255)), 255};
  if (v >= 0.4f) return {0, 255, Component(t((v - 0.4f) * 5 * 255))};
  if (v >= 0.2f) return {Component(t((0.4f - v) * 5 * 255)), 255, 0};
  return {255, Component(t(v * 5 * 255)), 0};
}

Rgb PressureGrey(float v) {
  if (!(v >= 0.0f)) v = 0.0f;
  if (v > 1.0f) v = 1.0f;
  const std::uint8_t g = Component(static_cast<int>((1 - v) * 255));
  return {g, g, g};
}

void PaintPressureMap(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, const FlowTarget& target) {
  if (flow.StreamlinesShown != 1 || !HoldsSolution(mesh)) return;
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;
  std::vector<float>& p = mesh.PressureField;

  const SolidCells solid = MakeSolidCells(mesh);
  const float inside = flow.SpeedMin + 125.0f * flow.SpeedUnit;
  const std::int32_t visible = std::min(mesh.VisibleMeshSize, n - 2 * mesh.MeshBorder);
  for (std::int32_t r = 0; r < visible; ++r)
    for (std::int32_t c = 0; c < visible; ++c)
      if (solid.Enclosed(r, c)) p[n * (mesh.MeshBorder + r) + mesh.MeshBorder + c] = inside;

  const float cw = mesh.CellWidth, ch = mesh.CellHeight;
  const float left = target.printer ? static_cast<float>(target.PrintLeft) : 0.0f;
  const float top = static_cast<float>(target.printer ? target.PrintTop : mesh.MeshTop);
  const bool colour = flow.BcolorItem == 0;
  const std::int32_t total = n * n;
  canvas.SetPen(Colours::Black, 1, PenMode::Copy, PenStyle::Solid);
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t x = b; x <= n - 1 - b; ++x) {
      const std::int32_t k = r * n + x;
      float v = p[k];
      Rgb rgb;
      if (colour) {
        rgb = PressureColour(v);
      } else {
        // A point with next to no flow takes the shade of its row neighbour, so
        // the lines of zero difference along a wall do not show white.
        if (v < 0.01f) v = (k - n >= 0 && p[k - n] >= 0.01f) ? p[k - n] : k + n < total ? p[k + n] : v;
        rgb = PressureGrey(v);
      }
      canvas.SetBrush(rgb, BrushStyle::Solid);
      const float x0 = static_cast<float>(x) * cw - static_cast<float>(b) * cw + left;
      const float y0 = static_cast<float>(r) * ch + top - static_cast<float>(b) * ch;
      canvas.FillRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + cw), TruncPixel(y0 + ch));
    }

  canvas.SetPen(Colours::Grey, 1, PenMode::Copy, PenStyle::Solid);
  canvas.SetBrush(Colours::Grey, BrushStyle::Solid);
  constexpr std::int32_t finePoints = 300;
  if (!target.printer) {
    // Each solid fine point as Trunc(w) + 1 grey strokes, one fine step up and
    // to the left of the point, as the aerofoil fill of set-up places them.
    const float w = static_cast<float>(mesh.ViewRight) / 299.0f, h = static_cast<float>(mesh.ViewSize) / 299.0f;
    const int strokes = TruncPixel(w);
    for (std::int32_t col = 0; col < finePoints; ++col)
      for (std::int32_t row = 0; row < finePoints; ++row) {
        if (mesh.SolidMap[static_cast<std::size_t>(col) * Mesh::SolidMapStride + row] != 's') continue;
        const float y = static_cast<float>(row) * h + static_cast<float>(mesh.MeshTop);
        canvas.FillRect(TruncPixel(static_cast<float>(col) * w - w), TruncPixel(y - h),
                        TruncPixel(static_cast<float>(col) * w), TruncPixel(y + static_cast<float>(strokes) - h) + 1);
      }
  } else {
    const float w = cw / 3.0f, h = ch / 3.0f;
    for (std::int32_t col = 0; col < finePoints; ++col)
      for (std::int32_t row = 0; row < finePoints; ++row) {
        if (mesh.SolidMap[static_cast<std::size_t>(col) * Mesh::SolidMapStride + row] != 's') continue;
        const float x0 = static_cast<float>(col) * w + left, y0 = static_cast<float>(row) * h + top;
        canvas.FillRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + w), TruncPixel(y0 + h));
      }
  }
  canvas.SetBrush(Colours::White, BrushStyle::Solid);
  canvas.Flush();
}

void ShowPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                         const FlowTarget& target) {
  if (flow.StreamlinesShown != 1) return;
  flow.BdisplayVisible = true;
  ShowHelp(hooks);
  ui.Refresh();
  ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
  PaintPressureMap(canvas, mesh, flow, target);
  if (hooks.SaveViewSnapshot) hooks.SaveViewSnapshot();
  DrawStreamlines(canvas, mesh, flow, ui, hooks, target);
  ShowHelp(hooks);
  EnableCommandsOfPressureView(ui);
  ui.cursor = CursorShape::Default;
  if (hooks.SaveViewSnapshot) hooks.SaveViewSnapshot();
  ui.Refresh();
}

void SwitchFlowView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks) {
  flow.ViewSwitchRedraw = 1;
  if (flow.PressureShown == 0) {
    flow.PressureShown = 1;
    SyncViewChecks(flow, ui);
    if (flow.StreamlinesShown == 1) {
      ui.cursor = CursorShape::Hourglass;
      LockCommands(ui, false);
      ui.status[4] = "Click F>P to return";
      ShowPressureDisplay(canvas, mesh, flow, ui, hooks);
      ShowHelp(hooks);
      ui.status[4] = "Click F>P to return";
      EnableCommandsOfPressureView(ui);
      ui.cursor = CursorShape::Default;
    }
  } else {
    flow.PressureShown = 0;
    SyncViewChecks(flow, ui);
    if (flow.StreamlinesShown == 1) {
      ui.cursor = CursorShape::Hourglass;
      LockCommands(ui, false);
      ClearView(canvas, mesh);
      flow.BdisplayVisible = false;
      flow.BFilterVisible = false;
      ui.helpLabels[1] = "";
      if (hooks.RedrawAllObjects) hooks.RedrawAllObjects();
      if (hooks.MeshSetupRedraw) hooks.MeshSetupRedraw();
      canvas.Flush();
      if (hooks.SaveViewSnapshot) hooks.SaveViewSnapshot();
      DrawStreamlines(canvas, mesh, flow, ui, hooks);
      UnlockCommands(ui);
      ui.cursor = CursorShape::Default;
    }
  }
  flow.ViewSwitchRedraw = 0;
  ui.Refresh();
}

void ChooseFlowLinesView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks) {
  if (flow.PressureShown != 0) SwitchFlowView(canvas, mesh, flow, ui, hooks);
}

void ChooseFlowPressureView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui,
                            const FlowHooks& hooks) {
  if (flow.PressureShown == 0) SwitchFlowView(canvas, mesh, flow, ui, hooks);
}

void SetPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                        std::int32_t bcolorItem, std::int32_t linlogItem) {
  flow.BcolorItem = bcolorItem;
  flow.LinlogItem = linlogItem;
  ShowPressureDisplay(canvas, mesh, flow, ui, hooks);
}

void SetFilterLevel(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                    std::int32_t position) {
  flow.FilterPosition = std::clamp(position, 0, 100);
  flow.FilterLevel = static_cast<float>(100 - flow.FilterPosition) / 100.0f;
  ShowPressureDisplay(canvas, mesh, flow, ui, hooks);
}

void ToggleSolidFill(FlowDisplayState& flow, UiState& ui) {
  flow.SolidFill = flow.SolidFill ? 0 : 1;
  ui[Cmd::MnuViewSolidFill].checked = flow.SolidFill != 0;
}
