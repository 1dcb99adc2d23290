#include "core/FolderScan.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dates.h"
#include "platform/Files.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::Mp3Builder;
using testing::TempHome;
namespace fs = std::filesystem;

// 40 frames of 128 kbps, 44.1 kHz stereo: 16 680 bytes, 16 KB.
constexpr int kFrames = 40;

class FolderScanTest : public ::testing::Test {
 protected:
  FolderScanTest() {
    options.minSizeKB = 1;
    options.sort = false;
    options.onError = OnErrorRule::Include;
    fs::create_directories(root);
  }

  void mp3(const std::string& relative, int frames = kFrames, uint8_t bitrateIndex = 9) {
    ASSERT_TRUE(testing::writeBytes(home.path("music/" + relative),
                                    Mp3Builder().frames(testing::mpeg1(bitrateIndex), frames).str()));
  }
  void junk(const std::string& relative, size_t bytes = 2048) {
    home.writeFile("music/" + relative, std::string(bytes, 'j'));
  }
  ScanResult scan(ScanMode mode, bool subfolders = true) {
    return runFolderScan(mode, {root, subfolders, false}, options, list, ui, memory, hooks);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const ListItem& it : list.items) out.push_back(it.fileName);
    return out;
  }
  bool shown(const std::string& text) const {
    const auto texts = ui.texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  TempHome home;
  std::string root = home.path("music");
  FakeUi ui;
  InternalList list;
  ScanMemory memory;
  ScanOptions options;
  ScanHooks hooks;
};

TEST_F(FolderScanTest, NewScanCollectsTheTreeInWalkOrder) {
  mp3("c/y/cy.mp3");
  mp3("B/x/bx.mp3");
  mp3("c/c1.mp3");
  mp3("B/b1.MP3");
  mp3("a.mp3");
  home.writeFile("music/notes.mp3.txt", std::string(4096, 'n'));
  list.listName = "old.snlg";

  const ScanResult r = scan(ScanMode::New);

  EXPECT_EQ(r.outcome, ScanOutcome::Completed);
  // A folder's direct subfolders come together, each followed later by its own subtree.
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "b1", "c1", "bx", "cy"}));
  EXPECT_EQ(list.items[0].folder, root);
  EXPECT_EQ(list.items[3].folder, root + "/B/x");
  const ListItem& a = list.items[0];
  EXPECT_EQ(a.bitrateCode, 9);
  EXPECT_EQ(a.frames, kFrames);
  EXPECT_EQ(a.stereoMode, 0);
  EXPECT_EQ(a.frequencyCode, 0);
  EXPECT_EQ(a.sizeKB, 16);  // 16 680 bytes
  EXPECT_EQ(a.dateAdded, platform::today());
  EXPECT_EQ(a.fileDate, platform::dayNumberFromTime(platform::fileFacts(root + "/a.mp3")->mtime));
  for (const ListItem& it : list.items) EXPECT_EQ(it.volumeLabel, a.volumeLabel);

  EXPECT_EQ(r.status, "Added: 5 of 5. Total: 5 items.");
  EXPECT_EQ(ui.lastStatus(), r.status);
  EXPECT_EQ(r.counts.processed, 5u);
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_TRUE(list.unsaved);
  EXPECT_TRUE(list.listName.empty());
  EXPECT_TRUE(ui.statuses.front().starts_with("Processing drive /"));
  EXPECT_TRUE(ui.statuses.front().ends_with("... wait."));
  EXPECT_NE(std::find(ui.statuses.begin(), ui.statuses.end(), root + "/B/x/bx"), ui.statuses.end());
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(memory.lastFolder, root);
  EXPECT_EQ(memory.lastSerial.size(), 8u);

  scan(ScanMode::New, false);
  EXPECT_EQ(names(), (std::vector<std::string>{"a"}));
}

TEST_F(FolderScanTest, SizeWindowAndHiddenFiles) {
  mp3("keep.mp3");
  mp3("tiny.mp3", 2);  // 834 bytes, below 1 KB
  mp3(".hidden.mp3");
  mp3(".folder/inside.mp3");
  // Beyond a 10 MB maximum; sparse, never read.
  home.writeFile("music/huge.mp3", "");
  fs::resize_file(home.path("music/huge.mp3"), 11 * 1048576);
  options.maxSizeMB = 10;

  scan(ScanMode::New);
  EXPECT_EQ(names(), (std::vector<std::string>{"keep"}));

  options.includeHidden = true;
  scan(ScanMode::New);
  EXPECT_EQ(names(), (std::vector<std::string>{".hidden", "keep", "inside"}));

  // 2048 MB means no upper limit: the huge file is analysed (and, all zeros, included as unknown).
  options.maxSizeMB = 2048;
  options.includeHidden = false;
  scan(ScanMode::New);
  EXPECT_EQ(names(), (std::vector<std::string>{"huge", "keep"}));
  EXPECT_EQ(list.items[0].sizeKB, 11 * 1024);
}

