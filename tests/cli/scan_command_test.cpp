#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/ListFile.h"
#include "platform/Files.h"
#include "tests/support/CliRun.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::TempHome;

class ScanCommandTest : public ::testing::Test {
 protected:
  ScanCommandTest() {
    mp3("music/a.mp3");
    mp3("music/sub/b.mp3");
    home.writeFile("music/sub/broken.mp3", std::string(12000, 'x'));  // above the 10 KB minimum
  }
  void mp3(const std::string& relative) {
    ASSERT_TRUE(testing::writeBytes(home.path(relative), testing::Mp3Builder().frames(testing::mpeg1(9), 40).str()));
  }
  // Runs the command line tool with stdin from /dev/null (never a terminal); returns the exit status.
  int run(const std::string& arguments) {
    const testing::CliRun r = testing::sonalog(home, arguments);
    out = r.out;
    err = r.err;
    return r.status;
  }
  std::vector<ListItem> readList(const std::string& relative) {
    testing::FakeUi ui;
    ListFileContents contents;
    EXPECT_TRUE(ReadListFileContents(ui, home.path(relative), contents));
    sortCode = contents.sortCode;
    return contents.items;
  }
  std::string q(const std::string& relative) const { return "'" + home.path(relative) + "'"; }

  TempHome home;
  std::string out, err;
  uint8_t sortCode = 0;
};

TEST_F(ScanCommandTest, ScansWritesTheListAndPrintsTheStatus) {
  ASSERT_EQ(run("--set erroractioncombo=0 scan -o " + q("list.snlg") + " " + q("music")), 0) << err;
  EXPECT_EQ(out, "Added: 2 of 2. Total: 2 items.\n");
  const auto items = readList("list.snlg");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].fileName, "a");
  EXPECT_EQ(items[1].folder, home.path("music/sub"));
  EXPECT_EQ(items[1].bitrateCode, 9);
  EXPECT_EQ(sortCode, 0);  // sorted by file name, the default

  // APPEND onto the written list, skipping what it holds.
  ASSERT_EQ(run("--set erroractioncombo=0 --set ComboSkip=3 scan --append " + q("list.snlg") + " -o " +
                q("more.snlg") + " " + q("music")), 0) << err;
  EXPECT_EQ(out, " Ignored: 2. Total: 2 items.\n");
  EXPECT_EQ(readList("more.snlg").size(), 2u);

  ASSERT_EQ(run("--set erroractioncombo=0 scan --no-subfolders -o " + q("top.snlg") + " " + q("music")), 0);
  EXPECT_EQ(out, "Added: 1 of 1. Total: 1 item.\n");
}

TEST_F(ScanCommandTest, RejectedFilesAreAskedAbout) {
  // Not on a terminal the question takes the answer of Escape, Cancel, which stops the scan;
  // --no skips the file and the scan goes on.
  EXPECT_NE(run("scan -o " + q("list.snlg") + " " + q("music")), 0);
  ASSERT_EQ(run("--no scan -o " + q("list.snlg") + " " + q("music")), 0) << err;
  EXPECT_EQ(out, "Added: 2 of 2. Total: 2 items.\n");
  EXPECT_NE(err.find("[failure] Error processing file:\n" + home.path("music/sub/broken.mp3")), std::string::npos) << err;

  ASSERT_EQ(run("--yes scan -o " + q("list.snlg") + " " + q("music")), 0) << err;
  EXPECT_EQ(out, "Added: 3 of 3. Total: 3 items.\n");
  const auto items = readList("list.snlg");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[2].fileName, "broken");
  EXPECT_EQ(items[2].bitrateCode, 0);
}

// A subfolder that cannot be listed is passed over, and the final status says so. Root reads any
// folder, so as root the command runs as "nobody" (setpriv) for the permission to matter.
TEST_F(ScanCommandTest, UnreadableSubfoldersAreReported) {
  mp3("music/locked/c.mp3");
  ASSERT_EQ(::chmod(home.path("music/locked").c_str(), 0), 0);
  std::string asUser;
  if (::geteuid() == 0) {
    if (std::system("command -v setpriv >/dev/null 2>&1") != 0) GTEST_SKIP() << "setpriv(1) is not installed";
    for (const std::string& folder : {home.path(), home.home()}) ::chmod(folder.c_str(), 0777);
    asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  const std::string command = asUser + "'" + SONALOG_CLI_PATH + "' --set erroractioncombo=0 scan -o " +
                              q("list.snlg") + " " + q("music") + " </dev/null >'" + home.path("stdout") + "' 2>'" +
                              home.path("stderr") + "'";
  const int raw = std::system(command.c_str());
  ::chmod(home.path("music/locked").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0) << home.readFile("stderr");
  EXPECT_EQ(home.readFile("stdout"), "Added: 2 of 2. Total: 2 items. Unreadable folders skipped: 1.\n");
}

// A name may hold an escape sequence: the question that shows it must not pass it to the terminal.
TEST_F(ScanCommandTest, QuestionsShowControlCharactersEscaped) {
  home.writeFile("odd/\x1B]0;owned\x07name.mp3", std::string(12000, 'x'));
  ASSERT_EQ(run("scan -o " + q("list.snlg") + " " + q("odd")), 1) << err;  // nothing kept: empty list
  EXPECT_NE(err.find(home.path("odd") + "/\\x1B]0;owned\\x07name.mp3"), std::string::npos) << err;
  EXPECT_EQ(err.find('\x1B'), std::string::npos) << err;
}

TEST_F(ScanCommandTest, FailuresExitWithOneAndWriteNothing) {
  EXPECT_EQ(run("scan -o " + q("list.snlg") + " " + q("nowhere")), 1);
  EXPECT_NE(err.find("no such folder"), std::string::npos) << err;

  home.writeFile("empty/readme.txt", "no music here");
  EXPECT_EQ(run("scan -o " + q("list.snlg") + " " + q("empty")), 1);
  EXPECT_EQ(out, "No mp3's found.\n");
  EXPECT_NE(err.find("Empty list."), std::string::npos) << err;
  EXPECT_FALSE(platform::fileExists(home.path("list.snlg")));

  home.writeFile("bad.snlg", "not a list");
  EXPECT_EQ(run("scan --append " + q("bad.snlg") + " -o " + q("list.snlg") + " " + q("music")), 1);
  EXPECT_NE(err.find("Not a Sonalog file!"), std::string::npos) << err;
  EXPECT_FALSE(platform::fileExists(home.path("list.snlg")));

  EXPECT_EQ(run("scan " + q("music")), 2);
  // An empty output name is a usage error with a message, not a silent failure.
  EXPECT_EQ(run("scan -o '' " + q("music")), 2);
  EXPECT_NE(err.find("--output: must not be empty"), std::string::npos) << err;
}

}  // namespace
}  // namespace sonalog
