#include "display/SurfacePressure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "display/Lift.h"
#include "geometry/AerofoilProfile.h"
#include "geometry/ObjectTable.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Pi = 3.14159265358979323846;
// A face at the obstacle weight (1.0) against the free fluid's 0.001 or 0.005.
constexpr float RaisedFace = 0.5f;

bool HasSolution(const Mesh& mesh) {
  return mesh.MeshSize > 0 && mesh.StreamFunction.size() >= static_cast<std::size_t>(mesh.MeshSize) * mesh.MeshSize &&
         mesh.CoefDiag.size() >= static_cast<std::size_t>(mesh.MeshSize) * mesh.MeshSize;
}

// The visible cells the solver treats as obstacle: three or four faces at the
// obstacle weight. Read from the matrix, so it is what the solution saw.
std::vector<std::uint8_t> ObstacleCells(const Mesh& mesh) {
  const std::int32_t V = mesh.VisibleMeshSize, M = mesh.MeshSize;
  std::vector<std::uint8_t> solid(static_cast<std::size_t>(V) * V, 0);
  for (std::int32_t r = 0; r < V; ++r)
    for (std::int32_t c = 0; c < V; ++c) {
      const std::int32_t k = mesh.Index(r, c);
      const int raised = (-mesh.CoefEast[k - 1] >= RaisedFace) + (-mesh.CoefEast[k] >= RaisedFace) +
                         (-mesh.CoefSouth[k - M] >= RaisedFace) + (-mesh.CoefSouth[k] >= RaisedFace);
      solid[static_cast<std::size_t>(r) * V + c] = raised >= 3;
    }
  return solid;
}

// Cell-centre velocities of the solution where the central differences touch
// no obstacle cell, and the velocity at a point between them.
class VelocityField {
 public:
  explicit VelocityField(const Mesh& mesh) : V_(mesh.VisibleMeshSize), solid_(ObstacleCells(mesh)) {
    const std::size_t n = static_cast<std::size_t>(V_) * V_;
    velocity_.assign(n, FlowVelocity{});
    usable_.assign(n, 0);
    for (std::int32_t r = 0; r < V_; ++r)
      for (std::int32_t c = 0; c < V_; ++c) {
        if (Solid(r, c) || Solid(r - 1, c) || Solid(r + 1, c) || Solid(r, c - 1) || Solid(r, c + 1)) continue;
        const std::size_t i = static_cast<std::size_t>(r) * V_ + c;
        velocity_[i] = CellVelocity(mesh, mesh.StreamFunction.data(), r, c);
        usable_[i] = 1;
      }
  }
  bool Solid(std::int32_t r, std::int32_t c) const {
    return r >= 0 && c >= 0 && r < V_ && c < V_ && solid_[static_cast<std::size_t>(r) * V_ + c];
  }
  // Bilinear over the usable cells of the four round the point, their weights
  // renormalised; false when they carry less than a quarter of the weight.
  bool At(double row, double column, FlowVelocity& q) const {
    if (!std::isfinite(row) || !std::isfinite(column)) return false;
    const double fr = std::floor(row), fc = std::floor(column);
    if (fr < -1 || fc < -1 || fr > V_ || fc > V_) return false;
    const std::int32_t r0 = static_cast<std::int32_t>(fr), c0 = static_cast<std::int32_t>(fc);
    double weight = 0;
    q = FlowVelocity{};
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) {
        const std::int32_t r = r0 + a, c = c0 + b;
        if (r < 0 || c < 0 || r >= V_ || c >= V_) continue;
        const std::size_t i = static_cast<std::size_t>(r) * V_ + c;
        if (!usable_[i]) continue;
        const double w = (a ? row - fr : 1 - (row - fr)) * (b ? column - fc : 1 - (column - fc));
        weight += w;
        q.u += w * velocity_[i].u;
        q.v += w * velocity_[i].v;
      }
    if (weight < 0.25) return false;
    q.u /= weight;
    q.v /= weight;
    return true;
  }

 private:
  std::int32_t V_;
  std::vector<std::uint8_t> solid_;
  std::vector<FlowVelocity> velocity_;
  std::vector<std::uint8_t> usable_;
};

// One point of an outline, through the centres of the outline cells, in
// visible-cell coordinates: the outward normal, the tangent along increasing
// position, and the curvature (0 for flat or hollow parts).
struct OutlinePoint {
  double row, column;
  double normalRow, normalColumn;
  double tangentRow, tangentColumn;
  double curvature;
  double position;
  SurfaceSide side;
};

