// Where the file dialogs open when the data folder is not there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/QtPrompts.h"

namespace {

namespace fs = std::filesystem;

TEST(DialogStartFolderTest, MissingFolderFallsBackToItsNearestExistingParent) {
  const fs::path root = fs::temp_directory_path() / "quorvane-dialog-start";
  fs::remove_all(root);
  fs::create_directories(root / "kept");

  EXPECT_EQ(DialogStartFolder((root / "kept").string()), (root / "kept").string());
  EXPECT_EQ(DialogStartFolder((root / "kept" / "Data").string()), (root / "kept").string());
  EXPECT_EQ(DialogStartFolder((root / "gone" / "deeper" / "Data").string()), root.string());
  EXPECT_EQ(DialogStartFolder(""), "");

  fs::remove_all(root);
}

}  // namespace
