// The gauge on a hand-made speed field: Bernoulli readings against the
// reference point, the entry limits of a click and of a flow drawing, and the
// guards against speeds too small to calibrate on.
#include <gtest/gtest.h>

#include <cmath>

#include "FlowScenes.h"
#include "display/Gauge.h"
#include "platform/Prompts.h"

namespace {

class GaugeTest : public ::testing::Test {
 protected:
  void SetUp() override { mesh = flowscenes::MakeMesh(100); }
  void SetSpeed(int row, int column, float s) { mesh.SpeedField[static_cast<std::size_t>(mesh.Index(row, column))] = s; }
  void MakeSolid(int row, int column) { mesh.SolidMapCoarse[static_cast<std::size_t>(column * 100 + row)] = 's'; }
  // The centre pixel of a cell.
  float X(int column) const { return (column + 0.5f) * mesh.CellWidth; }
  float Y(int row) const { return mesh.MeshTop + (row + 0.5f) * mesh.CellHeight; }
  CalibrationResult Click(int row, int column, GaugeEntries e = {"10", "2", "1000"}, int shown = 1) {
    return CalibrateAtClick(gauge, mesh, shown, e, X(column), Y(row), prompts);
  }

  Mesh mesh;
  GaugeState gauge;
  ScriptedPrompts prompts;
};

TEST_F(GaugeTest, BernoulliReadingsAgainstTheReferencePoint) {
  SetSpeed(20, 30, 0.5f);
  SetSpeed(40, 30, -1.0f);  // the sign of the speed does not count
  SetSpeed(25, 30, 0.7f);
  MakeSolid(25, 30);
  ASSERT_EQ(Click(20, 30).outcome, CalibrationOutcome::Calibrated);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 20, 30).flowRate, 10.0f);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 20, 30).pressure, 2.0f);
  const GaugeReading r = ReadingAt(gauge, mesh, 40, 30);
  EXPECT_FLOAT_EQ(r.flowRate, 40.0f);
  // 1000 kg/m3 × ½ × (10² − 40²) Pa below the reference's 2 Atm.
  EXPECT_NEAR(r.pressure, (1000.0 * 0.5 * (100.0 - 1600.0) + 2.0 * 101300.0) / 101300.0, 1e-5);
  // An obstacle reads no flow and shows no pressure; off the mesh reads nothing.
  EXPECT_TRUE(ReadingAt(gauge, mesh, 25, 30).solid);
  ShowGaugeReading(gauge, mesh, X(30), Y(25));
  EXPECT_EQ(gauge.FlowCaption, "0.00");
  EXPECT_EQ(gauge.PressureCaption, "");
  ShowGaugeReading(gauge, mesh, -5000.0f, 1.0e9f);
  EXPECT_EQ(gauge.FlowCaption, "");
  // The empty strip past the last visible column and row shows no hidden border cell.
  for (const auto& [row, column] : {std::pair{20, 100}, std::pair{100, 30}}) {
    SetSpeed(row, column, 0.5f);
    ShowGaugeReading(gauge, mesh, X(30), Y(20));
    ShowGaugeReading(gauge, mesh, X(column), Y(row));
    EXPECT_EQ(gauge.FlowCaption, "") << row << "," << column;
    EXPECT_EQ(gauge.PressureCaption, "") << row << "," << column;
  }
  EXPECT_FALSE(ReadingAt(gauge, mesh, 200, 5).valid);
  EXPECT_EQ(Click(-400, 30).outcome, CalibrationOutcome::NotPossibleHere);
}

TEST_F(GaugeTest, ARefusedClickKeepsTheOldReference) {
  SetSpeed(20, 30, 0.5f);
  Click(20, 30);
  prompts = ScriptedPrompts{};
  SetSpeed(50, 50, 1.0f);
  EXPECT_EQ(Click(50, 50, {"20", "1", "1"}, 0).outcome, CalibrationOutcome::NoFlowDisplay);
  EXPECT_EQ(prompts.messages, std::vector<std::string>{"No streamline display to calibrate!"});
  EXPECT_EQ(Click(60, 60).outcome, CalibrationOutcome::NotPossibleHere) << "still flow";
  SetSpeed(61, 60, 1.0f);
  MakeSolid(61, 60);
  EXPECT_EQ(Click(61, 60).outcome, CalibrationOutcome::NotPossibleHere) << "an obstacle";
  SetSpeed(62, 60, 1.0e-30f);
  EXPECT_EQ(Click(62, 60).outcome, CalibrationOutcome::NotPossibleHere) << "too small to square";
  EXPECT_EQ(prompts.messages.back(), "Calibration not possible at this point.");
  // An out-of-range pressure beeps and keeps the flow rate already taken.
  EXPECT_EQ(Click(50, 50, {"20", "150", "1000"}).refused, CalibrationEntry::Pressure);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 20.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 2.0f * 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalFactor, 40.0f);
  // The entry limits.
  EXPECT_EQ(Click(50, 50, {"500.1", "1", "1"}).refused, CalibrationEntry::FlowRate);
  EXPECT_EQ(Click(50, 50, {"1e2", "1", "1"}).refused, CalibrationEntry::FlowRate);
  EXPECT_EQ(Click(50, 50, {"10", "1", "10001"}).refused, CalibrationEntry::Density);
  EXPECT_EQ(Click(50, 50, {"500", "100", "10000"}).refused, CalibrationEntry::None);
  EXPECT_EQ(Click(50, 50, {"0.1", "0.1", "0.1"}).refused, CalibrationEntry::None);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 50, 50).flowRate, 0.1f);
}

TEST_F(GaugeTest, AFlowDrawingCalibratesOnTheFirstFlowingOpenPointRowByRow) {
  SetSpeed(0, 5, 3.0f);
  MakeSolid(0, 5);
  SetSpeed(0, 7, 2.0f);
  SetSpeed(1, 0, 5.0f);
  ASSERT_TRUE(ReadGaugeCalibration(gauge, mesh, {"12", "3", "800"}));
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 0, 7).flowRate, 12.0f);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 1, 0).flowRate, 75.0f);
  // Out-of-range and bad texts fall back to their defaults, each on its own;
  // a rejected pressure text counts as 15 Atm.
  ReadGaugeCalibration(gauge, mesh, {"0.5", "150", "0"});
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 1.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 1.0f);
  ReadGaugeCalibration(gauge, mesh, {"x", "", "5000"});
  EXPECT_FLOAT_EQ(gauge.CalPressure, 15.0f * 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 5000.0f);
}

TEST_F(GaugeTest, WithoutAnyFlowADrawingKeepsTheCalibrationAndReadingsStayFinite) {
  SetSpeed(0, 0, 1.0e-30f);  // too small to divide by
  gauge.CalFlowRate = 7.0f;
  EXPECT_FALSE(ReadGaugeCalibration(gauge, mesh, {"10", "1", "1000"}));
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 7.0f);
  const GaugeReading r = ReadingAt(gauge, mesh, 0, 0);
  EXPECT_TRUE(std::isfinite(r.flowRate) && std::isfinite(r.pressure));
}

}  // namespace
