// Round sections in the mesh set-up: a radius below zero, which a document may
// hold, describes no area and leaves the mesh as an empty drawing leaves it.
#include <gtest/gtest.h>

#include "core/MeshScene.h"

namespace {

TEST(RoundSectionTest, NegativeRadiusEnclosesNoCellAtAnySize) {
  for (int visible : {100, 200, 300}) {
    SCOPED_TRACE(visible);
    MeshScene empty(visible);
    empty.SetUp();
    for (float cells : {-0.2f, -3.0f, -8.0f}) {
      MeshScene scene(visible);
      const float radius = cells * scene.mesh.CellWidth;
      scene.AddCircle(scene.X(40), scene.Y(50), radius);
      // A solenoid is round as well, and would add its sources along the outline.
      float* solenoid = scene.table.SolenoidData.data();
      solenoid[0] = scene.X(70);
      solenoid[1] = scene.Y(30);
      solenoid[3] = radius;
      solenoid[9] = 5.0f;
      scene.table.SolenoidDataLen = TenRecordSize;
      const MeshSetupReport report = MeshSetup(scene.table, scene.field, scene.mesh);
      EXPECT_EQ(report.objectsLeftOut, 0) << "the record is not damaged";
      EXPECT_EQ(scene.mesh.CoefDiag, empty.mesh.CoefDiag) << cells;
      EXPECT_EQ(scene.mesh.RightHandSide, empty.mesh.RightHandSide) << cells;
      EXPECT_EQ(scene.mesh.SolidMap, empty.mesh.SolidMap) << cells;
      EXPECT_EQ(scene.mesh.SolidMapCoarse, empty.mesh.SolidMapCoarse) << cells;
    }
  }
}

}  // namespace
