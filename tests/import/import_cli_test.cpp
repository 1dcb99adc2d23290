#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/ListFile.h"
#include "tests/support/CliRun.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::CliRun;

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
  CliRun r = testing::sonalog(home, "import " + home.path("list.txt") + " -o " + home.path("out.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Imported 20 items.\n");
  testing::FakeUi ui;
  ListFileContents contents;
  ASSERT_TRUE(ReadListFileContents(ui, home.path("out.snlg"), contents));
  ASSERT_EQ(contents.items.size(), 20u);
  EXPECT_EQ(contents.items[0].fileName, "Artist 1 - Song");
  EXPECT_EQ(contents.items[0].sizeKB, 2001);

  home.writeFile("play.m3u", "#EXTM3U\r\n#EXTINF:215,Song\r\n/music/Song.mp3\r\n");
  r = testing::sonalog(home, "import --type m3u --append " + home.path("out.snlg") + " " + home.path("play.m3u") + " -o " +
              home.path("both.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Imported 1, total 21 items.\n");
  ASSERT_TRUE(ReadListFileContents(ui, home.path("both.snlg"), contents));
  ASSERT_EQ(contents.items.size(), 21u);
  EXPECT_EQ(contents.items[20].folder, "/music");

  // Not an exported list: the fallback question gets its safe default (No).
  home.writeFile("bad.txt", std::string(600, 'z'));
  r = testing::sonalog(home, "import " + home.path("bad.txt") + " -o " + home.path("bad.snlg"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Import cancelled.\n");
  EXPECT_FALSE(std::ifstream(home.path("bad.snlg")).good());
  // --yes takes the fallback: one line, one item.
  r = testing::sonalog(home, "--yes import " + home.path("bad.txt") + " -o " + home.path("bad.snlg"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Read 1 lines. Imported 1 items.\n");
}

}  // namespace
}  // namespace sonalog
