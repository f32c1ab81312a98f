// Edit > Undo and Edit > Redo in the main window. A command that may change
// the drawing opens a step when it starts from idle; the step is kept when the
// command has ended and the objects or the title differ. Undo and Redo put a
// step's drawing back, stamp the aerofoil maps again and show the flow lines
// only when the drawing is the one the solution was solved for.
#include <QAction>
#include <QGroupBox>

#include "shell/Panels.h"

#include "display/Streamlines.h"
#include "geometry/ObjectDrawing.h"
#include "shell/MainWindow.h"

namespace {

// The step each drawing command makes, by the name the Edit menu shows.
const char* StepName(Cmd c) {
  switch (c) {
    case Cmd::MnuEditAddRectangle:
    case Cmd::SpeedButton4: return "Add Rectangular Section";
    case Cmd::MnuEditAddCircle:
    case Cmd::SpeedButton23: return "Add Circular Section";
    case Cmd::MnuEditAddAerofoil:
    case Cmd::SpeedButton6: return "Add Aerofoil";
    case Cmd::MnuEditCopy:
    case Cmd::SpeedButton8: return "Copy";
    case Cmd::MnuEditMove:
    case Cmd::SpeedButton9: return "Move";
    case Cmd::MnuEditRotate:
    case Cmd::SpeedButton10: return "Rotate";
    case Cmd::MnuEditFlipLeftRight:
    case Cmd::SpeedButton11:
    case Cmd::MnuEditFlipTopBottom:
    case Cmd::SpeedButton16: return "Flip";
    case Cmd::MnuEditStretch:
    case Cmd::SpeedButton17: return "Stretch";
    case Cmd::MnuEditTrapezoid:
    case Cmd::SpeedButton18: return "Trapezoid";
    case Cmd::MnuEditExpand:
    case Cmd::SpeedButton14: return "Expand";
    case Cmd::MnuEditClear:
    case Cmd::SpeedButton15: return "Clear";
    case Cmd::MnuEditClearAll: return "Clear All";
    case Cmd::MnuTitleAdd: return "Title";
    default: return nullptr;
  }
}

bool OpensADocument(Cmd c) { return c == Cmd::MnuFileOpen || c == Cmd::SpeedButton2; }
bool StartsANewDocument(Cmd c) { return c == Cmd::MnuFileNew || c == Cmd::SpeedButton19; }
bool Runs(Cmd c) { return c == Cmd::MnuAnalyseRun || c == Cmd::SpeedButton21; }
// A set-up that zeroes the solution, or new arrays for another mesh size.
bool DiscardsTheSolution(Cmd c) {
  return c == Cmd::MnuAnalyseSetUp || c == Cmd::N100 || c == Cmd::N200 || c == Cmd::N300;
}

}  // namespace

void Form1::MnuEditUndoClick() { UndoStep(false); }
void Form1::MnuEditRedoClick() { UndoStep(true); }

void Form1::BeforeCommand(Cmd c) {
  if (OpensADocument(c)) NoteDocumentBeforeOpen();
  if (AnyCommand(cmd) || undoStepOpen_) return;
  if (const char* name = StepName(c)) {
    undoBefore_ = TakeSnapshot(objects, doc.Title);
    undoLabel_ = name;
    undoStepOpen_ = true;
  }
}

void Form1::AfterCommand(Cmd c) {
  if (StartsANewDocument(c)) DocumentReplaced();
  if (OpensADocument(c)) DocumentReplacedIfOpened();
  if (Runs(c) && display.StreamlinesShown == 1) {
    solvedFor_ = TakeSnapshot(objects, doc.Title);
    solvedForValid_ = true;
  } else if (Runs(c) || DiscardsTheSolution(c)) {
    solvedForValid_ = false;  // the solution no longer belongs to any drawing
  }
}

void Form1::NoteDocumentBeforeOpen() {
  beforeOpen_ = TakeSnapshot(objects, doc.Title);
  beforeOpenName_ = doc.CurrentFileName;
  beforeOpenModified_ = doc.DocumentModified;
}

void Form1::DocumentReplacedIfOpened() {
  // An open that did not happen (a cancelled dialog, a refused file) leaves
  // the document, and its history, as they were.
  if (doc.CurrentFileName == beforeOpenName_ && doc.DocumentModified == beforeOpenModified_ &&
      TakeSnapshot(objects, doc.Title) == beforeOpen_)
    return;
  DocumentReplaced();
}

void Form1::DocumentReplaced() {
  history_.Clear();
  undoStepOpen_ = false;
  solvedForValid_ = display.StreamlinesShown == 1;
  if (solvedForValid_) solvedFor_ = TakeSnapshot(objects, doc.Title);
}

void Form1::CloseUndoStep() {
  // Not while a handler is still at work (it may refresh the window halfway),
  // a command is in progress, or the title panel is open.
  if (!undoStepOpen_ || inHandler_ || AnyCommand(cmd) || (TitleFrame && TitleFrame->isVisible())) return;
  undoStepOpen_ = false;
  const DrawingSnapshot now = TakeSnapshot(objects, doc.Title);
  if (!now.SameObjects(undoBefore_) || now.title != undoBefore_.title) history_.Record(undoLabel_, undoBefore_);
}

void Form1::UndoStep(bool redo) {
  DrawingSnapshot back;
  const DrawingSnapshot now = TakeSnapshot(objects, doc.Title);
  if (!(redo ? history_.Redo(now, back) : history_.Undo(now, back))) {
    prompts_->Beep();
    return;
  }
  BuildAerofoilTemplate(geometry.AerofoilTemplate);
  RestoreSnapshot(back, objects, doc.Title, geometry.AerofoilTemplate);
  ui.status[5] = std::string(10, ' ') + doc.Title;
  doc.DocumentModified = 1;
  ClearObjectLabels(ui);
  if (objects.ObjectSelected && objects.SelectedKind == KindAerofoil)
    DisableNonAerofoilCommands(ui);
  else
    EnableNonAerofoilCommands(ui);
  // The solution belongs to the drawing it was solved for: its flow lines come
  // back with that drawing and with no other.
  const bool solved = solvedForValid_ && back.SameObjects(solvedFor_);
  RedrawView();
  if (solved) {
    display.StreamlinesShown = 1;
    mesh.SystemReady = true;
    ui[Cmd::MnuAnalyseRun].enabled = true;
    DrawStreamlines(ViewCanvas(), mesh, display, ui, *this, flowHooks);
    UnlockCommands(ui);
  } else if (!back.SameObjects(now)) {
    display.StreamlinesShown = 0;
    mesh.SystemReady = false;
    ui[Cmd::MnuAnalyseRun].enabled = false;
  }
  ShowSelectedData(scene, ui);
  SaveViewSnapshot();
  ViewChanged();
}

void Form1::ShowUndoCaptions() {
  Action(Cmd::MnuEditUndo)->setText(QString::fromStdString(history_.CanUndo() ? "U&ndo " + history_.UndoLabel() : "U&ndo"));
  Action(Cmd::MnuEditRedo)->setText(QString::fromStdString(history_.CanRedo() ? "Re&do " + history_.RedoLabel() : "Re&do"));
}
