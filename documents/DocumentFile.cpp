#include "documents/DocumentFile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "display/FlowDisplay.h"
#include "documents/AtomicSave.h"
#include "documents/Document.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "platform/UiState.h"

namespace {

// Sanity bounds of a readable document. Positions are view pixels: a value
// beyond a million pixels can only come from a damaged file, and keeping within
// it lets the drawing code convert every position to an integer pixel safely.
constexpr float ObjectValueLimit = 1.0e6f;
constexpr float MinCellWidth = 0.01f, MaxCellWidth = 10000.0f;
constexpr std::int32_t MaxViewSize = 100000;
// Aerofoils lie within the 300-cell frame of their maps; the angle of attack is
// held within -20..+20 degrees.
constexpr float AerofoilOffsetLimit = 300.0f, AerofoilAngleLimit = 20.0f;
// The largest data file any valid flag file can ask for.
constexpr std::size_t MaxDataFileBytes = 4 * (5 + 5 * 1000 + 900 + 12 + 358 * 358);

const char* const TitleBlanks = "          ";  // status panel 5 shows the title after ten blanks

void PutInt(std::string& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}
void PutFloat(std::string& out, float v) { PutInt(out, std::bit_cast<std::int32_t>(v)); }

std::uint32_t GetWord(std::string_view in, std::size_t at) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return u;
}
std::int32_t GetInt(std::string_view in, std::size_t at) { return static_cast<std::int32_t>(GetWord(in, at)); }
float GetFloat(std::string_view in, std::size_t at) { return std::bit_cast<float>(GetWord(in, at)); }

bool Fail(std::string& reason, std::string text) {
  reason = std::move(text);
  return false;
}

bool WithinLimit(float v, float limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

// Every object value finite and within the sanity bound, aerofoils within their frame.
bool CheckObjectValues(const DocumentImage& image, std::string& reason) {
  for (const auto& values : image.Objects)
    for (float v : values)
      if (!WithinLimit(v, ObjectValueLimit)) return Fail(reason, "an object value is out of range");
  const auto& aerofoils = image.Objects[6];
  for (std::size_t at = 0; at + AerofoilRecordSize <= aerofoils.size(); at += AerofoilRecordSize) {
    if (!WithinLimit(aerofoils[at], AerofoilOffsetLimit) || !WithinLimit(aerofoils[at + 1], AerofoilOffsetLimit) ||
        !WithinLimit(aerofoils[at + 3], AerofoilAngleLimit))
      return Fail(reason, "an aerofoil lies outside its frame");
  }
  return true;
}

bool CheckCellSize(const DocumentImage& image, std::string& reason) {
  for (float c : {image.CellWidth, image.CellHeight})
    if (!std::isfinite(c) || c < MinCellWidth || c > MaxCellWidth) return Fail(reason, "the cell size is out of range");
  return true;
}

// Selection variables that name no record become "nothing selected", so later
// commands never index past a kind's records.
void SanitiseSelection(DocumentImage& image) {
  auto& f = image.Flags;
  auto length = [&](std::int32_t kind) {
    for (std::size_t i = 0; i < FileKindOrder.size(); ++i)
      if (FileKindOrder[i] == kind) return static_cast<std::int32_t>(image.Objects[i].size());
    return 0;
  };
  const std::int32_t aerofoils = length(KindAerofoil) / AerofoilRecordSize;
  const std::int32_t k = f[FlgSelectedAerofoil];
  const bool aerofoilNamed = k >= 1 && k <= aerofoils && f[FlgSelectedAerofoilOffset] == 4 * (k - 1);
  if (!aerofoilNamed && !(k == 0 && f[FlgSelectedAerofoilOffset] == 0)) {
    f[FlgSelectedAerofoil] = 0;
    f[FlgSelectedAerofoilOffset] = 0;
  }

  const std::int32_t kind = f[FlgSelectedKind];
  const bool kindValid = kind >= KindRect && kind <= KindAerofoil;
  bool indexValid = false;
  if (kindValid && kind != KindAerofoil) {
    const std::int32_t size = ObjectTable::RecordSize(kind), at = f[FlgSelectedIndex];
    indexValid = at >= 0 && at % size == 0 && at <= length(kind) - size;
  }
  const bool selected = f[FlgObjectSelected] == 1 && (kind == KindAerofoil ? aerofoilNamed : indexValid);
  f[FlgObjectSelected] = selected ? 1 : 0;
  if (!kindValid) f[FlgSelectedKind] = 0;
  if (!(kind == KindAerofoil || indexValid)) f[FlgSelectedIndex] = 0;
  const std::int32_t edge = f[FlgSelectedEdge];
  if (edge != 0 && edge != 2 && edge != 4 && edge != 6) f[FlgSelectedEdge] = 0;
  for (FlagRecord list : {FlgListBox1, FlgListBox2})
    if (f[list] < -1 || f[list] > 2) f[list] = -1;
}

// Characters of a UTF-8 text, or -1 when it is not valid UTF-8.
int Utf8Characters(std::string_view s) {
  int count = 0;
  for (std::size_t i = 0; i < s.size(); ++count) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return -1;
    std::uint32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t j = 1; j < n; ++j) {
      const auto d = static_cast<unsigned char>(s[i + j]);
      if ((d & 0xC0) != 0x80) return -1;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point.
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return -1;
    i += n;
  }
  return count;
}

