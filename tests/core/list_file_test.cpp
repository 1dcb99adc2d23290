#include "core/ListFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "core/Sorting.h"
#include "settings/Settings.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Items.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

// ---- Building files by hand, independently of the writer ----

std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string le32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string str16(const std::string& s) { return le16(static_cast<unsigned>(s.size())) + s; }
std::string str8(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string byte(unsigned b) { return std::string(1, static_cast<char>(b)); }

const std::string kCurrent = "\x6C\x33\x5A\xF7";
const std::string kSecond = "\xFD\xFD\x05\x22";
const std::string kThird = "\x03\x51\x76\x78";

// The 19-byte block: bitrateCode, sizeKB, frames, stereoMode, frequencyCode, fileDate, dateAdded.
std::string block19(unsigned bitrate, int32_t sizeKB, int32_t frames, unsigned stereo, unsigned freq, int32_t fileDate,
                    int32_t dateAdded) {
  return byte(bitrate) + le32(sizeKB) + le32(frames) + byte(stereo) + byte(freq) + le32(fileDate) + le32(dateAdded);
}

ListItem item(std::string name, std::string folder, std::string label, uint8_t bitrate, int32_t sizeKB, int32_t frames,
              uint8_t stereo, uint8_t freq, int32_t fileDate, int32_t dateAdded, uint16_t avg = 0) {
  return testing::ItemBuilder(std::move(name)).folder(std::move(folder)).label(std::move(label)).bitrate(bitrate)
      .sizeKB(sizeKB).frames(frames).stereo(stereo).frequency(freq).fileDate(fileDate).dateAdded(dateAdded)
      .averageKbps(avg);
}

std::vector<ListItem> twoItems() {
  return {item("Artist - Song", "/music/a", "DATA", 9, 3750, 9188, 1, 0, 45000, 45100, 128),
          item("Live \xE9t\xE9", "c:\\mp3", "", kBitrateVbr, -1, 12000, 4, 255, -3, 45101, 187)};
}

// What twoItems() must be written as, byte for byte.
std::string twoItemsBytes(uint8_t sortCode) {
  return kCurrent + byte(sortCode) +
         str16("Artist - Song") + str16("/music/a") + str8("DATA") + block19(9, 3750, 9188, 1, 0, 45000, 45100) +
         str16("Live \xE9t\xE9") + str16("c:\\mp3") + str8("") + block19(16, -1, 12000, 4, 255, -3, 45101) + le16(187);
}

std::vector<std::string> names(const InternalList& l) {
  std::vector<std::string> out;
  for (const ListItem& it : l.items) out.push_back(it.fileName);
  return out;
}

class ListFileTest : public ::testing::Test {
 protected:
  TempHome home;
  FakeUi ui;
  InternalList list;
  Settings settings;
  int clears = 0;
  bool keepOnQuestion = false;

  // Stands in for the main window's clear with the unsaved-list question.
  ClearListFn clearList() {
    return [this] {
      ++clears;
      if (keepOnQuestion && list.unsaved) return false;
      list.clear();
      return true;
    };
  }
  ListReadResult read(const std::string& relative, bool messages = true, bool merge = false) {
    return ReadListFile(ui, list, home.path(relative), messages, merge, clearList());
  }
};

TEST_F(ListFileTest, WritesTheExactBytesAndReadsThemBack) {
  const std::vector<ListItem> items = twoItems();
  EXPECT_EQ(encodeListFile(items, 7 | kSortDescending), twoItemsBytes(7 | kSortDescending));
  ASSERT_TRUE(writeListFile(home.path("two.snlg"), items, 7 | kSortDescending));
  EXPECT_EQ(home.readFile("two.snlg"), twoItemsBytes(7 | kSortDescending));

  const ListReadResult r = read("two.snlg");
  EXPECT_EQ(r.count, 2);
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.items[0], items[0]);
  EXPECT_EQ(list.items[1], items[1]);
  EXPECT_EQ(list.items[0].averageKbps, 0);  // kept for VBR items only
  EXPECT_EQ(list.items[1].averageKbps, 187);
  EXPECT_EQ(list.sortCode, 7 | kSortDescending);
  EXPECT_EQ(list.listName, "two.snlg");
  EXPECT_FALSE(list.unsaved);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(ui.statuses, std::vector<std::string>{"Loading..."});
}

