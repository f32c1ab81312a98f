#include <QImage>
#include "Scene.h"

namespace {
constexpr Rgb Olive = ObjectColours::Guideline;
constexpr Rgb White = Colours::White;
}  // namespace

class GuidelineTest : public SceneTest {
 protected:
  void Guide(float x1, float y1, float x2, float y2) {
    AddGuidelineClick(scene, ui);
    Click(x1, y1);
    Move((x1 + x2) / 2, y1 + 7);
    Move(x2, y2);
    Click(x2, y2);
  }
};

// A click off the view and a second point too close are refused; the band of
// the refused try leaves no trace.
TEST_F(GuidelineTest, TwoClicksDrawAnOliveLineAndEndTheCommandAndRefusedClicksAreNot) {
  AddGuidelineClick(scene, ui);
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(ui.status[3], "Guideline: Click on the first point");
  Click(-2, 100);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(command.AddGuidelineStep, 1);
  Click(20, 100);
  Move(22, 101);
  Click(22, 101);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(command.AddGuidelineStep, 2);
  EXPECT_EQ(ui.status[3], "Guideline: Click on the last point");
  Move(100, 60);
  EXPECT_NE(At(60, 80), White);  // the rubber band
  Move(180, 100);
  Click(180, 100);
  EXPECT_EQ(ui.status[2], "Rot: 0.00\u00B0");
  EXPECT_FALSE(command.Busy());
  ASSERT_EQ(geometry.Guidelines.size(), 1u);
  EXPECT_EQ(geometry.Guidelines[0], (Guideline{20, 100, 180, 100}));
  // Only the guideline differs from the blank view: the band is gone.
  QImage onlyLine = MakeBitmap(202, 202);
  Canvas c(onlyLine);
  c.SetPen(Olive, 2, PenMode::NotXor);
  c.MoveTo(20, 100);
  c.LineTo(180, 100);
  c.Flush();
  EXPECT_TRUE(View() == onlyLine);
}

TEST_F(GuidelineTest, ClearAllGuidelinesKeepsTheObjects) {
  PutRect(20, 20, 60, 50);
  Show();
  const QImage objects = View();
  Guide(10, 100, 190, 120);
  Guide(100, 10, 110, 190);
  ClearAllGuidelines(scene, canvas, ui);
  EXPECT_TRUE(View() == objects);
  EXPECT_TRUE(geometry.Guidelines.empty());
}
