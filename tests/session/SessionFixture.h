// The main window started in a fresh program folder of its own, answering its
// questions from a script. Sessions show it as the program does and drive it
// only through Qt's event delivery (key presses to the widget that has the
// focus, clicks on buttons and on the view), each action repeated.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "geometry/GeometryState.h"
#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "shell/MainWindow.h"
#include "shell/WindowProbe.h"
#include "shell/ViewWidget.h"

class SessionFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    folder = std::filesystem::temp_directory_path() /
             ("quorvane-session-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    WritePreferences();
  }
  void TearDown() override {
    window.reset();
    std::filesystem::remove_all(folder);
  }

  // Little-endian 32-bit records, as Pref.PRF holds them.
  static std::string Records(std::initializer_list<std::int32_t> values) {
    std::string bytes;
    for (std::int32_t v : values)
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return bytes;
  }
  // Paths relative to the program folder; an absolute path stays as it is.
  void WriteFile(const std::filesystem::path& name, const std::string& bytes) {
    std::filesystem::create_directories((folder / name).parent_path());
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::filesystem::path& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // A comma-separated file as rows of cells.
  static std::vector<std::vector<std::string>> Csv(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> cells;
      std::stringstream s(line);
      for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
      rows.push_back(cells);
    }
    return rows;
  }
  std::string Folder() const { return folder.string() + "/"; }
  // Pref.PRF as a user's last run left it, written for every test; the
  // start-up tip only when asked.
  void WritePreferences(bool tips = false, std::int32_t exitPanel = 7) {
    WriteFile("Pref.PRF", Records({0, 1, 21, tips ? 1 : 0, 0, 0, exitPanel}));
    WriteFile("WorkDir.DIR", "A");
  }

  // The window built as main() builds it, not yet shown.
  Form1& Start() {
    window = std::make_unique<Form1>(&prompts, Folder());
    return *window;
  }
  // Starts the program as main() does and waits until the window is on screen.
  Form1& Launch() {
    Start();
    ShowMainWindow(*window);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
    return *window;
  }

  // A key as the user types it: delivered to whatever has the focus.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.get()) target = window->focusWidget();
    if (!target) target = window.get();
    QTest::keyClick(target, key, modifiers);
  }
  void ClickButton(Cmd c) {
    QToolButton* b = window->Button(c);
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton);
  }
  // Menu items are fired as the menu fires them.
  void Choose(Cmd c) {
    QAction* a = window->Action(c);
    ASSERT_NE(a, nullptr);
    a->trigger();
  }
  QPoint At(float column, float row) const {
    return QPoint(static_cast<int>(column * State(*window).mesh.CellWidth),
                  static_cast<int>(row * State(*window).mesh.CellHeight));
  }
  void ClickView(float column, float row) {
    QTest::mouseMove(Controls(*window).V, At(column, row));
    QTest::mouseClick(Controls(*window).V, Qt::LeftButton, {}, At(column, row));
  }
  void MoveOnView(float column, float row) { QTest::mouseMove(Controls(*window).V, At(column, row)); }
  // Moves with the button held down, as a drag reaches the view.
  void DragOnView(QPoint from, QPoint to) {
    QTest::mouseMove(Controls(*window).V, from);
    QTest::mousePress(Controls(*window).V, Qt::LeftButton, {}, from);
    for (const QPoint p : {(from + to) / 2, to}) {
      QMouseEvent move(QEvent::MouseMove, QPointF(p), Controls(*window).V->mapToGlobal(QPointF(p)), Qt::NoButton,
                       Qt::LeftButton, {});
      QApplication::sendEvent(Controls(*window).V, &move);
    }
    QTest::mouseRelease(Controls(*window).V, Qt::LeftButton, {}, to);
  }
  // A rectangle drawn with three clicks and left selected.
  void DrawRectangle(float column = 30, float row = 40) {
    ClickButton(Cmd::SpeedButton4);
    ClickView(column, row);
    ClickView(column, row + 20);
    MoveOnView(column + 10, row + 15);
    ClickView(column + 15, row + 20);
    ASSERT_EQ(State(*window).objects.ObjectSelected, 1);
  }
  // A circle drawn with two clicks, the mouse moved out between them.
  void DrawCircle(float column = 50, float row = 50, float radius = 7) {
    const std::int32_t before = State(*window).objects.CircleDataLen;
    ClickButton(Cmd::SpeedButton23);
    ClickView(column, row);
    MoveOnView(column + radius, row);
    ClickView(column + radius, row);
    ASSERT_EQ(State(*window).objects.CircleDataLen, before + 10);
  }
  // Edit > Add Aerofoil at `angle` degrees through its panel.
  void AddAerofoil(int angle) {
    Choose(Cmd::MnuEditAddAerofoil);
    auto* panel = window->findChild<QGroupBox*>("Aerosize");
    ASSERT_NE(panel, nullptr);
    ASSERT_FALSE(panel->isHidden());
    window->findChild<QSlider*>("AeroRot")->setValue(angle);
    QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    ASSERT_TRUE(panel->isHidden());
  }
  // The speed button Run: set-up, then the solve.
  void Run() {
    ClickButton(Cmd::SpeedButton21);
    ASSERT_EQ(State(*window).display.StreamlinesShown, 1);
  }
  QImage View() {
    WindowProbe::ViewCanvas(*window).Flush();
    return Controls(*window).viewImage.copy();
  }
  static int PixelsOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
  }
  // Which of the two exit panels is up: 0 or 1, or -1 for neither.
  int ExitPanelShown() const {
    for (int i : {0, 1})
      if (!Controls(*window).ExitPanels[static_cast<std::size_t>(i)]->isHidden()) return i;
    return -1;
  }
  std::string Panel(int i) const { return Controls(*window).StatusPanel[static_cast<std::size_t>(i)]->text().toStdString(); }
  // Nothing in progress and every command back: what the user sees after a
  // command has ended.
  void ExpectIdle(const std::string& after) {
    Form1& f = *window;
    EXPECT_FALSE(AnyCommand(State(f).cmd)) << after;
    EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled()) << after;
    EXPECT_TRUE(f.Action(Cmd::MnuEdit)->isEnabled()) << after;
    EXPECT_TRUE(f.Button(Cmd::SpeedButton4)->isEnabled()) << after;
    EXPECT_EQ(QString::fromStdString(Panel(3)).trimmed().toStdString(), "") << after;
    EXPECT_EQ(Panel(4), "") << after;
  }

  std::filesystem::path folder;
  ScriptedPrompts prompts;
  std::unique_ptr<Form1> window;
};