// Reads a whole regular file of at most maxBytes. Anything but a regular file
// (a folder, a pipe that would block) is refused before it is opened.
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& reason) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Fail(reason, "cannot find " + path);
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(reason, "cannot read " + path);
  bytes.assign(maxBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return Fail(reason, "cannot read " + path);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() > maxBytes) return Fail(reason, path + " is too long");
  return true;
}

// The beginning of a title file, enough for the longest title however it is
// written; the rest of a long file is never read. False when there is no
// readable file: the document is then untitled.
bool ReadTitleStart(const std::string& path, std::string& text) {
  constexpr std::size_t Enough = 4096;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(Enough, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return false;
  text.resize(static_cast<std::size_t>(in.gcount()));
  // A UTF-8 character cut in two at the end would make the whole text read as
  // a one-byte code page: the last character is dropped (it is far past the 32 kept).
  if (text.size() == Enough) {
    std::size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0 && static_cast<unsigned char>(text[lead - 1]) >= 0xC0) text.resize(lead - 1);
  }
  return true;
}

}  // namespace

bool DocumentNames(const std::string& fileName, CompanionNames& names) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::size_t namePart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t at = fileName.find(".QDN", namePart);
  if (at == std::string::npos) at = fileName.find(".qdn", namePart);
  if (at == std::string::npos) return false;
  std::string base = fileName;
  base.erase(at, 4);
  const std::string baseName = base.substr(namePart);
  if (baseName.empty() || baseName == "*") return false;
  names.data = fileName;
  names.flags = base + ".FLG";
  names.title = base + ".TLE";
  return true;
}

bool ValidTitle(std::string_view title) {
  for (char c : title) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
  }
  const int n = Utf8Characters(title);
  return n >= 0 && n <= TitleMaxCharacters;
}

// A title as read from its file: text written in a one-byte code page is taken
// as Latin-1, control characters become blanks, and it is cut to the length the
// title panel allows. A title never keeps a document from opening.
static std::string ReadableTitle(std::string_view line) {
  std::string text;
  if (Utf8Characters(line) >= 0) {
    text = line;
  } else {
    for (char ch : line) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        text += ch;
      } else {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
  }
  for (char& ch : text)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = ' ';
  std::size_t at = 0;
  for (int n = 0; at < text.size() && n < TitleMaxCharacters; ++n) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  text.resize(at);
  return text;
}

