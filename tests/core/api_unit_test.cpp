#include "core/ApiUnit.h"

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

}  // namespace
}  // namespace sonalog
