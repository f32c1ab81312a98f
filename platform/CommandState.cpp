#include "platform/CommandState.h"

bool CommandState::Busy() const {
  return CommandActive || AddRectStep || AddCircleStep || AddAerofoilActive || AddGuidelineStep || CopyActive ||
         MoveActive || RotateActive || FlipActive || StretchActive || TrapezoidActive || ExpandActive || ChangeDataActive || SwitchPolesActive ||
         MeshSetupBusy || PlotLineStep;
}
