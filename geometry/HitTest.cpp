#include "geometry/HitTest.h"

#include <algorithm>
#include <cmath>

std::int32_t RoundPixel(float value) {
  if (!std::isfinite(value)) return 0;
  const float clamped = std::clamp(value, -1.0e9f, 1.0e9f);
  return static_cast<std::int32_t>(std::nearbyint(clamped));
}

// Copies the selected record out of the table; false when the selection names
// no existing record (then nothing is selected).
bool LoadSelectedRecord(ObjectTable& t) {
  const std::int32_t kind = t.SelectedKind;
  if (kind < KindRect || kind > KindAerofoil) return false;
  const std::int32_t size = ObjectTable::RecordSize(kind);
  const std::int32_t at = kind == KindAerofoil ? t.SelectedAerofoilOffset : t.SelectedIndex;
  if (at < 0 || at % size != 0 || at + size > t.Length(kind)) return false;
  if (kind == KindAerofoil && t.SelectedAerofoil != at / AerofoilRecordSize + 1) return false;
  t.SelectedRecord.fill(0.0f);
  std::copy_n(t.Data(kind) + at, size, t.SelectedRecord.begin());
  return true;
}

void Select(ObjectTable& t, std::int32_t kind, std::int32_t offset) {
  t.ObjectSelected = 1;
  t.SelectedKind = kind;
  t.SelectedIndex = offset;
  t.SelectedRecord.fill(0.0f);
  std::copy_n(t.Data(kind) + offset, ObjectTable::RecordSize(kind), t.SelectedRecord.begin());
}

void EdgeTest(GeometryState& g, const float* p, float x, float y) {
  for (int k = 0; k < 4; ++k) {
    const int n = (k + 1) % 4;
    const float ax = x - p[2 * k], ay = y - p[2 * k + 1];
    const float bx = x - p[2 * n], by = y - p[2 * n + 1];
    const float a = ax * ax + ay * ay, b = bx * bx + by * by;
    if (a < 1e-07f || b < 1e-07f) {
      g.CornerHit = 1;
      g.HitEdge = 2 * (a < 1e-07f ? k : n);
      return;
    }
    const float ex = p[2 * k] - p[2 * n], ey = p[2 * k + 1] - p[2 * n + 1];
    const float cc = ex * ex + ey * ey;
    float cosine = (a + b - cc) / (2.0f * std::sqrt(a) * std::sqrt(b));
    float angle;
    if (cosine >= 1e-07f || cosine < 0.0f) {
      cosine = std::clamp(cosine, -1.0f, 1.0f);
      angle = std::fabs(std::atan(std::sqrt(1.0f - cosine * cosine) / cosine));
      if (cosine < 0.0f) angle = 3.1415926f - angle;
    } else {
      angle = 1.5707963f;
    }
    // A collapsed edge has no length to measure against.
    g.EdgeMeasures[k] = cc > 0.0f ? angle / std::sqrt(cc) : 0.0f;
  }
  int best = 0;
  for (int k = 1; k < 4; ++k)
    if (g.EdgeMeasures[k] > g.EdgeMeasures[best]) best = k;
  g.EdgeMeasures[0] = g.EdgeMeasures[best];
  g.HitEdge = 2 * best;
}

void HitPolygonKind(ObjectTable& t, GeometryState& g, std::int32_t kind, float x, float y) {
  const float* data = t.Data(kind);
  for (std::int32_t o = 0; o + TenRecordSize <= t.Length(kind); o += TenRecordSize) {
    const float* r = data + o;
    const float minX = std::min({r[0], r[2], r[4], r[6]}), maxX = std::max({r[0], r[2], r[4], r[6]});
    const float minY = std::min({r[1], r[3], r[5], r[7]}), maxY = std::max({r[1], r[3], r[5], r[7]});
    if (x < minX || x > maxX || y < minY || y > maxY) continue;
    EdgeTest(g, r, x, y);
    if (g.CornerHit) {
      Select(t, kind, o);
      t.SelectedEdge = g.HitEdge;
      return;
    }
    if (g.EdgeMeasures[0] > g.BestHitMeasure) {
      Select(t, kind, o);
      t.SelectedEdge = g.HitEdge;
      g.BestHitMeasure = g.EdgeMeasures[0];
    }
  }
}

void HitCircleKind(ObjectTable& t, std::int32_t kind, float x, float y) {
  const float* data = t.Data(kind);
  // No early exit: of nested circles the one added last wins.
  for (std::int32_t o = 0; o + TenRecordSize <= t.Length(kind); o += TenRecordSize) {
    const float dx = x - data[o], dy = y - data[o + 1];
    if (std::sqrt(dx * dx + dy * dy) <= data[o + 3]) {
      Select(t, kind, o);
      t.SelectedEdge = 2;
    }
  }
}

bool PixelToAerofoilCell(const Mesh& mesh, float x, float y, std::int32_t& i, std::int32_t& j) {
  if (mesh.ViewRight <= 0 || mesh.ViewSize <= 0 || !std::isfinite(x) || !std::isfinite(y)) return false;
  const double fi = std::nearbyint(x / (mesh.ViewRight / 299.0));
  const double fj = std::nearbyint(y / (mesh.ViewSize / 299.0));
  if (fi < 0 || fi >= AerofoilMapSide || fj < 0 || fj >= AerofoilMapSide) return false;
  i = static_cast<std::int32_t>(fi);
  j = static_cast<std::int32_t>(fj);
  return true;
}