DocumentImage CaptureDocument(const ObjectTable& table, const Mesh& mesh, const GridState& grid,
                              const FlowDisplayState& display, const DocumentState& doc, float strength) {
  DocumentImage image;
  auto& f = image.Flags;
  f[FlgMarkFirst] = FormatMark;
  f[FlgGridOriginX] = 0;  // the grid is always drawn from the view's left edge
  f[FlgViewTop] = mesh.ViewTop;
  f[FlgGridLinesCode] = grid.GridLinesCode;
  f[FlgGridDotsCode] = grid.GridDotsCode;
  f[FlgShowGridCode] = grid.ShowGridCode;
  f[FlgObjectSelected] = table.ObjectSelected;
  f[FlgStreamlinesShown] = display.StreamlinesShown;
  f[FlgCentreLinesShown] = grid.CentreLinesShown;
  f[FlgSelectedKind] = table.SelectedKind;
  f[FlgSelectedIndex] = table.SelectedIndex;
  f[FlgSelectedEdge] = table.SelectedEdge;
  f[FlgShowValues] = doc.ShowValues;
  for (std::size_t i = 0; i < FileKindOrder.size(); ++i) {
    const std::int32_t kind = FileKindOrder[i];
    const std::int32_t len = std::clamp(table.Length(kind), 0, ObjectTable::Capacity(kind));
    f[FlgFirstLength + i] = len;
    image.Objects[i].assign(table.Data(kind), table.Data(kind) + len);
  }
  for (int r = FlgFirstWireFiller; r < FlgFirstWireFiller + 6; ++r) f[r] = table.WireDataLen;
  f[FlgListBox1] = doc.ListBox1Item;
  f[FlgListBox2] = doc.ListBox2Item;
  f[FlgFlowHigh] = display.DensityMarks[0] ? 1 : 0;
  f[FlgFlowNormal] = display.DensityMarks[1] ? 1 : 0;
  f[FlgFlowLow] = display.DensityMarks[2] ? 1 : 0;
  f[FlgN100] = mesh.N100Checked ? 1 : 0;
  f[FlgN300] = f[FlgN300Again] = mesh.N300Checked ? 1 : 0;
  f[FlgMeshSize] = mesh.MeshSize;
  f[FlgVisibleMeshSize] = mesh.VisibleMeshSize;
  f[FlgViewSize] = mesh.ViewSize;
  f[FlgSelectedAerofoilOffset] = table.SelectedAerofoilOffset;
  f[FlgSelectedAerofoil] = table.SelectedAerofoil;
  for (int r = FlgSolidFill; r < FlgSolidFill + 7; ++r) f[r] = display.SolidFill ? 1 : 0;
  f[FlgMarkLast] = FormatMark;

  image.CellWidth = mesh.CellWidth;
  image.CellHeight = mesh.CellHeight;
  image.ExternalFieldStrength = strength;
  const std::size_t cells = static_cast<std::size_t>(std::max(mesh.MeshSize, 0)) * std::max(mesh.MeshSize, 0);
  image.StreamFunction.assign(cells, 0.0f);
  std::copy_n(mesh.StreamFunction.begin(), std::min(cells, mesh.StreamFunction.size()),
              image.StreamFunction.begin());
  image.HasTitle = true;
  image.Title = doc.Title;
  return image;
}

std::string EncodeFlagFile(const DocumentImage& image) {
  std::string out;
  out.reserve(FlagFileBytes);
  for (std::int32_t v : image.Flags) PutInt(out, v);
  return out;
}

std::string EncodeDataFile(const DocumentImage& image) {
  const float mark = static_cast<float>(image.Version);
  std::string out;
  std::size_t count = 5 + image.StreamFunction.size();
  for (const auto& values : image.Objects) count += values.size();
  out.reserve(4 * count);
  PutFloat(out, mark);
  PutFloat(out, image.CellWidth);
  PutFloat(out, image.CellHeight);
  PutFloat(out, image.ExternalFieldStrength);
  for (const auto& values : image.Objects)
    for (float v : values) PutFloat(out, v);
  for (float v : image.StreamFunction) PutFloat(out, v);
  PutFloat(out, mark);
  return out;
}

