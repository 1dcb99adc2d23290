// sonalog export, run as a separate process on list files written in the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/ListFile.h"
#include "tests/support/CliRun.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportItem;
using testing::TempHome;

using testing::CliRun;
using testing::sonalog;

class ExportCliTest : public ::testing::Test {
 protected:
  void writeList(const std::vector<ListItem>& items, uint8_t sortCode = 0) {
    ASSERT_TRUE(writeListFile(home.path("list.snlg"), items, sortCode));
  }
  TempHome home;
};

TEST_F(ExportCliTest, TextExportWithSettingsFromSet) {
  writeList({exportItem("A - B"), exportItem("C")});
  const CliRun r = sonalog(home, "--set CheckEnum=1 --set delimiter=2 --set CheckKbps=0 export list.snlg -o out.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Exported to out.txt\n");
  EXPECT_EQ(home.readFile("out.txt"), "1. [A - B] [4:05] [3835 K]\r\n2. [C] [4:05] [3835 K]");
}

TEST_F(ExportCliTest, TableCaptionFromTheCommandLineOrThePresetText) {
  writeList({exportItem("A")});
  CliRun r = sonalog(home, "--set ComboCap=3 export list.snlg -o t.html --type html-table --caption '  Best of  '");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(home.readFile("t.html").find("mp3SCS=2><NOBR><em>Best of</em>"), std::string::npos);

  // Without --caption the window's preset is taken: empty unless the remember switch is on.
  r = sonalog(home, "--set ComboCap=3 --set lastCaption=Kept --set CheckRem=1 export list.snlg -o k.html --type html-table");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(home.readFile("k.html").find("<em>Kept</em>"), std::string::npos);
  r = sonalog(home, "--set ComboCap=3 --set lastCaption=Kept export list.snlg -o n.html --type html-table");
  EXPECT_EQ(home.readFile("n.html").find("<em>"), std::string::npos);
}

TEST_F(ExportCliTest, ExtensionQuestionTakesTheDefaultOrTheGivenAnswer) {
  writeList({exportItem("A")});
  // Without an answer the question takes Escape's, Cancel: nothing is written.
  CliRun r = sonalog(home, "export list.snlg -o a.m3u --type text");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("You chose to save a text file under m3u filename."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(home.path("a.m3u")));
  r = sonalog(home, "--no export list.snlg -o a.m3u --type text");
  EXPECT_EQ(home.readFile("a.m3u").substr(0, 7), "#EXTM3U");  // No (the preselected answer): m3u

  r = sonalog(home, "--yes export list.snlg -o b.m3u --type text");
  EXPECT_EQ(home.readFile("b.m3u"), "A, 4:05, 128 kbps, 3835 K");
}

TEST_F(ExportCliTest, BatchShortStyleIntoTheRootFolder) {
  writeList({exportItem("a", "/x/rock"), exportItem("b", "/y/pop"), exportItem("c", "music\\rel")});
  std::filesystem::create_directories(home.path("root"));
  const CliRun r = sonalog(home, "export list.snlg --batch short --root root --type m3u");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2 files created.\n");
  EXPECT_NE(r.err.find("[multi-folder export] 2 files created."), std::string::npos);
  EXPECT_EQ(home.readFile("root/rock.m3u"), "#EXTM3U\r\n#EXTINF:245,a\r\n/x/rock/a.mp3\r\n");
  EXPECT_TRUE(std::filesystem::exists(home.path("root/pop.m3u")));
}

TEST_F(ExportCliTest, FailuresExitWithOneAndSayWhy) {
  writeList({exportItem("A")});
  CliRun r = sonalog(home, "export list.snlg -o missing/dir/out.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Disk error!"), std::string::npos);

  home.writeFile("bad.snlg", "not a list");
  r = sonalog(home, "export bad.snlg -o out.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Not a Sonalog file!"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(home.path("out.txt")));

  r = sonalog(home, "export list.snlg");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("-o OUT is required"), std::string::npos);
  r = sonalog(home, "export list.snlg -o x --type pdf");
  EXPECT_EQ(r.status, 2);
}

}  // namespace
}  // namespace sonalog