TEST_F(ListFileTest, OverlongStringsAreCutWhenWritten) {
  ListItem it = item("n", std::string(70000, 'f'), std::string(40, 'L'), 9, 1, 1, 0, 0, 0, 0);
  const std::string bytes = encodeListFile({it}, 0);
  EXPECT_EQ(bytes, kCurrent + byte(0) + str16("n") + le16(65535) + std::string(65535, 'f') + str8(std::string(32, 'L')) +
                       block19(9, 1, 1, 0, 0, 0, 0));
}

TEST_F(ListFileTest, LongLabelsKeepTheirFirst32Bytes) {
  home.writeFile("long.snlg", kCurrent + byte(0) + str16("one") + str16("/a") + str8(std::string(40, 'x')) +
                                  block19(9, 1, 2, 0, 0, 3, 4) + str16("two") + str16("/b") + str8("L") +
                                  block19(16, 5, 6, 1, 1, 7, 8) + le16(99));
  ASSERT_EQ(read("long.snlg").count, 2);
  EXPECT_EQ(list.items[0].volumeLabel, std::string(32, 'x'));
  EXPECT_EQ(list.items[1], item("two", "/b", "L", 16, 5, 6, 1, 1, 7, 8));
  EXPECT_EQ(list.items[1].averageKbps, 99);
}

TEST_F(ListFileTest, OlderFormatsReadBackWithComputedAverages) {
  // Second format: 16-bit lengths, no stored average. 4000 KB over 10000 frames at 44.1 kHz
  // averages 125.44 kbps, at 48 kHz 136.53; 0 frames gives 0.
  home.writeFile("second.snlg", kSecond + byte(2) + str16("a") + str16("/f") + str8("V") +
                                    block19(16, 4000, 10000, 0, 0, 1, 2) + str16("b") + str16("/f") + str8("") +
                                    block19(16, 4000, 10000, 0, 1, 1, 2) + str16("c") + str16("/f") + str8("") +
                                    block19(16, 4000, 0, 0, 0, 1, 2) + str16("d") + str16("/f") + str8("") +
                                    block19(9, 4000, 10000, 0, 0, 1, 2));
  ASSERT_EQ(read("second.snlg").count, 4);
  EXPECT_EQ(list.sortCode, 2);
  EXPECT_EQ(list.items[0], item("a", "/f", "V", 16, 4000, 10000, 0, 0, 1, 2));
  EXPECT_EQ(list.items[0].averageKbps, 125);
  EXPECT_EQ(list.items[1].averageKbps, 137);
  EXPECT_EQ(list.items[2].averageKbps, 0);
  EXPECT_EQ(list.items[3].averageKbps, 0);

  // Third format: 8-bit lengths.
  home.writeFile("third.snlg", kThird + byte(63) + str8("x") + str8("/g") + str8("LBL") +
                                   block19(16, 4000, 10000, 3, 0, 9, 10) + str8("y") + str8("/g") + str8("") +
                                   block19(14, 9000, 7000, 0, 2, 9, 10));
  ASSERT_EQ(read("third.snlg").count, 2);
  EXPECT_EQ(list.items[0], item("x", "/g", "LBL", 16, 4000, 10000, 3, 0, 9, 10));
  EXPECT_EQ(list.items[0].averageKbps, 125);
  EXPECT_EQ(list.items[1], item("y", "/g", "", 14, 9000, 7000, 0, 2, 9, 10));
  EXPECT_TRUE(ui.shown.empty());
}

