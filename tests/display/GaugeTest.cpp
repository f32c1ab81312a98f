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

TEST_F(GaugeTest, TheReferencePointReadsTheCalibrationValues) {
  SetSpeed(20, 30, 0.5f);
  ASSERT_EQ(Click(20, 30).outcome, CalibrationOutcome::Calibrated);
  const GaugeReading r = ReadingAt(gauge, mesh, 20, 30);
  EXPECT_FLOAT_EQ(r.flowRate, 10.0f);
  EXPECT_FLOAT_EQ(r.pressure, 2.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 2.0f * 101300.0f);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(GaugeTest, TwiceTheReferenceSpeedReadsFourTimesTheFlowRateAndBernoulliPressure) {
  SetSpeed(20, 30, 0.5f);
  SetSpeed(40, 30, -1.0f);  // the sign of the speed does not count
  Click(20, 30);
  const GaugeReading r = ReadingAt(gauge, mesh, 40, 30);
  EXPECT_FLOAT_EQ(r.flowRate, 40.0f);
  // 1000 kg/m3 × ½ × (10² − 40²) Pa below the reference's 2 Atm.
  EXPECT_NEAR(r.pressure, (1000.0 * 0.5 * (100.0 - 1600.0) + 2.0 * 101300.0) / 101300.0, 1e-5);
}

TEST_F(GaugeTest, AnObstacleCellReadsNoFlowAndShowsNoPressure) {
  SetSpeed(20, 30, 0.5f);
  SetSpeed(25, 30, 0.7f);
  MakeSolid(25, 30);
  Click(20, 30);
  const GaugeReading r = ReadingAt(gauge, mesh, 25, 30);
  EXPECT_TRUE(r.solid);
  EXPECT_EQ(r.flowRate, 0.0f);
  ShowGaugeReading(gauge, mesh, X(30), Y(25));
  EXPECT_EQ(gauge.FlowCaption, "0.00");
  EXPECT_EQ(gauge.PressureCaption, "");
  ShowGaugeReading(gauge, mesh, X(30), Y(20));
  EXPECT_EQ(gauge.FlowCaption, "10.00");
  EXPECT_EQ(gauge.PressureCaption, "2.00");
}

TEST_F(GaugeTest, PointsOffTheMeshReadNothingInsteadOfLeavingTheArrays) {
  SetSpeed(20, 30, 0.5f);
  Click(20, 30);
  ShowGaugeReading(gauge, mesh, -5000.0f, 1.0e9f);
  EXPECT_EQ(gauge.FlowCaption, "");
  EXPECT_FALSE(ReadingAt(gauge, mesh, 200, 5).valid);
  EXPECT_EQ(Click(-400, 30).outcome, CalibrationOutcome::NotPossibleHere);
}

class GaugeClickTest : public GaugeTest {
 protected:
  void SetUp() override {
    GaugeTest::SetUp();
    SetSpeed(20, 30, 0.5f);
    Click(20, 30, {"10", "2", "1000"});
    prompts = ScriptedPrompts{};
  }
};

TEST_F(GaugeClickTest, WithoutAFlowDisplayNothingIsCalibrated) {
  SetSpeed(50, 50, 1.0f);
  EXPECT_EQ(Click(50, 50, {"20", "1", "1"}, 0).outcome, CalibrationOutcome::NoFlowDisplay);
  EXPECT_EQ(prompts.messages, std::vector<std::string>{"No streamline display to calibrate!"});
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 10.0f);
}

TEST_F(GaugeClickTest, StillFlowAndObstaclesCannotBeTheReference) {
  EXPECT_EQ(Click(60, 60).outcome, CalibrationOutcome::NotPossibleHere);
  SetSpeed(61, 60, 1.0f);
  MakeSolid(61, 60);
  EXPECT_EQ(Click(61, 60).outcome, CalibrationOutcome::NotPossibleHere);
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1], "Calibration not possible at this point.");
  EXPECT_FLOAT_EQ(gauge.CalFactor, 40.0f);
}

TEST_F(GaugeClickTest, ASpeedTooSmallToSquareIsRefusedRatherThanGivingInfiniteReadings) {
  SetSpeed(60, 60, 1.0e-30f);
  EXPECT_EQ(Click(60, 60).outcome, CalibrationOutcome::NotPossibleHere);
  EXPECT_TRUE(std::isfinite(ReadingAt(gauge, mesh, 20, 30).flowRate));
  EXPECT_FLOAT_EQ(gauge.CalFactor, 40.0f);
}

