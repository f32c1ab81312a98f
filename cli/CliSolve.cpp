#include "cli/CliSolve.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "display/FlowField.h"
#include "display/FreeStream.h"
#include "display/Lift.h"
#include "display/SurfacePressure.h"
#include "display/StreamField.h"
#include "display/Streamlines.h"
#include "documents/Document.h"
#include "documents/DocumentFile.h"
#include "documents/FileCommands.h"
#include "documents/WholeFile.h"
#include "geometry/Aerofoils.h"
#include "geometry/GeometryState.h"
#include "geometry/ObjectDrawing.h"
#include "mesh/Grid.h"
#include "mesh/MeshSetup.h"
#include "mesh/SolidFill.h"
#include "platform/Canvas.h"
#include "platform/CommandState.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

namespace {

namespace fs = std::filesystem;

double Milliseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

double ResidualRatio(const Mesh& mesh) {
  const std::size_t cells = static_cast<std::size_t>(mesh.MeshSize) * static_cast<std::size_t>(mesh.MeshSize);
  std::vector<float> product(mesh.StreamFunction.size(), 0.0f);
  ApplyMatrix(mesh, mesh.StreamFunction.data(), product.data());
  double rr = 0, bb = 0;
  for (std::size_t k = 0; k < cells; ++k) {
    const double b = mesh.RightHandSide[k];
    const double r = b - static_cast<double>(product[k]);
    rr += r * r;
    bb += b * b;
  }
  return bb > 0 ? std::sqrt(rr / bb) : 0.0;
}

const char* KindName(std::int32_t kind) {
  switch (kind) {
    case KindRect: return "rectangle";
    case KindMagnet: return "magnet";
    case KindCoil: return "coil";
    case KindWire: return "wire";
    case KindSolenoid: return "solenoid";
    case KindCircle: return "circle";
    default: return "aerofoil";
  }
}

// The program's state for one document, as the window holds it.
struct Session {
  ObjectTable table;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  CommandState cmd;
  UiState ui;
  GeometryState geometry;
  MouseState mouse;
  SolverSettings settings;
  QuietServices services;
  ViewScene scene{table, geometry, cmd, mouse, mesh, grid, doc.DocumentModified, services, &doc.ShowValues};
};

// Mesh set-up as the window's Analyse > Set up Mesh runs it, drawing on
// `canvas` when there is one.
MeshSetupReport SetUp(Session& s, Canvas* canvas) {
  ExternalField field;
  field.Strength = s.doc.ExternalFieldStrength;
  field.VerticalItem = s.doc.ListBox1Item;
  field.HorizontalItem = s.doc.ListBox2Item;
  MeshSetupOptions options;
  options.solidFill = s.display.SolidFill == 1;
  if (canvas) {
    options.paintSolidFill = [&s, canvas](bool strokes) {
      PaintSolidFill(*canvas, s.mesh, SolidFillTarget{}, strokes);
    };
    options.unhighlightSelected = [&s, canvas] { UnhighlightSelected(s.scene, *canvas, s.ui); };
    options.redrawView = [&s, canvas] {
      ClearView(*canvas, s.mesh);
      RedrawAllObjects(s.scene, *canvas, s.ui);
    };
  }
  return MeshSetupCommand(s.table, field, s.mesh, options, s.ui, s.cmd, s.display.StreamlinesShown, s.services);
}

// The flow-line display's own preparation, for a run that draws no view: the
// smoothed copy and the speed field the window computes as it draws.
void PrepareFlowField(Session& s) {
  s.display.StreamlinesShown = 1;
  PrepareStreamDisplay(s.mesh, s.display);
  s.display.SpeedGrid.assign(static_cast<std::size_t>(SpeedGridStride) * SpeedGridStride, 0.0f);
  ComputeFlowField(s.mesh, s.display, FlowFieldMode::Compute);
}

}  // namespace