// The oldest layout: 8-bit lengths and an 18-byte block (bitrateCode, sizeKB, seconds, stereoMode,
// fileDate, dateAdded). Its first label is 45 bytes, which the third format cannot hold.
std::string oldestFile() {
  return kThird + byte(1) + str8("old") + str8("c:\\x") + str8(std::string(45, 'v')) + byte(16) + le32(4700) +
         le32(300) + byte(1) + le32(36000) + le32(36001) + str8("older") + str8("c:\\y") + str8("") + byte(9) +
         le32(100) + le32(3) + byte(3) + le32(36002) + le32(36003);
}

TEST_F(ListFileTest, OldestLayoutIsAskedForThenConverted) {
  home.writeFile("old.snlg", oldestFile());
  ui.answers = {Answer::Yes};
  ASSERT_EQ(read("old.snlg").count, 2);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Doesn't seem to be a valid mp3SNLG file.\r\nTry to process as mp3SNLG v4.0 - v4.12 file?\r\n\n"
            "(44.1 KHz frequency will be assigned to all items)");
  EXPECT_EQ(ui.shown[0].caption, "invalid data found");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);
  // 300 s / 0.0261224489795918 = 11484.375 frames; 4700 KB over them averages 128.35 kbps.
  EXPECT_EQ(list.items[0], item("old", "c:\\x", std::string(32, 'v'), 16, 4700, 11484, 1, 0, 36000, 36001));
  EXPECT_EQ(list.items[0].averageKbps, 128);
  EXPECT_EQ(list.items[1], item("older", "c:\\y", "", 9, 100, 115, 3, 0, 36002, 36003));
  EXPECT_EQ(list.sortCode, 1);
  EXPECT_EQ(clears, 1);  // the list is cleared once, not again for the second pass

  // No: the load fails; silently the oldest layout is taken without asking.
  ui = FakeUi();
  ui.answers = {Answer::No};
  EXPECT_EQ(read("old.snlg").count, -1);
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(ui.lastStatus(), "Can't load the list.");
  ui = FakeUi();
  EXPECT_EQ(read("old.snlg", false).count, 2);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(list.items[0].frequencyCode, 0);
}

TEST_F(ListFileTest, BadFilesGiveTheirMessages) {
  struct Case {
    std::string bytes;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"", "Disk error!"},
      {"\x6C\x33", "Disk error!"},
      {kCurrent, "Disk error!"},
      {kCurrent + byte(0), "Disk error!"},  // a header and no item
      {"RIFF\x10\0\0\0WAVE", "Not a Sonalog file!"},
      {kCurrent + byte(0) + le16(65535) + "short", "Disk error!"},  // a length beyond the end
      {twoItemsBytes(0).substr(0, twoItemsBytes(0).size() - 1), "Disk error!"},
  };
  for (const Case& c : cases) {
    ui = FakeUi();
    list.items = twoItems();
    list.listName = "old.snlg";
    home.writeFile("bad.snlg", c.bytes);
    const ListReadResult r = read("bad.snlg", true, true);
    EXPECT_EQ(r.count, -1);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{c.message}) << c.bytes.size();
    EXPECT_EQ(ui.shown[0].caption, "Warning");
    EXPECT_EQ(ui.lastStatus(), "Can't load the list.");
    EXPECT_EQ(list.items.size(), 2u);  // a failed merge adds nothing
    EXPECT_EQ(list.listName, "old.snlg");
  }
  ui = FakeUi();
  home.writeFile("bad.snlg", std::string("\x01\x02\x03\x04", 4));
  EXPECT_EQ(read("bad.snlg", false).count, -1);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(clears, 0);  // not a list file: the list is not even cleared
}

