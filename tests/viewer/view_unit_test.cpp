#include "viewer/ViewUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/Sorting.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/ViewTempFile.h"

namespace sonalog {
namespace {

using testing::namesOf;
using testing::viewerItem;
using testing::ViewerTest;
using Names = std::vector<std::string>;

// ---- Header-click sort and Re-sort ----

TEST_F(ViewerTest, HeaderClickAsksThenSorts) {
  settings.CheckEnum = true;
  openWith({"b", "c", "a"});
  list.sortCode = 63;
  EXPECT_FALSE(view.headerClick(0, pos));
  EXPECT_EQ(ui.texts(), Names{"You can't sort by numbers."});

  ui.answers = {Answer::No};
  EXPECT_FALSE(view.headerClick(1, pos));
  EXPECT_EQ(ui.shown.back().text,
            "SORT THE LIST BY FILENAME?\r\n\n(this won't affect main sorting option)");
  EXPECT_EQ(ui.shown.back().caption, "sorting");
  EXPECT_EQ(names(), (Names{"b", "c", "a"}));
  EXPECT_EQ(list.sortCode, 63);

  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.headerClick(1, pos));
  EXPECT_EQ(names(), (Names{"a", "b", "c"}));
  EXPECT_EQ(list.sortCode, 0);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(view.sortLabel(), "filename");

  // The same column again asks for the reverse order.
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.headerClick(1, pos));
  EXPECT_EQ(ui.shown.back().text,
            "SORT THE LIST BY FILENAME (REVERSE ORDER) ?\r\n\n(this won't affect main sorting option)");
  EXPECT_EQ(names(), (Names{"c", "b", "a"}));
  EXPECT_EQ(list.sortCode, 128);
  EXPECT_EQ(settings.mainSortCode(), 0);  // the main option is untouched

  // Another key starts ascending.
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.headerClick(view.grid().columnOf(ViewField::Size), pos));
  EXPECT_EQ(list.sortCode, kSortByFileSize);
}

// The names' keys prepared after opening give the order fresh keys give, whether the click
// comes before they are ready or after.
TEST_F(ViewerTest, KeysPreparedOnOpeningGiveThePlainOrder) {
  Names given;
  for (int i = 0; i < 2000; ++i)
    given.push_back(std::string(1, static_cast<char>((i % 2 ? 'a' : 'A') + i * 7 % 26)) + std::to_string(i % 97));
  for (bool wait : {false, true}) {
    list.sortCode = kSortUnsorted;
    openWith(given);
    while (wait && !view.sortKeysReady()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<ListItem> plain = list.items;
    sortItems(plain, {kSortByFileName, false, false});
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(view.headerClick(view.grid().columnOf(ViewField::FileName), pos));
    EXPECT_EQ(names(), namesOf(plain));
  }
}

TEST_F(ViewerTest, ArtistAndTitleColumnsOfferTheFileName) {
  settings.viewerSplitArtistTitle = true;
  openWith({"B - x", "A - y"});
  ui.answers = {Answer::No};
  EXPECT_FALSE(view.headerClick(1, pos));
  EXPECT_EQ(ui.shown.back().text,
            "You can't sort by artist or title.\r\nDo you want to sort by filename?\r\n\n(this won't "
            "affect main sorting option)");
  EXPECT_EQ(ui.shown.back().caption, "");
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.headerClick(0, pos));
  EXPECT_EQ(ui.shown.size(), 2u);  // no second question
  EXPECT_EQ(names(), (Names{"A - y", "B - x"}));
}

TEST_F(ViewerTest, ResortIsUndoneFromItsFile) {
  openWith({"c", "a", "b"});
  list.sortCode = 63;
  pos = {2, 1};
  ASSERT_TRUE(view.resortEnabled());
  EXPECT_TRUE(view.resort(pos));
  EXPECT_EQ(names(), (Names{"a", "b", "c"}));
  EXPECT_EQ(list.sortCode, 0);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(view.undoKind(), UndoKind::Resort);
  EXPECT_TRUE(std::filesystem::exists(view.undoFilePath()));

  GridPosition after;
  EXPECT_TRUE(view.undo(after));
  EXPECT_EQ(names(), (Names{"c", "a", "b"}));
  EXPECT_EQ(list.sortCode, 63);
  EXPECT_FALSE(list.unsaved);
  EXPECT_EQ(after, (GridPosition{2, 1}));
  EXPECT_FALSE(view.undoEnabled());
}