// Speed of the flow round a circle of radius rho at distance delta outside it,
// as a fraction of the speed on the circle.
double CircleSpeedFraction(double curvature, double delta) {
  if (curvature <= 0) return 1.0;
  const double rho = 1.0 / curvature, ratio = rho / (rho + delta);
  return (1.0 + ratio * ratio) / 2.0;
}

// The tangential speed at the surface, over U∞ (NaN when a reading fails).
double SurfaceSpeed(const VelocityField& field, const OutlinePoint& p, double freeStream) {
  double sum = 0;
  for (const double d : {SurfaceReadingNear, SurfaceReadingFar}) {
    FlowVelocity q;
    if (!field.At(p.row + d * p.normalRow, p.column + d * p.normalColumn, q)) return NaN;
    // Velocity on the mesh: u along the columns, v up, against the rows.
    const double tangential = q.u * p.tangentColumn - q.v * p.tangentRow;
    // The surface's own circle of curvature lies one cell further out.
    const double curvature = p.curvature > 0 ? 1.0 / (1.0 / p.curvature + SurfaceOffset) : 0.0;
    sum += tangential / CircleSpeedFraction(curvature, d - SurfaceOffset);
  }
  return sum / 2.0 / freeStream;
}

double ColumnOfPixel(const Mesh& mesh, float x) { return x / mesh.CellWidth - 0.5; }
double RowOfPixel(const Mesh& mesh, float y) { return (y - mesh.MeshTop) / mesh.CellHeight - 0.5; }

// θ from the upstream point over the top; spaced about a cell apart, a
// multiple of twelve so that every 30 degrees is a sample.
std::vector<OutlinePoint> CircleOutline(const Mesh& mesh, const float* d, double& centreRow, double& centreColumn) {
  centreColumn = ColumnOfPixel(mesh, d[0]);
  centreRow = RowOfPixel(mesh, d[1]);
  const double radius = std::fabs(d[3]) / mesh.CellWidth;
  std::vector<OutlinePoint> points;
  if (!(radius > 0.5) || !std::isfinite(radius) || radius > 4.0 * mesh.VisibleMeshSize) return points;
  const int n = 12 * std::max(6, static_cast<int>(std::ceil(2 * Pi * radius / 12)));
  for (int i = 0; i < n; ++i) {
    const double theta = 2 * Pi * i / n, c = std::cos(theta), s = std::sin(theta);
    points.push_back(OutlinePoint{centreRow - radius * s, centreColumn - radius * c, -s, -c, -c, s, 1.0 / radius,
                                  360.0 * i / n, s >= 0 ? SurfaceSide::Upper : SurfaceSide::Lower});
  }
  return points;
}

// Edges from corner 0 round, a sample about every cell, the corners left out.
std::vector<OutlinePoint> PolygonOutline(const Mesh& mesh, const float* d, double& centreRow, double& centreColumn) {
  std::array<double, 4> rows{}, cols{};
  for (int i = 0; i < 4; ++i) {
    cols[i] = ColumnOfPixel(mesh, d[2 * i]);
    rows[i] = RowOfPixel(mesh, d[2 * i + 1]);
  }
  centreRow = (rows[0] + rows[1] + rows[2] + rows[3]) / 4;
  centreColumn = (cols[0] + cols[1] + cols[2] + cols[3]) / 4;
  std::vector<OutlinePoint> points;
  double travelled = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    const double dr = rows[j] - rows[i], dc = cols[j] - cols[i], length = std::hypot(dr, dc);
    if (!std::isfinite(length) || length > 8.0 * mesh.VisibleMeshSize) return {};
    if (length < 1e-9) continue;
    const double tr = dr / length, tc = dc / length;
    // The normal that points away from the centre.
    double nr = tc, nc = -tr;
    const double midRow = (rows[i] + rows[j]) / 2 - centreRow, midColumn = (cols[i] + cols[j]) / 2 - centreColumn;
    if (nr * midRow + nc * midColumn < 0) {
      nr = -nr;
      nc = -nc;
    }
    const int steps = std::max(1, static_cast<int>(std::lround(length)));
    for (int s = 0; s < steps; ++s) {
      const double along = (s + 0.5) * length / steps;
      points.push_back(OutlinePoint{rows[i] + tr * along, cols[i] + tc * along, nr, nc, tr, tc, 0.0,
                                    travelled + along, SurfaceSide::None});
    }
    travelled += length;
  }
  return points;
}

