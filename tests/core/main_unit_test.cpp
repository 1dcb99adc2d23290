#include "core/MainUnit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Items.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"
#include "viewer/ViewUnit.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

// Lets a test look at the main window while a scan runs.
class ProbeUi : public FakeUi {
 public:
  std::function<void()> during;
  std::function<void()> asking;  // while a box is open
  bool processEvents() override {
    if (during) during();
    return FakeUi::processEvents();
  }
  Answer show(const MessageBox& box) override {
    if (asking) asking();
    return FakeUi::show(box);
  }
};

ListItem item(const std::string& name) { return testing::ItemBuilder(name); }

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

  // A new configuration starts the folder list in the home folder, and the main window centres
  // itself, as it does for a reset position written for another screen; a moved window stays.
  EXPECT_TRUE(unit.mainWindowAtResetPosition());
  unit.activate({});
  EXPECT_EQ(unit.folder(), platform::homeFolder());
  EXPECT_EQ(unit.settings().mainFolder, platform::homeFolder());
  Settings assumed;
  setAllDefaults(assumed, ScreenSize{});
  for (const WindowPosition& pos : {assumed.mainWindowPos, WindowPosition{10, 20}}) {
    unit.settings().mainWindowPos = pos;
    ASSERT_TRUE(saveSettings(unit.settings(), unit.configPath(), ui, false));
    MainUnit again(ui);
    ASSERT_TRUE(again.startUp({}, home.path("program"), ScreenSize{1280, 800}));
    EXPECT_EQ(again.mainWindowAtResetPosition(), pos == assumed.mainWindowPos);
  }
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
  EXPECT_EQ(unit.status(), "Ready.");

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

TEST_F(MainUnitTest, ClosingSettlesAFilteredViewerBeforeTheUnsavedQuestion) {
  for (int i = 0; i < 600; ++i) unit.list().items.push_back(item(i % 2 ? "keep " + std::to_string(i) : "drop"));
  unit.list().unsaved = true;
  ViewUnit view(unit.list(), unit.settings(), unit.ui());
  view.open();
  unit.viewerOpened();
  GridPosition pos;
  ASSERT_TRUE(view.filter("keep", false, pos));
  ASSERT_EQ(unit.list().itemCount(), 300u);
  bool viewerOpen = true;
  unit.setViewerExit([&] {
    if (!viewerOpen || !view.closeQuery()) return !viewerOpen;
    viewerOpen = false;
    unit.viewerClosed(view.closed());
    return true;
  });

  ui.answers = {Answer::Cancel};  // the viewer's question: both windows stay
  EXPECT_FALSE(unit.closeQuery());
  EXPECT_TRUE(viewerOpen && ui.shown.size() == 1 && ui.shown[0].caption == "prompt");
  // Yes puts the whole list back before the unsaved question, which is about those 600 items.
  ui.answers = {Answer::Yes, Answer::No};
  EXPECT_FALSE(unit.closeQuery());
  EXPECT_FALSE(viewerOpen);
  EXPECT_EQ(unit.list().itemCount(), 600u);
  EXPECT_EQ(ui.shown.back().text, "With unsaved list... are you sure?");
}

TEST_F(MainUnitTest, LocationLineGoesOnlyToFoldersThatExist) {
  std::filesystem::create_directories(home.path("music/rock"));
  unit.setFolder(home.path("music"));
  EXPECT_TRUE(unit.goToFolder(" rock/ "));
  EXPECT_EQ(unit.folder(), home.path("music/rock"));
  EXPECT_TRUE(unit.goToFolder(home.path("music/rock/..")));
  EXPECT_EQ(unit.settings().mainFolder, home.path("music"));
  EXPECT_FALSE(unit.goToFolder(home.path("gone")));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"There is no folder\r\n" + home.path("gone")});
  EXPECT_EQ(unit.folder(), home.path("music"));
  EXPECT_TRUE(unit.goToFolder("~"));
  EXPECT_EQ(unit.folder(), platform::homeFolder());
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
  ASSERT_TRUE(unit.openSearchWindow(SearchWindow::Duplicates));
  EXPECT_FALSE(unit.openSearchWindow(SearchWindow::Duplicates));  // one of each at a time
  EXPECT_EQ(unit.appendScan().outcome, ScanOutcome::Declined);
  const MainCommands refused = unit.commands();
  EXPECT_FALSE(refused.options || refused.newScan || refused.append || refused.load || refused.saveAs || refused.view);
  unit.searchWindowClosed(SearchWindow::Duplicates);

  // APPEND from the same drive and folder asks first, before CANCEL shows.
  ui.during = nullptr;
  bool cancelWhileAsked = true;
  ui.asking = [&] { cancelWhileAsked = unit.commands().cancelVisible; };
  ui.answers.push_front(Answer::No);
  EXPECT_EQ(unit.appendScan().outcome, ScanOutcome::Declined);
  EXPECT_EQ(ui.shown.back().caption, "please confirm");
  EXPECT_FALSE(cancelWhileAsked);
  ui.asking = nullptr;

  // After a load, APPEND from the same folder no longer counts as "unchanged".
  unit.listLoaded("Loaded 1 item.");
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