TEST_F(FolderScanTest, SortingAndSortCode) {
  mp3("b.mp3");
  mp3("A.mp3");
  mp3("c.mp3");
  options.sort = true;
  options.sortKey = 0;
  options.descending = true;
  scan(ScanMode::New);
  EXPECT_EQ(names(), (std::vector<std::string>{"c", "b", "A"}));
  EXPECT_EQ(list.sortCode, 128);
  EXPECT_EQ(ui.statuses[ui.statuses.size() - 2], "Sorting... wait.");

  // The flag bits follow the options whether or not the list was sorted.
  options.sort = false;
  options.caseSensitive = true;
  scan(ScanMode::New);
  EXPECT_EQ(list.sortCode, 63 + 128 + 64);
}

TEST_F(FolderScanTest, NothingFound) {
  const ScanResult r = scan(ScanMode::New);
  EXPECT_EQ(r.status, "No mp3's found.");
  EXPECT_TRUE(list.items.empty());

  mp3("a.mp3");
  scan(ScanMode::New);
  fs::remove(root + "/a.mp3");
  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(scan(ScanMode::Append).status, "No mp3's found. Total: 1 item.");
}

TEST_F(FolderScanTest, AppendSameFolderAsksAndSkipsExistingEntries) {
  mp3("one.mp3");
  mp3("sub/two.mp3");
  scan(ScanMode::New);
  const std::vector<ListItem> before = list.items;

  // No: nothing happens, not even the backup copy.
  ui.answers.push_back(Answer::No);
  EXPECT_EQ(scan(ScanMode::Append).outcome, ScanOutcome::Declined);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "You don't seem to have changed neither\r\ndrive nor path. Continue anyway?");
  EXPECT_EQ(ui.shown[0].caption, "please confirm");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(list.items, before);

  options.existingEntries = ExistingEntryRule::Skip;
  ui.answers.push_back(Answer::Yes);
  const ScanResult r = scan(ScanMode::Append);
  EXPECT_EQ(r.outcome, ScanOutcome::Completed);
  EXPECT_EQ(r.status, " Ignored: 2. Total: 2 items.");
  EXPECT_EQ(list.items, before);

  // Always add does not look at the list at all.
  options.existingEntries = ExistingEntryRule::AlwaysAdd;
  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(scan(ScanMode::Append).status, "Added: 2 of 2. Total: 4 items.");
  EXPECT_FALSE(platform::fileExists(home.home() + kMainTempFile));
}

