// Where the file dialogs open when the data folder is not there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/QtPrompts.h"

namespace {

namespace fs = std::filesystem;

TEST(DialogStartFolderTest, MissingFoldersFallBackToTheirParentAndDocumentsKeepTheirName) {
  const fs::path root = fs::temp_directory_path() / "quorvane-dialog-start";
  fs::remove_all(root);
  fs::create_directories(root / "kept");

  EXPECT_EQ(DialogStartFolder((root / "kept").string()), (root / "kept").string());
  EXPECT_EQ(DialogStartFolder((root / "kept" / "Data").string()), (root / "kept").string());
  EXPECT_EQ(DialogStartFolder((root / "gone" / "deeper" / "Data").string()), root.string());
  EXPECT_EQ(DialogStartFolder(""), "");

  // The save dialog proposes the current document's name, even once the file is gone.
  const std::string kept = (root / "kept").string();
  for (const char* name : {"wing.QDN", "wing.qdn"}) {
    const SaveDialogStart start = SaveDialogStartFor((root / "kept" / name).string(), "QDN");
    EXPECT_EQ(start.folder, kept);
    EXPECT_EQ(start.fileName, name);
  }
  const SaveDialogStart data = SaveDialogStartFor((root / "kept" / "Data").string(), "QDN");
  EXPECT_EQ(data.folder, kept);
  EXPECT_EQ(data.fileName, "") << "a missing data folder is no file name";

  fs::remove_all(root);
}

}  // namespace
