// FileCommands: New, Open, Save, Save As, the save question that guards unsaved
// work, and the title panel. The commands work on the program's state and reach
// the window (questions, snapshot, help) through its services; the drawing of
// other subsystems is done by hooks the window passes in, so they run the same
// in the window and in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct ObjectTable;
struct Mesh;
struct GridState;
struct FlowDisplayState;
struct DocumentState;
struct CommandState;
struct UiState;
class Prompts;
class WindowServices;

// The state the file commands read and replace.
struct DocumentContext {
  ObjectTable& table;
  Mesh& mesh;
  GridState& grid;
  FlowDisplayState& display;
  DocumentState& doc;
  CommandState& cmd;
  UiState& ui;
};

// Drawing and window work that belongs to other parts of the program. Every
// hook may be left empty.
struct DocumentHooks {
  std::function<void()> ClearView;            // the view painted white
  std::function<void()> DrawGrid;             // the grid of the current type, when Show Grid is checked
  std::function<void()> HidePressurePanels;   // the window's pressure and filter panels follow the state
  std::function<void()> RestampAerofoils;     // template rebuilt, aerofoils stamped into their maps and drawn
  std::function<void()> SolidFillSetUp;       // mesh set-up, which fills the objects
  std::function<void()> DrawStreamlines;      // flow lines from the stored solution
};

constexpr const char* FileErrorMessage = "A file error has been detected. Please select another file.";
constexpr const char* DocumentFilter = "Flow Files(*.QDN)";
constexpr const char* DocumentExtension = "QDN";

// "Save changes to <caption>?" with Yes, No and Cancel. Yes saves (through the
// Save dialog when untitled); Cancel, and a Yes whose save did not happen, set
// SaveCancelled.
void AskSaveChanges(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks);
// The guard of every command that would drop the document (New, Open, Exit):
// asks when there are unsaved changes and returns false, clearing
// SaveCancelled, when the command must stop.
bool MaySetDocumentAside(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks);

void NewDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks);
void OpenDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks);
// The data file's name for a document named by any of its three file names or
// by its base name (as a command line names it).
std::string DataFileNameOf(const std::string& given);
// The view of a document just taken into the state (opened or recovered): the
// objects drawn, the aerofoils stamped again, the solid fill and the flow lines
// where it has them, and the snapshot taken.
void DrawCommittedDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks);
// The same for a document named without the dialog (the program's command
// line): the save question first, then the named files are read.
void OpenDocumentFile(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks, const std::string& name);
// "&Save": the current name, or the Save dialog when untitled.
void SaveDocument(DocumentContext& ctx, WindowServices& services);
// "Save &As" and the "Save File" button: always the Save dialog.
void SaveDocumentAs(DocumentContext& ctx, WindowServices& services);
// The Save dialog, the name check and the write; true when the files were written.
bool SaveWithDialog(DocumentContext& ctx, Prompts& prompts);
// Writes the document under fileName; on success clears DocumentModified. A
// failure is reported to the user and leaves the files on disk as they were.
bool SaveDocumentFiles(DocumentContext& ctx, Prompts& prompts, const std::string& fileName);

// The title panel. BeginAddTitle returns false when the command is ignored
// (an editing command is in progress); otherwise the window shows "Enter
// Title" with the text of its last use and focuses it.
bool BeginAddTitle(DocumentContext& ctx, WindowServices& services);
// OK: a refused title (over 32 characters, a control character) beeps and
// returns false with the panel left open; otherwise the title goes to status
// panel 5, the panel closes and the commands are unlocked.
bool AcceptTitle(DocumentContext& ctx, WindowServices& services, const std::string& text);
void CancelTitle(DocumentContext& ctx, WindowServices& services);
