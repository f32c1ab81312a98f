// DocumentFile: the three files of a document, base + ".FLG" (47 little-endian
// int32 records), the data file (float32 values between two format marks) and
// base + ".TLE" (the title). Reading checks everything into a DocumentImage
// before any of it reaches the live state; writing replaces all three files or
// none, also across a crash.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ObjectTable;
struct Mesh;
struct GridState;
struct FlowDisplayState;
struct DocumentState;
struct UiState;

constexpr std::int32_t FormatMark = 998;     // written and read
constexpr std::int32_t OldFormatMark = 999;  // read only
constexpr int FlagRecordCount = 47;
constexpr int FlagFileBytes = FlagRecordCount * 4;  // 188

// Index (record number - 1) of each record of the flag file.
enum FlagRecord : int {
  FlgMarkFirst = 0,
  FlgGridOriginX = 1,
  FlgViewTop = 2,
  FlgGridLinesCode = 3,
  FlgGridDotsCode = 4,
  FlgShowGridCode = 5,
  FlgObjectSelected = 6,
  FlgStreamlinesShown = 7,
  FlgCentreLinesShown = 8,
  FlgSelectedKind = 9,
  FlgSelectedIndex = 10,
  FlgSelectedEdge = 11,
  FlgShowValues = 12,
  FlgFirstLength = 13,  // seven lengths in file order, records 14-20
  FlgFirstWireFiller = 20,  // records 21-26: copies of WireDataLen
  FlgListBox1 = 26,
  FlgListBox2 = 27,
  FlgFlowHigh = 28,
  FlgFlowNormal = 29,
  FlgFlowLow = 30,
  FlgN100 = 31,
  FlgN300 = 32,
  FlgN300Again = 33,
  FlgMeshSize = 34,
  FlgVisibleMeshSize = 35,
  FlgViewSize = 36,
  FlgSelectedAerofoilOffset = 37,
  FlgSelectedAerofoil = 38,
  FlgSolidFill = 39,
  FlgFirstSolidFiller = 40,  // records 41-46: copies of record 40
  FlgMarkLast = 46,
};

// The object kinds in the order their lengths and values appear in the files.
constexpr std::array<std::int32_t, 7> FileKindOrder = {0 /*rect*/,     5 /*circle*/, 1 /*magnet*/,  2 /*coil*/,
                                                       4 /*solenoid*/, 3 /*wire*/,   6 /*aerofoil*/};

// A whole document as it lies in its files, decoded and checked.
struct DocumentImage {
  std::int32_t Version = FormatMark;
  std::array<std::int32_t, FlagRecordCount> Flags{};
  float CellWidth = 0, CellHeight = 0, ExternalFieldStrength = 0;
  std::array<std::vector<float>, 7> Objects;  // in FileKindOrder
  std::vector<float> StreamFunction;          // MeshSize² values, row by row
  bool HasTitle = false;                      // version 999 carries no title
  std::string Title;

  std::int32_t Flag(FlagRecord r) const { return Flags[r]; }
  std::int32_t MeshSize() const { return Flags[FlgMeshSize]; }
};

// The companion names of a document name: the extension ".QDN" (looked for
// first) or ".qdn" must occur in the file-name part; the base is the name with
// that occurrence removed, and its file-name part must be neither empty nor "*".
struct CompanionNames {
  std::string data, flags, title;
};
bool DocumentNames(const std::string& fileName, CompanionNames& names);

// A title the program can store and read back: valid UTF-8, at most 32
// characters, no control characters (the title file holds one line).
constexpr int TitleMaxCharacters = 32;
bool ValidTitle(std::string_view title);

// The document in memory, ready to write. `strength` is the external-field
// strength to store (the converted text of its entry field).
DocumentImage CaptureDocument(const ObjectTable& table, const Mesh& mesh, const GridState& grid,
                              const FlowDisplayState& display, const DocumentState& doc, float strength);

// File bytes of an image, little-endian, laid out record by record.
std::string EncodeFlagFile(const DocumentImage& image);
std::string EncodeDataFile(const DocumentImage& image);

// Decodes the three files (title null for "no title file": the document is then
// untitled; a title is cut to its first line and 32 characters) and checks every
// count and value; a version-999 document has its section positions moved from
// window to view coordinates. A selection naming no record comes out as no
// selection. With currentViewSize > 0 and different from the saved view size,
// the model is rescaled to the current view (RescaleLoadedObjects). On failure
// returns false with the reason, and `image` is of no use.
bool LoadDocumentFromBytes(std::string_view flags, std::string_view data, const std::string* title,
                           std::int32_t currentViewSize, DocumentImage& image, std::string& reason);
// The same from the files of a document name, opened read-only, after a save
// of the document that was cut off has been finished or undone
// (FinishInterruptedSave). A missing or unreadable title file leaves the
// document untitled; only the start of a long one is read.
bool LoadDocumentFiles(const std::string& fileName, std::int32_t currentViewSize, DocumentImage& image,
                       std::string& reason);

// Scales the pixel positions and the cell size of a loaded model from the view
// it was saved in to a view of viewSize pixels (about the view's top-left corner).
// Aerofoils are held in cells and keep their place.
void RescaleLoadedObjects(DocumentImage& image, std::int32_t viewSize);

// Writes the three files of fileName so that either all of them hold the new
// document or all keep what they held, even when the program is ended at any
// instant of the save (see AtomicSave.h). A document file that is
// write-protected, or a folder in the way of one, is not replaced. False with
// the reason on failure.
bool SaveDocumentFiles(const std::string& fileName, const DocumentImage& image, std::string& reason);

// Finishes or undoes a save of the document fileName that was cut off and
// removes the work files earlier saves left beside it. Opening and saving do
// this themselves; false with the reason when it cannot be done now.
bool FinishInterruptedSave(const std::string& fileName, std::string& reason);

// Replaces the live document with a loaded image: the object table and
// selection, the mesh size with freshly allocated arrays and the solution, the
// grid, display and document settings and the check marks that mirror them.
// The aerofoil maps and solid maps are cleared for re-stamping. The title is
// taken only when the image has one.
void CommitDocument(const DocumentImage& image, ObjectTable& table, Mesh& mesh, GridState& grid,
                    FlowDisplayState& display, DocumentState& doc, UiState& ui);
