#include "core/ApiUnit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;

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

}  // namespace
}  // namespace sonalog