TEST_F(FolderScanTest, UpdateRulesCompareIgnoringAsciiCase) {
  mp3("one.mp3");
  mp3("two.mp3");
  mp3("three.mp3");
  scan(ScanMode::New);
  for (ListItem& it : list.items) {
    it.dateAdded = 1;
    for (char& c : it.folder) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  // "one": re-tagged (10 KB larger, one frame more): unchanged for "only if different".
  list.items[0].sizeKB += 10;
  list.items[0].frames += 1;
  list.items[1].bitrateCode = 10;  // "three"
  list.items[2].fileDate -= 1;     // "two"
  const ListItem retagged = list.items[0];

  options.existingEntries = ExistingEntryRule::UpdateIfDifferent;
  memory = {};
  const ScanResult r = scan(ScanMode::Append);
  EXPECT_EQ(r.status, " Updated: 2. Ignored: 1. Total: 3 items.");
  EXPECT_EQ(list.items[0], retagged);
  EXPECT_EQ(list.items[1].bitrateCode, 9);
  EXPECT_EQ(list.items[1].folder, root);
  EXPECT_EQ(list.items[1].dateAdded, platform::today());

  options.existingEntries = ExistingEntryRule::Update;
  memory = {};
  EXPECT_EQ(scan(ScanMode::Append).status, " Updated: 3. Total: 3 items.");
  for (const ListItem& it : list.items) EXPECT_EQ(it.dateAdded, platform::today());
  EXPECT_EQ(list.items[0].sizeKB, 16);
}

TEST_F(FolderScanTest, OnErrorRules) {
  mp3("a.mp3");
  junk("b.mp3");

  options.onError = OnErrorRule::Discard;
  EXPECT_EQ(scan(ScanMode::New).status, "Added: 1 of 1. Total: 1 item.");

  // An included failure gets the unknown codes, never those of the file before it.
  options.onError = OnErrorRule::Include;
  scan(ScanMode::New);
  ASSERT_EQ(list.items.size(), 2u);
  const ListItem& bad = list.items[1];
  EXPECT_EQ(bad.fileName, "b");
  EXPECT_EQ(bad.bitrateCode, 0);
  EXPECT_EQ(bad.stereoMode, kStereoModeMixed);
  EXPECT_EQ(bad.frequencyCode, kFrequencyMixed);
  EXPECT_EQ(bad.frames, 0);
  EXPECT_EQ(bad.sizeKB, 2);

  options.onError = OnErrorRule::Prompt;
  ui.answers = {Answer::Yes};
  scan(ScanMode::New);
  EXPECT_EQ(list.items.size(), 2u);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Error processing file:\r\n" + root + "/b.mp3\r\n\nError message:\r\n"
                              "Doesn't seem like a 32/44.1/48 KHz mp3 file.\r\n\nINCLUDE THIS FILE TO THE LIST?"
                              "\r\n\n(you can set your options to always include or\r\n"
                              "exclude erroneous files and avoid this message)");
  EXPECT_EQ(ui.shown[0].caption, "failure");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNoCancel);

  ui.answers = {Answer::No};
  EXPECT_EQ(scan(ScanMode::New).status, "Added: 1 of 1. Total: 1 item.");

  ui.answers = {Answer::Cancel};
  const ScanResult r = scan(ScanMode::New);
  EXPECT_EQ(r.outcome, ScanOutcome::Cancelled);
  EXPECT_EQ(r.status, "Cancelled.");
  EXPECT_TRUE(list.items.empty());
  EXPECT_FALSE(list.unsaved);
}

TEST_F(FolderScanTest, CancelledAppendRestoresTheListFromItsCopy) {
  for (const char* name : {"a", "b", "c", "d"}) mp3(std::string(name) + ".mp3");
  scan(ScanMode::New);
  for (ListItem& it : list.items) it.dateAdded = 5;
  const std::vector<ListItem> before = list.items;
  list.sortCode = 7;
  list.unsaved = false;

  // Update the first files in place, then cancel.
  options.existingEntries = ExistingEntryRule::Update;
  ui.answers.push_back(Answer::Yes);
  ui.cancelAfterEvents = ui.eventCalls + 4;
  const ScanResult r = scan(ScanMode::Append);
  EXPECT_EQ(r.outcome, ScanOutcome::Cancelled);
  EXPECT_GT(r.counts.updated, 0u);
  EXPECT_EQ(r.status, "Cancelled. 4 items in memory.");
  EXPECT_EQ(list.items, before);
  EXPECT_EQ(list.sortCode, 7);
  EXPECT_FALSE(list.unsaved);

  // When the copy cannot be written the list cannot be restored: a working folder that
  // cannot be made.
  home.writeFile("not-a-folder", "");
  ::setenv("SONALOG_HOME", home.path("not-a-folder/home").c_str(), 1);
  ui.answers.push_back(Answer::Yes);
  ui.cancelAfterEvents = ui.eventCalls + 4;
  EXPECT_EQ(scan(ScanMode::Append).status, "Backup file error. List cleared.");
  EXPECT_TRUE(list.items.empty());
}

// Ten thousand folders are cheap to make and remove in memory, slow on a journalling disk.
class MemoryTree {
 public:
  MemoryTree() {
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    const fs::path base = fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
    root_ = base / ("sonalog-scan-test-" + std::to_string(::getpid()));
    fs::remove_all(root_, ec);
    fs::create_directories(root_);
  }
  ~MemoryTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string path() const { return root_.string(); }

 private:
  fs::path root_;
};