TEST_F(ViewerTest, SortingIsRefusedWhileFiltered) {
  openWith({"ab", "b", "ac"});
  ASSERT_TRUE(view.filter("a", false, pos));
  EXPECT_FALSE(view.headerClick(0, pos));
  EXPECT_EQ(ui.texts().back(), "You can't sort the filtered list.");
  EXPECT_FALSE(view.resortEnabled());
}

// ---- Filter ----

TEST_F(ViewerTest, FilterDeleteEditThenUnfilter) {
  openWith({"one", "Two", "three", "four", "twelve"});
  ASSERT_TRUE(view.filter("T", false, pos));
  EXPECT_TRUE(view.filtered());
  EXPECT_EQ(names(), (Names{"Two", "three", "twelve"}));
  EXPECT_EQ(view.caption(), " Internal List Viewer (3 of 5 items total), 01:18");
  EXPECT_EQ(view.undoKind(), UndoKind::Filter);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(view.commands().insert, (ViewCommand{ViewAction::Unfilter, true, true, "UNF&ILTER"}));
  EXPECT_TRUE(view.commands().primary.visible);

  // Delete "three", edit "twelve": the full list loses one and keeps the edit in place.
  EXPECT_EQ(view.deleteRows(1, 1, pos), ViewUnit::DeleteResult::Deleted);
  EXPECT_EQ(view.caption(), " Internal List Viewer (2 of 4 items total), 00:52");
  ListItem edited = list.items[1];
  edited.fileName = "twelve (live)";
  EXPECT_TRUE(view.edit(1, edited, 3, pos));  // placement is ignored while filtered
  EXPECT_EQ(names(), (Names{"Two", "twelve (live)"}));

  EXPECT_TRUE(view.unfilter(pos));
  EXPECT_FALSE(view.filtered());
  EXPECT_EQ(names(), (Names{"one", "Two", "four", "twelve (live)"}));
  EXPECT_EQ(view.undoKind(), UndoKind::Unfilter);
  EXPECT_EQ(view.commands().insert.caption, "&Insert");

  // Undo of the unfilter brings the filtered state back, with its deletion.
  EXPECT_TRUE(view.undo(pos));
  EXPECT_TRUE(view.filtered());
  EXPECT_EQ(names(), (Names{"Two", "twelve (live)"}));
  EXPECT_TRUE(view.unfilter(pos));
  EXPECT_EQ(names(), (Names{"one", "Two", "four", "twelve (live)"}));
}

TEST_F(ViewerTest, FilterWhereEverythingMatchesGivesTheSameListBack) {
  openWith({"xa", "xb", "xc"});
  ASSERT_TRUE(view.filter("X", false, pos));
  EXPECT_EQ(names(), (Names{"xa", "xb", "xc"}));
  EXPECT_TRUE(view.unfilter(pos));
  EXPECT_EQ(names(), (Names{"xa", "xb", "xc"}));
}

TEST_F(ViewerTest, FilterMatchCaseNoMatchAndUndo) {
  openWith({"Alpha", "beta", "ALPINE"});
  EXPECT_FALSE(view.filter("zzz", false, pos));
  EXPECT_EQ(ui.texts().back(), "No matches found. Not filtering.");
  EXPECT_TRUE(view.filterFilePath().empty());
  EXPECT_FALSE(list.unsaved);

  ASSERT_TRUE(view.filter("Alp", true, pos));
  EXPECT_EQ(names(), (Names{"Alpha"}));
  EXPECT_TRUE(view.undo(pos));  // the note's "cancel" undoes the filter like this
  EXPECT_FALSE(view.filtered());
  EXPECT_EQ(names(), (Names{"Alpha", "beta", "ALPINE"}));
  EXPECT_FALSE(list.unsaved);
}

TEST_F(ViewerTest, UndoOfAFilteredDeleteRestoresTheDeletedFlags) {
  openWith({"a1", "b1", "a2", "a3", "b2"});
  ASSERT_TRUE(view.filter("a", false, pos));
  EXPECT_EQ(view.deleteRows(0, 1, pos), ViewUnit::DeleteResult::Deleted);
  EXPECT_EQ(names(), (Names{"a3"}));
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"a1", "a2", "a3"}));
  EXPECT_TRUE(view.unfilter(pos));
  EXPECT_EQ(names(), (Names{"a1", "b1", "a2", "a3", "b2"}));
}

