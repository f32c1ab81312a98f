// The 202-pixel scene of the geometry tests with the edit commands hooked to
// the mouse the way the main window hooks them.
#pragma once

#include "Scene.h"
#include "geometry/Aerofoils.h"
#include "geometry/EditOperations.h"

class EditSceneTest : public SceneTest {
 protected:
  EditSceneTest() {
    geometry.hooks.EditPreview = [this](float x, float y) { EditPreview(scene, canvas, ui, x, y); };
    geometry.hooks.EditCommit = [this](float x, float y) { EditCommit(scene, canvas, ui, x, y); };
  }

  // A drag with the button down from (x0, y0) through the points to (x1, y1).
  void Drag(float x0, float y0, std::initializer_list<std::pair<float, float>> via, float x1, float y1) {
    Move(x0, y0);
    Down(x0, y0);
    for (auto [x, y] : via) Move(x, y);
    Move(x1, y1);
    Up(x1, y1);
  }
  void AddAerofoil(int angle) {
    AddAerofoilClick(scene, ui);
    AeroRotChange(scene, angle);
    AerosizeOk(scene, canvas, ui);
  }
};
