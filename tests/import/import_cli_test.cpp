#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "core/ListFile.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
};

// Runs the sonalog binary with the test's working folder; stdout captured, stderr dropped.
CliRun sonalog(const std::string& args) {
  CliRun r;
  const std::string cmd = std::string(SONALOG_CLI_PATH) + " " + args + " 2>/dev/null </dev/null";
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = ::pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string commaList(int n) {
  std::string out;
  for (int i = 1; i <= n; ++i)
    out += (i > 1 ? "\r\n" : "") + ("Artist " + std::to_string(i) + " - Song, 3:0" + std::to_string(i % 10) +
                                    ", 128 kbps, " + std::to_string(2000 + i) + " K");
  return out;
}

TEST(ImportCliTest, ImportsAppendsAndReportsFailures) {
  testing::TempHome home;
  home.writeFile("list.txt", commaList(20));
  CliRun r = sonalog("import " + home.path("list.txt") + " -o " + home.path("out.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Imported 20 items.\n");
  testing::FakeUi ui;
  ListFileContents contents;
  ASSERT_TRUE(ReadListFileContents(ui, home.path("out.snlg"), contents));
  ASSERT_EQ(contents.items.size(), 20u);
  EXPECT_EQ(contents.items[0].fileName, "Artist 1 - Song");
  EXPECT_EQ(contents.items[0].sizeKB, 2001);

  home.writeFile("play.m3u", "#EXTM3U\r\n#EXTINF:215,Song\r\n/music/Song.mp3\r\n");
  r = sonalog("import --type m3u --append " + home.path("out.snlg") + " " + home.path("play.m3u") + " -o " +
              home.path("both.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Imported 1, total 21 items.\n");
  ASSERT_TRUE(ReadListFileContents(ui, home.path("both.snlg"), contents));
  ASSERT_EQ(contents.items.size(), 21u);
  EXPECT_EQ(contents.items[20].folder, "/music");

  // Not an exported list: the fallback question gets its safe default (No).
  home.writeFile("bad.txt", std::string(600, 'z'));
  r = sonalog("import " + home.path("bad.txt") + " -o " + home.path("bad.snlg"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Import cancelled.\n");
  EXPECT_FALSE(std::ifstream(home.path("bad.snlg")).good());
  // --yes takes the fallback: one line, one item.
  r = sonalog("--yes import " + home.path("bad.txt") + " -o " + home.path("bad.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Read 1 lines. Imported 1 items.\n");
}

}  // namespace
}  // namespace sonalog
