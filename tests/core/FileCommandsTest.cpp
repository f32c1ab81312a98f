// New, Open, Save, Save As, the save question and the title panel as the user
// meets them, and damaged documents that must leave the current one untouched.
#include <cmath>
#include <functional>
#include <optional>

#include "TestServices.h"
#include "core/DocumentTestScene.h"
#include "documents/DocumentFile.h"

namespace {

class FileCommandsTest : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    s.doc.DataFolder = dir.string();
    hooks.RestampAerofoils = [this] { drawn.push_back("aerofoils"); };
    hooks.SolidFillSetUp = [this] { drawn.push_back("solid fill"); };
    hooks.DrawStreamlines = [this] { drawn.push_back("flow lines"); };
    hooks.ClearView = [this] { drawn.push_back("clear"); };
  }
  // A drawing with unsaved changes.
  void DrawSomething() {
    s.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
    s.doc.DocumentModified = 1;
  }
  Scene s;
  TestServices services;
  ScriptedPrompts& prompts = services.prompts;
  DocumentHooks hooks;
  // The window's services and the drawing hooks, in the order they were called.
  std::vector<std::string>& drawn = services.calls;
};

TEST_F(FileCommandsTest, CancelOrYesWithoutASaveLeavesTheDocumentAlone) {
  DrawSomething();
  // Cancel; Yes, then the Save dialog cancelled; Yes, then a name the dialog rejects.
  prompts.answers = {Answer::Cancel, Answer::Yes, Answer::Yes};
  prompts.fileNames = {"", Path("drawing.txt")};
  NewDocument(s.ctx, services, hooks);
  NewDocument(s.ctx, services, hooks);
  OpenDocument(s.ctx, services, hooks);
  EXPECT_EQ(prompts.questions, std::vector<std::string>(3, "Save changes to Quorvane [UNTITLED]?"));
  EXPECT_EQ(prompts.messages, std::vector<std::string>{FileErrorMessage});
  EXPECT_EQ(prompts.dialogFolders.size(), 2u) << "the Open dialog never appeared";
  EXPECT_EQ(s.table.RectDataLen, 10) << "the unsaved work is kept";
  EXPECT_EQ(s.doc.DocumentModified, 1);
  EXPECT_EQ(s.doc.SaveCancelled, 0);
  EXPECT_TRUE(drawn.empty());
  EXPECT_EQ(EntriesInFolder(), 0u);
}

TEST_F(FileCommandsTest, YesSavesUnderTheGivenNameBeforeNewGoesOn) {
  DrawSomething();
  prompts.answers = {Answer::Yes};
  prompts.fileNames = {Path("kept.QDN")};
  NewDocument(s.ctx, services, hooks);
  EXPECT_EQ(std::filesystem::file_size(dir / "kept.QDN"), 4u * (5 + 10 + 120 * 120));
  EXPECT_EQ(s.table.RectDataLen, 0);
  EXPECT_EQ(s.ui.caption, "Quorvane [UNTITLED]");
  // New on the unchanged document asks nothing.
  NewDocument(s.ctx, services, hooks);
  EXPECT_EQ(prompts.questions.size(), 1u);
}

TEST_F(FileCommandsTest, SaveAsRefusesBadNamesThenNamesTheDocument) {
  DrawSomething();
  prompts.fileNames = {Path("drawing.txt"), Path(".QDN"), Path("wing.QDN"), Path("wing.QDN")};
  for (int i = 0; i < 4; ++i) SaveDocumentAs(s.ctx, services);
  EXPECT_EQ(prompts.messages, std::vector<std::string>(2, FileErrorMessage));
  EXPECT_EQ(EntriesInFolder(), 3u);
  EXPECT_EQ(s.ui.caption, "Quorvane " + Path("wing.QDN"));
  EXPECT_EQ(s.doc.DocumentModified, 0);
  EXPECT_EQ(prompts.dialogFolders.back(), Path("wing.QDN")) << "the name is proposed next time";
}

TEST_F(FileCommandsTest, ATitleFromThePanelAndStoredFlowLinesComeBackOnOpen) {
  ASSERT_TRUE(BeginAddTitle(s.ctx, services));
  EXPECT_FALSE(AcceptTitle(s.ctx, services, std::string(33, 'a')));
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FALSE(s.ui[Cmd::MnuFile].enabled) << "the panel stays open";
  ASSERT_TRUE(AcceptTitle(s.ctx, services, "Cylinder at 5 m/s"));
  EXPECT_EQ(s.doc.DocumentModified, 0) << "a title alone does not change the document";
  s.AddRecord(KindAerofoil, {0, 0, 1, 8});
  s.display.StreamlinesShown = 1;
  s.display.SolidFill = 0;
  s.doc.CurrentFileName = Path("flow.QDN");
  SaveDocument(s.ctx, services);
  Scene t;
  drawn.clear();
  prompts.fileNames = {Path("flow.QDN")};
  OpenDocument(t.ctx, services, hooks);
  EXPECT_EQ(drawn, (std::vector<std::string>{"help 2", "redraw", "aerofoils", "flow lines", "snapshot"}));
  EXPECT_EQ(t.ui.caption, "Quorvane " + Path("flow.QDN"));
  EXPECT_EQ(t.ui.status[5], "          Cylinder at 5 m/s");
  EXPECT_EQ(t.doc.DocumentModified, 0);
}