TEST_F(ListFileTest, EveryTruncationFailsCleanlyExceptAtItemEnds) {
  const std::string full = twoItemsBytes(5);
  const size_t firstEnd =
      (kCurrent + byte(5) + str16("Artist - Song") + str16("/music/a") + str8("DATA") + block19(9, 3750, 9188, 1, 0, 45000, 45100)).size();
  for (size_t n = 0; n <= full.size(); ++n) {
    ListFileContents contents;
    const ListReadStatus status = parseListFile(std::string_view(full).substr(0, n), false, contents);
    if (n == firstEnd || n == full.size()) {
      EXPECT_EQ(status, ListReadStatus::Ok) << n;
      EXPECT_EQ(contents.items.size(), n == firstEnd ? 1u : 2u);
    } else {
      EXPECT_EQ(status, ListReadStatus::DiskError) << n;
    }
  }
}

TEST_F(ListFileTest, RandomBytesNeverOutgrowTheFile) {
  std::mt19937 rng(1234);
  const std::string magics[] = {kCurrent, kSecond, kThird};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = magics[round % 3] + byte(rng() % 256);
    const size_t n = rng() % 400;
    for (size_t k = 0; k < n; ++k) bytes.push_back(static_cast<char>(rng() % (round % 2 ? 40 : 256)));
    for (bool oldest : {false, true}) {
      ListFileContents contents;
      const ListReadStatus status = parseListFile(bytes, oldest, contents);
      // Every item takes at least 21 bytes of the file.
      EXPECT_LE(contents.items.size() * 21, bytes.size());
      for (const ListItem& it : contents.items) EXPECT_LE(it.volumeLabel.size(), 32u);
      EXPECT_FALSE(oldest && status == ListReadStatus::OldestLayout);
    }
  }
  ListFileContents contents;
  EXPECT_EQ(parseListFile(twoItemsBytes(0) + twoItemsBytes(0).substr(5), false, contents), ListReadStatus::Ok);
  contents = {};
  const std::string two = twoItemsBytes(0);
  ListByteReader in(two);
  ListFormat format;
  ASSERT_EQ(readListMagic(in, format), ListReadStatus::Ok);
  EXPECT_EQ(readListItems(in, format, contents, 1), ListReadStatus::TooLarge);
}

TEST_F(ListFileTest, OpeningTriesTheExtensionAndRefusesNonFiles) {
  home.writeFile("named.snlg", twoItemsBytes(0));
  EXPECT_EQ(read("named").count, 2);
  EXPECT_EQ(list.listName, "named.snlg");

  ui = FakeUi();
  EXPECT_EQ(read("missing").count, -1);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Can't open the file."});
  EXPECT_TRUE(list.listName.empty());
  ui = FakeUi();
  EXPECT_EQ(read("missing.SNLG").count, -1);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Can't open the file."});
  ui = FakeUi();
  std::filesystem::create_directories(home.path("folder.snlg"));
  EXPECT_EQ(read("folder.snlg").count, -1);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Can't open the file."});
}

TEST_F(ListFileTest, ReplaceClearsThroughTheQuestionAndMergeAppends) {
  home.writeFile("two.snlg", twoItemsBytes(3));
  list.items = {item("kept", "/k", "", 9, 1, 1, 0, 0, 0, 0)};
  list.unsaved = true;
  list.listName = "mine.snlg";
  keepOnQuestion = true;
  const ListReadResult kept = read("two.snlg");
  EXPECT_EQ(kept.count, -1);
  EXPECT_TRUE(kept.listKept);
  EXPECT_EQ(list.items.size(), 1u);
  EXPECT_EQ(list.listName, "mine.snlg");
  EXPECT_TRUE(ui.shown.empty());

  ASSERT_EQ(read("two.snlg", true, true).count, 2);
  EXPECT_EQ(names(list), (std::vector<std::string>{"kept", "Artist - Song", "Live \xE9t\xE9"}));
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(list.sortCode, 3);
  EXPECT_EQ(list.listName, "two.snlg");

  keepOnQuestion = false;
  ASSERT_EQ(read("two.snlg").count, 2);
  EXPECT_EQ(list.items.size(), 2u);
  EXPECT_FALSE(list.unsaved);
}

