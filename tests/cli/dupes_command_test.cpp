// The sonalog dupes command, run as a separate process.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "tests/support/CliRun.h"
#include "tests/support/Items.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::TempHome;

using testing::CliRun;
using testing::sonalog;

ListItem item(std::string name, int32_t sizeKB) { return testing::ItemBuilder(std::move(name)).sizeKB(sizeKB); }

std::vector<std::string> namesIn(const TempHome& home, const std::string& path) {
  ListFileContents contents;
  std::vector<std::string> names;
  if (parseListFile(home.readFile(path), false, contents) != ListReadStatus::Ok) return {"(unreadable)"};
  for (const ListItem& i : contents.items) names.push_back(i.fileName);
  return names;
}

class DupesCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<ListItem> items = {item("Nova - Silver Morning", 4000), item("Kestrel - Night Train", 5000),
                                         item("nova - silver morning", 4100), item("Nova - Silver Mornin", 4050),
                                         item("Other - Song", 3000)};
    ASSERT_TRUE(writeListFile(home.path("in.snlg"), items, 0));
    original = home.readFile("in.snlg");
  }
  TempHome home;
  std::string original;
};

TEST_F(DupesCommandTest, AutomaticSearchWritesTheKeptListAndTheLog) {
  const CliRun r = sonalog(home, "--set matchThreshold=80 --set actionMode=0 dupes '" + home.path("in.snlg") +
                                     "' -o '" + home.path("kept.snlg") + "' --log '" + home.path("log.txt") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 2 matches found. 2 duplicates to be deleted.\n3 items left.\n");
  EXPECT_EQ(namesIn(home, home.path("kept.snlg")),
            (std::vector<std::string>{"Nova - Silver Morning", "Kestrel - Night Train", "Other - Song"}));
  const std::string log = home.readFile("log.txt");
  EXPECT_EQ(log.find("Mp3 Sonalog duplicates search log at "), 0u);
  const std::string entries = "\r\n2 duplicates found:\r\n\r\nnova - silver morning, 3:55, 128 kbps, 4100 K, S"
                              "\r\nNova - Silver Mornin, 3:55, 128 kbps, 4050 K, S";
  ASSERT_GT(log.size(), entries.size());
  EXPECT_EQ(log.substr(log.size() - entries.size()), entries);
  EXPECT_EQ(home.readFile("in.snlg"), original);
}

TEST_F(DupesCommandTest, ManualConfirmationsFollowYesAndNo) {
  // Threshold 80, mode 1: the 100 % pair goes at once, the 96 % pair is asked.
  CliRun r = sonalog(home, "--set matchThreshold=80 --yes dupes '" + home.path("in.snlg") + "' -o '" +
                               home.path("yes.snlg") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find(" Please confirm this 96 % match:"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("-> DELETE 1ST"), std::string::npos);
  // DELETE 1ST queues the first item of the pair, "Nova - Silver Morning"; the already queued
  // "nova - silver morning" is asked about in its own row, and counted once.
  EXPECT_EQ(r.out, "Finished. 3 matches found. 2 duplicates to be deleted.\n3 items left.\n");
  EXPECT_EQ(namesIn(home, home.path("yes.snlg")),
            (std::vector<std::string>{"Kestrel - Night Train", "Nova - Silver Mornin", "Other - Song"}));

  r = sonalog(home, "--set matchThreshold=80 --no dupes '" + home.path("in.snlg") + "' -o '" + home.path("no.snlg") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 3 matches found. 1 duplicates to be deleted.\n4 items left.\n");
  EXPECT_NE(r.err.find("-> LEAVE BOTH"), std::string::npos);
}

// With a terminal on stdin but stderr sent to a file, a question would wait unseen: the pair is
// answered as without a terminal. script(1) gives the command its terminal; timeout ends a hang.
TEST_F(DupesCommandTest, QuestionsAreAskedOnlyWhereTheUserSeesThem) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "script(1) is not installed";
  const std::string inner = "'" + std::string(SONALOG_CLI_PATH) + "' --set matchThreshold=80 dupes '" +
                            home.path("in.snlg") + "' 2>'" + home.path("err.txt") + "'";
  const std::string command = "cd '" + home.path() + "' && timeout 60 script -qec \"" + inner +
                              "\" /dev/null </dev/null >/dev/null 2>&1";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  const std::string err = home.readFile("err.txt");
  EXPECT_NE(err.find(" Please confirm this 96 % match:"), std::string::npos) << err;
  EXPECT_NE(err.find("-> LEAVE BOTH"), std::string::npos) << err;
  EXPECT_EQ(err.find("DELETE 1ST (1)"), std::string::npos) << err;
}

TEST_F(DupesCommandTest, WithoutOutputNothingIsWrittenAndFailuresAreReported) {
  CliRun r = sonalog(home, "dupes '" + home.path("in.snlg") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 1 matches found. 1 duplicates to be deleted.\n");  // threshold 99: equal but for case
  EXPECT_EQ(home.readFile("in.snlg"), original);

  r = sonalog(home, "dupes '" + home.path("missing.snlg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());

  r = sonalog(home, "dupes '" + home.path("in.snlg") + "' -o '" + home.path("in.snlg") + "'");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(home.readFile("in.snlg"), original);

  r = sonalog(home, "--set actionMode=0 --set matchThreshold=80 dupes '" + home.path("in.snlg") + "' -o '" +
                        home.path("no/such/folder/out.snlg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Can't write this file."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace sonalog
