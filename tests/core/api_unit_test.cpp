#include "core/ApiUnit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;

TEST(ApiUnitTest, OpenDocumentCheckedAsksTheDesktopOnlyForReadableFiles) {
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

TEST(ApiUnitTest, PlayFailuresSayWhatWentWrong) {
  FakeUi ui;
  reportPlayFailure(ui, OpenResult::Ok, false);
  EXPECT_TRUE(ui.shown.empty());
  reportPlayFailure(ui, OpenResult::NotFound, false);
  reportPlayFailure(ui, OpenResult::AccessDenied, false);
  reportPlayFailure(ui, OpenResult::Failed, false);
  reportPlayFailure(ui, OpenResult::NoAssociation, true);
  reportPlayFailure(ui, OpenResult::Failed, true);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                            "The file doesn't exist.", "Access denied or sharing violation.",
                            "System error trying to play the file.",
                            "Looks like there's no application\r\nregistered to open m3u lists on your system.",
                            "System error trying to open the internal mp3 file list."}));
  for (const MessageBox& box : ui.shown) {
    EXPECT_EQ(box.caption, "play");
    EXPECT_EQ(box.icon, Icon::Exclamation);
  }
}

TEST(ApiUnitTest, HelpPageIsTheInstalledGuideElseAReadme) {
  testing::TempHome home;
  const std::string bin = home.path("usr/bin/");
  std::filesystem::create_directories(home.path("usr/share/doc/sonalog/guide"));
  std::ofstream(home.path("usr/share/doc/sonalog/README.md")) << "readme";
  EXPECT_EQ(helpPagePath(bin), home.path("usr/share/doc/sonalog/README.md"));
  std::ofstream(home.path("usr/share/doc/sonalog/guide/index.html")) << "<html>";
  EXPECT_EQ(helpPagePath(bin), home.path("usr/share/doc/sonalog/guide/index.html"));
  FakeUi ui;
  ui.openResults = {OpenResult::NoAssociation};
  openHelpPage(ui, bin);
  EXPECT_EQ(ui.opened.at(0).first, home.path("usr/share/doc/sonalog/guide/index.html"));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"There's no application to open\r\n" + helpPagePath(bin)});
}

TEST(ApiUnitTest, SaveDialogNeverReplacesAFileUnasked) {
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