// A working folder that cannot take files ends the program only when no configuration can be read
// either; otherwise the program starts on it, says once that nothing is saved, and saves nothing.
TEST(MainUnitStartTest, AWorkingFolderThatCannotTakeFilesStartsOnTheConfigurationItCanRead) {
  TempHome home;
  home.writeFile("plain", "a file where the folder should be");
  ::setenv("SONALOG_HOME", home.path("plain/sub").c_str(), 1);
  const std::string where = "the working folder " + home.path("plain/sub") + "/: Not a directory.";
  FakeUi ui;
  EXPECT_FALSE(MainUnit(ui).startUp({}, home.path("program")));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"No configuration can be read or written in " + where});
  EXPECT_EQ(ui.shown[0].caption, "error");

  Settings mine;
  mine.CheckTime = false;
  home.writeFile("my.ini", encodeSettings(mine));
  FakeUi read;
  MainUnit unit(read);
  ASSERT_TRUE(unit.startUp(home.path("my.ini"), home.path("program")));
  EXPECT_FALSE(unit.settings().CheckTime);
  unit.close();
  EXPECT_EQ(read.texts(), std::vector<std::string>{"Settings and lists cannot be saved in " + where});
}

TEST_F(MainUnitTest, StatusLineFollowsEveryCommandThroughTheUnitsInterface) {
  // A status set by the logic through ui() is the unit's status too.
  unit.ui().setStatus("Exporting...");
  EXPECT_EQ(unit.status(), "Exporting...");
  EXPECT_EQ(ui.lastStatus(), "Exporting...");

  // Load replaces an empty list without the options window and reports the count.
  const std::string two = writeList("two.snlg", 2);
  bool windowShown = false;
  const LoadOptionsWindowFn window = [&](const LoadMergeChoice& initial) -> std::optional<LoadMergeChoice> {
    windowShown = true;
    EXPECT_EQ(unit.activity(), MainActivity::Load);
    LoadMergeChoice merge = initial;
    merge.merge = true;
    merge.appendSort = AppendSort::DontSort;
    return merge;
  };
  ui.dialogResults.push_back(FileDialogResult{two, 0});
  EXPECT_EQ(unit.loadClick(window, false), CommandResult::Done);
  EXPECT_FALSE(windowShown);
  EXPECT_EQ(unit.status(), "Loaded 2 items.");
  EXPECT_EQ(ui.dialogs.back().title, " - LOAD A LIST - ");
  EXPECT_EQ(unit.activity(), MainActivity::Idle);

  // A second load merges through the window.
  ui.dialogResults.push_back(FileDialogResult{two, 0});
  EXPECT_EQ(unit.loadClick(window, false), CommandResult::Done);
  EXPECT_TRUE(windowShown);
  EXPECT_EQ(unit.list().itemCount(), 4u);
  EXPECT_TRUE(unit.list().unsaved);
  EXPECT_EQ(unit.list().sortCode, kSortUnsorted);
  EXPECT_EQ(unit.status(), "Loaded 2, total 4 items.");
  EXPECT_EQ(unit.settings().loadMergeAppend, 1);

  // Closing the window without GO ends the command before the dialog.
  const size_t dialogs = ui.dialogs.size();
  EXPECT_EQ(unit.loadClick([](const LoadMergeChoice&) { return std::optional<LoadMergeChoice>(); }, false),
            CommandResult::Cancelled);
  EXPECT_EQ(ui.dialogs.size(), dialogs);

  // Save as marks the list saved; nothing happens while the comparison window is open.
  ui.dialogResults.push_back(FileDialogResult{home.path("saved.snlg"), 0});
  EXPECT_EQ(unit.saveAsClick(), CommandResult::Done);
  EXPECT_FALSE(unit.list().unsaved);
  EXPECT_EQ(unit.settings().lastSavedList, home.path("saved.snlg"));
  unit.openSearchWindow(SearchWindow::Compare);
  EXPECT_EQ(unit.saveAsClick(), CommandResult::Ignored);
  EXPECT_EQ(unit.loadClick(window, false), CommandResult::Ignored);
  EXPECT_EQ(unit.newScan().outcome, ScanOutcome::Declined);
  unit.searchWindowClosed(SearchWindow::Compare);

  // A failed replacing load ends with a cleared list and the window reset.
  home.writeFile("bad.snlg", "not a list");
  unit.list().unsaved = false;
  ui.dialogResults.push_back(FileDialogResult{home.path("bad.snlg"), 0});
  unit.settings().DontShowCheck = true;  // replaces without the window
  EXPECT_EQ(unit.loadClick(window, false), CommandResult::Failed);
  EXPECT_EQ(ui.shown.back().text, "Not a Sonalog file!");
  EXPECT_EQ(unit.list().itemCount(), 0u);
  EXPECT_EQ(unit.status(), "Ready.");
  EXPECT_FALSE(unit.commands().saveAs);
}

