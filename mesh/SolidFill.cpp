#include "mesh/SolidFill.h"

#include "platform/Canvas.h"

namespace {

constexpr int FinePoints = 300;
constexpr int FineStride = Mesh::SolidMapStride;

}  // namespace

void PaintSolidFill(Canvas& canvas, const Mesh& mesh, const SolidFillTarget& target, bool aerofoilStrokes) {
  const float fx = target.fineStepX > 0 ? target.fineStepX : FineStepX(mesh);
  const float fy = target.fineStepY > 0 ? target.fineStepY : FineStepY(mesh);
  const int width = aerofoilStrokes ? (target.printer ? 8 * target.penUnit : 2) : (target.printer ? target.penUnit : 1);
  canvas.SetPen(Colours::Grey, width, PenMode::Copy, PenStyle::Solid);
  const int strokes = static_cast<int>(fx);
  const int shiftX = aerofoilStrokes ? static_cast<int>(fx) : 0;
  const int shiftY = aerofoilStrokes ? static_cast<int>(fy) : 0;
  for (int c = 0; c < FinePoints; ++c) {
    for (int r = 0; r < FinePoints; ++r) {
      if (mesh.SolidMap[static_cast<std::size_t>(c) * FineStride + r] != 's') continue;
      const int left = static_cast<int>(c * fx);
      const int x0 = aerofoilStrokes ? left - shiftX : left;
      const int x1 = aerofoilStrokes ? left : static_cast<int>(c * fx + fx);
      for (int j = 0; j <= strokes; ++j) {
        const int y = static_cast<int>(r * fy + static_cast<float>(mesh.MeshTop) + static_cast<float>(j)) - shiftY;
        canvas.MoveTo(target.originX + x0, target.originY + y);
        canvas.LineTo(target.originX + x1, target.originY + y);
      }
    }
  }
}
