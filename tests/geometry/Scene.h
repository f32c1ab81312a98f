// A view of 202 × 202 pixels (two pixels per cell on the 100 mesh, centre at
// 100, 100) with every state struct the geometry procedures need, the grid
// hidden so that the view starts white, and a snapshot kept the way the main
// window keeps it.
#pragma once

#include <gtest/gtest.h>

#include "geometry/Creation.h"
#include "geometry/Guidelines.h"
#include "geometry/ObjectDrawing.h"
#include "platform/Prompts.h"

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() {
    ViewLayout(mesh, 0, 202);
    grid.ShowGridChecked = false;
    geometry.hooks.SaveViewSnapshot = [this] {
      canvas.Flush();
      snapshot = image.copy();
    };
    geometry.hooks.CloseEntryPanels = [this] {
      if (!snapshot.isNull()) canvas.Draw(0, 0, snapshot);
    };
  }

  Rgb At(int x, int y) { return canvas.Pixel(x, y); }
  QImage View() {
    canvas.Flush();
    return image.copy();
  }

  void Down(float x, float y) { VMouseDown(scene, canvas, ui, prompts, x, y); }
  void Move(float x, float y) { VMouseMove(scene, canvas, ui, prompts, x, y); }
  void Up(float x, float y) { VMouseUp(scene, canvas, ui, prompts, x, y); }
  void Click(float x, float y) {
    Down(x, y);
    Up(x, y);
  }

  void AddRect(float x1, float y1, float x2, float y2, float x3, float y3) {
    AddRectangleClick(scene, ui, prompts);
    Click(x1, y1);
    Move(x2, y2);
    Click(x2, y2);
    Move(x3, y3);
    Click(x3, y3);
  }
  void AddCircle(float x, float y, float rx, float ry) {
    AddCircleClick(scene, ui, prompts);
    Click(x, y);
    Move(rx, ry);
    Click(rx, ry);
  }
  // Table records written directly, as a loaded document would hold them.
  void PutRect(float x1, float y1, float x2, float y2) {
    float* r = table.RectData.data() + table.RectDataLen;
    const float c[8] = {x1, y1, x2, y1, x2, y2, x1, y2};
    std::copy_n(c, 8, r);
    r[8] = SolidPermeability;
    table.RectDataLen += TenRecordSize;
  }
  void PutCircle(float x, float y, float radius) {
    float* r = table.CircleData.data() + table.CircleDataLen;
    r[0] = x;
    r[1] = y;
    r[3] = radius;
    r[8] = SolidPermeability;
    table.CircleDataLen += TenRecordSize;
  }

  QImage image = MakeBitmap(202, 202);
  Canvas canvas{image};
  QImage snapshot;
  Mesh mesh;
  ObjectTable table;
  GeometryState geometry;
  CommandState command;
  MouseState mouse;
  GridState grid;
  std::int32_t modified = 0;
  ViewScene scene{table, geometry, command, mouse, mesh, grid, modified};
  UiState ui;
  ScriptedPrompts prompts;
};