// ---- Save as ----

TEST_F(ListFileTest, SaveAsWritesAndRemembers) {
  ListCommandContext context{ui, list, settings};
  EXPECT_EQ(SaveButClick(context), CommandResult::Failed);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Empty list."});

  ui = FakeUi();
  list.items = twoItems();
  list.sortCode = 9;
  list.unsaved = true;
  list.listName = "proposed.snlg";
  settings.saveAsFolder = "/somewhere";
  EXPECT_EQ(SaveButClick(context), CommandResult::Cancelled);  // the dialog was cancelled
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, " - SAVE THE LIST AS - ");
  EXPECT_EQ(ui.dialogs[0].folder, "/somewhere");
  EXPECT_EQ(ui.dialogs[0].fileName, "proposed.snlg");
  EXPECT_EQ(ui.dialogs[0].defaultExtension, "snlg");
  ASSERT_EQ(ui.dialogs[0].filters.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].filters[0].description, "SNLG files");
  EXPECT_EQ(ui.dialogs[0].filters[0].patterns, std::vector<std::string>{"*.snlg"});
  EXPECT_TRUE(list.unsaved);

  const std::string target = home.path("out/saved.snlg");
  std::filesystem::create_directories(home.path("out"));
  ui.dialogResults.push_back(FileDialogResult{target, 0});
  EXPECT_EQ(SaveButClick(context), CommandResult::Done);
  EXPECT_EQ(home.readFile("out/saved.snlg"), twoItemsBytes(9));
  EXPECT_FALSE(list.unsaved);
  EXPECT_EQ(list.listName, "saved.snlg");
  EXPECT_EQ(list.lastSavedPath, target);
  EXPECT_EQ(settings.lastSavedList, target);
  EXPECT_EQ(settings.saveAsFolder, home.path("out"));

  // Save as onto an existing list asks first; No leaves that list as it was.
  home.writeFile("out/other.snlg", "another list");
  ui.dialogResults.push_back(FileDialogResult{home.path("out/other.snlg"), 0});
  ui.answers = {Answer::No};
  EXPECT_EQ(SaveButClick(context), CommandResult::Cancelled);
  EXPECT_EQ(home.readFile("out/other.snlg"), "another list");
  EXPECT_EQ(list.lastSavedPath, target);

  context.otherRunOpen = true;
  EXPECT_EQ(SaveButClick(context), CommandResult::Ignored);
}

TEST_F(ListFileTest, FailedSaveKeepsThePreviousFile) {
  ListCommandContext context{ui, list, settings};
  const std::string target = home.path("keep.snlg");
  home.writeFile("keep.snlg", "previous contents");
  for (int k = 0; k < 3000; ++k)
    list.items.push_back(item("name " + std::to_string(k), std::string(200, 'f'), "L", 9, k, k, 0, 0, 0, 0));
  list.unsaved = true;

  // Disk full: no file may grow beyond 64 KB while this list is written.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 1 << 16;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ui.dialogResults.push_back(FileDialogResult{target, 0, true});  // replacing it was confirmed
  const CommandResult result = SaveButClick(context);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, CommandResult::Failed);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Can't write this file.\r\nIn use? Invalid filename? Disk full?"});
  EXPECT_EQ(home.readFile("keep.snlg"), "previous contents");
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // no temporary left behind
  EXPECT_TRUE(list.unsaved);
  EXPECT_TRUE(list.lastSavedPath.empty());

  ui = FakeUi();
  ui.dialogResults.push_back(FileDialogResult{home.path("no/such/folder/x.snlg"), 0});
  EXPECT_EQ(SaveButClick(context), CommandResult::Failed);
  EXPECT_EQ(ui.texts().size(), 1u);
}

// ---- Load ----

