#include "display/Gauge.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "display/FlowDisplay.h"
#include "display/SolidCells.h"
#include "display/SurfacePressure.h"
#include "mesh/NumberText.h"
#include "platform/Prompts.h"

namespace {

constexpr float SingleMax = std::numeric_limits<float>::max();

bool InsideVisibleMesh(const Mesh& mesh, std::int32_t row, std::int32_t column) {
  return row >= 0 && column >= 0 && row < mesh.VisibleMeshSize && column < mesh.VisibleMeshSize;
}

// |SpeedField| at a visible cell, 0 when the arrays do not reach it.
float SpeedAt(const Mesh& mesh, std::int32_t row, std::int32_t column) {
  const std::int32_t k = mesh.Index(row, column);
  if (k < 0 || static_cast<std::size_t>(k) >= mesh.SpeedField.size()) return 0.0f;
  return std::fabs(mesh.SpeedField[static_cast<std::size_t>(k)]);
}

// The factor that makes speed `speed` read `flowRate`; 0 when the speed is too
// small for its square to divide by in single precision.
float FactorFor(float flowRate, float speed) {
  const double square = static_cast<double>(speed) * speed;
  if (!(square > 0.0)) return 0.0f;
  const double factor = flowRate / square;
  if (!(factor <= SingleMax)) return 0.0f;
  return static_cast<float>(factor);
}

// An entry text as a number, or false when it has characters other than
// digits, signs and the point, or is no number at all.
bool EntryValue(const std::string& text, double& value) {
  return NumberCharactersOnly(text) && ParseNumberText(text, value);
}

Cell CellAt(const Mesh& mesh, float x, float y) {
  if (!(mesh.CellWidth > 0) || !(mesh.CellHeight > 0)) return Cell{-1000000, -1000000};
  const float column = x / mesh.CellWidth, row = (y - mesh.MeshTop) / mesh.CellHeight;
  if (!(column > -1.0e6f && column < 1.0e6f && row > -1.0e6f && row < 1.0e6f)) return Cell{-1000000, -1000000};
  return PixelToCell(mesh, x, y);
}

}  // namespace

GaugeReading ReadingAt(const GaugeState& gauge, const Mesh& mesh, std::int32_t row, std::int32_t column) {
  GaugeReading r;
  const std::int32_t border = mesh.MeshBorder * mesh.MeshExtended;
  if (row < -border || column < -border || row >= mesh.MeshSize - border || column >= mesh.MeshSize - border)
    return r;
  const std::int32_t k = mesh.Index(row, column);
  if (k < 0 || static_cast<std::size_t>(k) >= mesh.SpeedField.size()) return r;
  if (IsSolidCell(mesh, row, column)) {
    r.valid = true;
    r.solid = true;
    return r;
  }
  const double s = SpeedAt(mesh, row, column);
  const double v = s * s * gauge.CalFactor;
  const double vRef = gauge.CalFlowRate;
  const double p = (gauge.CalDensity * 0.5 * (vRef * vRef - v * v) + gauge.CalPressure) / PascalsPerAtm;
  if (!(std::fabs(v) <= SingleMax) || !(std::fabs(p) <= SingleMax)) return r;
  r.valid = true;
  r.flowRate = static_cast<float>(v);
  r.pressure = static_cast<float>(p);
  return r;
}

std::string FormatReading(double value, int decimals) {
  if (!std::isfinite(value)) return "";
  char buf[64];
  if (std::fabs(value) >= 1.0e7)
    std::snprintf(buf, sizeof buf, "%.6E", value);
  else
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text = buf;
  if (text == "-0" || text == "-0.00" || text == "-0.0") text.erase(0, 1);
  return text;
}

