#include "display/FlowField.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "display/SolidCells.h"

namespace {

constexpr float Diagonal = 0.7071f;
constexpr float OtherHalf = -10000.0f;  // marks a point of the other half in the log maps

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

}  // namespace

bool HoldsFlowField(const Mesh& mesh) {
  const std::size_t n = static_cast<std::size_t>(mesh.MeshSize);
  return mesh.MeshSize > 2 && mesh.StreamFunction.size() >= n * n && mesh.SpeedField.size() >= n * n &&
         mesh.PressureField.size() >= n * n && mesh.LogUpper.size() >= n * n && mesh.LogLower.size() >= n * n;
}

void ComputeFlowField(Mesh& mesh, FlowDisplayState& flow, FlowFieldMode mode) {
  if (flow.StreamlinesShown != 1 || !HoldsFlowField(mesh)) return;
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

std::string VisibleFieldCsv(const Mesh& mesh, const std::vector<float>& field, bool magnitude) {
  std::string text;
  char buf[32];
  for (std::int32_t r = 0; r < mesh.VisibleMeshSize; ++r) {
    for (std::int32_t c = 0; c < mesh.VisibleMeshSize; ++c) {
      float v = field[static_cast<std::size_t>(mesh.Index(r, c))];
      if (magnitude) v = std::fabs(v);
      std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
      if (c) text += ',';
      text += buf;
    }
    text += '\n';
  }
  return text;
}