TEST_F(GaugeClickTest, AnOutOfRangePressureBeepsAndKeepsTheFlowRateAlreadyTaken) {
  SetSpeed(50, 50, 1.0f);
  const CalibrationResult r = Click(50, 50, {"20", "150", "1000"});
  EXPECT_EQ(r.refused, CalibrationEntry::Pressure);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 20.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 2.0f * 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalFactor, 40.0f);  // still the old reference
}

TEST_F(GaugeClickTest, EntryLimitsOfAClick) {
  SetSpeed(50, 50, 1.0f);
  struct Case {
    GaugeEntries entries;
    CalibrationEntry refused;
  };
  const Case cases[] = {
      {{"0.5", "1", "1000"}, CalibrationEntry::None},     {{"0.1", "0.1", "0.1"}, CalibrationEntry::None},
      {{"500", "100", "10000"}, CalibrationEntry::None},  {{"500.1", "1", "1"}, CalibrationEntry::FlowRate},
      {{"0.09", "1", "1"}, CalibrationEntry::FlowRate},   {{"", "1", "1"}, CalibrationEntry::FlowRate},
      {{"1.2.3", "1", "1"}, CalibrationEntry::FlowRate},  {{"1e2", "1", "1"}, CalibrationEntry::FlowRate},
      {{"-", "1", "1"}, CalibrationEntry::FlowRate},      {{"10", "1-", "1"}, CalibrationEntry::Pressure},
      {{"10", "1", "10001"}, CalibrationEntry::Density},  {{"10", "1", "a"}, CalibrationEntry::Density},
  };
  for (const Case& c : cases) {
    const CalibrationResult r = Click(50, 50, c.entries);
    EXPECT_EQ(r.refused, c.refused) << c.entries.flowRate << " " << c.entries.pressure << " " << c.entries.density;
  }
  Click(50, 50, {"0.5", "1", "1000"});
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 50, 50).flowRate, 0.5f);
}

class GaugeDrawingTest : public GaugeTest {};

TEST_F(GaugeDrawingTest, TheReferenceIsTheFirstFlowingOpenPointRowByRow) {
  SetSpeed(0, 5, 3.0f);
  MakeSolid(0, 5);
  SetSpeed(0, 7, 2.0f);
  SetSpeed(1, 0, 5.0f);
  ASSERT_TRUE(ReadGaugeCalibration(gauge, mesh, {"12", "3", "800"}));
  EXPECT_FLOAT_EQ(gauge.CalFactor, 12.0f / 4.0f);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 0, 7).flowRate, 12.0f);
  EXPECT_FLOAT_EQ(ReadingAt(gauge, mesh, 0, 7).pressure, 3.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 800.0f);
}

TEST_F(GaugeDrawingTest, OutOfRangeAndBadTextsFallBackToTheirDefaults) {
  SetSpeed(0, 0, 1.0f);
  ReadGaugeCalibration(gauge, mesh, {"0.5", "150", "0"});
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 1.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 1.0f);
  // A rejected pressure text counts as 15 Atm; each text is judged on its own.
  ReadGaugeCalibration(gauge, mesh, {"x", "", "2..0"});
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 1.0f);
  EXPECT_FLOAT_EQ(gauge.CalPressure, 15.0f * 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 1.0f);
  ReadGaugeCalibration(gauge, mesh, {"bad", "50", "5000"});
  EXPECT_FLOAT_EQ(gauge.CalPressure, 50.0f * 101300.0f);
  EXPECT_FLOAT_EQ(gauge.CalDensity, 5000.0f);
}

TEST_F(GaugeDrawingTest, WithoutAnyFlowTheCalibrationStaysAndReadingsStayFinite) {
  SetSpeed(0, 0, 1.0e-30f);  // too small to divide by
  gauge.CalFlowRate = 7.0f;
  EXPECT_FALSE(ReadGaugeCalibration(gauge, mesh, {"10", "1", "1000"}));
  EXPECT_FLOAT_EQ(gauge.CalFlowRate, 7.0f);
  EXPECT_EQ(gauge.CalFactor, 0.0f);
  const GaugeReading r = ReadingAt(gauge, mesh, 0, 0);
  EXPECT_TRUE(std::isfinite(r.flowRate));
  EXPECT_TRUE(std::isfinite(r.pressure));
}

}  // namespace
