// sonalog compare, run as a separate process.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "compare/ExternalList.h"
#include "core/ListFile.h"
#include "tests/compare/CompareFixture.h"

namespace sonalog::testing {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

class CompareCommandTest : public ::testing::Test {
 protected:
  TempHome home;

  void SetUp() override {
    writeExternalList(home.path("list.snlg"),
                      {item("Nova - Silver Morning"), item("Kestrel - Night Train"), item("Amber - Glow"),
                       item("Birch - Falling")});
    home.writeFile("ext.txt", "Nova - Silver Mornin.mp3 3:55\r\nSomething Else.mp3\r\nkestrel - night train\r\n");
  }

  CliRun sonalog(const std::string& args) {
    const std::string command = std::string("cd '") + home.path() + "' && '" + SONALOG_CLI_PATH +
                                "' " + args + " </dev/null >'" + home.path("stdout") + "' 2>'" +
                                home.path("stderr") + "'";
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = home.readFile("stdout");
    r.err = home.readFile("stderr");
    return r;
  }
};

TEST_F(CompareCommandTest, WritesTheLogAndPrintsTheFinishText) {
  const std::string listBefore = home.readFile("list.snlg");
  CliRun r = sonalog("compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 1 unique title from external list written to log file.\n");
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"1 unique title found in \"ext.txt\":", "", "Something Else.mp3"}));
  EXPECT_EQ(home.readFile("list.snlg"), listBefore);

  // Without relaxed matching a shortened title is no match at threshold 99.
  r = sonalog("--set relaxed=0 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.out, "Finished. 2 unique titles from external list written to log file.\n");
  r = sonalog("--set relaxed=0 --set matchThreshold=80 --yes compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.out, "Finished. 1 unique title from external list written to log file.\n");
}

TEST_F(CompareCommandTest, RemovalTypesWriteTheShortenedListOnlyWithAnOutput) {
  CliRun r = sonalog("--set compareAction=4 compare list.snlg ext.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 2 matches to be removed from internal list.\n");

  r = sonalog("--set compareAction=4 compare list.snlg ext.txt -o short.snlg");
  EXPECT_EQ(r.status, 0) << r.err;
  RecordingChannel channel;
  ExternalList back;
  ASSERT_TRUE(loadExternalListFile(home.path("short.snlg"), back, channel));
  ASSERT_EQ(back.items.size(), 2u);
  EXPECT_EQ(back.items[0].fileName, "Amber - Glow");
  EXPECT_EQ(back.items[1].fileName, "Birch - Falling");

  r = sonalog("--set compareAction=9 compare list.snlg ext.txt -o short.snlg");
  EXPECT_EQ(r.out, "Finished. 2 unique titles to be removed from internal list.\n2 items left, written to short.snlg\n");
}

TEST_F(CompareCommandTest, ConfirmationsAreAnsweredByYesAndNo) {
  CliRun r = sonalog("--set actionMode=2 --set compareAction=7 --yes compare list.snlg ext.txt -o m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 2 matches from internal list written to log file.\n");
  EXPECT_NE(r.err.find(" Please confirm this 99 % match:\n"
                       "File 1: Nova - Silver Morning, 3:55, 4000 K, 128 kbps, JS, DATA\n"
                       "File 2: Nova - Silver Mornin, 3:55, ? K, ? kbps, ?, ?"),
            std::string::npos)
      << r.err;
  r = sonalog("--set actionMode=2 --set compareAction=7 --no compare list.snlg ext.txt -o m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. No matches found. Log file not written.\n");
}

TEST_F(CompareCommandTest, BadArgumentsAndFailuresSayWhy) {
  CliRun r = sonalog("--set compareAction=1 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: compare: action type 1 writes a new list: OUT must end in \".snlg\"\n");
  r = sonalog("compare list.snlg ext.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("writes a file: give it with -o OUT"), std::string::npos);
  r = sonalog("--set compareWith=0 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  r = sonalog("--set relaxed=yes compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  r = sonalog("--set compareAction=4 compare list.snlg ext.txt -o list.snlg");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: compare: OUT must not be one of the input files (they are never changed)\n");
  r = sonalog("compare missing.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 1);

  home.writeFile("bad.snlg", std::string("\xFD\xFD\x05\x22\x00", 5) + "xx");
  r = sonalog("--set compareWith=0 compare list.snlg bad.snlg -o out.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "[Warning] External file is not a proper SNLG list.\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace sonalog::testing
