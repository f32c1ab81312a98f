#include "platform/CommandState.h"

bool CommandState::Busy() const {
  return CommandActive || AddRectStep || AddCircleStep || AddMagnetStep || AddCoilStep || AddSolenoidStep ||
         AddWireStep || AddAerofoilActive || AddGuidelineStep || CopyActive || MoveActive || RotateActive ||
         FlipActive || StretchActive || TrapezoidActive || ExpandActive || ChangeDataActive || SwitchPolesActive ||
         MeshSetupBusy || PlotLineStep;
}