// The profile's outline cells, nose to tail on each side: the template's first
// and last boundary column of every row, smoothed over five rows so that the
// normals follow the profile rather than its steps.
std::vector<OutlinePoint> AerofoilOutline(const AerofoilChord& aerofoil) {
  AerofoilProfile profile;
  BuildAerofoilTemplate(profile);
  constexpr int Rows = AerofoilTemplateRows;
  std::array<double, Rows> upper{}, lower{};
  for (int k = 0; k < Rows; ++k) {
    int first = AerofoilTemplateColumns, last = -1;
    for (int m = 0; m < AerofoilTemplateColumns; ++m)
      if (profile[static_cast<std::size_t>(k * AerofoilTemplateColumns + m)] == 'b') {
        first = std::min(first, m);
        last = std::max(last, m);
      }
    upper[k] = first;
    lower[k] = last;
  }
  std::vector<OutlinePoint> points;
  for (const SurfaceSide side : {SurfaceSide::Upper, SurfaceSide::Lower}) {
    const std::array<double, Rows>& m = side == SurfaceSide::Upper ? upper : lower;
    std::array<double, Rows> smooth{};
    for (int k = 0; k < Rows; ++k) {
      double sum = 0;
      int count = 0;
      for (int j = std::max(0, k - 2); j <= std::min(Rows - 1, k + 2); ++j, ++count) sum += m[j];
      smooth[k] = sum / count;
    }
    std::array<double, Rows> rows{}, cols{};
    for (int k = 0; k < Rows; ++k) aerofoil.TemplatePoint(k, smooth[k], rows[k], cols[k]);
    // Outward: towards smaller m on the upper side, larger m on the lower.
    double acrossRow, acrossColumn, r0, c0;
    aerofoil.TemplatePoint(0, 0, r0, c0);
    aerofoil.TemplatePoint(0, 1, acrossRow, acrossColumn);
    acrossRow -= r0;
    acrossColumn -= c0;
    const double outward = side == SurfaceSide::Upper ? -1.0 : 1.0;
    std::array<double, Rows> tr{}, tc{};
    for (int k = 0; k < Rows; ++k) {
      const int a = std::max(0, k - 1), b = std::min(Rows - 1, k + 1);
      const double dr = rows[b] - rows[a], dc = cols[b] - cols[a], length = std::hypot(dr, dc);
      tr[k] = dr / length;
      tc[k] = dc / length;
    }
    for (int k = 0; k < Rows; ++k) {
      double nr = tc[k], nc = -tr[k];
      if ((nr * acrossRow + nc * acrossColumn) * outward < 0) {
        nr = -nr;
        nc = -nc;
      }
      // The turn of the tangent over six rows: convex where it turns inwards.
      const int a = std::max(0, k - 3), b = std::min(Rows - 1, k + 3);
      double arc = 0;
      for (int j = a; j < b; ++j) arc += std::hypot(rows[j + 1] - rows[j], cols[j + 1] - cols[j]);
      const double turn = -((tr[b] - tr[a]) * nr + (tc[b] - tc[a]) * nc);
      const double curvature = arc > 0 ? std::clamp(turn / arc, 0.0, 0.5) : 0.0;
      points.push_back(OutlinePoint{rows[k], cols[k], nr, nc, tr[k], tc[k], curvature,
                                    static_cast<double>(k) / (Rows - 1), side});
    }
  }
  return points;
}

}  // namespace

