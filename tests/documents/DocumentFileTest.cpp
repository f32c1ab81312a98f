// The three document files byte for byte, reading them back, the old format,
// rescaling, and writing that never leaves a damaged document behind.
#include <cmath>
#include <random>

#include "DocumentTestScene.h"
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
    const std::string data = Bytes()
                                 .Float(998.0f)
                                 .Float(s.mesh.CellWidth)
                                 .Float(s.mesh.CellHeight)
                                 .Float(0.0f)
                                 .Floats(static_cast<std::size_t>(meshSize * meshSize), 0.0f)
                                 .Float(998.0f)
                                 .s;
    EXPECT_EQ(Read(Path("empty.QDN")), data) << visible;
    EXPECT_EQ(Read(Path("empty.TLE")), "");
    EXPECT_EQ(EntriesInFolder(), 3u) << "no temporary file is left behind";
  }
  EXPECT_EQ(std::filesystem::file_size(dir / "empty.QDN"), 4u * (5 + 358 * 358));
  Scene small;
  ASSERT_TRUE(Save(small, "small.QDN"));
  EXPECT_EQ(std::filesystem::file_size(dir / "small.FLG"), 188u);
  EXPECT_EQ(std::filesystem::file_size(dir / "small.QDN"), 57620u);
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
  r[13] = 10;     // rect length
  r[14] = 10;     // circle length
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
  s.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
  s.AddRecord(KindMagnet, {1, 2, 3, 4, 5, 6, 7, 8, 999, 42});
  s.AddRecord(KindAerofoil, {0, 0, 1, -20});
  s.AddRecord(KindAerofoil, {25, -7, 1, 5});
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> value(-50, 50);
  for (std::int32_t i = 0; i < s.mesh.MeshSize * s.mesh.MeshSize; ++i) s.mesh.StreamFunction[i] = value(gen);
  s.display.StreamlinesShown = 1;
  s.grid.GridLinesCode = 18;
  s.grid.GridDotsCode = 0;
  s.ui[Cmd::MnuFlowNormal].checked = false;
  s.ui[Cmd::MnuFlowHigh].checked = true;
  s.table.ObjectSelected = 1;
  s.table.SelectedKind = KindAerofoil;
  s.table.SelectedAerofoil = 2;
  s.table.SelectedAerofoilOffset = 4;
  s.doc.Title = "Two aerofoils";
  ASSERT_TRUE(Save(s, "solved.QDN"));

  Scene t;
  ASSERT_TRUE(Load(t, "solved.QDN")) << reason;
  EXPECT_EQ(t.mesh.MeshBorder, 29) << "the border follows the stored mesh size";
  EXPECT_TRUE(t.mesh.N300Checked && !t.mesh.N100Checked);
  ASSERT_EQ(t.mesh.StreamFunction.size(), static_cast<std::size_t>(358 * 360));
  EXPECT_TRUE(std::equal(s.mesh.StreamFunction.begin(), s.mesh.StreamFunction.begin() + 358 * 358,
                         t.mesh.StreamFunction.begin()));
  EXPECT_EQ(t.mesh.MeshCentreX, s.mesh.MeshCentreX);
  EXPECT_EQ(t.table.MagnetData[9], 42.0f);
  EXPECT_EQ(t.table.AerofoilData[4], 25.0f);
  EXPECT_EQ(t.table.SelectedRecord[3], 5.0f) << "the selected record is a copy of the aerofoil";
  EXPECT_EQ(t.display.StreamLevelCount, 41);
  EXPECT_TRUE(t.ui[Cmd::MnuFlowHigh].checked && !t.ui[Cmd::MnuFlowNormal].checked);
  EXPECT_TRUE(t.grid.LinesChecked && !t.grid.DotsChecked) << "the grid check marks follow the codes";
  EXPECT_EQ(t.ui.status[5], "          Two aerofoils");
  // Saving again gives the same bytes: nothing drifts over repeated round trips.
  const std::string flg = Read(Path("solved.FLG")), qdn = Read(Path("solved.QDN"));
  ASSERT_TRUE(Save(t, "again.QDN"));
  EXPECT_EQ(Read(Path("again.FLG")), flg);
  EXPECT_EQ(Read(Path("again.QDN")), qdn);
  EXPECT_EQ(Read(Path("again.TLE")), "Two aerofoils");
}

TEST_F(DocumentFileTest, OldFormatMovesSectionsFromWindowToViewCoordinates) {
  auto r = StartUpFlags(120, 100, 40, 400);
  r[0] = r[46] = 999;
  r[1] = 8;  // saved view origin
  r[13] = 10;
  r[14] = 10;
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
  EXPECT_EQ(s.table.CircleData[0], 200.0f);
  EXPECT_EQ(s.table.CircleData[1], 150.0f);
  EXPECT_EQ(s.table.CircleData[3], 30.0f) << "the radius is not a position";
  EXPECT_EQ(s.doc.Title, "kept") << "an old document has no title file";
  EXPECT_EQ(s.mesh.StreamFunction[120 * 120 - 1], 0.5f);
}

