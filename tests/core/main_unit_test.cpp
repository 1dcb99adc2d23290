#include "core/MainUnit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

// Lets a test look at the main window while a scan runs.
class ProbeUi : public FakeUi {
 public:
  std::function<void()> during;
  bool processEvents() override {
    if (during) during();
    return FakeUi::processEvents();
  }
};

ListItem item(const std::string& name) {
  ListItem it;
  it.fileName = name;
  it.folder = "/music";
  it.bitrateCode = 9;
  it.sizeKB = 4000;
  it.frames = 9000;
  return it;
}

class MainUnitTest : public ::testing::Test {
 protected:
  MainUnitTest() { EXPECT_TRUE(unit.startUp({}, home.path("program"))); }

  void fill(size_t count, bool unsaved) {
    unit.list().items.assign(count, item("x"));
    unit.list().unsaved = unsaved;
  }
  std::string writeList(const std::string& relative, size_t count) {
    std::vector<ListItem> items;
    for (size_t i = 0; i < count; ++i) items.push_back(item("song " + std::to_string(i)));
    const std::string path = home.path(relative);
    EXPECT_TRUE(writeListFile(path, items, 0));
    return path;
  }

  TempHome home;
  ProbeUi ui;
  MainUnit unit{ui};
};

TEST(MainUnitStartTest, StartUpDeletesTemporaryFilesAndWritesDefaults) {
  TempHome home;
  for (const char* name : kTemporaryFiles) home.writeFile(std::string("home/") + name, "left over");
  FakeUi ui;
  MainUnit unit(ui);
  ASSERT_TRUE(unit.startUp({}, home.path("program")));
  for (const char* name : kTemporaryFiles) EXPECT_FALSE(platform::fileExists(home.home() + name)) << name;
  EXPECT_TRUE(platform::fileExists(home.home() + "mp3snlg.ini"));
  EXPECT_EQ(unit.status(), "Ready.");
  EXPECT_TRUE(ui.shown.empty());

  // A new configuration points the folder list at the root of the working folder's volume.
  unit.activate({});
  EXPECT_EQ(unit.folder(), unit.settings().mainFolder);
  EXPECT_TRUE(platform::fileFacts(unit.folder())->isDirectory);
  unit.settings().mainFolder = home.path("gone");
  unit.activate({});
  EXPECT_EQ(unit.folder(), platform::homeFolder());
  const MainCommands c = unit.commands();
  EXPECT_FALSE(c.saveAs || c.exportList || c.batch || c.view || c.append || c.viewExternal || c.cancelVisible);
  EXPECT_TRUE(c.load && c.import && c.newScan && c.options && c.searchAllDrives && c.folderChoice &&
              c.includeSubfolders && c.font && c.about && c.newAppendVisible);
}

TEST_F(MainUnitTest, StartUpListFromTheCommandLineOrTheOptions) {
  const std::string two = writeList("two.snlg", 2);
  unit.activate({two});
  EXPECT_EQ(unit.list().itemCount(), 2u);
  EXPECT_EQ(unit.status(), "Loaded 2 items.");
  EXPECT_EQ(unit.list().listName, "two.snlg");
  EXPECT_TRUE(unit.commands().saveAs && unit.commands().view && unit.commands().append);

  // A list that cannot be read is passed over silently for "On startup:".
  unit.list().clear();
  unit.settings().ListLoadCombo = 1;
  unit.settings().lastSavedList = writeList("one.snlg", 1);
  unit.activate({home.path("missing.snlg")});
  EXPECT_EQ(unit.list().itemCount(), 1u);
  EXPECT_EQ(unit.status(), "Loaded 1 item.");

  unit.list().clear();
  unit.settings().ListLoadCombo = 2;
  unit.settings().startupList = home.path("missing.snlg");
  unit.activate({});
  EXPECT_EQ(unit.list().itemCount(), 0u);
  EXPECT_TRUE(ui.shown.empty());

  // Two arguments are not a list to load.
  unit.settings().ListLoadCombo = 0;
  unit.activate({two, two});
  EXPECT_EQ(unit.list().itemCount(), 0u);
}

