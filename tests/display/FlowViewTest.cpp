#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestServices.h"
#include "display/FlowScenes.h"
#include "display/PressureMap.h"
#include "display/Streamlines.h"

using namespace flowscenes;

namespace {
bool HasColouredPixel(const QImage& image) {
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) {
      const Rgb p = PixelAt(image, x, y);
      if (!(p.r == p.g && p.g == p.b)) return true;
    }
  return false;
}
}  // namespace

// A flow round a cylinder on the view; Solve() draws its flow lines and gives
// the commands back, as after a run.
class FlowViewSwitch : public ::testing::Test {
 protected:
  FlowViewSwitch() : mesh(MakeMesh(100)), image(MakeBitmap(mesh.ViewRight, mesh.ViewBottom)), canvas(image) {
    hooks.MeshSetupRedraw = [this] { calls.push_back("setup " + std::to_string(flow.ViewSwitchRedraw)); };
    const Circle circle = CentredCircle(mesh);
    CircleFlow(mesh, circle);
  }
  void Solve() {
    DrawStreamlines(canvas, mesh, flow, ui, services, hooks);
    UnlockCommands(ui);
    calls.clear();
  }
  Mesh mesh;
  FlowDisplayState flow;
  UiState ui;
  QImage image;
  Canvas canvas;
  FlowHooks hooks;
  TestServices services;
  std::vector<std::string>& calls = services.calls;  // the services' and set-up's, in order
};

TEST_F(FlowViewSwitch, WithoutSolutionOnlyMovesTheCheckMarks) {
  SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
  canvas.Flush();
  EXPECT_EQ(flow.PressureShown, 1);
  EXPECT_FALSE(flow.BdisplayVisible);
  EXPECT_FALSE(HasColouredPixel(image));
  SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
  EXPECT_EQ(flow.PressureShown, 0);
  EXPECT_TRUE(calls.empty());
}

TEST_F(FlowViewSwitch, ToPressureAndBackWithoutASolve) {
  Solve();
  const std::vector<float> solution = mesh.StreamFunction;
  SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
  canvas.Flush();
  EXPECT_TRUE(HasColouredPixel(image));
  EXPECT_TRUE(flow.BdisplayVisible);
  EXPECT_EQ(ui.status[4], "Click F>P to return");
  for (Cmd c : {Cmd::SpeedButton24, Cmd::SpeedButton3}) {
    EXPECT_TRUE(ui[c].enabled && ui[c].hint);
  }
  EXPECT_TRUE(ui[Cmd::Clipbd].enabled);
  for (Cmd c : {Cmd::SpeedButton21, Cmd::SpeedButton1, Cmd::MnuEdit, Cmd::MnuFile}) {
    EXPECT_FALSE(ui[c].enabled);
  }
  EXPECT_EQ(calls.front(), "help 23");

  SetPressureDisplay(canvas, mesh, flow, ui, services, hooks, 1, 0);  // Mono
  canvas.Flush();
  EXPECT_FALSE(HasColouredPixel(image));
  EXPECT_EQ(ui.status[4], "Click F>P to return");

  calls.clear();
  SwitchFlowView(canvas, mesh, flow, ui, services, hooks);
  canvas.Flush();
  EXPECT_EQ(flow.PressureShown, 0);
  EXPECT_FALSE(flow.BdisplayVisible || flow.BFilterVisible);
  EXPECT_FALSE(HasColouredPixel(image)) << "the view is cleared before the lines come back";
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], "redraw");
  EXPECT_EQ(calls[1], "setup 1") << "set-up keeps the solution while the switch is redrawing";
  EXPECT_EQ(flow.ViewSwitchRedraw, 0);
  EXPECT_EQ(mesh.StreamFunction, solution);
  EXPECT_TRUE(ui[Cmd::MnuEdit].enabled);
  EXPECT_EQ(ui.status[4], "");
}
