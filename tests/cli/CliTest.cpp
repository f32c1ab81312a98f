// quorvane-cli against the window: the same document solved both ways gives
// the same run, field and picture; bad input leaves nothing behind; the JSON
// summary holds what scripts read; the window opens a document it is given.
#include <QImage>
#include <nlohmann/json.hpp>

#include <cstdlib>

#include "cli/CliSolve.h"
#include "session/SessionFixture.h"

namespace {

namespace fs = std::filesystem;

class CliTest : public SessionFixture {
 protected:
  // A circle and a rectangle drawn in the window and saved as doc.QDN.
  std::string DrawAndSave(Form1& f) {
    DrawCircle(40, 50, 8);
    ClickButton(Cmd::SpeedButton4);
    ClickView(65, 30);
    ClickView(65, 45);
    MoveOnView(72, 40);
    ClickView(72, 45);
    const std::string name = (folder / "doc.QDN").string();
    prompts.fileNames = {name};
    Choose(Cmd::MnuFileSaveAs);
    EXPECT_TRUE(fs::exists(name));
    EXPECT_EQ(State(f).objects.RectDataLen + State(f).objects.CircleDataLen, 20);
    return name;
  }
  int Cli(std::vector<std::string> args, std::string& out, std::string& err) {
    args.insert(args.begin(), "quorvane-cli");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return status;
  }
  // Every cell of a file of numbers, row by row.
  static std::vector<float> Numbers(const std::vector<std::vector<std::string>>& rows) {
    std::vector<float> values;
    for (const auto& row : rows)
      for (const std::string& cell : row) values.push_back(std::stof(cell));
    return values;
  }
};

TEST_F(CliTest, TheCliAndTheWindowSolveTheSameDocumentAlike) {
  Form1& f = Launch();
  const std::string name = DrawAndSave(f);
  // The window: the document opened as it lies on disk, then Run, twice.
  prompts.fileNames = {name};
  ClickButton(Cmd::SpeedButton2);
  ClickButton(Cmd::SpeedButton21);
  ASSERT_TRUE(State(f).lastSolve.Completed());
  const int iterations = State(f).lastSolve.iterations;
  std::vector<float> visible;
  for (std::int32_t r = 0; r < State(f).mesh.VisibleMeshSize; ++r)
    for (std::int32_t c = 0; c < State(f).mesh.VisibleMeshSize; ++c)
      visible.push_back(State(f).mesh.StreamFunction[static_cast<std::size_t>(State(f).mesh.Index(r, c))]);
  const QImage windowView = View();

  for (int round = 0; round < 2; ++round) {
    CliSolveRequest request;
    request.document = (folder / "doc").string();  // the base name serves
    request.viewSize = State(f).mesh.ViewSize;
    request.viewLeft = State(f).mesh.ViewLeft;
    request.psiCsv = (folder / "psi.csv").string();
    request.png = (folder / "view.png").string();
    CliSolveReport report;
    std::string error;
    ASSERT_EQ(RunCliSolve(request, report, error), CliCompleted) << error;
    EXPECT_EQ(report.iterations, iterations);
    const auto rows = Csv(request.psiCsv);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.back().size(), 100u);
    // Printed with nine digits, a single comes back bit for bit.
    EXPECT_EQ(Numbers(rows), visible);
    QImage png(QString::fromStdString(request.png));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), windowView) << "round " << round;
  }
}

