#include "export/BatchExport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportItem;
using testing::FakeUi;

TEST(BatchExportNamesTest, UsableFoldersShortAndLongNames) {
  EXPECT_TRUE(batchFolderUsable("c:\\music\\rock"));
  EXPECT_TRUE(batchFolderUsable("c:\\"));
  EXPECT_TRUE(batchFolderUsable("c:"));
  EXPECT_TRUE(batchFolderUsable("/music/rock"));
  EXPECT_TRUE(batchFolderUsable("/"));
  EXPECT_FALSE(batchFolderUsable("music\\rock"));
  EXPECT_FALSE(batchFolderUsable("\\\\server\\share"));
  EXPECT_FALSE(batchFolderUsable("c:music"));
  EXPECT_FALSE(batchFolderUsable(":"));
  EXPECT_FALSE(batchFolderUsable(""));

  EXPECT_EQ(shortFolderName("c:\\music\\rock"), "rock");
  EXPECT_EQ(shortFolderName("c:\\music\\rock\\"), "rock");
  EXPECT_EQ(shortFolderName("c:\\"), "_ROOT");
  EXPECT_EQ(shortFolderName("c:"), "_ROOT");
  EXPECT_EQ(shortFolderName("/music/rock"), "rock");
  EXPECT_EQ(shortFolderName("/"), "_ROOT");
  EXPECT_EQ(shortFolderName("c:\\a/../../etc"), "a_.._.._etc");  // stays one name in the target folder

  EXPECT_EQ(longFolderName("c:\\music\\rock"), "music.rock");
  EXPECT_EQ(longFolderName("c:\\music\\rock\\"), "music.rock");
  EXPECT_EQ(longFolderName("c:\\"), "_ROOT");
  EXPECT_EQ(longFolderName("c:"), "_ROOT");
  EXPECT_EQ(longFolderName("/music/rock"), "music.rock");
  EXPECT_EQ(longFolderName("/"), "_ROOT");
}

TEST(BatchExportNamesTest, FolderTableGroupsIgnoringAsciiCaseInFirstAppearanceOrder) {
  std::vector<ListItem> items = {exportItem("a", ""), exportItem("b", "/m/Rock"), exportItem("c", ""),
                                 exportItem("d", "/m/Pop"), exportItem("e", "/M/ROCK")};
  const auto table = buildFolderTable(items);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->folders, (std::vector<std::string>{"", "/m/Rock", "/m/Pop"}));
  EXPECT_EQ(table->items[0], std::vector<uint32_t>{});  // items without a folder match nothing
  EXPECT_EQ(table->items[1], (std::vector<uint32_t>{1, 4}));
  EXPECT_EQ(table->items[2], std::vector<uint32_t>{3});
  EXPECT_FALSE(buildFolderTable(items, 2));
  EXPECT_TRUE(buildFolderTable(items, 3));
}

class BatchExportTest : public ::testing::Test {
 protected:
  BatchExportTest() {
    std::filesystem::create_directories(root());
    settings.exportFolder = home.path();
  }

  std::string root() const { return home.path("root"); }

  BatchSummary run(BatchStyle style) {
    ExportContext context{list, settings, ui, memory, askCaption, "status"};
    return runBatchExport(context, style, root());
  }

  std::vector<std::string> filesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.is_regular_file()) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempHome home;
  InternalList list;
  Settings settings;
  FakeUi ui;
  ExportMemory memory;
  CaptionAsker askCaption;
};

TEST_F(BatchExportTest, ShortNamesOfEqualLastComponentsOverwriteAndWarn) {
  list.items = {exportItem("one", "d:\\a\\x"), exportItem("two", "e:\\b\\x"), exportItem("three", "d:\\a\\X")};
  const BatchSummary s = run(BatchStyle::ShortNames);
  EXPECT_EQ(s.created, 2u);
  EXPECT_TRUE(s.overwrote);
  EXPECT_EQ(filesIn(root()), std::vector<std::string>{"x.txt"});
  EXPECT_EQ(home.readFile("root/x.txt"), "two, 4:05, 128 kbps, 3835 K");
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "2 files created.");
  EXPECT_EQ(ui.shown[0].caption, "multi-folder export");
  EXPECT_EQ(ui.shown[0].icon, Icon::Information);
  EXPECT_EQ(ui.shown[1].text, std::string(kOverwrittenText).substr(0, 254));
  EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Exporting...", "status"}));
}

TEST_F(BatchExportTest, LongNamesNumberingRestartsAndUnusableFoldersAreSkipped) {
  settings.CheckEnum = true;
  settings.CheckTime = settings.CheckKbps = settings.CheckSize = false;
  list.items = {exportItem("a", "c:\\music\\rock"), exportItem("b", "c:\\music\\rock"), exportItem("c", "music\\pop"),
                exportItem("d", "c:\\"), exportItem("e", "/srv/jazz")};
  const BatchSummary s = run(BatchStyle::LongNames);
  EXPECT_EQ(s.created, 3u);
  EXPECT_EQ(s.notWritten, 0u);
  EXPECT_EQ(filesIn(root()), (std::vector<std::string>{"_ROOT.txt", "music.rock.txt", "srv.jazz.txt"}));
  EXPECT_EQ(home.readFile("root/music.rock.txt"), "1. a\r\n2. b");
  EXPECT_EQ(home.readFile("root/_ROOT.txt"), "1. d");
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"3 files created."});
}