TEST_F(MainUnitTest, UnsavedListQuestionFollowsTheThreshold) {
  bool viewerClosed = false;
  unit.setCloseViewer([&] { viewerClosed = true; });
  fill(499, true);
  EXPECT_TRUE(unit.clearList());
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_TRUE(viewerClosed);
  EXPECT_EQ(unit.status(), "Ready.");

  fill(500, true);
  ui.answers = {Answer::No};
  EXPECT_FALSE(unit.clearList());
  EXPECT_EQ(unit.list().itemCount(), 500u);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "With unsaved list, are you sure?\r\n(NO will cancel the operation and let you save)");
  EXPECT_EQ(ui.shown[0].caption, "warning");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);

  // NEW asks the same and ends when the list is kept.
  ui.answers = {Answer::No};
  EXPECT_EQ(unit.newScan().outcome, ScanOutcome::Declined);
  EXPECT_EQ(unit.list().itemCount(), 500u);

  ui.answers = {Answer::No};
  EXPECT_FALSE(unit.closeQuery());
  EXPECT_EQ(ui.shown.back().text, "With unsaved list... are you sure?");
  EXPECT_EQ(ui.shown.back().caption, "quit?");

  // A saved list, or threshold 0, never asks.
  unit.list().unsaved = false;
  EXPECT_TRUE(unit.closeQuery());
  unit.list().unsaved = true;
  unit.settings().EditMaxcursav = 0;
  const size_t asked = ui.shown.size();
  EXPECT_TRUE(unit.closeQuery());
  EXPECT_TRUE(unit.clearList());
  EXPECT_EQ(ui.shown.size(), asked);
}

TEST_F(MainUnitTest, ScanDisablesTheWindowAndClosingAsksFirst) {
  ASSERT_TRUE(testing::writeBytes(home.path("music/a.mp3"), testing::Mp3Builder().frames(testing::mpeg1(9), 40).str()));
  unit.settings().minsizetext = 1;
  unit.setFolder(home.path("music"));
  EXPECT_EQ(unit.settings().mainFolder, home.path("music"));
  EXPECT_EQ(unit.appendScan().outcome, ScanOutcome::Declined);  // empty list

  std::vector<MainCommands> seen;
  bool closeAllowed = true;
  ui.during = [&] {
    if (!seen.empty()) return;
    seen.push_back(unit.commands());
    ui.answers.push_front(Answer::No);
    closeAllowed = unit.closeQuery();
    EXPECT_EQ(unit.newScan().outcome, ScanOutcome::Declined);  // no second scan meanwhile
  };
  const ScanResult r = unit.newScan();
  EXPECT_EQ(r.status, "Added: 1 of 1. Total: 1 item.");
  EXPECT_EQ(unit.status(), r.status);
  ASSERT_EQ(seen.size(), 1u);
  MainCommands busy;
  busy.newAppendVisible = false;
  busy.cancelVisible = true;
  EXPECT_EQ(seen[0], busy);  // only About stays
  EXPECT_FALSE(closeAllowed);
  EXPECT_EQ(ui.shown.back().text, "The process is running... are you sure?");
  EXPECT_EQ(ui.shown.back().caption, "quit?");
  EXPECT_TRUE(unit.commands().append && unit.commands().saveAs);

  // The duplicates search or comparison window blocks scans.
  unit.setSecondaryRunOpen(true, false);
  EXPECT_EQ(unit.appendScan().outcome, ScanOutcome::Declined);
  unit.setSecondaryRunOpen(false, false);

  // After a load, APPEND from the same folder no longer counts as "unchanged".
  unit.listLoaded("Loaded 1 item.");
  ui.during = nullptr;
  const size_t asked = ui.shown.size();
  EXPECT_EQ(unit.appendScan().status, "Added: 1 of 1. Total: 2 items.");
  EXPECT_EQ(ui.shown.size(), asked);
}

TEST_F(MainUnitTest, FolderControlsFontAndExternalView) {
  unit.setSearchAllDrives(true);
  EXPECT_FALSE(unit.commands().folderChoice);
  EXPECT_FALSE(unit.commands().includeSubfolders);
  EXPECT_TRUE(unit.settings().sadcheck);

  unit.setFontSize(32);
  unit.changeFontSize(1);
  EXPECT_EQ(unit.settings().folderTreeFont.size, 32);
  unit.setFontSize(4);
  unit.changeFontSize(-1);
  EXPECT_EQ(unit.settings().folderTreeFont.size, 4);

  EXPECT_FALSE(unit.confirmViewExternal());
  unit.setLastExport("/out/list.html");
  EXPECT_TRUE(unit.commands().viewExternal);
  EXPECT_TRUE(unit.confirmViewExternal());
  EXPECT_TRUE(ui.shown.empty());
  unit.setLastExport("/out/list.M3U");
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(unit.confirmViewExternal());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "This will play all the files.\r\nContinue?");
  EXPECT_EQ(ui.shown[0].caption, "prompt");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::OkCancel);

  // Closing keeps the configuration and removes the temporary files.
  home.writeFile("home/main.(file).tmp", "copy");
  unit.close();
  EXPECT_FALSE(platform::fileExists(home.home() + "main.(file).tmp"));
  Settings saved;
  ASSERT_TRUE(loadSettings(home.home() + "mp3snlg.ini", saved));
  EXPECT_TRUE(saved.sadcheck);
  EXPECT_EQ(saved.folderTreeFont.size, 4);
}

}  // namespace
}  // namespace sonalog
