// New, Open, Save, Save As, the save question and the title panel as the user
// meets them, and damaged documents that must leave the current one untouched.
#include <functional>
#include <random>

#include "DocumentTestScene.h"
#include "documents/DocumentFile.h"

namespace {

class FileCommandsTest : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    s.doc.DataFolder = dir.string();
    hooks.RedrawAllObjects = [this] { drawn.push_back("objects"); };
    hooks.RestampAerofoils = [this] { drawn.push_back("aerofoils"); };
    hooks.SolidFillSetUp = [this] { drawn.push_back("solid fill"); };
    hooks.DrawStreamlines = [this] { drawn.push_back("flow lines"); };
    hooks.ClearView = [this] { drawn.push_back("clear"); };
    hooks.ShowOnlineHelp = [this](int code) { helpCodes.push_back(code); };
  }
  // A drawing with unsaved changes.
  void DrawSomething() {
    s.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
    s.doc.DocumentModified = 1;
  }
  Scene s;
  ScriptedPrompts prompts;
  DocumentHooks hooks;
  std::vector<std::string> drawn;
  std::vector<int> helpCodes;
};

TEST_F(FileCommandsTest, NewOnAnUnchangedDocumentAsksNothing) {
  s.AddRecord(KindCircle, {200, 150, 0, 30, 0, 0, 0, 0, 999, 0});
  NewDocument(s.ctx, prompts, hooks);
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(s.table.CircleDataLen, 0);
  EXPECT_EQ(s.ui.caption, "Quorvane [UNTITLED]");
  EXPECT_EQ(s.ui.status[3], "New file");
  EXPECT_EQ(helpCodes, std::vector<int>{15});
}

TEST_F(FileCommandsTest, CancelToTheSaveQuestionLeavesTheDocumentAlone) {
  DrawSomething();
  s.doc.CurrentFileName = Path("mine.QDN");
  s.ui.caption = WindowCaption(s.doc);
  prompts.answers = {Answer::Cancel};
  NewDocument(s.ctx, prompts, hooks);
  ASSERT_EQ(prompts.questions, std::vector<std::string>{"Save changes to Quorvane " + Path("mine.QDN") + "?"});
  EXPECT_EQ(s.table.RectDataLen, 10);
  EXPECT_EQ(s.doc.DocumentModified, 1);
  EXPECT_EQ(s.doc.SaveCancelled, 0);
  EXPECT_EQ(s.ui.caption, "Quorvane " + Path("mine.QDN"));
  EXPECT_TRUE(drawn.empty());
}

TEST_F(FileCommandsTest, YesWithoutASaveActsAsCancel) {
  DrawSomething();
  // Yes, then the Save dialog cancelled; Yes, then a name the dialog rejects.
  prompts.answers = {Answer::Yes, Answer::Yes};
  prompts.fileNames = {"", Path("drawing.txt")};
  NewDocument(s.ctx, prompts, hooks);
  OpenDocument(s.ctx, prompts, hooks);
  EXPECT_EQ(prompts.questions, std::vector<std::string>(2, "Save changes to Quorvane [UNTITLED]?"));
  EXPECT_EQ(prompts.messages, std::vector<std::string>{FileErrorMessage});
  EXPECT_EQ(prompts.dialogFolders.size(), 2u) << "the Open dialog never appeared";
  EXPECT_EQ(s.table.RectDataLen, 10) << "the unsaved work is kept";
  EXPECT_EQ(s.doc.DocumentModified, 1);
  EXPECT_EQ(s.doc.SaveCancelled, 0);
  EXPECT_EQ(EntriesInFolder(), 0u);
}

TEST_F(FileCommandsTest, YesSavesUnderTheGivenNameBeforeNewGoesOn) {
  DrawSomething();
  prompts.answers = {Answer::Yes};
  prompts.fileNames = {Path("kept.QDN")};
  NewDocument(s.ctx, prompts, hooks);
  EXPECT_EQ(prompts.dialogFolders, std::vector<std::string>{dir.string()});
  EXPECT_EQ(std::filesystem::file_size(dir / "kept.QDN"), 4u * (5 + 10 + 120 * 120));
  EXPECT_EQ(s.table.RectDataLen, 0);
  EXPECT_EQ(s.doc.CurrentFileName, "");
}

