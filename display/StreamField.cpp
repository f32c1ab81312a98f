#include "display/StreamField.h"

#include <algorithm>

std::int32_t StreamLevelsUsed(const FlowDisplayState& flow) {
  return std::clamp(flow.StreamLevelCount, 1, MaxStreamLevels);
}

bool HoldsStreamDisplay(const Mesh& mesh) {
  const std::size_t n = static_cast<std::size_t>(mesh.MeshSize);
  return HoldsFlowField(mesh) && mesh.StreamDisplay.size() >= n * n;
}

void PrepareStreamDisplay(Mesh& mesh, const FlowDisplayState& flow) {
  if (!HoldsStreamDisplay(mesh)) return;
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
  const std::int32_t count = StreamLevelsUsed(flow);
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