TEST_F(MainUnitTest, ViewerOpeningAndClosingReportChanges) {
  EXPECT_FALSE(unit.canView());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "No data to view");
  EXPECT_EQ(ui.shown[0].caption, "Warning");

  fill(3, false);
  unit.setStatus("Loaded 3 items.");
  EXPECT_TRUE(unit.canView());
  unit.viewerOpened();
  unit.viewerClosed(false);
  EXPECT_EQ(unit.status(), "Loaded 3 items.");  // nothing changed, nothing said
  EXPECT_FALSE(unit.list().unsaved);

  unit.viewerOpened();
  unit.list().items.pop_back();  // a deletion the viewer did not report
  unit.viewerClosed(false);
  EXPECT_EQ(unit.status(), "Altered, 2 items.");
  EXPECT_TRUE(unit.list().unsaved);

  // An unsaved list counts as changed on every close.
  unit.setStatus("x");
  unit.viewerOpened();
  unit.viewerClosed(false);
  EXPECT_EQ(unit.status(), "Altered, 2 items.");

  // A comparison in the viewer that removed every item resets the window without asking.
  fill(600, true);
  unit.viewerEmptiedList();
  EXPECT_EQ(unit.list().itemCount(), 0u);
  EXPECT_EQ(unit.status(), "Ready.");
  EXPECT_FALSE(unit.commands().view);
  EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(MainUnitTest, ViewExternalOpensTheExportRestsUntilItsTimerAndReportsFailures) {
  EXPECT_FALSE(unit.viewExternalClick());
  home.writeFile("out/list.txt", "a");
  unit.setLastExport(home.path("out/list.txt"));
  EXPECT_TRUE(unit.viewExternalClick());
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0], std::make_pair(home.path("out/list.txt"), false));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(unit.commands().viewExternal);
  EXPECT_FALSE(unit.viewExternalClick());  // a second click before the timer does nothing
  unit.viewExternalTimer();
  EXPECT_TRUE(unit.commands().viewExternal);

  // The desktop's failures and a file that has gone: a text export is a document, not music.
  ui.openResults = {OpenResult::NoAssociation};
  EXPECT_TRUE(unit.viewExternalClick());
  EXPECT_EQ(ui.shown.back().text, "There's no application to open\r\n" + home.path("out/list.txt"));
  EXPECT_EQ(ui.shown.back().caption, "Warning");
  unit.viewExternalTimer();
  unit.setLastExport(home.path("out/gone.txt"));
  EXPECT_TRUE(unit.viewExternalClick());
  EXPECT_EQ(ui.shown.back().text, "The file doesn't exist:\r\n" + home.path("out/gone.txt"));
  EXPECT_EQ(ui.opened.size(), 2u);  // a missing file never reaches the desktop

  // A playlist asks first; Cancel leaves the button as it was. OK opens it.
  unit.viewExternalTimer();
  home.writeFile("out/all.m3u", "#EXTM3U\r\n");
  unit.setLastExport(home.path("out/all.m3u"));
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(unit.viewExternalClick());
  EXPECT_TRUE(unit.commands().viewExternal);
  ui.answers = {Answer::Ok};
  ui.openResults = {OpenResult::NoAssociation};
  EXPECT_TRUE(unit.viewExternalClick());
  EXPECT_EQ(ui.shown.back().text,
            "Looks like there's no application\r\nregistered to open m3u lists on your system.");
}

TEST_F(MainUnitTest, ActivityIsReportedOnceAndSecondStartTextsAreExact) {
  std::vector<MainActivity> seen;
  unit.setActivityChanged([&] { seen.push_back(unit.activity()); });
  {
    const MainUnit::ActivityGuard outer(unit, MainActivity::Import);
    const MainUnit::ActivityGuard inner(unit, MainActivity::Export);  // keeps the import
    EXPECT_EQ(unit.activity(), MainActivity::Import);
    EXPECT_TRUE(unit.closeQuery() == false);
    EXPECT_EQ(ui.shown.back().text, "The process is running... are you sure?");
  }
  EXPECT_EQ(seen, (std::vector<MainActivity>{MainActivity::Import, MainActivity::Idle}));

  EXPECT_EQ(alreadyRunningText(0), "mp3 Sonalog already running.\r\nSorry, only one instance is allowed.");
  EXPECT_EQ(alreadyRunningText(2), alreadyRunningText(0));
  EXPECT_EQ(alreadyRunningText(1),
            "mp3 Sonalog already running.\r\nSorry, only one instance is allowed.\r\n\nPlease note that you "
            "can't use this application\r\nto open and view multiple lists!");
}

}  // namespace
}  // namespace sonalog