SurfacePressure SampleSurfacePressure(const ObjectTable& table, const Mesh& mesh, const FreeStream& stream,
                                      std::int32_t kind, std::int32_t offset) {
  SurfacePressure out;
  if (!HasSolution(mesh) || !stream.Solved() || stream.MeshSize != mesh.MeshSize || kind < KindRect ||
      kind > KindAerofoil || kind == KindWire || offset < 0)
    return out;
  const std::int32_t size = ObjectTable::RecordSize(kind);
  if (offset % size != 0 || offset + size > table.Length(kind) || offset + size > ObjectTable::Capacity(kind))
    return out;
  std::vector<OutlinePoint> outline;
  double centreRow = 0, centreColumn = 0;
  SurfaceAxis axis = SurfaceAxis::ArcLength;
  const float* d = table.Data(kind) + offset;
  if (kind == KindAerofoil) {
    const AerofoilChord aerofoil = AerofoilChordOf(table, mesh, offset / AerofoilRecordSize + 1);
    if (!aerofoil.onMesh) return out;
    outline = AerofoilOutline(aerofoil);
    centreRow = aerofoil.CentreRow();
    centreColumn = aerofoil.CentreColumn();
    axis = SurfaceAxis::XOverC;
  } else if (kind == KindCircle || kind == KindSolenoid) {
    outline = CircleOutline(mesh, d, centreRow, centreColumn);
    axis = SurfaceAxis::AngleDegrees;
  } else {
    outline = PolygonOutline(mesh, d, centreRow, centreColumn);
  }
  const double freeStream = FreeStreamSpeedAt(stream, centreRow, centreColumn);
  if (outline.empty() || !(freeStream > 0)) return out;

  const VelocityField field(mesh);
  out.kind = kind;
  out.axis = axis;
  out.freeStreamSpeed = freeStream;
  out.hasExact = kind == KindCircle;
  double sum2 = 0;
  for (const OutlinePoint& p : outline) {
    const double ratio = SurfaceSpeed(field, p, freeStream);
    if (!std::isfinite(ratio)) continue;
    SurfaceSample s;
    s.position = p.position;
    s.side = p.side;
    s.row = p.row + SurfaceOffset * p.normalRow;
    s.column = p.column + SurfaceOffset * p.normalColumn;
    s.speedRatio = ratio;
    s.cp = 1.0 - ratio * ratio;
    if (out.hasExact) {
      const double sine = std::sin(p.position * Pi / 180.0);
      s.cpExact = 1.0 - 4.0 * sine * sine;
      sum2 += (s.cp - s.cpExact) * (s.cp - s.cpExact);
    } else {
      s.cpExact = NaN;
    }
    out.samples.push_back(s);
  }
  out.rmsDifference = out.hasExact && !out.samples.empty() ? std::sqrt(sum2 / out.samples.size()) : NaN;
  return out;
}

SurfacePressure SampleSelectedSurface(const ObjectTable& table, const Mesh& mesh, const FreeStream& stream) {
  if (!table.ObjectSelected) return {};
  const std::int32_t kind = table.SelectedKind;
  return SampleSurfacePressure(table, mesh, stream, kind,
                               kind == KindAerofoil ? table.SelectedAerofoilOffset : table.SelectedIndex);
}

double PressureLiftCoefficient(const SurfacePressure& surface, const FreeStream& stream, double chord) {
  const std::vector<SurfaceSample>& all = surface.samples;
  if (all.size() < 3 || !(chord > 0)) return NaN;
  // A closed outline: an aerofoil's upper side nose to tail, then its lower
  // side back to the nose.
  std::vector<const SurfaceSample*> loop;
  for (const SurfaceSample& s : all)
    if (s.side != SurfaceSide::Lower || surface.axis != SurfaceAxis::XOverC) loop.push_back(&s);
  if (surface.axis == SurfaceAxis::XOverC)
    for (auto it = all.rbegin(); it != all.rend(); ++it)
      if (it->side == SurfaceSide::Lower) loop.push_back(&*it);
  // In x right, y up: the stream's direction at the object, and the loop's sense.
  double centreRow = 0, centreColumn = 0;
  for (const SurfaceSample* s : loop) {
    centreRow += s->row;
    centreColumn += s->column;
  }
  centreRow /= loop.size();
  centreColumn /= loop.size();
  const FlowVelocity q = FreeStreamVelocity(stream, static_cast<std::int32_t>(std::lround(centreRow)),
                                            static_cast<std::int32_t>(std::lround(centreColumn)));
  const double speed = std::hypot(q.u, q.v);
  if (!(speed > 0)) return NaN;
  const double sx = q.u / speed, sy = q.v / speed;
  double area2 = 0, sum = 0;
  for (std::size_t i = 0; i < loop.size(); ++i) {
    const SurfaceSample& a = *loop[i];
    const SurfaceSample& b = *loop[(i + 1) % loop.size()];
    const double ax = a.column, ay = -a.row, bx = b.column, by = -b.row;
    area2 += ax * by - bx * ay;
    // −Cp n·ℓ ds for an anticlockwise loop is Cp times the step along the stream.
    sum += (a.cp + b.cp) / 2 * ((bx - ax) * sx + (by - ay) * sy);
  }
  return (area2 > 0 ? sum : -sum) / chord;
}