TEST_F(BatchExportTest, RootOnlyListGivesRootNameInBothStyles) {
  list.items = {exportItem("a", "c:\\")};
  run(BatchStyle::ShortNames);
  EXPECT_EQ(filesIn(root()), std::vector<std::string>{"_ROOT.txt"});
  settings.ooptcombo = 4;
  run(BatchStyle::LongNames);
  EXPECT_EQ(filesIn(root()), (std::vector<std::string>{"_ROOT.m3u", "_ROOT.txt"}));
  EXPECT_EQ(home.readFile("root/_ROOT.m3u"), "#EXTM3U\r\n#EXTINF:245,a\r\nc:\\\\a.mp3\r\n");
}

TEST_F(BatchExportTest, EachFolderGetsTheChosenNameAndWindowsFoldersCannotBeWritten) {
  const std::string rock = home.path("music/rock");
  const std::string pop = home.path("music/pop");
  std::filesystem::create_directories(rock);
  std::filesystem::create_directories(pop);
  list.items = {exportItem("a", rock), exportItem("b", pop), exportItem("c", "c:\\music"),
                exportItem("d", home.path("gone"))};
  settings.ooptcombo = 2;  // HTML table, folder captions
  settings.ComboCap = kCaptionFromSortedList;
  settings.CheckFpb = false;
  ui.dialogResults.push_back(FileDialogResult{"/elsewhere/list.html", 0});
  const BatchSummary s = run(BatchStyle::EachFolder);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "CHOOSE FILENAME (path is ignored!)");
  EXPECT_EQ(s.created, 2u);
  EXPECT_EQ(s.notWritten, 2u);
  const std::string page = home.readFile("music/rock/list.html");
  EXPECT_EQ(page.substr(0, 32), "<HTML><HEAD><TITLE>rock</TITLE><");
  EXPECT_NE(page.find("<Tr><tD CoLsPaN=4 ALign=CENTER mp3SCS=2><NOBR><em>rock</em></NObR></tD></tR><TR><TD ALign=LEFT>"
                      "<B>filename</B>"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(pop + "/list.html"));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "2 files created.\r\n2 files could not be written (probably invalid path).");
  EXPECT_EQ(ui.shown[0].icon, Icon::Exclamation);
}

TEST_F(BatchExportTest, EachFolderAsksAboutTheExtensionAndStopsOnCancel) {
  list.items = {exportItem("a", root())};
  ui.dialogResults.push_back(FileDialogResult{"x.xls", 0});
  ui.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(run(BatchStyle::EachFolder).ran);
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_TRUE(filesIn(root()).empty());

  ui.dialogResults.push_back(FileDialogResult{"x.xls", 0});
  ui.answers.push_back(Answer::No);
  EXPECT_EQ(run(BatchStyle::EachFolder).created, 1u);
  EXPECT_EQ(home.readFile("root/x.xls").substr(0, 2), "\x09\x08");
}

TEST_F(BatchExportTest, TypedCaptionIsAskedOnceForTables) {
  settings.ooptcombo = 2;
  settings.ComboCap = kCaptionAlwaysInput;
  list.items = {exportItem("a", "/x/one"), exportItem("b", "/x/two")};
  int asked = 0;
  askCaption = [&](CaptionRequest& r) {
    ++asked;
    r.accept("Best of", false);
    return true;
  };
  EXPECT_EQ(run(BatchStyle::ShortNames).created, 2u);
  EXPECT_EQ(asked, 1);
  EXPECT_NE(home.readFile("root/two.html").find("<em>Best of</em>"), std::string::npos);

  askCaption = [](CaptionRequest&) { return false; };
  ui.shown.clear();
  EXPECT_FALSE(run(BatchStyle::ShortNames).ran);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(BatchExportTest, EmptyListTooManyFoldersAndCancel) {
  EXPECT_FALSE(run(BatchStyle::ShortNames).ran);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"No items to export!"});

  ui.shown.clear();
  for (int i = 0; i < 100001; ++i) list.items.push_back(exportItem("s", "/f/" + std::to_string(i)));
  EXPECT_FALSE(run(BatchStyle::ShortNames).ran);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Too many folders to process. 100 000 max."});
  EXPECT_TRUE(filesIn(root()).empty());

  list.items.resize(5);
  ui.shown.clear();
  ui.cancelAfterEvents = ui.eventCalls + 2;  // cancelled while the second file is written
  EXPECT_FALSE(run(BatchStyle::ShortNames).ran);
  EXPECT_TRUE(ui.shown.empty());  // no summary
  EXPECT_EQ(filesIn(root()), std::vector<std::string>{"0.txt"});
}

TEST_F(BatchExportTest, XlsFolderOverTheRowLimitIsReportedOnce) {
  settings.ooptcombo = 3;
  list.items.assign(65536, exportItem("x", "/a"));
  list.items.resize(2 * 65536, exportItem("y", "/b"));
  list.items.push_back(exportItem("z", "/c"));
  const BatchSummary s = run(BatchStyle::ShortNames);
  EXPECT_EQ(s.created, 1u);
  EXPECT_EQ(s.notWritten, 2u);
  EXPECT_EQ(filesIn(root()), std::vector<std::string>{"c.xls"});
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Lists larger than 64K titles can't be exported to XLS format.",
                                                  "1 files created.\r\n2 files could not be written (probably invalid path)."}));
}

}  // namespace
}  // namespace sonalog
