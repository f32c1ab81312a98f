#include "display/FlowDisplay.h"

#include "platform/UiState.h"

void ResetFlowView(FlowDisplayState& flow, UiState& ui) {
  flow.BdisplayVisible = false;
  flow.BFilterVisible = false;
  flow.BcolorItem = 0;
  flow.FilterLevel = 1.0f;
  flow.PressureShown = 0;
  ui[Cmd::MnuViewFlowLines].checked = true;
  ui[Cmd::MnuViewFlowPressure].checked = false;
}