bool LoadDocumentFromBytes(std::string_view flags, std::string_view data, const std::string* title,
                           std::int32_t currentViewSize, DocumentImage& image, std::string& reason) {
  image = DocumentImage{};
  if (flags.size() != FlagFileBytes) return Fail(reason, "the flag file is not 188 bytes long");
  auto& f = image.Flags;
  for (int r = 0; r < FlagRecordCount; ++r) f[r] = GetInt(flags, 4 * static_cast<std::size_t>(r));
  if (f[FlgMarkFirst] != FormatMark && f[FlgMarkFirst] != OldFormatMark)
    return Fail(reason, "the flag file has a wrong format mark");
  image.Version = f[FlgMarkFirst];
  if (f[FlgMarkLast] != image.Version) return Fail(reason, "the flag file has a wrong closing mark");

  const std::int32_t meshSize = f[FlgMeshSize], visible = f[FlgVisibleMeshSize];
  if (!((meshSize == 120 && visible == 100) || (meshSize == 238 && visible == 200) ||
        (meshSize == 358 && visible == 300)))
    return Fail(reason, "the mesh size is not one of 100, 200 or 300");
  if (f[FlgN100] != (visible == 100 ? 1 : 0) || f[FlgN300] != (visible == 300 ? 1 : 0) ||
      f[FlgN300Again] != f[FlgN300])
    return Fail(reason, "the mesh-size marks do not match the mesh size");
  if (f[FlgViewSize] < 1 || f[FlgViewSize] > MaxViewSize) return Fail(reason, "the saved view size is out of range");

  std::size_t values = 5 + static_cast<std::size_t>(meshSize) * static_cast<std::size_t>(meshSize);
  for (std::size_t i = 0; i < FileKindOrder.size(); ++i) {
    const std::int32_t kind = FileKindOrder[i], len = f[FlgFirstLength + i];
    if (len < 0 || len % ObjectTable::RecordSize(kind) != 0 || len > ObjectTable::Capacity(kind))
      return Fail(reason, "an object count is out of range");
    values += static_cast<std::size_t>(len);
  }
  if (data.size() != 4 * values) return Fail(reason, "the data file does not match the counts of the flag file");

  const float mark = static_cast<float>(image.Version);
  if (GetFloat(data, 0) != mark || GetFloat(data, data.size() - 4) != mark)
    return Fail(reason, "the data file has a wrong format mark");
  image.CellWidth = GetFloat(data, 4);
  image.CellHeight = GetFloat(data, 8);
  image.ExternalFieldStrength = GetFloat(data, 12);
  if (!CheckCellSize(image, reason)) return false;
  if (!WithinLimit(image.ExternalFieldStrength, ObjectValueLimit))
    return Fail(reason, "the external field strength is out of range");
  std::size_t at = 16;
  for (std::size_t i = 0; i < FileKindOrder.size(); ++i) {
    auto& v = image.Objects[i];
    v.resize(static_cast<std::size_t>(f[FlgFirstLength + i]));
    for (float& x : v) {
      x = GetFloat(data, at);
      at += 4;
    }
  }
  image.StreamFunction.resize(static_cast<std::size_t>(meshSize) * static_cast<std::size_t>(meshSize));
  for (float& x : image.StreamFunction) {
    x = GetFloat(data, at);
    at += 4;
    if (!std::isfinite(x)) return Fail(reason, "the stored solution holds a value that is not a number");
  }
  for (const auto& v : image.Objects)
    for (float x : v)
      if (!std::isfinite(x)) return Fail(reason, "an object value is not a number");

  if (image.Version == OldFormatMark) {
    // Version 999 held section positions in window coordinates.
    const auto originX = static_cast<float>(f[FlgGridOriginX]), originY = static_cast<float>(f[FlgViewTop]);
    auto& rects = image.Objects[0];
    for (std::size_t r = 0; r + TenRecordSize <= rects.size(); r += TenRecordSize)
      for (std::size_t j = 0; j < 8; j += 2) {
        rects[r + j] -= originX;
        rects[r + j + 1] -= originY;
      }
    auto& circles = image.Objects[1];
    for (std::size_t r = 0; r + TenRecordSize <= circles.size(); r += TenRecordSize) {
      circles[r] -= originX;
      circles[r + 1] -= originY;
    }
  }
  if (!CheckObjectValues(image, reason)) return false;

  if (image.Version == FormatMark) {
    // A document without its title file opens untitled.
    if (title) image.Title = ReadableTitle(title->substr(0, title->find_first_of("\r\n")));
    image.HasTitle = true;
  }

  SanitiseSelection(image);
  if (currentViewSize > 0 && currentViewSize != f[FlgViewSize]) {
    RescaleLoadedObjects(image, currentViewSize);
    if (!CheckCellSize(image, reason) || !CheckObjectValues(image, reason)) return false;
  }
  return true;
}