double RearStagnationDistance(const SurfacePressure& surface) {
  if (surface.axis != SurfaceAxis::XOverC) return NaN;
  double nearest = 0;
  for (const SurfaceSide side : {SurfaceSide::Upper, SurfaceSide::Lower}) {
    std::vector<const SurfaceSample*> rear;
    for (const SurfaceSample& s : surface.samples)
      if (s.side == side && s.position >= 0.5) rear.push_back(&s);
    if (rear.size() < 2) continue;
    // From the tail forwards: flow running away from the tail (negative) ends
    // where it turns to run towards it.
    double travelled = 0;
    for (std::size_t i = rear.size() - 1; i > 0; --i) {
      const SurfaceSample& tail = *rear[i];
      const SurfaceSample& ahead = *rear[i - 1];
      if (i == rear.size() - 1 && tail.speedRatio >= 0) break;
      const double step = std::hypot(tail.row - ahead.row, tail.column - ahead.column);
      if (ahead.speedRatio >= 0) {
        const double f = tail.speedRatio / (tail.speedRatio - ahead.speedRatio);
        nearest = std::max(nearest, travelled + f * step);
        break;
      }
      travelled += step;
      if (i == 1) nearest = std::max(nearest, travelled);
    }
  }
  return nearest;
}

PointFlow FlowAtCell(const Mesh& mesh, const FreeStream& stream, std::int32_t row, std::int32_t column) {
  PointFlow out;
  const std::int32_t V = mesh.VisibleMeshSize;
  if (!HasSolution(mesh) || !stream.Solved() || stream.MeshSize != mesh.MeshSize || row < 0 || column < 0 ||
      row >= V || column >= V)
    return out;
  const std::int32_t M = mesh.MeshSize;
  const auto obstacle = [&](std::int32_t r, std::int32_t c) {
    if (r < 0 || c < 0 || r >= V || c >= V) return false;
    const std::int32_t k = mesh.Index(r, c);
    const int raised = (-mesh.CoefEast[k - 1] >= RaisedFace) + (-mesh.CoefEast[k] >= RaisedFace) +
                       (-mesh.CoefSouth[k - M] >= RaisedFace) + (-mesh.CoefSouth[k] >= RaisedFace);
    return raised >= 3;
  };
  out.valid = true;
  if (obstacle(row, column)) {
    out.solid = true;
    return out;
  }
  const float* psi = mesh.StreamFunction.data();
  const std::int32_t k = mesh.Index(row, column);
  // A difference across to the free side only, where one neighbour is obstacle.
  const auto difference = [&](bool beforeSolid, bool afterSolid, std::int32_t step) -> double {
    if (beforeSolid && afterSolid) return 0;
    if (beforeSolid) return static_cast<double>(psi[k]) - psi[k + step];
    if (afterSolid) return static_cast<double>(psi[k - step]) - psi[k];
    return (static_cast<double>(psi[k - step]) - psi[k + step]) / 2;
  };
  const double u = difference(obstacle(row - 1, column), obstacle(row + 1, column), M);
  const double v = difference(obstacle(row, column - 1), obstacle(row, column + 1), 1);
  const FlowVelocity free = FreeStreamVelocity(stream, row, column);
  const double reference = std::hypot(free.u, free.v);
  if (!(reference > 0)) {
    out.valid = false;
    return out;
  }
  out.speedRatio = std::hypot(u, v) / reference;
  out.cp = 1.0 - out.speedRatio * out.speedRatio;
  return out;
}

std::string SurfacePressureCsv(const SurfacePressure& surface) {
  const char* position = surface.axis == SurfaceAxis::AngleDegrees ? "angle_deg"
                         : surface.axis == SurfaceAxis::XOverC     ? "x_over_c"
                                                                   : "arc_length";
  std::string out = std::string(position) + ",surface,cp" + (surface.hasExact ? ",cp_exact" : "") + "\n";
  char line[128];
  for (const SurfaceSample& s : surface.samples) {
    const char* side = s.side == SurfaceSide::Upper ? "upper" : s.side == SurfaceSide::Lower ? "lower" : "";
    if (surface.hasExact)
      std::snprintf(line, sizeof line, "%.6g,%s,%.6g,%.6g\n", s.position, side, s.cp, s.cpExact);
    else
      std::snprintf(line, sizeof line, "%.6g,%s,%.6g\n", s.position, side, s.cp);
    out += line;
  }
  return out;
}
