// A main window started in a fresh program folder of its own, answering its
// questions from a script.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/Prompts.h"
#include "shell/MainWindow.h"
#include "shell/WindowProbe.h"

class ShellFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    folder = std::filesystem::temp_directory_path() /
             ("quorvane-shell-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    window.reset();
    std::filesystem::remove_all(folder);
  }

  std::string Folder() const { return folder.string() + "/"; }

  static std::string Records(std::initializer_list<std::int32_t> values) {
    std::string bytes;
    for (std::int32_t v : values) {
      const auto u = static_cast<std::uint32_t>(v);
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    }
    return bytes;
  }
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Preferences without the start-up tip unless asked for.
  void WritePreferences(bool tips = false, std::int32_t exitPanel = 7) {
    WriteFile("Pref.PRF", Records({0, 1, 21, tips ? 1 : 0, 0, 0, exitPanel}));
    WriteFile("WorkDir.DIR", "A");
  }
  Form1& Start() {
    window = std::make_unique<Form1>(&prompts, Folder());
    return *window;
  }

  std::filesystem::path folder;
  ScriptedPrompts prompts;
  std::unique_ptr<Form1> window;
};
