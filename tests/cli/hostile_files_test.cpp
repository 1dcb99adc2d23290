// Commands given files that are not what they seem: pipes, devices, links, read-only files, the
// command's own input as its output. Every run ends with a message and a failure status, never
// waits forever, and leaves what it was given as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/ListFile.h"
#include "platform/Files.h"
#include "tests/support/CliRun.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportItem;
using testing::sonalog;
using testing::TempHome;

namespace fs = std::filesystem;

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// The program's own text export of n items (playtime, bitrate and size columns).
std::string commaList(int n) {
  std::vector<ListItem> items;
  for (int i = 1; i <= n; ++i) items.push_back(exportItem("Artist " + std::to_string(i) + " - Song"));
  ExportOptions options;  // playtime, bitrate and size by default
  return testing::exportedText(items, options);
}

size_t itemsIn(const std::string& path) {
  testing::FakeUi ui;
  ListFileContents contents;
  return ReadListFileContents(ui, path, contents) ? contents.items.size() : 0;
}

class HostileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writeListFile(home.path("list.snlg"), {exportItem("A - B"), exportItem("C")}, 0));
  }
  std::string fifo(const std::string& name) {
    const std::string p = home.path(name);
    EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
    return p;
  }
  TempHome home;
};

TEST_F(HostileFilesTest, NamedPipesAsInputsAreRefusedWithoutWaiting) {
  const std::string pipe = fifo("pipe");
  testing::CliRun r = sonalog(home, "import " + quoted(pipe) + " -o " + quoted(home.path("out.snlg")) +
                                        " --type exported");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "Import cancelled.\n");
  EXPECT_NE(r.err.find("Disk error"), std::string::npos) << r.err;

  for (const char* type : {"m3u", "other"}) {
    r = sonalog(home, "import " + quoted(pipe) + " -o " + quoted(home.path("out.snlg")) + " --type " + type);
    EXPECT_EQ(r.status, 1) << type << r.err;
  }

  // A pipe as the header message file: the header is reported missing, the export goes on.
  r = sonalog(home, "--set CheckHead=1 --set headerFileText=" + quoted(pipe) + " export " +
                        quoted(home.path("list.snlg")) + " -o " + quoted(home.path("x.txt")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Header file not found"), std::string::npos) << r.err;
  EXPECT_EQ(home.readFile("x.txt").rfind("A - B", 0), 0u);

  const std::string commands[] = {"dump ", "info ", "export ", "compare " + quoted(home.path("list.snlg")) + " "};
  for (const std::string& command : commands) {
    r = sonalog(home, command + quoted(pipe) + (command == "export " ? " -o " + quoted(home.path("y.txt")) : ""));
    EXPECT_NE(r.status, 0) << command;
    EXPECT_NE(r.status, 124) << command << " waited on the pipe";
  }
  EXPECT_EQ(sonalog(home, "--config " + quoted(pipe) + " config --get CheckHead").status, 1);
}

TEST_F(HostileFilesTest, OutputsThatAreNotPlainFilesAreRefused) {
  const std::string pipe = fifo("pipe");
  fs::create_directory(home.path("folder"));
  for (const std::string& target : {pipe, home.path("folder")}) {
    const testing::CliRun r = sonalog(home, "export " + quoted(home.path("list.snlg")) + " -o " + quoted(target));
    EXPECT_EQ(r.status, 1) << target;
    EXPECT_NE(r.err.find("sonalog: " + target + ": "), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_directory(home.path("folder")));

  // A read-only output is not replaced, and the message says why.
  home.writeFile("ro.txt", "keep");
  ::chmod(home.path("ro.txt").c_str(), 0444);
  testing::CliRun r = sonalog(home, "export " + quoted(home.path("list.snlg")) + " -o " + quoted(home.path("ro.txt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(home.path("ro.txt") + ": the file is read-only"), std::string::npos) << r.err;
  EXPECT_EQ(home.readFile("ro.txt"), "keep");
  home.writeFile("list.txt", commaList(20));
  r = sonalog(home, "import " + quoted(home.path("list.txt")) + " -o " + quoted(home.path("ro.txt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Can't write this file."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(home.path("ro.txt") + ": the file is read-only"), std::string::npos) << r.err;
  EXPECT_EQ(home.readFile("ro.txt"), "keep");

  // A link is written through; the file keeps its mode.
  home.writeFile("real/out.txt", "old");
  ::chmod(home.path("real/out.txt").c_str(), 0600);
  fs::create_symlink(home.path("real/out.txt"), home.path("link.txt"));
  r = sonalog(home, "export " + quoted(home.path("list.snlg")) + " -o " + quoted(home.path("link.txt")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(home.path("link.txt")));
  EXPECT_EQ(home.readFile("real/out.txt").rfind("A - B", 0), 0u);
  EXPECT_EQ(fs::status(home.path("real/out.txt")).permissions() & fs::perms::mask, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(HostileFilesTest, AnOutputThatIsItsOwnInputIsRefused) {
  const std::string list = home.readFile("list.snlg");
  fs::create_hard_link(home.path("list.snlg"), home.path("same.snlg"));
  fs::create_directory(home.path("x"));
  for (const std::string& out : {home.path("list.snlg"), home.path("same.snlg"), home.path("./x/../list.snlg")}) {
    const testing::CliRun r = sonalog(home, "export " + quoted(home.path("list.snlg")) + " -o " + quoted(out));
    EXPECT_EQ(r.status, 2) << out;
    EXPECT_EQ(r.err, "sonalog: export: OUT must not be the list file (it is never changed)\n");
  }
  EXPECT_EQ(home.readFile("list.snlg"), list);

  home.writeFile("list.txt", commaList(20));
  const std::string text = home.readFile("list.txt");
  const testing::CliRun r = sonalog(home, "import " + quoted(home.path("list.txt")) + " -o " + quoted(home.path("list.txt")));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: import: OUT must not be the file to import (it is never changed)\n");
  EXPECT_EQ(home.readFile("list.txt"), text);
}

TEST_F(HostileFilesTest, TheConfigurationInUseIsNeverAnOutput) {
  ASSERT_EQ(sonalog(home, "--config my.ini config --set CheckTime=0").status, 0);
  fs::create_symlink(home.path("my.ini"), home.path("link.ini"));
  const std::string mine = home.readFile("my.ini"), list = quoted(home.path("list.snlg"));
  // Each output as the working folder's file, then through a link to the --config file.
  for (const std::string& run : {"export " + list + " -o ", std::string("scan . -o "), "import " + list + " -o ",
                                "dupes " + list + " -o ", "dupes " + list + " --log ", "compare " + list + " x -o "}) {
    EXPECT_EQ(sonalog(home, run + "home/mp3snlg.ini").status, 2) << run;
    const testing::CliRun r = sonalog(home, "--config my.ini " + run + "link.ini");
    EXPECT_EQ(r.status, 2) << run;
    EXPECT_NE(r.err.find("configuration file"), std::string::npos) << r.err;
  }
  EXPECT_EQ(sonalog(home, "export " + list + " -o home/mp3snlg.ini").err,
            "sonalog: export: OUT must not be the configuration file (it is never changed)\n");
  EXPECT_EQ(home.readFile("my.ini"), mine);
  EXPECT_FALSE(fs::exists(home.path("home/mp3snlg.ini")));
  // Nor is it one of the files a batch export names after the list's folders.
  ASSERT_TRUE(writeListFile(home.path("here.snlg"), {exportItem("A - B", home.path())}, 0));
  EXPECT_EQ(sonalog(home, "--config my.ini export here.snlg --batch each -o my.ini").status, 1);
  EXPECT_EQ(home.readFile("my.ini"), mine);
}

// A Ctrl+C before the inputs are read (pending at start) stops a command with its own message.
TEST_F(HostileFilesTest, CtrlCBeforeAnyWorkIsNeverLost) {
  const std::string ctrlC = "perl -MPOSIX -e \"sigprocmask(SIG_BLOCK, POSIX::SigSet->new(SIGINT)); kill(2, \\$\\$); exec(@ARGV)\"";
  home.writeFile("list.txt", commaList(20));
  const std::string list = quoted(home.path("list.snlg")), out = " -o " + quoted(home.path("out.log"));
  const std::string runs[][3] = {
      {"export " + list + out, "", "[Warning] Export cancelled; the file was not written.\n"},
      {"scan . " + out, "Cancelled.\n", ""},
      {"import list.txt" + out, "Import cancelled.\n", ""},
      {"dupes " + list + out, "", "sonalog: dupes: stopped by Ctrl+C; nothing written\n"},
      {"compare " + list + " list.txt" + out, "", "sonalog: compare: stopped by Ctrl+C; nothing written\n"}};
  for (const auto& run : runs) {
    const testing::CliRun r = sonalog(home, run[0], ctrlC);
    EXPECT_EQ(r.status, 1) << run[0];
    EXPECT_EQ(r.out + r.err, run[1] + run[2]) << run[0];
    EXPECT_FALSE(fs::exists(home.path("out.log"))) << run[0];
  }
}

TEST_F(HostileFilesTest, AnImportOfNothingWritesNothing) {
  const std::string list = home.readFile("list.snlg");
  home.writeFile("empty.m3u", "#EXTM3U\r\n");
  testing::CliRun r = sonalog(home, "import --type m3u " + quoted(home.path("empty.m3u")) + " -o " +
                                        quoted(home.path("list.snlg")));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Imported 0 items.\n");
  EXPECT_EQ(r.err, "sonalog: import: no items were imported; OUT was not written\n");
  EXPECT_EQ(home.readFile("list.snlg"), list);
  r = sonalog(home, "import --type m3u --append " + quoted(home.path("list.snlg")) + " " +
                        quoted(home.path("empty.m3u")) + " -o " + quoted(home.path("more.snlg")));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(home.path("more.snlg")));
}

TEST_F(HostileFilesTest, LongestOutputNamesAndLeftoversOfKilledRuns) {
  const std::string name = std::string(251, 'n') + ".txt";  // 255 bytes, the longest a name can be
  home.writeFile(".sonalog-Ab12Cd.tmp", "left by a killed export");
  home.writeFile("home/.sonalog-Xy34Zw.tmp", "left by a killed import");
  const testing::CliRun r = sonalog(home, "export " + quoted(home.path("list.snlg")) + " -o " + quoted(home.path(name)));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(home.readFile(name).rfind("A - B", 0), 0u);
  EXPECT_FALSE(fs::exists(home.path(".sonalog-Ab12Cd.tmp")));
  EXPECT_FALSE(fs::exists(home.path("home/.sonalog-Xy34Zw.tmp")));
}

TEST_F(HostileFilesTest, TwoRunsAtOnceKeepTheirOwnFiles) {
  home.writeFile("big.txt", commaList(30000));
  const std::string run = std::string("timeout -k 5 120 '") + SONALOG_CLI_PATH + "' import " + quoted(home.path("big.txt"));
  const std::string both = run + " -o " + quoted(home.path("one.snlg")) + " >/dev/null 2>&1 & " + run + " -o " +
                           quoted(home.path("two.snlg")) + " >/dev/null 2>&1; wait";
  ASSERT_EQ(std::system(both.c_str()), 0);
  EXPECT_EQ(itemsIn(home.path("one.snlg")), 30000u);
  EXPECT_EQ(itemsIn(home.path("two.snlg")), 30000u);

  // A config change waits, and says so, while another run holds the file's folder for its
  // read-modify-write, so neither change is lost.
  const std::string config = quoted(home.path("my.ini"));
  ASSERT_EQ(sonalog(home, "--config " + config + " --set maxsizetext=900 config").status, 0);
  {
    platform::FolderLock lock(home.path());
    ASSERT_TRUE(lock.locked());
    const std::string later = std::string("('") + SONALOG_CLI_PATH + "' --config " + config +
                              " --set minsizetext=123 config >/dev/null 2>" + quoted(home.path("wait.log")) +
                              "; touch " + quoted(home.path("done")) + ") &";
    ASSERT_EQ(std::system(later.c_str()), 0);
    const std::string waiting = "sonalog: waiting for another sonalog run to finish with " + home.path("my.ini") + "\n";
    for (int i = 0; i < 300 && home.readFile("wait.log") != waiting; ++i) ::usleep(50 * 1000);
    EXPECT_EQ(home.readFile("wait.log"), waiting);
    EXPECT_FALSE(fs::exists(home.path("done"))) << "the second run did not wait";
  }
  for (int i = 0; i < 600 && !fs::exists(home.path("done")); ++i) ::usleep(50 * 1000);
  const testing::CliRun r = sonalog(home, "--config " + config + " config --get minsizetext --get maxsizetext");
  EXPECT_EQ(r.out, "123\n900\n");
}

}  // namespace
}  // namespace sonalog