TEST_F(FileCommandsTest, ANameWithoutTheExtensionOrWithAnEmptyBaseIsRefused) {
  DrawSomething();
  for (const char* name : {"drawing.txt", ".QDN", "drawing"}) {
    prompts.fileNames = {Path(name)};
    SaveDocumentAs(s.ctx, prompts, hooks);
  }
  EXPECT_EQ(prompts.messages, std::vector<std::string>(3, FileErrorMessage));
  EXPECT_EQ(EntriesInFolder(), 0u);
  EXPECT_EQ(s.doc.CurrentFileName, "");
  EXPECT_EQ(s.doc.DocumentModified, 1);
}

TEST_F(FileCommandsTest, SaveAsNamesTheDocumentAndProposesThatNameNextTime) {
  DrawSomething();
  prompts.fileNames = {Path("wing.QDN"), Path("wing.QDN")};
  SaveDocumentAs(s.ctx, prompts, hooks);
  EXPECT_EQ(s.ui.caption, "Quorvane " + Path("wing.QDN"));
  EXPECT_EQ(s.doc.DocumentModified, 0);
  SaveDocumentAs(s.ctx, prompts, hooks);
  EXPECT_EQ(prompts.dialogFolders, (std::vector<std::string>{dir.string(), Path("wing.QDN")}));
  EXPECT_EQ(helpCodes, (std::vector<int>{3, 3}));
}

TEST_F(FileCommandsTest, OpenShowsTheStoredFlowLinesAtOnce) {
  Scene saved;
  saved.AddRecord(KindAerofoil, {0, 0, 1, 8});
  saved.display.StreamlinesShown = 1;
  saved.display.SolidFill = 0;
  saved.doc.Title = "Stored";
  saved.doc.CurrentFileName = Path("flow.QDN");
  SaveDocument(saved.ctx, prompts, hooks);
  helpCodes.clear();

  prompts.fileNames = {Path("flow.QDN")};
  OpenDocument(s.ctx, prompts, hooks);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(drawn, (std::vector<std::string>{"objects", "aerofoils", "flow lines"}));
  EXPECT_EQ(s.ui.caption, "Quorvane " + Path("flow.QDN"));
  EXPECT_EQ(s.ui.status[5], "          Stored");
  EXPECT_EQ(s.ui.status[3], " ");
  EXPECT_EQ(s.doc.DocumentModified, 0);
  EXPECT_EQ(s.cmd.RestampMode, 0);
  EXPECT_EQ(helpCodes, std::vector<int>{2});
}

TEST_F(FileCommandsTest, TitlePanelAcceptsUpToThirtyTwoCharactersAndRoundTrips) {
  ASSERT_TRUE(BeginAddTitle(s.ctx, hooks));
  EXPECT_FALSE(s.ui[Cmd::MnuFile].enabled);
  EXPECT_FALSE(AcceptTitle(s.ctx, prompts, hooks, std::string(33, 'a')));
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FALSE(s.ui[Cmd::MnuFile].enabled) << "the panel stays open";
  ASSERT_TRUE(AcceptTitle(s.ctx, prompts, hooks, "Cylinder at 5 m/s"));
  EXPECT_EQ(s.ui.status[5], "          Cylinder at 5 m/s");
  EXPECT_TRUE(s.ui[Cmd::MnuFile].enabled);
  EXPECT_EQ(s.doc.DocumentModified, 0) << "a title alone does not change the document";

  s.doc.CurrentFileName = Path("t.QDN");
  for (int round = 0; round < 3; ++round) {
    SaveDocument(s.ctx, prompts, hooks);
    prompts.fileNames = {Path("t.QDN")};
    OpenDocument(s.ctx, prompts, hooks);
  }
  EXPECT_EQ(s.ui.status[5], "          Cylinder at 5 m/s");
  EXPECT_EQ(Read(Path("t.TLE")), "Cylinder at 5 m/s");
}

