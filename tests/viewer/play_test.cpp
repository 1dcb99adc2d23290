#include "viewer/Play.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/viewer/ViewerFixture.h"

namespace sonalog {
namespace {

using testing::viewerItem;
using testing::ViewerTest;

TEST_F(ViewerTest, PlaylistOfTheSelection) {
  fill({"one", "two", "three"});
  list.items[1].folder.clear();
  list.items[2].frames = -5;
  PlayUnit play(ui);
  play.play(list.items, {0, 1, 2});
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0].first, workFile(kPlaylistFileName));
  EXPECT_FALSE(ui.opened[0].second);
  EXPECT_EQ(home.readFile("home/mp3snlg.m3u"),
            "#EXTM3U\r\n#EXTINF:26,one\r\n/music/o/one.mp3\r\n#EXTINF:0,three\r\n/music/t/three.mp3\r\n");
  EXPECT_TRUE(ui.shown.empty());

  // A Windows folder keeps its own separator.
  list.items[0].folder = "c:\\music";
  EXPECT_EQ(playablePath(list.items[0]), "c:\\music\\one.mp3");
}

TEST_F(ViewerTest, PlayFailures) {
  fill({"one", "two"});
  PlayUnit play(ui);
  list.items[0].fileName.clear();
  play.play(list.items, {0});
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "This file doesn't have valid path or filename.");
  EXPECT_EQ(ui.shown[0].caption, "play");

  list.items[1].folder.clear();
  play.play(list.items, {0, 1});
  EXPECT_EQ(ui.shown.back().text, "No files with valid path and filename found.");
  EXPECT_FALSE(std::filesystem::exists(workFile(kPlaylistFileName)));

  // One existing file that the desktop cannot open.
  fill({"one"});
  home.writeFile("music/one.mp3", "x");
  list.items[0].folder = home.path("music");
  ui.openResults = {OpenResult::Failed};
  play.play(list.items, {0});
  EXPECT_EQ(ui.opened.back().first, home.path("music/one.mp3"));
  EXPECT_EQ(ui.shown.back().text, "System error trying to play the file.");

  // The playlist cannot be created.
  std::filesystem::create_directory(workFile(kPlaylistFileName));
  fill({"a", "b"});
  play.play(list.items, {0, 1});
  EXPECT_EQ(ui.shown.back().text,
            "Error creating list file.\r\nRestarting the program or Windows may help.");
}

}  // namespace
}  // namespace sonalog
