#include "display/Streamlines.h"

#include <algorithm>
#include <string>
#include <vector>

#include "display/FlowField.h"
#include "display/StreamField.h"
#include "display/SolidCells.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"

namespace {

// The sweep fractions t / cellSize for t = 0, 1, 2 … while they stay within the
// square.
std::vector<float> SweepFractions(float cellSize) {
  std::vector<float> fractions;
  if (!(cellSize > 0)) return fractions;
  for (int t = 0;; ++t) {
    const float f = static_cast<float>(t) / cellSize;
    if (!(f <= 1.0f)) break;
    fractions.push_back(f);
  }
  return fractions;
}

// A dot: the pen's one-pixel stroke widened to a square of the pen width round
// its pixel, black whatever lies under it.
void PlotDot(Canvas& canvas, int x, int y, int width) {
  const int half = (width - 1) / 2;
  canvas.FillRect(x - half, y - half, x - half + width, y - half + width);
}

}  // namespace

bool DrawStreamlines(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                     const FlowTarget& target) {
  if (!HoldsStreamDisplay(mesh)) return true;
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;

  ui.cursor = CursorShape::Hourglass;
  services.Refresh();
  const std::string panel4 = ui.status[4];
  LockCommands(ui, services, true);
  flow.StreamlinesShown = 1;
  PrepareStreamDisplay(mesh, flow);

  flow.SpeedGrid.assign(static_cast<std::size_t>(SpeedGridStride) * SpeedGridStride, 0.0f);
  ComputeFlowField(mesh, flow, FlowFieldMode::Compute);

  ui.status[3] = " Streamlines";
  services.ShowProgress(true);
  services.Refresh();
  std::int32_t position = 0;
  bool escaped = !services.Progress(position);

  ComputeStreamLevels(mesh, flow);
  const float* levels = flow.StreamLevels.data();
  const float* levelsEnd = levels + StreamLevelsUsed(flow);
  // Levels L with lo <= L < hi, as an index range of the ascending levels.
  auto levelRange = [&](float lo, float hi) {
    return std::pair{std::lower_bound(levels, levelsEnd, lo), std::lower_bound(levels, levelsEnd, hi)};
  };

  const int penUnit = target.printer ? 2 * target.PrintPenScale : 1;
  canvas.SetPen(Colours::Black, std::max(1, penUnit), PenMode::Black, PenStyle::Solid);
  canvas.SetBrush(Colours::Black, BrushStyle::Solid);

  const float cw = mesh.CellWidth, ch = mesh.CellHeight;
  const float left = target.printer ? static_cast<float>(target.PrintLeft) : 0.0f;
  const float top = static_cast<float>(target.printer ? target.PrintTop : mesh.MeshTop);
  const float offsetX = cw / 2 - static_cast<float>(b) * cw;
  const float offsetY = top + ch / 2 - static_cast<float>(b) * ch;
  const std::vector<float> down = SweepFractions(ch), across = SweepFractions(cw);
  const std::vector<std::uint8_t> solid = SolidCellMask(mesh);
  const std::int32_t visible = mesh.VisibleMeshSize;
  auto solidCell = [&](std::int32_t row, std::int32_t column) {
    return row >= 0 && column >= 0 && row < visible && column < visible &&
           solid[static_cast<std::size_t>(row) * visible + column];
  };
  const float* d = mesh.StreamDisplay.data();
  const std::int32_t rowStep = 1000 / (n - 1);

  for (std::int32_t r = n - 1 - b; r >= b + 1 && !escaped; --r) {
    for (std::int32_t x = b; x <= n - 2 - b; ++x) {
      const float va = d[r * n + x], vb = d[r * n + x + 1], vc = d[(r - 1) * n + x], vd = d[(r - 1) * n + x + 1];
      const float hi = std::max(std::max(va, vb), std::max(vc, vd));
      const float lo = std::min(std::min(va, vb), std::min(vc, vd));
      const auto crossing = levelRange(lo, hi);
      if (crossing.first == crossing.second) continue;
      // The square's hits belong to its lower-left cell: none inside an obstacle.
      if (solidCell(r - b, x - b)) continue;
      const int width = std::max(1, StreamDotWidth(flow.SpeedGrid[static_cast<std::size_t>(x) * SpeedGridStride + r]) *
                                        (target.printer ? penUnit : 1));
      const float fx = static_cast<float>(x), fr = static_cast<float>(r);
      for (const float f : down) {
        const float l = va + (vc - va) * f, rt = vb + (vd - vb) * f;
        const auto hits = levelRange(std::min(l, rt), std::max(l, rt));
        const int y = TruncPixel((fr - f) * ch + offsetY);
        for (const float* level = hits.first; level != hits.second; ++level)
          PlotDot(canvas, TruncPixel((fx + (*level - l) / (rt - l)) * cw + offsetX + left), y, width);
      }
      for (const float g : across) {
        const float t = va + (vb - va) * g, bt = vc + (vd - vc) * g;
        const auto hits = levelRange(std::min(t, bt), std::max(t, bt));
        const int xp = TruncPixel((fx + g) * cw + offsetX + left);
        for (const float* level = hits.first; level != hits.second; ++level)
          PlotDot(canvas, xp, TruncPixel((fr - (*level - t) / (bt - t)) * ch + offsetY), width);
      }
    }
    position += rowStep;
    if (!services.Progress(position)) escaped = true;
  }

  canvas.SetPen(Colours::Black, std::max(1, penUnit), PenMode::Black, PenStyle::Solid);
  canvas.SetBrush(Colours::White, BrushStyle::Solid);
  if (hooks.ReadGaugeCalibration) hooks.ReadGaugeCalibration();
  services.ShowProgress(false);
  ui.status[4] = panel4;
  services.SaveViewSnapshot();
  ui.cursor = CursorShape::Default;
  services.Refresh();
  return !escaped;
}

void SetStreamDensity(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                      std::int32_t levelCount) {
  flow.StreamLevelCount = std::clamp(levelCount, 1, MaxStreamLevels);
  flow.DensityMarks = DensityMarksOf(flow.StreamLevelCount);
  flow.DensityRedraw = 1;
  if (flow.StreamlinesShown == 1) {
    if (hooks.MeshSetupRedraw) hooks.MeshSetupRedraw();
    DrawStreamlines(canvas, mesh, flow, ui, services, hooks);
  }
  UnlockCommands(ui);
  flow.DensityRedraw = 0;
}