TEST_F(ViewerTest, DeletingEveryFilteredItemUnfilters) {
  openWith({"a1", "b1", "a2"});
  ASSERT_TRUE(view.filter("a", false, pos));
  ui.answers = {Answer::Cancel};
  EXPECT_EQ(view.deleteRows(0, 1, pos), ViewUnit::DeleteResult::Cancelled);
  EXPECT_EQ(ui.shown.back().text, "DELETE AND UNFILTER?");
  EXPECT_EQ(ui.shown.back().caption, " List to be cleared");
  ui.answers = {Answer::Ok};
  EXPECT_EQ(view.deleteRows(0, 1, pos), ViewUnit::DeleteResult::Unfiltered);
  EXPECT_FALSE(view.filtered());
  EXPECT_EQ(names(), (Names{"b1"}));
  EXPECT_FALSE(view.undoEnabled());
}

// A filter file long enough to be read in two halves gives the full list back in its order.
TEST_F(ViewerTest, LongFilterFileComesBackWhole) {
  std::vector<std::string> all;
  for (int i = 0; i < 10000; ++i) all.push_back((i % 3 == 0 ? "x" : "y") + std::to_string(i));
  settings.skipFilteredNote = true;
  openWith(all);
  ASSERT_TRUE(view.filter("x", false, pos));
  ASSERT_EQ(view.deleteRows(1, 1, pos), ViewUnit::DeleteResult::Deleted);  // "x3"
  ASSERT_TRUE(view.unfilter(pos));
  all.erase(all.begin() + 3);
  EXPECT_EQ(names(), all);
  ASSERT_TRUE(view.filter("x", false, pos));
  ASSERT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), all);
}

TEST_F(ViewerTest, MakePrimaryAndClosingWhileFiltered) {
  openWith({"a1", "b1", "a2"});
  ASSERT_TRUE(view.filter("a", false, pos));
  ui.answers = {Answer::No};
  EXPECT_FALSE(view.makePrimary());
  EXPECT_TRUE(view.filtered());
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(view.closeQuery());
  EXPECT_EQ(ui.shown.back().text,
            "Do you want to revert to the unfiltered list?\r\n\n(NO will irreversibly make this list "
            "primary)");
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.closeQuery());
  EXPECT_EQ(names(), (Names{"a1", "b1", "a2"}));

  view.open();
  ASSERT_TRUE(view.filter("a", false, pos));
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.makePrimary());
  EXPECT_FALSE(view.filtered());
  EXPECT_FALSE(view.undoEnabled());
  EXPECT_TRUE(view.filterFilePath().empty());
  EXPECT_EQ(names(), (Names{"a1", "a2"}));
  EXPECT_TRUE(view.closed());  // two items fewer than at opening
}

TEST_F(ViewerTest, FilterFileThatCannotBeWrittenOrRead) {
  openWith({"a1", "b1", "a2"});
  removeWorkingFolder();
  EXPECT_FALSE(view.filter("a", false, pos));
  // The message, then the file and the system's reason.
  EXPECT_TRUE(ui.texts().back().starts_with("Disk error writing temporary file!\r\n\r\n" + home.home()));
  EXPECT_TRUE(ui.texts().back().ends_with(": Not a directory"));
  EXPECT_EQ(names(), (Names{"a1", "b1", "a2"}));
  EXPECT_FALSE(list.unsaved);
  restoreWorkingFolder();

  ASSERT_TRUE(view.filter("a", false, pos));
  std::filesystem::remove(view.filterFilePath());
  EXPECT_FALSE(view.unfilter(pos));
  EXPECT_EQ(ui.shown.back().text, "Can't read temporary backup file!");
  EXPECT_EQ(ui.shown.back().caption, " disk error");
  EXPECT_TRUE(view.filtered());
  EXPECT_EQ(names(), (Names{"a1", "a2"}));
  // Closing with "revert" keeps the viewer open rather than lose the full list silently.
  ui.answers = {Answer::Yes};
  EXPECT_FALSE(view.closeQuery());
}

// ---- Delete ----

TEST_F(ViewerTest, DeleteAndUndoKeepRowNumbers) {
  openWith({"a", "b", "c", "d"});
  pos = {3, 2};
  EXPECT_EQ(view.deleteRows(2, 3, pos), ViewUnit::DeleteResult::Deleted);
  EXPECT_EQ(names(), (Names{"a", "b"}));
  EXPECT_EQ(pos, (GridPosition{1, 0}));
  EXPECT_EQ(view.undoKind(), UndoKind::Delete);
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"a", "b", "c", "d"}));
  EXPECT_EQ(pos, (GridPosition{3, 2}));
  EXPECT_FALSE(list.unsaved);
}