TEST_F(CliTest, BadInputExitsWithTwoAndLeavesNoOutput) {
  Form1& f = Launch();
  const std::string name = DrawAndSave(f);
  const std::string psi = (folder / "psi.csv").string(), png = (folder / "out.png").string();
  // A damaged flag file beside the good data file.
  fs::copy_file(name, folder / "broken.QDN");
  std::ofstream(folder / "broken.FLG", std::ios::binary) << "not a flag file";
  struct Case {
    std::vector<std::string> args;
    std::string named;  // what the error line must name
  };
  const std::vector<Case> cases = {
      {{"solve", (folder / "absent.QDN").string(), "--psi-csv", psi}, "absent"},
      {{"solve", (folder / "broken.FLG").string(), "--png", png}, "broken.QDN"},
      {{"solve", name, "--mesh", "150", "--psi-csv", psi}, "--mesh"},
      {{"solve", name, "--error-level", "0", "--psi-csv", psi}, "--error-level"},
      {{"solve", name, "--frobnicate"}, "frobnicate"},
      {{"solve", name, "--solver", "slow", "--psi-csv", psi}, "--solver"},
      {{"solve", name, "--psi-csv", (folder / "no" / "such" / "folder.csv").string()}, "folder.csv"},
  };
  for (int round = 0; round < 2; ++round)
    for (const Case& c : cases) {
      std::string out, err;
      EXPECT_EQ(Cli(c.args, out, err), CliBadInput) << c.named;
      EXPECT_NE(err.find(c.named), std::string::npos) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
      EXPECT_TRUE(out.empty()) << out;
      EXPECT_FALSE(fs::exists(psi) || fs::exists(png)) << c.named;
    }
  // Nothing half written is left in the folder either.
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
  // The program itself maps the outcomes to its exit status.
  const std::string cli = QUORVANE_CLI;
  EXPECT_EQ(WEXITSTATUS(std::system((cli + " solve " + (folder / "absent").string() + " 2>/dev/null").c_str())), 2);
  EXPECT_EQ(WEXITSTATUS(std::system((cli + " solve " + name + " >/dev/null").c_str())), 0);
}

TEST_F(CliTest, TheSummaryAndTheSavedDocumentHoldTheRun) {
  Form1& f = Launch();
  const std::string name = DrawAndSave(f);
  for (const char* mesh : {"300", "100"}) {
    std::string out, err;
    const std::string base = (folder / (std::string("solved-") + mesh)).string();
    ASSERT_EQ(Cli({"solve", name, "--mesh", mesh, "--speed-csv", (folder / "speed.csv").string(), "--save", base},
                  out, err),
              CliCompleted)
        << err;
    const nlohmann::json j = nlohmann::json::parse(out);
    EXPECT_EQ(j.at("mesh_size").get<int>(), std::stoi(mesh));
    EXPECT_GE(j.at("iterations").get<int>(), 1002);
    EXPECT_TRUE(j.at("stop") == "converged" || j.at("stop") == "stalled") << j.at("stop");
    EXPECT_LT(j.at("residual_ratio").get<double>(), 0.05);
    EXPECT_GE(j.at("setup_ms").get<double>(), 0.0);
    EXPECT_GT(j.at("solve_ms").get<double>(), 0.0);
    ASSERT_EQ(j.at("objects").size(), 2u);
    EXPECT_EQ(j.at("objects")[0].at("kind"), "rectangle");
    EXPECT_EQ(j.at("objects")[1].at("kind"), "circle");
    EXPECT_EQ(j.at("objects")[1].at("index"), 0);
    const auto rows = Csv(folder / "speed.csv");
    EXPECT_EQ(rows.size(), std::stoul(mesh));
    const std::vector<float> speed = Numbers(rows);
    EXPECT_GT(*std::max_element(speed.begin(), speed.end()), 0.0f);
    EXPECT_GE(*std::min_element(speed.begin(), speed.end()), 0.0f);

    // The saved document opens in the window with its flow lines and solution.
    prompts.fileNames = {base + ".QDN"};
    ClickButton(Cmd::SpeedButton2);
    EXPECT_EQ(State(f).mesh.VisibleMeshSize, std::stoi(mesh));
    EXPECT_EQ(State(f).display.StreamlinesShown, 1);
    EXPECT_EQ(State(f).objects.CircleDataLen, 10);
  }
}

