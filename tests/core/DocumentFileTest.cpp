// The three document files byte for byte, reading them back, the old format,
// rescaling, and writing that never leaves a damaged document behind or
// replaces a write-protected file.
#include <sys/stat.h>

#include "core/DocumentTestScene.h"
#include "documents/AtomicSave.h"
#include "documents/DocumentFile.h"

namespace {

class DocumentFileTest : public TempFolder {
 protected:
  bool Save(Scene& s, const std::string& name) {
    ScriptedPrompts prompts;
    const bool ok = SaveDocumentFiles(s.ctx, prompts, Path(name));
    messages = prompts.messages;
    return ok;
  }
  bool Load(Scene& s, const std::string& name) {
    DocumentImage image;
    if (!LoadDocumentFiles(Path(name), s.mesh.ViewSize, image, reason)) return false;
    CommitDocument(image, s.table, s.mesh, s.grid, s.display, s.doc, s.ui);
    return true;
  }
  std::string reason;
  std::vector<std::string> messages;
};

TEST_F(DocumentFileTest, EmptyDocumentAtEachMeshSizeHasTheLaidOutBytes) {
  for (auto [visible, meshSize] : {std::pair{100, 120}, {200, 238}, {300, 358}}) {
    Scene s(visible);
    ASSERT_TRUE(Save(s, "empty.QDN"));
    EXPECT_EQ(Read(Path("empty.FLG")), FlagBytes(StartUpFlags(meshSize, visible, 40, 400))) << visible;
    Bytes d;
    d.Float(998).Float(s.mesh.CellWidth).Float(s.mesh.CellHeight).Float(0);
    d.Floats(static_cast<std::size_t>(meshSize * meshSize), 0.0f).Float(998);
    EXPECT_EQ(Read(Path("empty.QDN")), d.s) << visible;
    EXPECT_EQ(Read(Path("empty.TLE")), "");
    EXPECT_EQ(EntriesInFolder(), 3u) << "no temporary file is left behind";
  }
}

TEST_F(DocumentFileTest, ShapesSelectionAndTitleAreWrittenInTableOrder) {
  Scene s;
  s.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
  s.AddRecord(KindCircle, {200, 150, 0, 30, 0, 0, 0, 0, 999, 0});
  s.AddRecord(KindWire, {101, 102, -5});
  s.AddRecord(KindAerofoil, {-3, 4, 1, 12});
  s.table.ObjectSelected = 1;
  s.table.SelectedKind = KindCircle;
  s.table.SelectedEdge = 2;
  s.table.SelectedAerofoil = 1;
  s.doc.Title = "Wing in ground effect";
  s.doc.ExtfldStrength = "12.5";
  s.doc.ListBox1Item = 1;
  ASSERT_TRUE(Save(s, "shapes.qdn"));

  auto r = StartUpFlags(120, 100, 40, 400);
  r[6] = 1;       // selected
  r[9] = 5;       // circle
  r[11] = 2;      // edge
  r[13] = r[14] = 10;  // rect and circle lengths
  r[18] = 3;      // wire length
  r[19] = 4;      // aerofoil length
  for (int n = 21; n <= 26; ++n) r[n - 1] = 3;  // copies of the wire length
  r[26] = 1;
  r[38] = 1;      // selected aerofoil
  EXPECT_EQ(Read(Path("shapes.FLG")), FlagBytes(r));
  Bytes d;
  d.Float(998).Float(s.mesh.CellWidth).Float(s.mesh.CellHeight).Float(12.5f);
  for (float v : {10, 20, 60, 20, 60, 80, 10, 80, 999, 0}) d.Float(v);
  for (float v : {200, 150, 0, 30, 0, 0, 0, 0, 999, 0}) d.Float(v);
  for (float v : {101, 102, -5, -3, 4, 1, 12}) d.Float(v);
  d.Floats(120 * 120, 0.0f).Float(998);
  EXPECT_EQ(Read(Path("shapes.qdn")), d.s);
  EXPECT_EQ(Read(Path("shapes.TLE")), "Wing in ground effect");
}

TEST_F(DocumentFileTest, SolvedDocumentRoundTripsIntoAFreshProgram) {
  Scene s(300);
  s.AddRecord(KindAerofoil, {0, 0, 1, -20});
  s.AddRecord(KindAerofoil, {25, -7, 1, 5});
  for (std::int32_t i = 0; i < s.mesh.MeshSize * s.mesh.MeshSize; ++i) s.mesh.StreamFunction[i] = (i % 97) * 1.03f - 50;
  s.display.StreamlinesShown = 1;
  s.grid.GridLinesCode = 18;
  s.grid.GridDotsCode = 0;
  s.display.DensityMarks = {true, false, false};
  s.table.ObjectSelected = 1;
  s.table.SelectedKind = KindAerofoil;
  s.table.SelectedAerofoil = 2;
  s.table.SelectedAerofoilOffset = 4;
  s.doc.Title = "Two aerofoils";
  ASSERT_TRUE(Save(s, "solved.QDN"));

  Scene t;
  ASSERT_TRUE(Load(t, "solved.QDN")) << reason;
  EXPECT_EQ(t.mesh.MeshBorder, 29) << "the border follows the stored mesh size";
  EXPECT_EQ(t.mesh.StreamFunction.size(), static_cast<std::size_t>(358 * 360));
  EXPECT_EQ(t.table.SelectedRecord[3], 5.0f) << "the selected record is a copy of the aerofoil";
  EXPECT_EQ(t.display.StreamLevelCount, 41);
  EXPECT_EQ(t.display.DensityMarks, (std::array<bool, 3>{true, false, false}));
  EXPECT_TRUE(t.grid.LinesChecked && !t.grid.DotsChecked) << "the grid check marks follow the codes";
  // Saving again gives the same bytes: everything came back, nothing drifts.
  const std::string flg = Read(Path("solved.FLG")), qdn = Read(Path("solved.QDN"));
  ASSERT_TRUE(Save(t, "again.QDN"));
  EXPECT_EQ(Read(Path("again.FLG")), flg);
  EXPECT_EQ(Read(Path("again.QDN")), qdn);
}

// The density marks are a fact of their own: a document may hold none, or one
// that does not match the density in use, and both come back as they were.
TEST_F(DocumentFileTest, DensityMarksTravelAsStoredEvenWhenTheyDisagreeWithTheDensity) {
  for (const std::array<bool, 3> marks : {std::array<bool, 3>{false, false, false}, std::array<bool, 3>{false, true, false}}) {
    Scene s;
    s.display.StreamLevelCount = 30;
    s.display.DensityMarks = marks;
    ASSERT_TRUE(Save(s, "marks.QDN"));
    const std::string flg = Read(Path("marks.FLG"));
    for (int r = 0; r < 3; ++r)
      EXPECT_EQ(static_cast<unsigned char>(flg[4 * (FlgFlowHigh + r)]), marks[static_cast<std::size_t>(r)] ? 1 : 0);
    Scene t;
    t.display.StreamLevelCount = LowStreamLevels;
    ASSERT_TRUE(Load(t, "marks.QDN")) << reason;
    EXPECT_EQ(t.display.DensityMarks, marks);
    EXPECT_EQ(t.display.StreamLevelCount, marks[1] ? NormalStreamLevels : LowStreamLevels) << "no mark: the density stays";
    ASSERT_TRUE(Save(t, "again.QDN"));
    EXPECT_EQ(Read(Path("again.FLG")), flg);
  }
}

TEST_F(DocumentFileTest, OldFormatMovesSectionsFromWindowToViewCoordinates) {
  auto r = StartUpFlags(120, 100, 40, 400);
  r[0] = r[46] = 999;
  r[1] = 8;  // saved view origin
  r[13] = r[14] = 10;
  Write(Path("old.FLG"), FlagBytes(r));
  Bytes d;
  d.Float(999).Float(3.96f).Float(3.96f).Float(0);
  for (float v : {18, 60, 68, 60, 68, 120, 18, 120, 999, 0}) d.Float(v);
  for (float v : {208, 190, 0, 30, 0, 0, 0, 0, 999, 0}) d.Float(v);
  d.Floats(120 * 120, 0.5f).Float(999);
  Write(Path("old.QDN"), d.s);

  Scene s;
  s.doc.Title = "kept";
  ASSERT_TRUE(Load(s, "old.QDN")) << reason;
  const std::array<float, 10> rect = {10, 20, 60, 20, 60, 80, 10, 80, 999, 0};
  EXPECT_TRUE(std::equal(rect.begin(), rect.end(), s.table.RectData.begin()));
  EXPECT_TRUE(s.table.CircleData[0] == 200.0f && s.table.CircleData[1] == 150.0f);
  EXPECT_EQ(s.table.CircleData[3], 30.0f) << "the radius is not a position";
  EXPECT_EQ(s.doc.Title, "kept") << "an old document has no title file";
  EXPECT_EQ(s.mesh.StreamFunction[120 * 120 - 1], 0.5f);
}

TEST_F(DocumentFileTest, DocumentSavedInASmallerViewOpensScaledToTheCurrentOne) {
  Scene small(100, 400);
  small.AddRecord(KindRect, {40, 40, 80, 40, 80, 120, 40, 120, 999, 0});
  small.AddRecord(KindWire, {101, 201, 7});
  small.AddRecord(KindAerofoil, {-3, 4, 1, 12});
  ASSERT_TRUE(Save(small, "small.QDN"));

  Scene big(100, 500);
  ASSERT_TRUE(Load(big, "small.QDN")) << reason;
  EXPECT_NEAR(big.mesh.CellWidth, small.mesh.CellWidth * 1.25f, 1e-4);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(big.table.RectData[i], small.table.RectData[i] * 1.25f, 1e-3) << i;
  EXPECT_NEAR(big.table.WireData[1], 251.25f, 1e-3);
  EXPECT_EQ(big.table.WireData[2], 7.0f) << "a strength is not a position";
  EXPECT_EQ(big.table.AerofoilData[0], -3.0f) << "aerofoils are held in cells";
}

TEST_F(DocumentFileTest, SelectionNamingNoRecordLoadsAsNoSelection) {
  auto r = StartUpFlags(120, 100, 40, 400);
  r[6] = 1;    // selected ...
  r[9] = 0;    // ... a rectangle ...
  r[10] = 20;  // ... at an offset past the only one
  r[11] = 9;   // no such edge
  r[26] = 7;   // list index out of range
  r[38] = 3;   // third aerofoil of none
  r[13] = 10;
  Write(Path("sel.FLG"), FlagBytes(r));
  Write(Path("sel.QDN"), Bytes().Float(998).Float(4).Float(4).Float(0).Floats(10, 1).Floats(14400, 0).Float(998).s);
  Write(Path("sel.TLE"), "");
  Scene s;
  ASSERT_TRUE(Load(s, "sel.QDN")) << reason;
  EXPECT_EQ(s.table.ObjectSelected, 0);
  EXPECT_EQ(s.table.SelectedIndex, 0);
  EXPECT_EQ(s.table.SelectedEdge, 0);
  EXPECT_EQ(s.table.SelectedAerofoil, 0);
  EXPECT_EQ(s.doc.ListBox1Item, -1);
}

// Saving over an existing document that fails part way keeps the old files.
TEST_F(DocumentFileTest, AFailedSaveLeavesTheOldDocumentIntact) {
  Scene old, changed;
  old.doc.Title = "old";
  ASSERT_TRUE(Save(old, "doc.QDN"));
  const std::string oldFlg = Read(Path("doc.FLG")), oldQdn = Read(Path("doc.QDN"));
  changed.AddRecord(KindRect, {1, 2, 3, 4, 5, 6, 7, 8, 999, 0});
  changed.doc.DocumentModified = 1;
  changed.doc.ExtfldStrength = "12,5";
  EXPECT_FALSE(Save(changed, "doc.QDN")) << "an unreadable strength writes nothing";
  EXPECT_EQ(Read(Path("doc.QDN")), oldQdn);
  changed.doc.ExtfldStrength = "12.5";

  // A folder in the way of one file stops the save before anything is written;
  // one in the way of the journal stops it after the new files were written.
  const std::string journalNew = SaveWorkNames({Path("doc.FLG"), Path("doc.QDN"), Path("doc.TLE")})[4];
  const std::pair<std::string, std::string> obstacles[] = {{Path("doc.TLE"), "is a folder"},
                                                           {journalNew, "cannot create"}};
  for (const auto& [obstacle, said] : obstacles) {
    SCOPED_TRACE(obstacle);
    std::filesystem::remove(obstacle);
    std::filesystem::create_directory(obstacle);
    EXPECT_FALSE(Save(changed, "doc.QDN"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(said), std::string::npos) << messages[0];
    EXPECT_TRUE(Read(Path("doc.FLG")) == oldFlg) << "the old flag file is kept";
    EXPECT_TRUE(Read(Path("doc.QDN")) == oldQdn) << "the old data file is kept";
    EXPECT_EQ(EntriesInFolder(), obstacle == journalNew ? 4u : 3u) << "no work file is left behind";
    EXPECT_EQ(changed.doc.DocumentModified, 1);
    std::filesystem::remove(obstacle);
    Write(Path("doc.TLE"), "old");
  }
  EXPECT_TRUE(Save(changed, "doc.QDN"));
  EXPECT_TRUE(Read(Path("doc.QDN")) != oldQdn) << "the new document is written";
  EXPECT_EQ(EntriesInFolder(), 3u);
}

// Read-only is decided from the mode bits, so a save run as root (which no
// write is refused) respects it too; nothing's permissions are ever changed.
TEST_F(DocumentFileTest, AWriteProtectedFileIsNotReplacedAndModesAreKept) {
  Scene old, changed;
  ASSERT_TRUE(Save(old, "doc.QDN"));
  changed.AddRecord(KindRect, {1, 2, 3, 4, 5, 6, 7, 8, 999, 0});
  changed.doc.DocumentModified = 1;
  const std::string before[] = {Read(Path("doc.FLG")), Read(Path("doc.QDN")), Read(Path("doc.TLE"))};
  for (const char* file : {"doc.FLG", "doc.QDN", "doc.TLE"}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(::chmod(Path(file).c_str(), 0444), 0);
    EXPECT_FALSE(Save(changed, "doc.QDN"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(Path(file) + " is write-protected"), std::string::npos) << messages[0];
    EXPECT_EQ(changed.doc.DocumentModified, 1);
    EXPECT_EQ(Read(Path("doc.FLG")), before[0]);
    EXPECT_EQ(Read(Path("doc.QDN")), before[1]);
    EXPECT_EQ(Read(Path("doc.TLE")), before[2]);
    EXPECT_EQ(std::filesystem::status(Path(file)).permissions(), std::filesystem::perms(0444));
    EXPECT_EQ(EntriesInFolder(), 3u);
    ASSERT_EQ(::chmod(Path(file).c_str(), 0640), 0);
  }
  ASSERT_TRUE(Save(changed, "doc.QDN"));
  for (const char* file : {"doc.FLG", "doc.QDN", "doc.TLE"})
    EXPECT_EQ(std::filesystem::status(Path(file)).permissions(), std::filesystem::perms(0640))
        << file << ": a replaced file keeps the permissions it had";
}

// Any name the file system takes can be saved and opened: the work files have
// short names of their own.
TEST_F(DocumentFileTest, TheLongestNameTheFileSystemTakesIsSaved) {
  const std::string name = std::string(255 - 4, 'n') + ".QDN";
  Scene s, t;
  s.doc.Title = "long";
  ASSERT_TRUE(Save(s, name)) << (messages.empty() ? "" : messages[0]);
  EXPECT_EQ(EntriesInFolder(), 3u);
  ASSERT_TRUE(Load(t, name)) << reason;
  EXPECT_EQ(t.doc.Title, "long");
}

}  // namespace