TEST_F(ViewerTest, DeletingEverythingClosesTheViewer) {
  openWith({"a", "b"});
  list.listName = "mine.snlg";
  EXPECT_EQ(view.deleteRows(0, 1, pos), ViewUnit::DeleteResult::Cancelled);  // safe default
  EXPECT_EQ(ui.shown.back().text, "DELETE AND CLOSE?");
  ui.answers = {Answer::Ok};
  EXPECT_EQ(view.deleteRows(0, 1, pos), ViewUnit::DeleteResult::CloseViewer);
  EXPECT_TRUE(list.items.empty());
  EXPECT_TRUE(list.listName.empty());
}

TEST_F(ViewerTest, UndoFileThatCannotBeWrittenOrRead) {
  openWith({"a", "b", "c"});
  removeWorkingFolder();
  EXPECT_EQ(view.deleteRows(0, 0, pos), ViewUnit::DeleteResult::Refused);
  EXPECT_TRUE(ui.texts().back().starts_with("Fatal disk error writing temporary file!\r\nCan't erase!\r\n\r\n"));
  EXPECT_EQ(names(), (Names{"a", "b", "c"}));

  // A whole-list snapshot that fails: the sort still happens, without undo.
  list.sortCode = 63;
  EXPECT_TRUE(view.resort(pos));
  EXPECT_TRUE(ui.shown.back().text.starts_with("Error trying to prepare undo.\r\nCan't write temporary file.\r\n"));
  EXPECT_EQ(ui.shown.back().caption, " disk error");
  EXPECT_FALSE(view.undoEnabled());
  restoreWorkingFolder();

  // An undo file damaged under the viewer: the list stays as it is.
  list.sortCode = 63;
  list.items = {viewerItem("z"), viewerItem("y")};
  ASSERT_TRUE(view.resort(pos));
  std::filesystem::resize_file(view.undoFilePath(), 10);
  EXPECT_FALSE(view.undo(pos));
  EXPECT_EQ(ui.shown.back().text, "Unexpected error reading temporary file!\r\nUndo failed.");
  EXPECT_EQ(ui.shown.back().caption, "error");
  EXPECT_EQ(names(), (Names{"y", "z"}));
  EXPECT_FALSE(view.undoEnabled());
}

// ---- Edit and insert ----

TEST_F(ViewerTest, EditWithoutResortingAndUndo) {
  openWith({"a", "b", "c"});
  list.sortCode = 0;
  ListItem rec = list.items[1];
  EXPECT_FALSE(view.edit(1, rec, 0, pos));  // unchanged: nothing happens
  rec.fileName = "z";
  rec.averageKbps = 99;
  list.items[1].averageKbps = 5;
  EXPECT_TRUE(view.edit(1, rec, 0, pos));
  EXPECT_EQ(names(), (Names{"a", "z", "c"}));
  EXPECT_EQ(list.items[1].averageKbps, 5);  // an item copy keeps the average
  EXPECT_EQ(view.sortLabel(), "not sorted");
  EXPECT_EQ(view.undoKind(), UndoKind::Edit);
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"a", "b", "c"}));
  EXPECT_EQ(list.sortCode, 0);
}

TEST_F(ViewerTest, EditWithResortUndoesFromTheFile) {
  openWith({"a", "b", "c"});
  list.sortCode = 0;
  ListItem rec = list.items[0];
  rec.fileName = "d";
  EXPECT_TRUE(view.edit(0, rec, 2, pos));
  EXPECT_EQ(names(), (Names{"b", "c", "d"}));
  EXPECT_EQ(view.undoKind(), UndoKind::EditResort);
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"a", "b", "c"}));

  settings.sortcombo = kSortByFileSize;
  settings.CheckDescend = true;
  rec = list.items[1];
  rec.sizeKB = 9999;
  EXPECT_TRUE(view.edit(1, rec, 3, pos));
  EXPECT_EQ(list.sortCode, kSortByFileSize | kSortDescending);
  EXPECT_EQ(list.items[0].fileName, "b");
}