// Damaged documents: every one must give the file-error message and leave the
// current document, its name, caption, title, changed flag and view as they were.
class DamagedDocumentTest : public FileCommandsTest {
 protected:
  void SetUp() override {
    FileCommandsTest::SetUp();
    DrawSomething();
    s.doc.CurrentFileName = Path("current.QDN");
    s.ui.status[5] = "          current";
    s.ui.dataLabels = {"Rectangular section 1", "6.2 x 7.4 cells", " "};
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
    prompts.details.clear();
    prompts.answers = {Answer::No};
    prompts.fileNames = {Path("bad.QDN")};
    drawn.clear();
    OpenDocument(s.ctx, services, hooks);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{FileErrorMessage});
    EXPECT_TRUE(prompts.details.size() == 1 && prompts.details[0].rfind(Path("bad.QDN") + ": ", 0) == 0)
        << "the reason is told beneath the message";
    EXPECT_EQ(s.table.RectData[2], 60.0f);
    EXPECT_EQ(s.mesh.StreamFunction[1210], 3.5f);
    EXPECT_EQ(s.ui.caption, "Quorvane " + Path("current.QDN"));
    EXPECT_EQ(s.ui.status[5], "          current");
    EXPECT_EQ(s.ui.dataLabels[0], "Rectangular section 1") << "the selected object is still described";
    EXPECT_EQ(s.doc.DocumentModified, 1);
    EXPECT_EQ(drawn, std::vector<std::string>{"help 2"}) << "only the help of Open shows; the view is untouched";
  }
  std::string Flags(std::function<void(std::array<std::int32_t, 47>&)> change) const {
    auto r = flags;
    change(r);
    return FlagBytes(r);
  }
  std::string DataWith(std::size_t value, float v) const {
    std::string d = good.s;
    d.replace(4 * value, 4, Bytes().Float(v).s);
    return d;
  }
  std::array<std::int32_t, 47> flags;
  Bytes good;
};

TEST_F(DamagedDocumentTest, BrokenRulesAreFileErrors) {
  DocumentImage baseline;
  std::string why;
  const std::string empty;
  ASSERT_TRUE(LoadDocumentFromBytes(FlagBytes(flags), good.s, &empty, 400, baseline, why)) << why;
  ExpectRefused(Flags([](auto& r) { r[0] = r[46] = 999; }), good.s, nullptr, "flag 999, data 998");
  ExpectRefused(Flags([](auto& r) { r[13] = 9; }), good.s, "", "length not a whole record");
  // A count past an array's capacity, with a data file that holds every value it promises.
  std::string fourAerofoils = good.s;
  fourAerofoils.insert(4 * 14, Bytes().Floats(16, 0.0f).s);
  ExpectRefused(Flags([](auto& r) { r[19] = 16; }), fourAerofoils, "", "fourth aerofoil");
  ExpectRefused(FlagBytes(flags), DataWith(1, 0.0f), "", "cell width 0");
  ExpectRefused(FlagBytes(flags), DataWith(6, std::nanf("")), "", "object NaN");
  ExpectRefused(FlagBytes(flags), good.s + std::string(4, '\0'), "", "data too long");
  std::filesystem::remove(dir / "bad.QDN");
  std::filesystem::create_directory(dir / "bad.QDN");
  prompts.fileNames = {Path("bad.QDN")};
  prompts.answers = {Answer::No};
  OpenDocument(s.ctx, services, hooks);
  EXPECT_EQ(s.table.RectData[2], 60.0f) << "a folder is not a data file";
  prompts.fileNames = {""};
  prompts.answers = {Answer::No};
  OpenDocument(s.ctx, services, hooks);
  EXPECT_EQ(s.ui.dataLabels[1], "6.2 x 7.4 cells") << "a cancelled Open keeps the labels";
}

// An odd title never keeps a document from opening, and the title shown can be
// saved again: without its file the document is untitled (the previous title
// is not kept), and of a long one only the first 32 characters of its first
// line count.
TEST_F(DamagedDocumentTest, AnOddMissingOrLongTitleFileStillOpensTheDocument) {
  std::string euros;  // three bytes a character, so 4096 bytes end inside one
  for (int i = 0; i < 23334; ++i) euros += "\u20ac";
  std::string e32;  // a one-byte code page's é, cut on a character, not a byte
  for (int i = 0; i < 32; ++i) e32 += "\u00e9";
  const std::pair<std::optional<std::string>, std::string> titles[] = {
      {"Fl\xfcgel", "Fl\u00fcgel"},  // written in a one-byte code page
      {"a\tb\x7f", "a b "},          // control characters
      {std::string(40, '\xe9'), e32},
      {"Wing\r\nsecond line", "Wing"},
      {"Long " + std::string(70000 - 5, 'x'), "Long " + std::string(27, 'x')},
      {euros, euros.substr(0, 3 * 32)},
      {"First line\n" + std::string(70000, 'x'), "First line"},
      {std::nullopt, ""}};
  for (const auto& [stored, shown] : titles) {
    SCOPED_TRACE(stored ? stored->substr(0, 12) : "no title file");
    std::filesystem::remove(dir / "t.TLE");
    Write(Path("t.FLG"), FlagBytes(flags));
    Write(Path("t.QDN"), good.s);
    if (stored) Write(Path("t.TLE"), *stored);
    prompts.answers = {Answer::No};
    prompts.fileNames = {Path("t.QDN")};
    OpenDocument(s.ctx, services, hooks);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(s.ui.caption, "Quorvane " + Path("t.QDN"));
    EXPECT_EQ(s.table.RectData[2], 50.0f);
    EXPECT_EQ(s.doc.Title, shown);
    EXPECT_EQ(s.ui.status[5], "          " + shown);
    EXPECT_TRUE(ValidTitle(s.doc.Title)) << "the title can be saved again";
    EXPECT_EQ(s.doc.DocumentModified, 0);
    s.doc.DocumentModified = 1;
  }
  SaveDocument(s.ctx, services);
  EXPECT_EQ(Read(Path("t.TLE")), "") << "the next save writes the title file again";
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
}

}  // namespace
