#include "platform/UserInterface.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <utility>

#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;

TEST(UserInterfaceTest, OpenDocumentCheckedAsksTheDesktopOnlyForReadableFiles) {
  testing::TempHome home;
  const std::string file = home.path("list.m3u");
  std::ofstream(file) << "#EXTM3U\r\n";
  FakeUi ui;
  ui.openResults = {OpenResult::NoAssociation};
  EXPECT_EQ(openDocumentChecked(ui, home.path("missing.m3u")), OpenResult::NotFound);
  EXPECT_EQ(openDocumentChecked(ui, ""), OpenResult::NotFound);
  EXPECT_EQ(openDocumentChecked(ui, file, true), OpenResult::NoAssociation);
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0], std::make_pair(file, true));
  if (::geteuid() != 0) {  // root reads everything
    ::chmod(file.c_str(), 0);
    EXPECT_EQ(openDocumentChecked(ui, file), OpenResult::AccessDenied);
    EXPECT_EQ(ui.opened.size(), 1u);
  }
}

TEST(UserInterfaceTest, SaveDialogNeverReplacesAFileUnasked) {
  testing::TempHome home;
  const std::string existing = home.path("list.snlg");
  std::ofstream(existing) << "mine";
  FileDialog dialog;
  dialog.title = " - SAVE THE LIST AS - ";
  FakeUi ui;
  // A new name asks nothing; No and Escape (no answer) cancel; Yes replaces.
  ui.dialogResults = {FileDialogResult{home.path("new.snlg"), 0}, FileDialogResult{existing, 0},
                      FileDialogResult{existing, 0}, FileDialogResult{existing, 1}};
  ui.answers = {Answer::No};
  EXPECT_EQ(ui.chooseSaveFile(dialog)->path, home.path("new.snlg"));
  EXPECT_FALSE(ui.chooseSaveFile(dialog) || ui.chooseSaveFile(dialog));
  ui.answers = {Answer::Yes};
  EXPECT_EQ(ui.chooseSaveFile(dialog)->filterIndex, 1);
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].text, existing + " already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(ui.shown[0].caption, "SAVE THE LIST AS");
  // A dialog that asked itself, and a name that is only a pattern, get no second question.
  ui.dialogResults = {FileDialogResult{existing, 0, true}, FileDialogResult{existing, 0}};
  EXPECT_TRUE(ui.chooseSaveFile(dialog) && (dialog.askBeforeReplacing = false, ui.chooseSaveFile(dialog)));
  EXPECT_EQ(ui.shown.size(), 3u);
}

}  // namespace
}  // namespace sonalog