TEST_F(DocumentFileTest, DocumentSavedInASmallerViewOpensScaledToTheCurrentOne) {
  Scene small(100, 400);
  small.AddRecord(KindRect, {40, 40, 80, 40, 80, 120, 40, 120, 999, 0});
  small.AddRecord(KindCircle, {200, 100, 0, 20, 0, 0, 0, 0, 999, 0});
  small.AddRecord(KindWire, {101, 201, 7});
  small.AddRecord(KindAerofoil, {-3, 4, 1, 12});
  ASSERT_TRUE(Save(small, "small.QDN"));

  Scene big(100, 500);
  ASSERT_TRUE(Load(big, "small.QDN")) << reason;
  EXPECT_NEAR(big.mesh.CellWidth, small.mesh.CellWidth * 1.25f, 1e-4);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(big.table.RectData[i], small.table.RectData[i] * 1.25f, 1e-3) << i;
  EXPECT_EQ(big.table.RectData[8], 999.0f);
  EXPECT_NEAR(big.table.CircleData[3], 25.0f, 1e-3);
  EXPECT_NEAR(big.table.WireData[1], 251.25f, 1e-3);
  EXPECT_EQ(big.table.WireData[2], 7.0f) << "a strength is not a position";
  EXPECT_EQ(big.table.AerofoilData[0], -3.0f) << "aerofoils are held in cells";
  EXPECT_EQ(big.doc.SavedViewSize, 400);
  EXPECT_EQ(big.mesh.MeshCentreX, static_cast<int>(100 * big.mesh.CellWidth) / 2);
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
  const std::string data = Bytes().Float(998).Float(4).Float(4).Float(0).Floats(10, 1).Floats(14400, 0).Float(998).s;
  const std::string noTitle;
  DocumentImage image;
  ASSERT_TRUE(LoadDocumentFromBytes(FlagBytes(r), data, &noTitle, 0, image, reason)) << reason;
  Scene s;
  CommitDocument(image, s.table, s.mesh, s.grid, s.display, s.doc, s.ui);
  EXPECT_EQ(s.table.ObjectSelected, 0);
  EXPECT_EQ(s.table.SelectedIndex, 0);
  EXPECT_EQ(s.table.SelectedEdge, 0);
  EXPECT_EQ(s.table.SelectedAerofoil, 0);
  EXPECT_EQ(s.doc.ListBox1Item, -1);
}

TEST_F(DocumentFileTest, CompanionNamesComeFromTheFileNamePartOnly) {
  CompanionNames n;
  ASSERT_TRUE(DocumentNames("/data/wing.qdn", n));
  EXPECT_EQ(n.flags, "/data/wing.FLG");
  EXPECT_EQ(n.title, "/data/wing.TLE");
  EXPECT_EQ(n.data, "/data/wing.qdn");
  EXPECT_FALSE(DocumentNames("/my.QDN.folder/wing.txt", n));
  EXPECT_FALSE(DocumentNames("/data/.QDN", n));
  EXPECT_FALSE(DocumentNames("/data/*.QDN", n));
  EXPECT_FALSE(DocumentNames("/data/wing.Qdn", n));
}

// Saving over an existing document that fails part way keeps the old files.
class FailedSaveTest : public DocumentFileTest {
 protected:
  void SetUp() override {
    DocumentFileTest::SetUp();
    old.doc.Title = "old";
    ASSERT_TRUE(Save(old, "doc.QDN"));
    oldFlg = Read(Path("doc.FLG"));
    oldQdn = Read(Path("doc.QDN"));
    changed.AddRecord(KindRect, {1, 2, 3, 4, 5, 6, 7, 8, 999, 0});
    changed.doc.Title = "new";
    changed.doc.DocumentModified = 1;
  }
  Scene old, changed;
  std::string oldFlg, oldQdn;
};

TEST_F(FailedSaveTest, AFolderInTheWayOfOneFileLeavesAllOldFilesIntact) {
  std::filesystem::remove(dir / "doc.TLE");
  std::filesystem::create_directory(dir / "doc.TLE");
  EXPECT_FALSE(Save(changed, "doc.QDN"));
  EXPECT_EQ(Read(Path("doc.FLG")), oldFlg);
  EXPECT_EQ(Read(Path("doc.QDN")), oldQdn);
  EXPECT_EQ(EntriesInFolder(), 3u) << "temporary and backup files are removed";
  EXPECT_EQ(changed.doc.DocumentModified, 1);
  ASSERT_EQ(messages.size(), 1u);
}

TEST_F(FailedSaveTest, AnUnreadableStrengthWritesNothing) {
  changed.doc.ExtfldStrength = "12,5";
  EXPECT_FALSE(Save(changed, "doc.QDN"));
  EXPECT_EQ(Read(Path("doc.QDN")), oldQdn);
  EXPECT_EQ(changed.doc.DocumentModified, 1);
}

}  // namespace
