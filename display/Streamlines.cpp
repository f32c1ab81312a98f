#include "display/Streamlines.h"

#include <algorithm>
#include <string>
#include <vector>

#include "display/PressureMap.h"
#include "display/SolidCells.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"

namespace {

bool HoldsSolution(const Mesh& mesh) {
  const std::size_t n = static_cast<std::size_t>(mesh.MeshSize);
  return mesh.MeshSize > 2 && mesh.StreamFunction.size() >= n * n && mesh.StreamDisplay.size() >= n * n &&
         mesh.SpeedField.size() >= n * n && mesh.PressureField.size() >= n * n &&
         mesh.LogUpper.size() >= n * n && mesh.LogLower.size() >= n * n;
}

std::int32_t LevelCount(const FlowDisplayState& flow) {
  return std::clamp(flow.StreamLevelCount, 1, MaxStreamLevels);
}

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

void PrepareStreamDisplay(Mesh& mesh, const FlowDisplayState& flow) {
  if (!HoldsSolution(mesh)) return;
  const std::int32_t n = mesh.MeshSize;
  const std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
  std::copy(mesh.StreamFunction.begin(), mesh.StreamFunction.begin() + static_cast<std::ptrdiff_t>(count),
            mesh.StreamDisplay.begin());
  if (mesh.MeshExtended != 1 || flow.SmoothingLevel == 0) return;
  const float w = flow.SmoothingLevel == 1 ? 0.1f : 0.25f;
  const float norm = 1.0f + 8.0f * w;
  const std::int32_t first = std::max(mesh.MeshBorder, 1), last = std::min(n - 1 - mesh.MeshBorder, n - 2);
  const float* s = mesh.StreamFunction.data();
  float* d = mesh.StreamDisplay.data();
  for (std::int32_t r = first; r <= last; ++r)
    for (std::int32_t c = first; c <= last; ++c) {
      const std::int32_t k = r * n + c;
      const float around = s[k - n - 1] + s[k - n] + s[k - n + 1] + s[k - 1] + s[k + 1] + s[k + n - 1] + s[k + n] +
                           s[k + n + 1];
      d[k] = (s[k] + w * around) / norm;
    }
}

void ComputeStreamLevels(const Mesh& mesh, FlowDisplayState& flow) {
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;
  const std::int32_t count = LevelCount(flow);
  float max = 0.0f;
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) max = std::max(max, mesh.StreamDisplay[r * n + c]);
  float min = max;
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t c = b; c <= n - 1 - b; ++c) min = std::min(min, mesh.StreamDisplay[r * n + c]);
  const float step = (max - min) / static_cast<float>(count);
  flow.StreamLevels[0] = min;
  for (std::int32_t i = 1; i < count; ++i) flow.StreamLevels[i] = flow.StreamLevels[i - 1] + step;
}

int StreamDotWidth(float speed) {
  const float s = 4.0f * speed;
  if (s >= 2.5f) return 1;
  if (s >= 2.0f) return 2;
  if (s >= 1.5f) return 3;
  if (s >= 1.0f) return 4;
  if (s >= 0.5f) return 5;
  return 6;
}

bool DrawStreamlines(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                     const FlowTarget& target) {
  if (!HoldsSolution(mesh)) return true;
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;

  ui.cursor = CursorShape::Hourglass;
  ui.Refresh();
  const std::string panel4 = ui.status[4];
  LockCommands(ui, true);
  flow.StreamlinesShown = 1;
  PrepareStreamDisplay(mesh, flow);

  flow.SpeedGrid.assign(static_cast<std::size_t>(SpeedGridStride) * SpeedGridStride, 0.0f);
  ComputeFlowField(mesh, flow, FlowFieldMode::Compute);

  ui.status[3] = " Streamlines";
  if (hooks.ShowProgress) hooks.ShowProgress(true);
  ui.Refresh();
  std::int32_t position = 0;
  bool escaped = hooks.Progress && !hooks.Progress(position);

  ComputeStreamLevels(mesh, flow);
  const float* levels = flow.StreamLevels.data();
  const float* levelsEnd = levels + LevelCount(flow);
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
    if (hooks.Progress && !hooks.Progress(position)) escaped = true;
  }

  canvas.SetPen(Colours::Black, std::max(1, penUnit), PenMode::Black, PenStyle::Solid);
  canvas.SetBrush(Colours::White, BrushStyle::Solid);
  canvas.Flush();
  if (hooks.ReadGaugeCalibration) hooks.ReadGaugeCalibration();
  if (hooks.ShowProgress) hooks.ShowProgress(false);
  ui.status[4] = panel4;
  if (hooks.SaveViewSnapshot) hooks.SaveViewSnapshot();
  ui.cursor = CursorShape::Default;
  ui.Refresh();
  return !escaped;
}

void SetStreamDensity(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                      std::int32_t levelCount) {
  flow.StreamLevelCount = std::clamp(levelCount, 1, MaxStreamLevels);
  ui[Cmd::MnuFlowHigh].checked = flow.StreamLevelCount == HighStreamLevels;
  ui[Cmd::MnuFlowNormal].checked = flow.StreamLevelCount == NormalStreamLevels;
  ui[Cmd::MnuFlowLow].checked = flow.StreamLevelCount == LowStreamLevels;
  flow.DensityRedraw = 1;
  if (flow.StreamlinesShown == 1) {
    if (hooks.MeshSetupRedraw) hooks.MeshSetupRedraw();
    DrawStreamlines(canvas, mesh, flow, ui, hooks);
  }
  UnlockCommands(ui);
  flow.DensityRedraw = 0;
}