bool LoadDocumentFiles(const std::string& fileName, std::int32_t currentViewSize, DocumentImage& image,
                       std::string& reason) {
  CompanionNames names;
  if (!DocumentNames(fileName, names)) return Fail(reason, "the name is not a document name (*.QDN)");
  // A save that was cut off is finished or undone first: what is read is one
  // whole document, old or new.
  std::string why;
  if (!FinishInterruptedSave(fileName, why)) return Fail(reason, "an interrupted save cannot be finished (" + why + ")");
  std::string flags, data, title;
  if (!ReadWholeFile(names.flags, FlagFileBytes, flags, reason)) return false;
  if (!ReadWholeFile(names.data, MaxDataFileBytes, data, reason)) return false;
  // The title file is only wanted by the current version; an old document has none.
  const bool old = flags.size() == FlagFileBytes && GetInt(flags, 0) == OldFormatMark;
  const bool titled = !old && ReadTitleStart(names.title, title);
  return LoadDocumentFromBytes(flags, data, titled ? &title : nullptr, currentViewSize, image, reason);
}

void RescaleLoadedObjects(DocumentImage& image, std::int32_t viewSize) {
  const float r = static_cast<float>(image.Flag(FlgViewSize)) / static_cast<float>(viewSize);
  image.CellWidth /= r;
  image.CellHeight /= r;
  // Sections and the magnetic kinds: the four corners (or centre and radius).
  for (std::size_t i = 0; i < 5; ++i) {
    auto& v = image.Objects[i];
    for (std::size_t at = 0; at + TenRecordSize <= v.size(); at += TenRecordSize)
      for (std::size_t j = 0; j < 8; ++j) v[at + j] /= r;
  }
  auto& wires = image.Objects[5];
  for (std::size_t at = 0; at + WireRecordSize <= wires.size(); at += WireRecordSize) {
    wires[at] /= r;
    wires[at + 1] /= r;
  }
}

bool SaveDocumentFiles(const std::string& fileName, const DocumentImage& image, std::string& reason) {
  CompanionNames names;
  if (!DocumentNames(fileName, names)) return Fail(reason, "the name is not a document name (*.QDN)");
  // Never write what could not be read back.
  if (image.Version != FormatMark || !ValidTitle(image.Title)) return Fail(reason, "the title cannot be stored");
  const std::string flags = EncodeFlagFile(image), data = EncodeDataFile(image);
  DocumentImage check;
  std::string why;
  if (!LoadDocumentFromBytes(flags, data, &image.Title, 0, check, why))
    return Fail(reason, "the document cannot be stored: " + why);
  return ReplaceDocumentFiles({names.flags, names.data, names.title}, {flags, data, image.Title}, reason);
}

bool FinishInterruptedSave(const std::string& fileName, std::string& reason) {
  CompanionNames names;
  if (!DocumentNames(fileName, names)) return Fail(reason, "the name is not a document name (*.QDN)");
  return FinishInterruptedSave(DocumentTargets{names.flags, names.data, names.title}, reason);
}