class LoadCommandTest : public ListFileTest {
 protected:
  std::vector<LoadMergeChoice> windowOpenedWith;
  std::optional<LoadMergeChoice> windowAnswer;
  LoadOptionsWindowFn window() {
    return [this](const LoadMergeChoice& initial) {
      windowOpenedWith.push_back(initial);
      return windowAnswer;
    };
  }
  CommandResult load(const std::string& relative, bool ctrl = false) {
    ListCommandContext context{ui, list, settings};
    ui.dialogResults.push_back(FileDialogResult{home.path(relative), 0});
    return LoadButClick(context, clearList(), window(), ctrl);
  }
};

TEST_F(LoadCommandTest, EmptyListLoadsWithoutTheWindow) {
  home.writeFile("one.snlg", kCurrent + byte(0) + str16("solo") + str16("/s") + str8("") + block19(9, 1, 1, 0, 0, 0, 0));
  settings.loadFolder = "/lists";
  EXPECT_EQ(load("one.snlg"), CommandResult::Done);
  EXPECT_TRUE(windowOpenedWith.empty());
  EXPECT_EQ(ui.lastStatus(), "Loaded 1 item.");
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, " - LOAD A LIST - ");
  EXPECT_EQ(ui.dialogs[0].folder, "/lists");
  ASSERT_EQ(ui.dialogs[0].filters.size(), 2u);
  EXPECT_EQ(ui.dialogs[0].filters[1].description, "all files");
  EXPECT_EQ(ui.dialogs[0].filters[1].patterns, std::vector<std::string>{"*.*"});
  EXPECT_EQ(settings.loadFolder, home.path());
}

TEST_F(LoadCommandTest, MergeSortsLikeThePrimaryList) {
  // The primary list is sorted by playtime, the merged file by path.
  list.items = {item("p3", "/z", "", 9, 1, 3000, 0, 0, 0, 0), item("p1", "/y", "", 9, 1, 1000, 0, 0, 0, 0)};
  sortItems(list.items, SortOrder{kSortByPlaytime, false, false});
  list.sortCode = kSortByPlaytime;
  home.writeFile("bypath.snlg", kCurrent + byte(kSortByPath) + str16("s2") + str16("/a") + str8("") +
                                    block19(9, 1, 2000, 0, 0, 0, 0) + str16("s4") + str16("/b") + str8("") +
                                    block19(9, 1, 4000, 0, 0, 0, 0));
  windowAnswer = LoadMergeChoice{true, AppendSort::LikePrimary, false};
  EXPECT_EQ(load("bypath.snlg"), CommandResult::Done);
  ASSERT_EQ(windowOpenedWith.size(), 1u);
  EXPECT_FALSE(windowOpenedWith[0].merge);
  EXPECT_EQ(windowOpenedWith[0].appendSort, AppendSort::LikeSecondary);  // the stored default 1
  EXPECT_EQ(names(list), (std::vector<std::string>{"p1", "s2", "p3", "s4"}));
  EXPECT_EQ(list.sortCode, kSortByPlaytime);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(ui.lastStatus(), "Loaded 2, total 4 items.");
  EXPECT_EQ(settings.loadMergeAppend, 1);
  EXPECT_EQ(settings.Rg1, 0);

  // Like the secondary list: by path, descending, as the file's header says.
  home.writeFile("desc.snlg", kCurrent + byte(kSortByPath | kSortDescending) + str16("s0") + str16("/0") + str8("") +
                                  block19(9, 1, 1, 0, 0, 0, 0));
  windowAnswer = LoadMergeChoice{true, AppendSort::LikeSecondary, false};
  EXPECT_EQ(load("desc.snlg"), CommandResult::Done);
  EXPECT_EQ(names(list), (std::vector<std::string>{"p3", "p1", "s4", "s2", "s0"}));
  EXPECT_EQ(list.sortCode, kSortByPath | kSortDescending);

  // By the main option when sorting is on; unsorted (63) when it is off or not wanted.
  settings.CheckSort = true;
  settings.sortcombo = kSortByFileName;
  settings.CheckCase = true;
  windowAnswer = LoadMergeChoice{true, AppendSort::MainOption, false};
  EXPECT_EQ(load("desc.snlg"), CommandResult::Done);
  EXPECT_EQ(names(list), (std::vector<std::string>{"p1", "p3", "s0", "s0", "s2", "s4"}));
  EXPECT_EQ(list.sortCode, kSortByFileName | kSortCaseSensitive);
  settings.CheckSort = false;
  EXPECT_EQ(load("desc.snlg"), CommandResult::Done);
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_EQ(list.items.back().fileName, "s0");
  windowAnswer = LoadMergeChoice{true, AppendSort::DontSort, false};
  EXPECT_EQ(load("bypath.snlg"), CommandResult::Done);
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_EQ(list.items.size(), 9u);
  EXPECT_EQ(list.items.back().fileName, "s4");
}

