// Test entry for every test program: the Qt application is created after
// GoogleTest has parsed its flags, on the offscreen platform unless told otherwise.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The program's own settings and recovery files of a test run live in a
  // folder of its own, never in the user's.
  const std::string home = "/tmp/quorvane-tests-" + std::to_string(::getpid());
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  int status = 0;
  {
    QApplication app(argc, argv);
    status = RUN_ALL_TESTS();
  }
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
  return status;
}