TEST_F(FolderScanTest, WalkGoesOnPastTenThousandFolders) {
  MemoryTree tree;
  // 101 folders of 100 subfolders each: the last ones lie beyond the 10 000th.
  for (int i = 0; i <= 100; ++i)
    for (int j = 0; j < 100; ++j)
      fs::create_directories(tree.path() + "/d" + std::to_string(1000 + i) + "/s" + std::to_string(10 + j));
  ASSERT_TRUE(testing::writeBytes(tree.path() + "/d1100/s109/deep.mp3",
                                  Mp3Builder().frames(testing::mpeg1(9), kFrames).str()));
  const ScanResult r = runFolderScan(ScanMode::New, {tree.path(), true, false}, options, list, ui, memory, hooks);
  EXPECT_EQ(r.outcome, ScanOutcome::Completed);
  EXPECT_EQ(names(), (std::vector<std::string>{"deep"}));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(FolderScanTest, FolderLimitStopsTheScanAsCancelled) {
  for (int i = 0; i < 12; ++i) fs::create_directories(root + "/f" + std::to_string(10 + i) + "/g");
  mp3("a.mp3");
  hooks.folderLimit = 20;
  const ScanResult r = scan(ScanMode::New);
  EXPECT_EQ(r.outcome, ScanOutcome::Cancelled);
  EXPECT_EQ(r.status, "Cancelled.");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Maximum of 100 000 folders reached.\r\nTry choosing a smaller part of your drive!");
  EXPECT_EQ(ui.shown[0].caption, "ERROR: too many folders!");
  EXPECT_TRUE(list.items.empty());

  hooks.folderLimit = 26;
  EXPECT_EQ(scan(ScanMode::New).outcome, ScanOutcome::Completed);
}

TEST_F(FolderScanTest, PseudoFilesystemsAreNeverEntered) {
  // /proc holds a folder per process, and through their links the folders of other processes.
  if (!platform::onPseudoFilesystem("/proc")) GTEST_SKIP() << "no /proc on this system";
  EXPECT_FALSE(platform::onPseudoFilesystem(root));
  hooks.folderLimit = 5;
  const ScanResult r = runFolderScan(ScanMode::New, {"/proc", true, false}, options, list, ui, memory, hooks);
  EXPECT_EQ(r.outcome, ScanOutcome::DriveNotReady);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "/proc\r\nis part of the system's own view of itself (like /proc or /sys), not a place "
                              "of files.\r\nChoose another folder.");
  EXPECT_TRUE(list.items.empty());
}

TEST_F(FolderScanTest, FoldersReachedTwiceThroughLinksAreWalkedOnce) {
  mp3("real/x.mp3");
  ASSERT_EQ(::symlink("real", (root + "/alias").c_str()), 0);
  ASSERT_EQ(::symlink("..", (root + "/real/up").c_str()), 0);
  scan(ScanMode::New);
  EXPECT_EQ(names(), (std::vector<std::string>{"x"}));
}

TEST_F(FolderScanTest, AllDrivesWalksEveryVolumeWithItsLabel) {
  mp3("one/a.mp3");
  mp3("two/deep/b.mp3");
  hooks.volumes = [&] {
    return std::vector<platform::Volume>{{root + "/one", "/dev/x1", "ONE", "11111111"},
                                         {root + "/gone", "/dev/x2", "GONE", "22222222"},
                                         {root + "/two", "/dev/x3", "TWO", "33333333"}};
  };
  std::vector<std::string> shownFolders;
  hooks.showFolder = [&](const std::string& f) { shownFolders.push_back(f); };
  const ScanResult r = runFolderScan(ScanMode::New, {root, false, true}, options, list, ui, memory, hooks);
  EXPECT_EQ(r.status, "Added: 2 of 2. Total: 2 items.");
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.items[0].volumeLabel, "ONE");
  EXPECT_EQ(list.items[1].volumeLabel, "TWO");
  EXPECT_EQ(list.items[1].folder, root + "/two/deep");
  EXPECT_EQ(shownFolders, (std::vector<std::string>{root + "/one", root + "/two", root}));
  EXPECT_EQ(memory.lastSerial, "33333333");
  EXPECT_NE(std::find(ui.statuses.begin(), ui.statuses.end(), "Processing drive " + root + "/two... wait."),
            ui.statuses.end());
}

TEST_F(FolderScanTest, StatusTextsAreShortenedToFit) {
  mp3("a.mp3");
  ui.statusWidth = 20;
  const ScanResult r = scan(ScanMode::New);
  // The path keeps its tail; the summary loses its last six characters.
  const std::string path = root + "/a";
  EXPECT_NE(std::find(ui.statuses.begin(), ui.statuses.end(), "..." + path.substr(path.size() - 17)),
            ui.statuses.end());
  EXPECT_EQ(r.status, "Added: 1 of 1. Total: .");
}

TEST_F(FolderScanTest, UnreadableFolderIsReported) {
  const ScanResult r = runFolderScan(ScanMode::New, {root + "/missing", true, false}, options, list, ui, memory, hooks);
  EXPECT_EQ(r.outcome, ScanOutcome::DriveNotReady);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Drive not ready or other I/O error!");
  EXPECT_EQ(ui.shown[0].caption, "disk error");
  EXPECT_EQ(r.status, "No mp3's found.");
}