void CommitDocument(const DocumentImage& image, ObjectTable& table, Mesh& mesh, GridState& grid,
                    FlowDisplayState& display, DocumentState& doc, UiState& ui) {
  const auto& f = image.Flags;

  // Object table and selection; the aerofoil maps are re-stamped from the records.
  ClearAerofoilMaps(table);
  for (std::size_t i = 0; i < FileKindOrder.size(); ++i) {
    const std::int32_t kind = FileKindOrder[i];
    float* data = table.Data(kind);
    const auto& v = image.Objects[i];
    std::fill(data, data + ObjectTable::Capacity(kind), 0.0f);
    std::copy(v.begin(), v.end(), data);
    table.Length(kind) = static_cast<std::int32_t>(v.size());
  }
  table.ObjectSelected = f[FlgObjectSelected];
  table.SelectedKind = f[FlgSelectedKind];
  table.SelectedIndex = f[FlgSelectedIndex];
  table.SelectedEdge = f[FlgSelectedEdge];
  table.SelectedAerofoil = f[FlgSelectedAerofoil];
  table.SelectedAerofoilOffset = f[FlgSelectedAerofoilOffset];
  table.SelectedRecord.fill(0.0f);
  if (table.ObjectSelected == 1) {
    const std::int32_t kind = table.SelectedKind;
    const std::int32_t at = kind == KindAerofoil ? table.SelectedAerofoilOffset : table.SelectedIndex;
    std::copy_n(table.Data(kind) + at, ObjectTable::RecordSize(kind), table.SelectedRecord.begin());
  }

  // Mesh: the stored size with new arrays holding the stored solution; the
  // coefficients wait for the next set-up.
  SetMeshDimensions(mesh, f[FlgVisibleMeshSize]);
  mesh.N100Checked = f[FlgN100] == 1;
  mesh.N300Checked = f[FlgN300] == 1;
  mesh.CellWidth = image.CellWidth;
  mesh.CellHeight = image.CellHeight;
  const std::int32_t k = mesh.ShownCells();
  mesh.MeshCentreX = static_cast<std::int32_t>(static_cast<float>(k) * mesh.CellWidth) / 2;
  mesh.MeshCentreY = static_cast<std::int32_t>(static_cast<float>(k) * mesh.CellHeight) / 2;
  AllocSolverArrays(mesh);
  std::copy(image.StreamFunction.begin(), image.StreamFunction.end(), mesh.StreamFunction.begin());
  std::fill(mesh.SolidMapCoarse.begin(), mesh.SolidMapCoarse.end(), ' ');
  std::fill(mesh.SolidMap.begin(), mesh.SolidMap.end(), ' ');
  mesh.SystemReady = false;
  ui[Cmd::MnuAnalyseRun].enabled = false;

  // Grid; the type check marks follow the stored codes.
  grid.GridLinesCode = f[FlgGridLinesCode];
  grid.GridDotsCode = f[FlgGridDotsCode];
  grid.ShowGridCode = f[FlgShowGridCode];
  grid.ShowGridChecked = grid.ShowGridCode != 0;
  grid.CentreLinesShown = f[FlgCentreLinesShown];
  grid.CentreLinesChecked = grid.CentreLinesShown == 1;
  if (grid.GridLinesCode == 18) {
    grid.LinesChecked = true;
    grid.DotsChecked = false;
  } else if (grid.GridDotsCode == 17) {
    grid.LinesChecked = false;
    grid.DotsChecked = true;
  }

  // Flow display: each density mark that is set selects its level.
  display.StreamlinesShown = f[FlgStreamlinesShown];
  const std::array<FlagRecord, 3> densities = {FlgFlowHigh, FlgFlowNormal, FlgFlowLow};
  for (std::size_t i = 0; i < 3; ++i) {
    display.DensityMarks[i] = f[densities[i]] == 1;
    if (display.DensityMarks[i]) display.StreamLevelCount = DensityLevels[i];
  }
  display.SolidFill = f[FlgSolidFill] == 1 ? 1 : 0;

  // Document settings.
  doc.ShowValues = f[FlgShowValues];
  doc.ListBox1Item = f[FlgListBox1];
  doc.ListBox2Item = f[FlgListBox2];
  doc.ExternalFieldStrength = image.ExternalFieldStrength;
  char text[32];
  const auto res = std::to_chars(text, text + sizeof text, image.ExternalFieldStrength);
  doc.ExtfldStrength.assign(text, res.ptr);
  doc.SavedViewOriginX = f[FlgGridOriginX];
  doc.SavedViewOriginY = f[FlgViewTop];
  doc.SavedViewSize = f[FlgViewSize];
  if (image.HasTitle) {
    doc.Title = image.Title;
    ui.status[5] = TitleBlanks + image.Title;
  }
  doc.DocumentModified = 0;
}