TEST_F(LoadCommandTest, TheWindowDecidesUnlessToldNotToShow) {
  home.writeFile("two.snlg", twoItemsBytes(0));
  list.items = {item("x", "/x", "", 9, 1, 1, 0, 0, 0, 0)};

  windowAnswer = std::nullopt;  // closed without GO: nothing happens, nothing is stored
  settings.loadMergeAppend = 1;
  EXPECT_EQ(load("two.snlg"), CommandResult::Cancelled);
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(settings.loadMergeAppend, 1);
  EXPECT_EQ(list.items.size(), 1u);

  windowAnswer = LoadMergeChoice{false, AppendSort::DontSort, true};  // GO with "Don't show"
  ui.dialogResults.clear();
  EXPECT_EQ(load("two.snlg"), CommandResult::Done);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{kTextLoadOptionsNote});
  EXPECT_TRUE(settings.DontShowCheck);
  EXPECT_EQ(settings.Rg1, 3);
  EXPECT_EQ(list.items.size(), 2u);
  EXPECT_EQ(ui.lastStatus(), "Loaded 2 items.");

  windowOpenedWith.clear();
  EXPECT_EQ(load("two.snlg"), CommandResult::Done);  // replaces without asking
  EXPECT_TRUE(windowOpenedWith.empty());
  EXPECT_EQ(list.items.size(), 2u);

  windowAnswer = LoadMergeChoice{true, AppendSort::DontSort, false};
  EXPECT_EQ(load("two.snlg", true), CommandResult::Done);  // CTRL brings the window back
  ASSERT_EQ(windowOpenedWith.size(), 1u);
  EXPECT_FALSE(windowOpenedWith[0].dontShow);
  EXPECT_EQ(list.items.size(), 4u);

  ListCommandContext blocked{ui, list, settings, true};
  EXPECT_EQ(LoadButClick(blocked, clearList(), window(), false), CommandResult::Ignored);
}

TEST_F(LoadCommandTest, FailuresClearAReplacedListButNotAMergedOne) {
  home.writeFile("bad.snlg", "garbage!");
  list.items = twoItems();
  list.listName = "mine.snlg";
  windowAnswer = LoadMergeChoice{true, AppendSort::MainOption, false};
  EXPECT_EQ(load("bad.snlg"), CommandResult::Failed);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Not a Sonalog file!"});
  EXPECT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.listName, "mine.snlg");
  EXPECT_EQ(clears, 0);

  windowAnswer = LoadMergeChoice{false, AppendSort::MainOption, false};
  EXPECT_EQ(load("bad.snlg"), CommandResult::Failed);
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(clears, 1);

  // The user keeps an unsaved list at the question: it stays, and is not asked about again.
  list.items = twoItems();
  list.unsaved = true;
  keepOnQuestion = true;
  home.writeFile("two.snlg", twoItemsBytes(0));
  EXPECT_EQ(load("two.snlg"), CommandResult::Failed);
  EXPECT_EQ(clears, 2);
  EXPECT_EQ(list.items.size(), 2u);
}

}  // namespace
}  // namespace sonalog