// Damaged documents: every one must give the file-error message and leave the
// current document, its name, caption, title, changed flag and view as they were.
class DamagedDocumentTest : public FileCommandsTest {
 protected:
  void SetUp() override {
    FileCommandsTest::SetUp();
    DrawSomething();
    s.doc.CurrentFileName = Path("current.QDN");
    s.doc.Title = "current";
    s.ui.status[5] = "          current";
    s.ui.caption = WindowCaption(s.doc);
    s.mesh.StreamFunction[1210] = 3.5f;
    flags = StartUpFlags(120, 100, 40, 400);
    flags[13] = 10;  // one rectangle
    good = Bytes().Float(998).Float(3.96f).Float(3.96f).Float(0);
    for (float v : {5, 5, 50, 5, 50, 50, 5, 50, 999, 0}) good.Float(v);
    good.Floats(14400, 1.0f).Float(998);
  }
  // Writes the files, opens them (answering No to the save question) and checks
  // that nothing of the current document moved.
  void ExpectRefused(const std::string& flg, const std::string& qdn, const char* tle, const std::string& what) {
    SCOPED_TRACE(what);
    for (const char* ext : {"bad.FLG", "bad.QDN", "bad.TLE"}) std::filesystem::remove_all(dir / ext);
    Write(Path("bad.FLG"), flg);
    Write(Path("bad.QDN"), qdn);
    if (tle) Write(Path("bad.TLE"), tle);
    prompts.messages.clear();
    prompts.answers = {Answer::No};
    prompts.fileNames = {Path("bad.QDN")};
    OpenDocument(s.ctx, prompts, hooks);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind(FileErrorMessage, 0), 0u);
    EXPECT_EQ(s.table.RectData[2], 60.0f);
    EXPECT_EQ(s.mesh.MeshSize, 120);
    EXPECT_EQ(s.mesh.StreamFunction[1210], 3.5f);
    EXPECT_EQ(s.ui.caption, "Quorvane " + Path("current.QDN"));
    EXPECT_EQ(s.ui.status[5], "          current");
    EXPECT_EQ(s.doc.DocumentModified, 1);
    EXPECT_EQ(s.cmd.LoadFailed, 0);
    EXPECT_TRUE(drawn.empty());
  }
  std::string Flags(std::function<void(std::array<std::int32_t, 47>&)> change) const {
    auto r = flags;
    change(r);
    return FlagBytes(r);
  }
  std::string DataWith(std::size_t value, float v) const {
    Bytes b;
    b.Float(v);
    std::string d = good.s;
    d.replace(4 * value, 4, b.s);
    return d;
  }
  // The baseline data with n more object values after the rectangle.
  std::string WithObjectValues(std::size_t n) const {
    std::string d = good.s;
    d.insert(4 * 14, Bytes().Floats(n, 0.0f).s);
    return d;
  }
  std::array<std::int32_t, 47> flags;
  Bytes good;
};

