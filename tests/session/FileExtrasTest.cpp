// File > Export and File > Open Recent: the files written are read back (the
// picture's pixels, the CSV's numbers); a document that has gone leaves the
// list with a message.
#include <QAction>
#include <QMenu>

#include "SessionFixture.h"
#include "shell/GaugeCommands.h"

namespace {

namespace fs = std::filesystem;

class FileExtrasTest : public SessionFixture {
 protected:
  void DrawAndRun() {
    DrawCircle();
    Run();
  }
  QMenu* RecentMenu() { return window->Menu(Cmd::MnuFileRecent); }
  // Opens File > Open Recent as a user does and picks entry `index`.
  void PickRecent(int index) {
    emit RecentMenu()->aboutToShow();
    RecentMenu()->actions().at(index)->trigger();
  }
};

TEST_F(FileExtrasTest, ExportsAreWrittenWholeAndReadBackAsShown) {
  Form1& f = Launch();
  prompts.answers = {};
  Choose(Cmd::MnuFileExportPsi);
  EXPECT_EQ(prompts.messages.back(), "There is no solution to export yet: run the analysis first.");
  DrawAndRun();
  for (int round = 0; round < 2; ++round) {
    prompts.fileNames = {(folder / "view").string()};  // the extension is added
    Choose(Cmd::MnuFileExportView);
    QImage png(QString::fromStdString((folder / "view.png").string()));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), View());

    prompts.fileNames = {(folder / "psi.csv").string()};
    Choose(Cmd::MnuFileExportPsi);
    const auto rows = Csv(folder / "psi.csv");
    ASSERT_EQ(rows.size(), 100u);
    ASSERT_EQ(rows[0].size(), 100u);
    for (std::int32_t r : {0, 42, 99})
      for (std::int32_t c : {0, 57, 99})
        EXPECT_EQ(std::stof(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]),
                  State(f).mesh.StreamFunction[static_cast<std::size_t>(State(f).mesh.Index(r, c))]);
  }
  // The line plot's samples, once a line is dragged with the gauge open.
  Choose(Cmd::MnuFileExportPlot);
  EXPECT_NE(prompts.messages.back().find("no line plot"), std::string::npos);
  ClickButton(Cmd::SpeedButton5);
  DragOnView(At(10, 30), At(90, 30));
  auto* gauge = f.findChild<GaugePanel*>();
  ASSERT_NE(gauge, nullptr);
  ASSERT_GT(gauge->plot.PlotSampleLast, 10);
  prompts.fileNames = {(folder / "plot.csv").string()};
  Choose(Cmd::MnuFileExportPlot);
  const auto rows = Csv(folder / "plot.csv");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(gauge->plot.PlotSampleLast + 2));
  EXPECT_EQ(rows[0], (std::vector<std::string>{"sample", "row", "column", "flow_rate_m_per_s", "pressure_atm"}));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(std::stof(rows[i][3]), gauge->plot.FlowSamples[i - 1]);
    EXPECT_EQ(std::stof(rows[i][4]), gauge->plot.PressureSamples[i - 1]);
  }
  // A folder in the way: said, and nothing half written beside it.
  fs::create_directory(folder / "blocked.csv");
  prompts.fileNames = {(folder / "blocked.csv").string()};
  const std::size_t said = prompts.messages.size();
  Choose(Cmd::MnuFileExportPsi);
  EXPECT_EQ(prompts.messages.size(), said + 1);
  for (const auto& e : fs::directory_iterator(folder)) EXPECT_NE(e.path().extension(), ".part") << e.path();
}

TEST_F(FileExtrasTest, RecentDocumentsReopenAndOneThatHasGoneLeavesTheList) {
  Form1& f = Launch();
  DrawAndRun();
  const std::string first = (folder / "first.QDN").string(), second = (folder / "second.QDN").string();
  prompts.fileNames = {first};
  Choose(Cmd::MnuFileSaveAs);
  prompts.fileNames = {second};
  Choose(Cmd::MnuFileSaveAs);
  for (int round = 0; round < 2; ++round) {
    ClickButton(Cmd::SpeedButton19);  // New
    ASSERT_EQ(State(f).objects.CircleDataLen, 0);
    emit RecentMenu()->aboutToShow();
    ASSERT_GE(RecentMenu()->actions().size(), 2);
    // Newest first: the last saved, then after the first round the one reopened.
    const int at = round == 0 ? 1 : 0;
    EXPECT_TRUE(RecentMenu()->actions().at(1 - at)->text().endsWith(QString::fromStdString(second)));
    EXPECT_TRUE(RecentMenu()->actions().at(at)->text().endsWith(QString::fromStdString(first)));
    PickRecent(at);
    EXPECT_EQ(State(f).doc.CurrentFileName, first);
    EXPECT_EQ(State(f).objects.CircleDataLen, 10);
    emit RecentMenu()->aboutToShow();
    EXPECT_TRUE(RecentMenu()->actions().at(0)->text().endsWith(QString::fromStdString(first))) << "opened: first again";
  }
  ClickButton(Cmd::SpeedButton19);
  fs::remove(second);
  PickRecent(1);  // second, behind the first reopened
  EXPECT_NE(prompts.messages.back().find("is no longer there"), std::string::npos);
  EXPECT_EQ(State(f).objects.CircleDataLen, 0);
  emit RecentMenu()->aboutToShow();
  for (QAction* a : RecentMenu()->actions()) EXPECT_FALSE(a->text().endsWith(QString::fromStdString(second)));
}

}  // namespace