CalibrationResult CalibrateAtClick(GaugeState& gauge, const Mesh& mesh, std::int32_t streamlinesShown,
                                   const GaugeEntries& entries, float x, float y, Prompts& prompts) {
  CalibrationResult result;
  if (!streamlinesShown) {
    prompts.Message("No streamline display to calibrate!");
    result.outcome = CalibrationOutcome::NoFlowDisplay;
    return result;
  }
  const Cell cell = CellAt(mesh, x, y);
  const float speed = InsideVisibleMesh(mesh, cell.row, cell.column) ? SpeedAt(mesh, cell.row, cell.column) : 0.0f;
  if (speed == 0.0f || IsSolidCell(mesh, cell.row, cell.column) || FactorFor(500.0f, speed) == 0.0f) {
    prompts.Message("Calibration not possible at this point.");
    result.outcome = CalibrationOutcome::NotPossibleHere;
    return result;
  }
  auto take = [&](const std::string& text, double low, double high, CalibrationEntry which, double& value) {
    if (EntryValue(text, value) && value >= low && value <= high) return true;
    prompts.Beep();
    result.outcome = CalibrationOutcome::EntryRefused;
    result.refused = which;
    return false;
  };
  double value = 0;
  if (!take(entries.flowRate, 0.1, 500.0, CalibrationEntry::FlowRate, value)) return result;
  gauge.CalFlowRate = static_cast<float>(value);
  if (!take(entries.pressure, 0.1, 100.0, CalibrationEntry::Pressure, value)) return result;
  gauge.CalPressure = static_cast<float>(value * PascalsPerAtm);
  if (!take(entries.density, 0.1, 10000.0, CalibrationEntry::Density, value)) return result;
  gauge.CalDensity = static_cast<float>(value);
  gauge.CalFactor = FactorFor(gauge.CalFlowRate, speed);
  return result;
}

bool ReadGaugeCalibration(GaugeState& gauge, const Mesh& mesh, const GaugeEntries& entries) {
  // The reference must take any flow rate up to the largest the entries allow
  // without its factor leaving single precision.
  float referenceSpeed = 0;
  for (std::int32_t row = 0; row < mesh.VisibleMeshSize && referenceSpeed == 0; ++row)
    for (std::int32_t column = 0; column < mesh.VisibleMeshSize; ++column) {
      const float s = SpeedAt(mesh, row, column);
      if (s > 0 && !IsSolidCell(mesh, row, column) && FactorFor(500.0f, s) > 0) {
        referenceSpeed = s;
        break;
      }
    }
  if (referenceSpeed == 0) return false;

  double flowRate = 1.0, pressure = 15.0, density = 1.0;
  if (!EntryValue(entries.flowRate, flowRate)) flowRate = 1.0;
  if (flowRate < 1.0 || flowRate > 500.0) flowRate = 1.0;
  if (!EntryValue(entries.pressure, pressure)) pressure = 15.0;
  if (pressure < 1.0 || pressure > 100.0) pressure = 1.0;
  if (!EntryValue(entries.density, density)) density = 1.0;
  if (density < 1.0 || density > 10000.0) density = 1.0;
  gauge.CalFlowRate = static_cast<float>(flowRate);
  gauge.CalPressure = static_cast<float>(pressure * PascalsPerAtm);
  gauge.CalDensity = static_cast<float>(density);
  gauge.CalFactor = FactorFor(gauge.CalFlowRate, referenceSpeed);
  return true;
}

void ShowGaugeReading(GaugeState& gauge, const Mesh& mesh, float x, float y) {
  const Cell cell = CellAt(mesh, x, y);
  const GaugeReading r = ReadingAt(gauge, mesh, cell.row, cell.column);
  // The plot may sample a border cell; the pointer over the empty strip reads nothing.
  if (!r.valid || !InsideVisibleMesh(mesh, cell.row, cell.column)) {
    gauge.FlowCaption.clear();
    gauge.PressureCaption.clear();
    return;
  }
  gauge.FlowCaption = FormatReading(r.flowRate);
  // An obstacle has no pressure of the flow to show.
  gauge.PressureCaption = r.solid ? std::string() : FormatReading(r.pressure);
}

void ShowFlowCoefficients(GaugeState& gauge, const Mesh& mesh, const FreeStream& stream, float x, float y) {
  gauge.SpeedRatioCaption.clear();
  gauge.PressureCoefficientCaption.clear();
  const Cell cell = CellAt(mesh, x, y);
  if (!InsideVisibleMesh(mesh, cell.row, cell.column)) return;
  const PointFlow flow = FlowAtCell(mesh, stream, cell.row, cell.column);
  if (!flow.valid) return;
  gauge.SpeedRatioCaption = FormatReading(flow.speedRatio);
  if (!flow.solid) gauge.PressureCoefficientCaption = FormatReading(flow.cp);
}
