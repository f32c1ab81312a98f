// Whole sessions: the main window started and shown as the program starts it,
// driven only through Qt's event delivery (key presses to the widget that has
// the focus, clicks on buttons and on the view), each action repeated.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "geometry/GeometryState.h"
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
  }
  void TearDown() override {
    window.reset();
    std::filesystem::remove_all(folder);
  }

  // Pref.PRF as a user's last run left it; the start-up tip only when asked.
  void WritePreferences(bool tips = false) {
    std::string bytes;
    for (std::int32_t v : {0, 1, 21, tips ? 1 : 0, 0, 0, 7})
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    std::ofstream(folder / "Pref.PRF", std::ios::binary) << bytes;
    std::ofstream(folder / "WorkDir.DIR", std::ios::binary) << "A";
  }

  // Starts the program as main() does and waits until the window is on screen.
  Form1& Launch() {
    window = std::make_unique<Form1>(&prompts, folder.string() + "/");
    ShowMainWindow(*window);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
    return *window;
  }

  // A key as the user types it: delivered to whatever has the focus.
  void Press(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.get()) target = window->focusWidget();
    if (!target) target = window.get();
    QTest::keyClick(target, key);
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
    return QPoint(static_cast<int>(column * State(*window).mesh.CellWidth), static_cast<int>(row * State(*window).mesh.CellHeight));
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
  QImage View() {
    WindowProbe::ViewCanvas(*window).Flush();
    return Controls(*window).viewImage.copy();
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