TEST_F(DamagedDocumentTest, EveryBrokenRuleIsAFileError) {
  DocumentImage baseline;
  std::string why;
  const std::string empty;
  ASSERT_TRUE(LoadDocumentFromBytes(FlagBytes(flags), good.s, &empty, 400, baseline, why)) << why;
  const float nan = std::nanf(""), inf = INFINITY;
  ExpectRefused(Flags([](auto& r) { r[0] = 997; }), good.s, "", "first flag mark");
  ExpectRefused(Flags([](auto& r) { r[46] = 0; }), good.s, "", "last flag mark");
  ExpectRefused(Flags([](auto& r) { r[0] = r[46] = 999; }), good.s, nullptr, "flag 999, data 998");
  ExpectRefused(FlagBytes(flags), DataWith(0, 1000.0f), "", "data mark 1000");
  ExpectRefused(FlagBytes(flags), DataWith(14414, 0.0f), "", "closing data mark");
  ExpectRefused(Flags([](auto& r) { r[34] = 238; }), good.s, "", "mesh pair");
  ExpectRefused(Flags([](auto& r) { r[31] = 0; }), good.s, "", "mesh check mark");
  ExpectRefused(Flags([](auto& r) { r[33] = 1; }), good.s, "", "second 300 mark");
  ExpectRefused(Flags([](auto& r) { r[13] = 9; }), good.s, "", "length not a whole record");
  ExpectRefused(Flags([](auto& r) { r[13] = -10; }), good.s, "", "negative length");
  // Counts past an array's capacity, with a data file that holds every value they promise.
  ExpectRefused(Flags([](auto& r) { r[19] = 16; }), WithObjectValues(16), "", "fourth aerofoil");
  ExpectRefused(Flags([](auto& r) {
                  r[18] = 903;
                  for (int n = 21; n <= 26; ++n) r[n - 1] = 903;
                }),
                WithObjectValues(903), "", "wire capacity");
  ExpectRefused(Flags([](auto& r) { r[36] = 0; }), good.s, "", "view size");
  ExpectRefused(FlagBytes(flags), DataWith(1, 0.0f), "", "cell width 0");
  ExpectRefused(FlagBytes(flags), DataWith(2, nan), "", "cell height NaN");
  ExpectRefused(FlagBytes(flags), DataWith(3, inf), "", "strength infinite");
  ExpectRefused(FlagBytes(flags), DataWith(6, nan), "", "object NaN");
  ExpectRefused(FlagBytes(flags), DataWith(6, 3e30f), "", "object far outside");
  ExpectRefused(FlagBytes(flags), DataWith(9000, inf), "", "solution infinite");
  ExpectRefused(FlagBytes(flags), good.s + std::string(4, '\0'), "", "data too long");
  ExpectRefused(FlagBytes(flags), good.s, std::string(40, 't').c_str(), "title too long");
  ExpectRefused(FlagBytes(flags), good.s, nullptr, "title file missing");
  ExpectRefused(FlagBytes(flags) + "x", good.s, "", "flag file too long");
  std::filesystem::remove(dir / "bad.QDN");
  std::filesystem::create_directory(dir / "bad.QDN");
  prompts.fileNames = {Path("bad.QDN")};
  prompts.answers = {Answer::No};
  OpenDocument(s.ctx, prompts, hooks);
  EXPECT_EQ(s.table.RectData[2], 60.0f) << "a folder is not a data file";
}

TEST_F(DamagedDocumentTest, TruncationAtEveryRecordIsAFileError) {
  // Through the reader itself: fourteen thousand files would be slow to write.
  const std::string flg = FlagBytes(flags), title;
  DocumentImage image;
  std::string reason;
  for (std::size_t n = 0; n < 47; ++n)
    ASSERT_FALSE(LoadDocumentFromBytes(flg.substr(0, 4 * n), good.s, &title, 400, image, reason)) << n;
  for (std::size_t n = 0; n < good.s.size() / 4; ++n)
    ASSERT_FALSE(LoadDocumentFromBytes(flg, std::string_view(good.s).substr(0, 4 * n), &title, 400, image, reason))
        << n;
  ExpectRefused(flg.substr(0, 184), good.s, "", "flag file without closing mark");
  ExpectRefused(flg, good.s.substr(0, 4 * 14414), "", "data file without closing mark");
}

TEST_F(DamagedDocumentTest, ByteFlipsInTheStructuralRecordsAreFileErrors) {
  std::mt19937 gen(20261207);
  const std::vector<int> records = {0, 13, 14, 15, 16, 17, 18, 19, 34, 35, 46};  // marks, lengths, mesh size
  for (int trial = 0; trial < 40; ++trial) {
    std::string flg = FlagBytes(flags), qdn = good.s;
    if (trial % 4 == 3) {
      qdn[std::uniform_int_distribution<std::size_t>(0, 3)(gen) + (trial % 8 == 3 ? 0 : qdn.size() - 4)] ^=
          static_cast<char>(1 << (gen() % 8));
    } else {
      const int r = records[gen() % records.size()];
      flg[4 * r + gen() % 4] ^= static_cast<char>(1 << (gen() % 8));
    }
    ExpectRefused(flg, qdn, "", "flip " + std::to_string(trial));
  }
}

}  // namespace