TEST_F(CliTest, TheFastSolverGivesTheStandardPictureInFarFewerIterations) {
  Form1& f = Launch();
  const std::string name = DrawAndSave(f);
  std::vector<float> fields[2];
  int iterations[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    std::string out, err;
    const std::string csv = (folder / ("psi" + std::to_string(k) + ".csv")).string();
    ASSERT_EQ(Cli({"solve", name, "--solver", k ? "fast" : "standard", "--psi-csv", csv}, out, err), CliCompleted)
        << err;
    const nlohmann::json j = nlohmann::json::parse(out);
    EXPECT_EQ(j.at("solver"), k ? "fast" : "standard");
    iterations[k] = j.at("iterations").get<int>();
    fields[k] = Numbers(Csv(csv));
  }
  EXPECT_LT(iterations[1] * 10, iterations[0]);
  const auto [lo, hi] = std::minmax_element(fields[0].begin(), fields[0].end());
  float worst = 0;
  for (std::size_t i = 0; i < fields[0].size(); ++i) worst = std::max(worst, std::fabs(fields[0][i] - fields[1][i]));
  EXPECT_LT(worst / (*hi - *lo), 0.01f) << "the two solvers draw the same flow";
}

TEST_F(CliTest, LiftGivesEachAerofoilItsCirculationAndTheSurfaceCsvFollowsTheSelection) {
  Form1& f = Launch();
  // An aerofoil at 8 degrees, then a circle, which stays selected.
  AddAerofoil(8);
  ASSERT_EQ(State(f).objects.AerofoilDataLen, 4);
  DrawCircle(50, 80, 8);
  const std::string name = (folder / "wing.QDN").string();
  prompts.fileNames = {name};
  Choose(Cmd::MnuFileSaveAs);
  const std::string csv = (folder / "cp.csv").string();
  for (int round = 0; round < 2; ++round) {
    std::string out, err;
    ASSERT_EQ(Cli({"solve", name, "--lift", "--surface-csv", csv}, out, err), CliCompleted) << err;
    const nlohmann::json j = nlohmann::json::parse(out);
    const nlohmann::json& wing = j.at("objects").back();
    ASSERT_EQ(wing.at("kind"), "aerofoil");
    EXPECT_GT(wing.at("circulation").get<double>(), 0.0) << "nose up, the stream from the left: lift";
    const double cl = wing.at("lift_coefficient").get<double>();
    EXPECT_GT(cl, 0.4);
    EXPECT_LT(cl, 2.5);
    EXPECT_NEAR(wing.at("lift_coefficient_pressure").get<double>(), cl, std::max(0.2, 0.25 * cl));
    EXPECT_FALSE(j.at("objects")[0].contains("circulation")) << "only aerofoils carry lift";
    std::ifstream in(csv);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, "angle_deg,surface,cp,cp_exact");
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_GT(lines, 20);
  }
  // Without the flag the aerofoil carries no circulation fields.
  std::string out, err;
  ASSERT_EQ(Cli({"solve", name}, out, err), CliCompleted) << err;
  EXPECT_FALSE(nlohmann::json::parse(out).at("objects").back().contains("circulation"));
}

TEST_F(CliTest, TheWindowOpensTheDocumentNamedOnItsCommandLine) {
  Form1& f = Launch();
  const std::string name = DrawAndSave(f);
  ClickButton(Cmd::SpeedButton19);  // New
  ASSERT_EQ(State(f).objects.CircleDataLen, 0);
  for (const std::string& given : {(folder / "doc").string(), (folder / "doc.FLG").string()}) {
    ClickButton(Cmd::SpeedButton19);
    f.OpenNamedDocument(given);
    EXPECT_EQ(State(f).objects.CircleDataLen, 10) << given;
    EXPECT_EQ(State(f).doc.CurrentFileName, name);
    EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane " + name);
  }
  // A name that is not there says so and leaves the drawing alone.
  f.OpenNamedDocument((folder / "absent.QDN").string());
  EXPECT_EQ(prompts.messages.back(), "A file error has been detected. Please select another file.");
  EXPECT_EQ(State(f).objects.CircleDataLen, 10);
}

}  // namespace