const char* StopName(SolverOutcome outcome) {
  switch (outcome) {
    case SolverOutcome::Converged: return "converged";
    case SolverOutcome::Stalled: return "stalled";
    case SolverOutcome::IterationLimit: return "limit";
    case SolverOutcome::Exact: return "exact";
    case SolverOutcome::Abandoned: return "abandoned";
    case SolverOutcome::NothingToSolve: return "nothing_to_solve";
    case SolverOutcome::NotFinite: return "not_finite";
    case SolverOutcome::NotSetUp: return "not_set_up";
  }
  return "unknown";
}

int RunCliSolve(const CliSolveRequest& request, CliSolveReport& report, std::string& error) {
  const std::string name = DataFileNameOf(request.document);
  if (request.meshSize && *request.meshSize != 100 && *request.meshSize != 200 && *request.meshSize != 300) {
    error = "--mesh: " + std::to_string(*request.meshSize) + " is not a mesh size (100, 200 or 300)";
    return CliBadInput;
  }
  if (request.viewSize && (*request.viewSize < 100 || *request.viewSize > 8000)) {
    error = "--view-size: " + std::to_string(*request.viewSize) + " is outside 100 ... 8000 pixels";
    return CliBadInput;
  }
  if (request.viewLeft < 0 || request.viewLeft > 8000) {
    error = "--view-left: " + std::to_string(request.viewLeft) + " is outside 0 ... 8000 pixels";
    return CliBadInput;
  }
  if (request.errorLevelPercent && !(*request.errorLevelPercent > 0 && *request.errorLevelPercent <= 10)) {
    error = "--error-level: the level must lie above 0 and at most 10 per cent";
    return CliBadInput;
  }

  std::unique_ptr<Session> session = std::make_unique<Session>();
  Session& s = *session;
  DocumentImage image;
  std::string reason;
  if (!LoadDocumentFiles(name, 0, image, reason)) {
    error = name + ": " + reason;
    return CliBadInput;
  }
  const std::int32_t savedSize = image.Flag(FlgViewSize);
  const std::int32_t viewSize = request.viewSize.value_or(savedSize);
  if (viewSize < 100 || viewSize > 8000) {
    error = name + ": the document's view size " + std::to_string(savedSize) + " cannot be laid out";
    return CliBadInput;
  }
  if (viewSize != savedSize) RescaleLoadedObjects(image, viewSize);

  // The view as a window lays it out, then the document read into it.
  SetMeshDimensions(s.mesh, 100);
  AllocSolverArrays(s.mesh);
  s.mesh.ViewLeft = request.viewLeft;
  const std::int32_t top = std::max(0, image.Flag(FlgViewTop));
  ViewLayout(s.mesh, top, top + viewSize);
  ResetFlowView(s.display);
  CommitDocument(image, s.table, s.mesh, s.grid, s.display, s.doc, s.ui);
  s.doc.CurrentFileName = name;
  s.settings.Kind = request.solver;
  if (request.errorLevelPercent) {
    const float level = static_cast<float>(*request.errorLevelPercent) / 100.0f;
    s.settings.ErrorTolerance2 = level * level;
  }

  // What the window shows after Open, drawn only when a picture is wanted.
  std::unique_ptr<QImage> picture;
  std::unique_ptr<Canvas> canvas;
  if (!request.png.empty()) {
    picture = std::make_unique<QImage>(MakeBitmap(s.mesh.ViewRight, s.mesh.ViewSize));
    canvas = std::make_unique<Canvas>(*picture);
  }
  if (canvas) {
    ClearView(*canvas, s.mesh);
    RedrawAllObjects(s.scene, *canvas, s.ui);
  }
  if (s.table.AerofoilDataLen > 0) {
    if (canvas) {
      s.cmd.RestampMode = 1;
      RestampAerofoils(s.scene, *canvas, s.ui);
      s.cmd.RestampMode = 0;
    } else {
      BuildAerofoilTemplate(s.geometry.AerofoilTemplate);
      StampAerofoilMaps(s.table, s.geometry.AerofoilTemplate);
    }
  }
  if (s.display.SolidFill && canvas) {
    s.cmd.RestampMode = 1;
    SetUp(s, canvas.get());
    s.cmd.RestampMode = 0;
  }
  if (s.display.StreamlinesShown == 1 && canvas) DrawStreamlines(*canvas, s.mesh, s.display, s.ui, s.services, FlowHooks{});

  if (request.meshSize && *request.meshSize != s.mesh.VisibleMeshSize) {
    // Tools > Mesh Size: new arrays, the view laid out again, the solution gone.
    FreeSolverArrays(s.mesh);
    SetMeshDimensions(s.mesh, *request.meshSize);
    AllocSolverArrays(s.mesh);
    ViewLayout(s.mesh, top, top + viewSize);
    if (canvas) {
      ClearView(*canvas, s.mesh);
      RedrawAllObjects(s.scene, *canvas, s.ui);
    }
    s.display.StreamlinesShown = 0;
  }

  // Run: set-up, then the solver with the program's stop rules.
  const auto setupStart = std::chrono::steady_clock::now();
  SetUp(s, canvas.get());
  report.setupMs = Milliseconds(setupStart);
  const auto solveStart = std::chrono::steady_clock::now();
  const SolverResult result = RunSolver(s.mesh, s.settings, s.ui, s.cmd, s.services);
  // The plain run's own residual: the circulations added below answer
  // sources of their own.
  report.residualRatio = ResidualRatio(s.mesh);
  // With lift, each aerofoil's circulation is added to the completed run,
  // its extra runs made with the same solver.
  ExternalField field;
  field.Strength = s.doc.ExternalFieldStrength;
  field.VerticalItem = s.doc.ListBox1Item;
  field.HorizontalItem = s.doc.ListBox2Item;
  const StreamSolve solve = StreamSolveWith(s.settings.Kind, s.settings.ErrorTolerance2);
  FreeStream stream;
  LiftResult lift;
  if (result.Completed() && (request.lift || !request.surfaceCsv.empty()))
    UpdateFreeStream(stream, s.mesh, field, solve);
  if (result.Completed() && request.lift && s.table.AerofoilDataLen > 0)
    lift = ApplyLift(s.table, s.mesh, stream, solve);
  report.solveMs = Milliseconds(solveStart);
  report.outcome = result.outcome;
  report.iterations = result.iterations;
  report.meshSize = s.mesh.VisibleMeshSize;
  for (std::int32_t kind = KindRect; kind <= KindAerofoil; ++kind) {
    const std::int32_t count = std::max(0, s.table.Length(kind)) / ObjectTable::RecordSize(kind);
    for (std::int32_t i = 0; i < count; ++i) {
      CliObject o{kind, i};
      if (kind == KindAerofoil && request.lift) {
        for (const AerofoilLift& a : lift.aerofoils)
          if (a.number == i + 1) {
            o.hasLift = true;
            o.circulation = a.circulation;
            o.liftCoefficient = a.liftCoefficient;
            o.liftCoefficientPressure = a.liftCoefficientPressure;
          }
      }
      report.objects.push_back(o);
    }
  }
  if (result.outcome == SolverOutcome::NotFinite) {
    error = name + ": the solve met a value that is not a finite number";
    return CliSolveFailed;
  }
  if (result.Completed()) {
    if (canvas)
      DrawStreamlines(*canvas, s.mesh, s.display, s.ui, s.services, FlowHooks{});
    else
      PrepareFlowField(s);
  }

  if (!request.psiCsv.empty() && !WriteFileWhole(request.psiCsv, VisibleFieldCsv(s.mesh, s.mesh.StreamFunction, false), error))
    return CliBadInput;
  if (!request.surfaceCsv.empty()) {
    const SurfacePressure surface = SampleSelectedSurface(s.table, s.mesh, stream);
    if (surface.samples.empty()) {
      error = request.surfaceCsv + ": " +
              (s.table.ObjectSelected ? std::string("the selected object has no outline on the mesh to sample")
                                      : std::string("the document has no selected object to sample"));
      return CliBadInput;
    }
    if (!WriteFileWhole(request.surfaceCsv, SurfacePressureCsv(surface), error)) return CliBadInput;
  }
  if (!request.speedCsv.empty() && !WriteFileWhole(request.speedCsv, VisibleFieldCsv(s.mesh, s.mesh.SpeedField, true), error))
    return CliBadInput;
  if (picture) {
    canvas->Flush();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture->save(&buffer, "PNG")) {
      error = request.png + ": the picture could not be encoded as PNG";
      return CliBadInput;
    }
    if (!WriteFileWhole(request.png, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), error))
      return CliBadInput;
  }
  if (!request.saveBase.empty()) {
    const std::string target = DataFileNameOf(request.saveBase);
    const DocumentImage solved =
        CaptureDocument(s.table, s.mesh, s.grid, s.display, s.doc, s.doc.ExternalFieldStrength);
    if (!SaveDocumentFiles(target, solved, reason)) {
      error = target + ": " + reason;
      return CliBadInput;
    }
  }
  return CliCompleted;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"quorvane-cli: solves a Quorvane document without the window"};
  app.require_subcommand(1);
  CLI::App* solve = app.add_subcommand("solve", "open a document, set it up, solve it and write what is asked");
  CliSolveRequest request;
  std::int32_t meshSize = 0, viewSize = 0;
  double errorLevel = 0;
  solve->add_option("DOC", request.document, "the document: any of its three files, or its base name")->required();
  auto* meshOption = solve->add_option("--mesh", meshSize, "mesh size before the set-up: 100, 200 or 300");
  auto* viewOption = solve->add_option("--view-size", viewSize, "side of the view in pixels (default: the document's)");
  solve->add_option("--view-left", request.viewLeft, "left edge of the view in its window (default 0)");
  auto* levelOption = solve->add_option("--error-level", errorLevel, "stop level in per cent (default 0.2)");
  std::string solverName = "standard";
  solve->add_option("--solver", solverName, "standard (conjugate gradient) or fast (multigrid-preconditioned)")
      ->check(CLI::IsMember({"standard", "fast"}));
  solve->add_flag("--lift", request.lift, "each aerofoil takes the circulation of its trailing-edge condition");
  solve->add_option("--surface-csv", request.surfaceCsv, "Cp along the selected object's outline, as CSV");
  solve->add_option("--psi-csv", request.psiCsv, "stream function over the visible cells, as CSV");
  solve->add_option("--speed-csv", request.speedCsv, "speed over the visible cells, as CSV");
  solve->add_option("--png", request.png, "the view as the window draws it after the run, as PNG");
  solve->add_option("--save", request.saveBase, "save the solved document under this base name");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "quorvane-cli: " << e.what() << "\n";
    return CliBadInput;
  }
  if (meshOption->count()) request.meshSize = meshSize;
  if (viewOption->count()) request.viewSize = viewSize;
  if (levelOption->count()) request.errorLevelPercent = errorLevel;
  request.solver = solverName == "fast" ? SolverKind::Fast : SolverKind::Standard;

  CliSolveReport report;
  std::string error;
  const int status = RunCliSolve(request, report, error);
  if (status == CliBadInput) {
    err << "quorvane-cli: " << error << "\n";
    return status;
  }
  nlohmann::json summary;
  summary["document"] = request.document;
  summary["mesh_size"] = report.meshSize;
  summary["solver"] = request.solver == SolverKind::Fast ? "fast" : "standard";
  summary["iterations"] = report.iterations;
  summary["stop"] = StopName(report.outcome);
  summary["residual_ratio"] = report.residualRatio;
  summary["setup_ms"] = report.setupMs;
  summary["solve_ms"] = report.solveMs;
  summary["objects"] = nlohmann::json::array();
  for (const CliObject& o : report.objects) {
    nlohmann::json object = {{"kind", KindName(o.kind)}, {"kind_code", o.kind}, {"index", o.index}};
    if (o.hasLift) {
      auto number = [](double v) { return std::isfinite(v) ? nlohmann::json(v) : nlohmann::json(nullptr); };
      object["circulation"] = number(o.circulation);
      object["lift_coefficient"] = number(o.liftCoefficient);
      object["lift_coefficient_pressure"] = number(o.liftCoefficientPressure);
    }
    summary["objects"].push_back(object);
  }
  out << summary.dump() << "\n";
  if (status == CliSolveFailed) err << "quorvane-cli: " << error << "\n";
  return status;
}
