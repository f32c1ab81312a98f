#include "mesh/Grid.h"
#include "display/PressureMap.h"

#include <algorithm>
#include <vector>

#include "display/SolidCells.h"
#include "display/Streamlines.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"

namespace {

constexpr int PressureHelpCode = 23;

void EnableCommandsOfPressureView(UiState& ui) {
  for (Cmd c : {Cmd::SpeedButton24, Cmd::SpeedButton3}) {
    ui[c].enabled = true;
    ui[c].hint = true;
  }
  ui[Cmd::Clipbd].enabled = true;
}

void ShowHelp(WindowServices& services) {
  services.ShowOnlineHelp(PressureHelpCode);
}

}  // namespace

void PaintPressureMap(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, const FlowTarget& target) {
  if (flow.StreamlinesShown != 1 || !HoldsFlowField(mesh)) return;
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
  // Every square goes straight into the image's pixels: a painter call per
  // square would cost several times the whole map.
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
      const float x0 = static_cast<float>(x) * cw - static_cast<float>(b) * cw + left;
      const float y0 = static_cast<float>(r) * ch + top - static_cast<float>(b) * ch;
      canvas.FillSolidRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + cw), TruncPixel(y0 + ch), rgb);
    }

  canvas.SetPen(Colours::Grey, 1, PenMode::Copy, PenStyle::Solid);
  constexpr std::int32_t finePoints = 300;
  if (!target.printer) {
    // Each solid fine point as Trunc(w) + 1 grey strokes, one fine step up and
    // to the left of the point, as the aerofoil fill of set-up places them.
    const float w = FineStepX(mesh), h = FineStepY(mesh);
    const int strokes = TruncPixel(w);
    for (std::int32_t col = 0; col < finePoints; ++col)
      for (std::int32_t row = 0; row < finePoints; ++row) {
        if (mesh.SolidMap[static_cast<std::size_t>(col) * Mesh::SolidMapStride + row] != 's') continue;
        const float y = static_cast<float>(row) * h + static_cast<float>(mesh.MeshTop);
        canvas.FillSolidRect(TruncPixel(static_cast<float>(col) * w - w), TruncPixel(y - h),
                             TruncPixel(static_cast<float>(col) * w),
                             TruncPixel(y + static_cast<float>(strokes) - h) + 1, Colours::Grey);
      }
  } else {
    const float w = cw / 3.0f, h = ch / 3.0f;
    for (std::int32_t col = 0; col < finePoints; ++col)
      for (std::int32_t row = 0; row < finePoints; ++row) {
        if (mesh.SolidMap[static_cast<std::size_t>(col) * Mesh::SolidMapStride + row] != 's') continue;
        const float x0 = static_cast<float>(col) * w + left, y0 = static_cast<float>(row) * h + top;
        canvas.FillSolidRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + w), TruncPixel(y0 + h), Colours::Grey);
      }
  }
  canvas.SetBrush(Colours::White, BrushStyle::Solid);
}

void ShowPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                         const FlowTarget& target) {
  if (flow.StreamlinesShown != 1) return;
  flow.BdisplayVisible = true;
  ShowHelp(services);
  services.Refresh();
  ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
  PaintPressureMap(canvas, mesh, flow, target);
  services.SaveViewSnapshot();
  DrawStreamlines(canvas, mesh, flow, ui, services, hooks, target);
  ShowHelp(services);
  EnableCommandsOfPressureView(ui);
  ui.cursor = CursorShape::Default;
  services.SaveViewSnapshot();
  services.Refresh();
}

void SwitchFlowView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks) {
  flow.ViewSwitchRedraw = 1;
  if (flow.PressureShown == 0) {
    flow.PressureShown = 1;
    if (flow.StreamlinesShown == 1) {
      ui.cursor = CursorShape::Hourglass;
      LockCommands(ui, services, false);
      ui.status[4] = "Click F>P to return";
      ShowPressureDisplay(canvas, mesh, flow, ui, services, hooks);
      ShowHelp(services);
      ui.status[4] = "Click F>P to return";
      EnableCommandsOfPressureView(ui);
      ui.cursor = CursorShape::Default;
    }
  } else {
    flow.PressureShown = 0;
    if (flow.StreamlinesShown == 1) {
      ui.cursor = CursorShape::Hourglass;
      LockCommands(ui, services, false);
      ClearView(canvas, mesh);
      flow.BdisplayVisible = false;
      flow.BFilterVisible = false;
      ui.helpLabels[1] = "";
      services.RedrawView();
      if (hooks.MeshSetupRedraw) hooks.MeshSetupRedraw();
      services.SaveViewSnapshot();
      DrawStreamlines(canvas, mesh, flow, ui, services, hooks);
      UnlockCommands(ui);
      ui.cursor = CursorShape::Default;
    }
  }
  flow.ViewSwitchRedraw = 0;
  services.Refresh();
}

void ChooseFlowLinesView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks) {
  if (flow.PressureShown != 0) SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
}

void ChooseFlowPressureView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services,
                            const FlowHooks& hooks) {
  if (flow.PressureShown == 0) SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
}

void SetPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                        std::int32_t bcolorItem, std::int32_t linlogItem) {
  flow.BcolorItem = bcolorItem;
  flow.LinlogItem = linlogItem;
  ShowPressureDisplay(canvas, mesh, flow, ui, services, hooks);
}

void SetFilterLevel(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                    std::int32_t position) {
  flow.FilterPosition = std::clamp(position, 0, 100);
  flow.FilterLevel = static_cast<float>(100 - flow.FilterPosition) / 100.0f;
  ShowPressureDisplay(canvas, mesh, flow, ui, services, hooks);
}

void ToggleSolidFill(FlowDisplayState& flow) { flow.SolidFill = flow.SolidFill ? 0 : 1; }
