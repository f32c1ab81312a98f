// Gauge: the calibration that turns the dimensionless speed of the solution
// into a flow rate in m/s and a pressure in Atm, and the readings under the
// mouse. Pressure follows Bernoulli's relation to the reference point; the
// speed ratio and Cp are read against the empty mesh's flow instead.
#pragma once

#include <cstdint>
#include <string>

#include "display/FreeStream.h"
#include "mesh/Mesh.h"

class Prompts;

inline constexpr double PascalsPerAtm = 101300.0;

struct GaugeState {
  // The calibration: flow rate (m/s), pressure (Pa), density (kg/m3) at the
  // reference point, and the factor from speed squared to flow rate.
  float CalFlowRate = 0, CalPressure = 0, CalDensity = 0, CalFactor = 0;
  bool AGageVisible = false;
  // Captions of the readings f (flow rate) and p (pressure).
  std::string FlowCaption, PressureCaption;
  // Captions of the speed ratio U/U∞ and the pressure coefficient Cp.
  std::string SpeedRatioCaption, PressureCoefficientCaption;
};

// The texts of the three calibration edits cal, calp and cald.
struct GaugeEntries {
  std::string flowRate, pressure, density;
};

// The reading at cell (row, column) of the visible mesh or of its hidden
// border: flow rate and pressure in Atm. Over an obstacle both are 0 and
// `solid` is set; outside the mesh, or where the numbers leave the range of a
// single, `valid` is false.
struct GaugeReading {
  bool valid = false;
  bool solid = false;
  float flowRate = 0;
  float pressure = 0;
};
GaugeReading ReadingAt(const GaugeState& gauge, const Mesh& mesh, std::int32_t row, std::int32_t column);

// A reading as the gauge shows it: fixed point with `decimals` decimals, seven
// significant digits at most before falling back to exponent form.
std::string FormatReading(double value, int decimals = 2);

// Which edit a click calibration refused (the focus goes back to it).
enum class CalibrationEntry { None, FlowRate, Pressure, Density };

enum class CalibrationOutcome { Calibrated, NoFlowDisplay, NotPossibleHere, EntryRefused };
struct CalibrationResult {
  CalibrationOutcome outcome = CalibrationOutcome::Calibrated;
  CalibrationEntry refused = CalibrationEntry::None;
};

// A click on the flow display at view pixel (x, y) makes that point the
// reference. Tells the user why when it cannot (message box or beep); values
// accepted before a refused entry stay in force, CalFactor changes only when
// all three were accepted.
CalibrationResult CalibrateAtClick(GaugeState& gauge, const Mesh& mesh, std::int32_t streamlinesShown,
                                   const GaugeEntries& entries, float x, float y, Prompts& prompts);

// After every flow drawing: the entries applied to the first point of the view
// (row by row) that has flow and no obstacle, bad or out-of-range texts
// replaced by the defaults. False, with the calibration unchanged, when no
// point of the view has flow.
bool ReadGaugeCalibration(GaugeState& gauge, const Mesh& mesh, const GaugeEntries& entries);

// The live reading at view pixel (x, y) into the two captions. Outside the
// visible mesh both captions are emptied.
void ShowGaugeReading(GaugeState& gauge, const Mesh& mesh, float x, float y);

// The readings that need no calibration at view pixel (x, y): U/U∞ and
// Cp = 1 − (U/U∞)² against the empty mesh's flow at the same cell. Over an
// obstacle U/U∞ reads 0.00 and Cp nothing; outside the visible mesh, without
// a solution or without the free stream of this mesh both captions are empty.
void ShowFlowCoefficients(GaugeState& gauge, const Mesh& mesh, const FreeStream& stream, float x, float y);
