#include "display/FlowDisplay.h"

void ResetFlowView(FlowDisplayState& flow) {
  flow.BdisplayVisible = false;
  flow.BFilterVisible = false;
  flow.BcolorItem = 0;
  flow.FilterLevel = 1.0f;
  flow.PressureShown = 0;
}
