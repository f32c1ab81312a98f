// Guidelines: olive construction lines drawn on the view as an aid to placing
// objects. They are pixels only: no edit moves them, no document keeps them,
// and the next full redraw of the view takes them away.
#pragma once

#include "geometry/GeometryState.h"
#include "platform/Canvas.h"
#include "platform/WindowServices.h"
#include "platform/UiState.h"

namespace ObjectColours {
inline constexpr Rgb Guideline{128, 128, 0};
}  // namespace ObjectColours

// Online-help code shared by Add Aerofoil and Add Guideline.
constexpr int HelpAddGuideline = 27;

// Add Guideline (MnuGuidelineClick, SpeedButton25Click): two clicks, the first
// point and the last. The document is not marked as changed.
void AddGuidelineClick(ViewScene& scene, UiState& ui);
// A click on the view while the guideline command waits for a point.
void GuidelineClick(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);
// Clear All Guidelines (ClearallguidelinesClick): the view cleared and
// redrawn from the object table.
void ClearAllGuidelines(ViewScene& scene, Canvas& canvas, UiState& ui);