TEST_F(ViewerTest, InsertPlacesAndUndoes) {
  openWith({"b", "d"});
  list.sortCode = 0;
  pos = {1, 0};
  EXPECT_TRUE(view.insert(1, viewerItem("c"), 0, pos));
  EXPECT_EQ(names(), (Names{"b", "c", "d"}));
  EXPECT_EQ(pos.current, 1u);
  EXPECT_EQ(view.undoKind(), UndoKind::Insert);
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"b", "d"}));

  EXPECT_TRUE(view.insert(1, viewerItem("e"), 1, pos));
  EXPECT_EQ(names(), (Names{"b", "d", "e"}));
  EXPECT_EQ(pos.current, 2u);

  EXPECT_TRUE(view.insert(0, viewerItem("a"), 2, pos));
  EXPECT_EQ(names(), (Names{"a", "b", "d", "e"}));
  EXPECT_EQ(pos.current, 0u);
  EXPECT_EQ(view.undoKind(), UndoKind::InsertResort);
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"b", "d", "e"}));
}

TEST_F(ViewerTest, UndoOfAnInsertedTwinAsksWhichToRemove) {
  openWith({"a", "b"});
  EXPECT_TRUE(view.insert(0, viewerItem("b"), 0, pos));
  EXPECT_EQ(names(), (Names{"b", "a", "b"}));
  ui.answers = {Answer::No};
  EXPECT_FALSE(view.undo(pos));
  EXPECT_EQ(ui.shown.back().caption, "WARNING - READ CAREFULLY");
  EXPECT_NE(ui.shown.back().text.find("(line no. 3) ?\r\n(note: sorting will NOT be restored"),
            std::string::npos);
  EXPECT_EQ(names(), (Names{"b", "a", "b"}));
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(view.undo(pos));
  EXPECT_EQ(names(), (Names{"b", "a"}));  // the last one found goes

  EXPECT_TRUE(view.insert(0, viewerItem("q"), 0, pos));
  list.items[0].fileName = "gone";
  EXPECT_FALSE(view.undo(pos));
  EXPECT_EQ(ui.shown.back().text, "Inserted item not found!");
  EXPECT_EQ(ui.shown.back().caption, "internal error");
}

}  // namespace
}  // namespace sonalog

namespace sonalog {
namespace {

using testing::viewerItem;
using testing::ViewerTest;
using Names = std::vector<std::string>;

TEST_F(ViewerTest, EveryCommandLeavesTheBusyCursorOff) {
  openWith({"a1", "b1", "a2", "c"});
  ListItem rec = list.items[0];
  rec.fileName = "a0";
  EXPECT_TRUE(view.edit(0, rec, 0, pos));
  EXPECT_TRUE(view.insert(0, viewerItem("d"), 2, pos));
  EXPECT_TRUE(view.undo(pos));
  EXPECT_FALSE(view.filter("zz", false, pos));
  EXPECT_TRUE(view.filter("a", false, pos));
  EXPECT_TRUE(view.unfilter(pos));
  EXPECT_TRUE(view.resort(pos));
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_FALSE(view.busy());
}

TEST_F(ViewerTest, NewPicturesKeepTheRowsTheUserStandsOn) {
  view.setTextWidth([](std::string_view s) { return static_cast<int>(s.size()) * 7; });
  openWith(Names(50, "song - title"));
  view.selection().setVisibleRows(10);
  view.selection().select({20, 24});
  // The dialog's stand-in for a family that is not installed, chosen again, keeps the stored name.
  settings.viewerFont.name = "Courier New";
  view.setFont("DejaVu Sans Mono", kFontBold, 14, "DejaVu Sans Mono");
  EXPECT_EQ(settings.viewerFont.name, "Courier New");
  view.setFont("Liberation Mono", kFontBold, 14, "DejaVu Sans Mono");
  EXPECT_EQ(settings.viewerFont.name, "Liberation Mono");
  view.setSplit(true);
  view.setManualWidths(true);
  view.rebuild();
  EXPECT_EQ(view.selection().range(), (RowRange{20, 24}));
  // Manual widths begin where the automatic ones were, not at the stored defaults.
  EXPECT_EQ(view.columnWidths(2000)[0], 6 * 7 + 4);  // " song ", as automatic widths had it
}

TEST_F(ViewerTest, AListOverTheLimitKeepsItsCountsAndHeaders) {
  list.items.assign(kMaxViewerItems + 1, viewerItem("x"));
  view.setTextWidth([](std::string_view s) { return static_cast<int>(s.size()) * 7; });
  view.open();
  EXPECT_EQ(ui.texts(), Names{kTooLargeText});
  EXPECT_EQ(view.caption(), " Internal List Viewer (262145 items), 79.06:11:09");
  EXPECT_FALSE(view.resortEnabled());
  EXPECT_TRUE(view.selection().empty());
  for (int w : view.columnWidths(800)) EXPECT_GE(w, 7 * 4);
}

}  // namespace
}  // namespace sonalog
