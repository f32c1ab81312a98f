// A view of 202 × 202 pixels (two pixels per cell on the 100 mesh, centre at
// 100, 100) with every state struct the geometry procedures need, the grid
// hidden so that the view starts white, and the window's services recorded,
// with a snapshot kept the way the main window keeps it.
#pragma once

#include <QImage>
#include <gtest/gtest.h>

#include "geometry/Creation.h"
#include "geometry/Guidelines.h"
#include "geometry/ObjectDrawing.h"
#include "TestServices.h"
#include "platform/Prompts.h"

// The recording services with the snapshot of the whole view: saved from the
// view's image and pasted back over it.
class ViewServices : public TestServices {
 public:
  ViewServices(Canvas& canvas, QImage& image) : canvas_(canvas), image_(image) {}
  void SaveViewSnapshot() override {
    TestServices::SaveViewSnapshot();
    canvas_.Flush();
    snapshot = image_.copy();
  }
  void RestoreViewSnapshot() override {
    TestServices::RestoreViewSnapshot();
    if (!snapshot.isNull()) canvas_.Draw(0, 0, snapshot);
  }
  QImage snapshot;

 private:
  Canvas& canvas_;
  QImage& image_;
};

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() {
    ViewLayout(mesh, 0, 202);
    grid.ShowGridChecked = false;
  }

  Rgb At(int x, int y) { return canvas.Pixel(x, y); }
  QImage View() {
    canvas.Flush();
    return image.copy();
  }
  void Show() { RedrawAllObjects(scene, canvas, ui); }
  // A copy of the table drawn from scratch on a white view: what the view must
  // look like after any command, previews, bands and marks gone.
  QImage Redrawn() {
    QImage fresh = MakeBitmap(202, 202);
    Canvas c(fresh);
    ObjectTable copy = table;
    GeometryState g;
    CommandState idle;
    std::int32_t mod = 0;
    TestServices quiet;
    ViewScene s{copy, g, idle, mouse, mesh, grid, mod, quiet};
    UiState u;
    RedrawAllObjects(s, c, u);
    c.Flush();
    return fresh;
  }
  int CountPixels(Rgb colour) {
    const QImage v = View();
    int n = 0;
    for (int y = 0; y < v.height(); ++y)
      for (int x = 0; x < v.width(); ++x) n += v.pixel(x, y) == qRgb(colour.r, colour.g, colour.b);
    return n;
  }

  void Down(float x, float y) { VMouseDown(scene, canvas, ui, x, y); }
  void Move(float x, float y) { VMouseMove(scene, canvas, ui, x, y); }
  void Up(float x, float y) { VMouseUp(scene, canvas, ui, x, y); }
  void Press(float x, float y) {
    Move(x, y);
    Down(x, y);
  }
  void Click(float x, float y) {
    Down(x, y);
    Up(x, y);
  }

  void AddRect(float x1, float y1, float x2, float y2, float x3, float y3) {
    AddRectangleClick(scene, ui);
    Click(x1, y1);
    Move(x2, y2);
    Click(x2, y2);
    Move(x3, y3);
    Click(x3, y3);
  }
  // Table records written directly, as a loaded document would hold them.
  void PutRect(float x1, float y1, float x2, float y2) {
    const float r[9] = {x1, y1, x2, y1, x2, y2, x1, y2, SolidPermeability};
    std::copy_n(r, 9, table.RectData.data() + table.RectDataLen);
    table.RectDataLen += TenRecordSize;
  }
  void PutCircle(float x, float y, float radius) {
    const float r[9] = {x, y, 0, radius, 0, 0, 0, 0, SolidPermeability};
    std::copy_n(r, 9, table.CircleData.data() + table.CircleDataLen);
    table.CircleDataLen += TenRecordSize;
  }

  QImage image = MakeBitmap(202, 202);
  Canvas canvas{image};
  ViewServices services{canvas, image};
  ScriptedPrompts& prompts = services.prompts;
  Mesh mesh;
  ObjectTable table;
  GeometryState geometry;
  CommandState command;
  MouseState mouse;
  GridState grid;
  std::int32_t modified = 0;
  ViewScene scene{table, geometry, command, mouse, mesh, grid, modified, services};
  UiState ui;
};