// Files analysed on several threads give what one file after another gives: the same items in
// the same order, the same status texts and the same questions, answered the same way, also when
// a question or CANCEL stops the scan part way.
TEST_F(FolderScanTest, ParallelAnalysisEqualsTheSequentialOne) {
  for (int f = 0; f < 12; ++f) {
    const std::string folder = "d" + std::to_string(f % 5) + "/s" + std::to_string(f) + "/";
    for (int k = 0; k < 9; ++k) {
      const std::string name = folder + "t" + std::to_string(k);
      switch ((f * 9 + k) % 9) {
        case 0: mp3(name + ".mp3", 30 + k * 7, static_cast<uint8_t>(1 + k)); break;
        case 1: junk(name + ".mp3"); break;  // rejected by the analysis
        case 2: {
          testing::FrameHeader mpeg2 = testing::mpeg1();
          mpeg2.version = 2;
          ASSERT_TRUE(testing::writeBytes(home.path("music/" + name + ".MP3"),
                                          Mp3Builder().frames(mpeg2, 60).str()));
          break;
        }
        case 3: junk(name + ".mp3", 100); break;  // below the minimum size
        case 4: {
          ASSERT_TRUE(testing::writeBytes(home.path("music/" + name + ".mp3"),
                                          Mp3Builder().id3v2(3000).vbrFrame(testing::mpeg1(), testing::VbrTag::Xing, 500)
                                              .frames(testing::mpeg1(10), 20).frames(testing::mpeg1(11), 20).id3v1().str()));
          break;
        }
        case 5: home.writeFile("music/" + name + ".txt", "not an mp3"); break;
        case 6: mp3(name + " copy.mp3", 45, 9); break;
        case 7: ASSERT_TRUE(testing::writeBytes(home.path("music/" + name + ".mp3"), std::string(4096, '\0'))); break;
        default: mp3(name + ".mp3", 200, 5);
      }
    }
  }
  fs::create_directories(root + "/empty/deeper");
  options.minSizeKB = 1;

  struct Outcome {
    ScanResult result;
    std::vector<ListItem> items;
    std::vector<std::string> statuses, texts;
  };
  auto scanWith = [&](unsigned threads, ScanMode mode, OnErrorRule onError, long cancelAfter,
                      const std::vector<ListItem>& before) {
    list.items = before;
    ui.shown.clear();
    ui.statuses.clear();
    ui.answers.clear();
    ui.eventCalls = 0;
    ui.cancelAfterEvents = cancelAfter;
    for (int k = 0; k < 40; ++k) ui.answers.push_back(k % 3 == 0 ? Answer::Yes : Answer::No);
    if (cancelAfter == -2) ui.answers[7] = Answer::Cancel;  // a question stops the scan
    options.analysisThreads = threads;
    options.onError = onError;
    options.existingEntries = ExistingEntryRule::Skip;
    Outcome o;
    o.result = scan(mode);
    o.items = list.items;
    o.statuses = ui.statuses;
    o.texts = ui.texts();
    return o;
  };
  const std::vector<ListItem> none;
  const Outcome first = scanWith(1, ScanMode::New, OnErrorRule::Include, -1, none);
  ASSERT_GT(first.items.size(), 60u);
  const std::vector<ListItem> half(first.items.begin(), first.items.begin() + 40);
  int round = 0;
  for (const OnErrorRule onError : {OnErrorRule::Include, OnErrorRule::Prompt, OnErrorRule::Discard}) {
    for (const long cancelAfter : {-1L, -2L, 25L}) {
      for (const ScanMode mode : {ScanMode::New, ScanMode::Append}) {
        SCOPED_TRACE(++round);
        const std::vector<ListItem>& before = mode == ScanMode::Append ? half : none;
        const Outcome plain = scanWith(1, mode, onError, cancelAfter, before);
        const Outcome parallel = scanWith(4, mode, onError, cancelAfter, before);
        EXPECT_EQ(parallel.result.outcome, plain.result.outcome);
        EXPECT_EQ(parallel.result.status, plain.result.status);
        EXPECT_EQ(parallel.items, plain.items);
        ASSERT_EQ(parallel.items.size(), plain.items.size());
        for (size_t k = 0; k < plain.items.size(); ++k)
          EXPECT_EQ(parallel.items[k].averageKbps, plain.items[k].averageKbps);
        EXPECT_EQ(parallel.statuses, plain.statuses);
        EXPECT_EQ(parallel.texts, plain.texts);
      }
    }
  }
}

}  // namespace
}  // namespace sonalog
