#include "import/TextListImport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "core/ListFile.h"
#include "import/ImportCommand.h"
#include "platform/Dates.h"
#include "tests/support/CliRun.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

TEST(UnknownTextLineTest, ReadsFreeFormProperties) {
  auto item = unknownTextItem("01 Song.mp3 3:45 128kbps 44.1kHz 3.4MB", false);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->fileName, "01 Song");
  EXPECT_EQ(item->stereoMode, 4);
  EXPECT_EQ(item->bitrateCode, 9);
  EXPECT_EQ(item->sizeKB, 3482);
  EXPECT_EQ(item->frequencyCode, 0);
  EXPECT_EQ(item->frames, 8613);  // 225 s / 0.0261224489795918 = 8613.28
  EXPECT_EQ(item->fileDate, 0);
  EXPECT_EQ(item->dateAdded, 0);

  auto mono = unknownTextItem("Some title: joint stereo, VBR, 48 kHz, 1:00, 1.5 GB", false);
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->fileName, "Some title");
  EXPECT_EQ(mono->stereoMode, 1);
  EXPECT_EQ(mono->bitrateCode, 16);
  EXPECT_EQ(mono->frequencyCode, 1);
  EXPECT_EQ(mono->frames, 2500);  // 60 s / 0.024
  EXPECT_EQ(mono->sizeKB, 1572864);
}

// Lists write numbers with a point, also for a program (this one, as the desktop program does, and
// the command it starts) in a German locale, with a decimal comma, built into the test's folder.
TEST(UnknownTextLineTest, NumbersReadTheSameUnderADecimalCommaLocale) {
  TempHome home;
  if (std::system(("localedef -i de_DE -f UTF-8 '" + home.path("de_DE.UTF-8") + "' >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "localedef cannot build de_DE.UTF-8 here";
  ::setenv("LOCPATH", home.path().c_str(), 1);
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  struct Restore { ~Restore() { std::setlocale(LC_ALL, "C"); ::unsetenv("LC_ALL"); ::unsetenv("LOCPATH"); } } restore;
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8"));
  home.writeFile("l.txt", "01 Song.mp3 3:45 128kbps 44.1kHz 3.4MB\r\n");
  ASSERT_EQ(testing::sonalog(home, "import --type other l.txt -o out.snlg").status, 0);
  ListFileContents cli;
  FakeUi ui;
  ASSERT_TRUE(ReadListFileContents(ui, home.path("out.snlg"), cli));
  for (const ListItem& item : {cli.items.at(0), *unknownTextItem("Song.mp3 3:45 128kbps 44.1kHz 3.4MB", false)}) {
    EXPECT_EQ(item.sizeKB, 3482);
    EXPECT_EQ(item.frequencyCode, 0);
  }
}

TEST(UnknownTextLineTest, ShortLinesAndLinesWithoutMarkersAreTitles) {
  EXPECT_EQ(unknownTextItem("a:b 128", false)->fileName, "a:b 128");  // 7 characters
  auto plain = unknownTextItem("Just a song title", false);
  EXPECT_EQ(plain->fileName, "Just a song title");
  EXPECT_EQ(plain->frames, -1);
  EXPECT_EQ(plain->sizeKB, -1);
  EXPECT_EQ(plain->bitrateCode, 255);
  EXPECT_FALSE(unknownTextItem("", false));
}

TEST(UnknownTextLineTest, MircLinesLoseTheNickAndOthersAreSkipped) {
  auto item = unknownTextItem("!nick Song.mp3 4.1MB", true);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->fileName, "Song");
  EXPECT_EQ(item->sizeKB, 4198);
  EXPECT_FALSE(unknownTextItem("Song.mp3 4.1MB", true));
  // The blank before the last character does not end a nick.
  EXPECT_EQ(unknownTextItem("!abc x", false)->fileName, "!abc x");
}

TEST(M3uEntryTest, PathsNamesAndPlaytime) {
  ListItem a = m3uItem("215,Song", "C:\\Music\\Song.mp3", 45000);
  EXPECT_EQ(a.fileName, "Song");
  EXPECT_EQ(a.folder, "C:\\Music\\");
  EXPECT_EQ(a.frames, 8230);
  EXPECT_EQ(a.dateAdded, 45000);
  EXPECT_EQ(a.fileDate, -1);

  ListItem b = m3uItem("", "Music\\Song.MP3", 1);
  EXPECT_EQ(b.fileName, "Song");
  EXPECT_EQ(b.folder, "");
  EXPECT_EQ(b.frames, -1);

  ListItem c = m3uItem("215", "/home/u/Music/Song.mp3", 1);  // digits up to the end: unknown
  EXPECT_EQ(c.frames, -1);
  EXPECT_EQ(c.folder, "/home/u/Music");
  EXPECT_EQ(c.fileName, "Song");

  EXPECT_EQ(m3uItem("", "/song.mp3", 1).folder, "/");
  EXPECT_EQ(m3uItem("-1,Stream", ".mp3", 1).fileName, ".mp3");  // not longer than 4
}

class TextListImportTest : public ::testing::Test {
 protected:
  TempHome home;
  FakeUi ui;
};

TEST_F(TextListImportTest, M3uHeaderMustBeExact) {
  home.writeFile("a.m3u", "#EXTM3U \r\n#EXTINF:215,Song\r\nC:\\Music\\Song.mp3\r\n");
  auto r = importM3u(home.path("a.m3u"), {}, ui);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"No m3u header found."});
  EXPECT_EQ(ui.lastStatus(), "Import failed.");
}

TEST_F(TextListImportTest, M3uEntriesWithAndWithoutInfoAndLabels) {
  home.writeFile("a.m3u",
                 "#EXTM3U\r\n#EXTINF:215,Song\r\nC:\\Music\\Song.mp3\r\n\r\n/data/x/B.mp3\r\n");
  TextListOptions options;
  options.clabcheck = true;
  options.appendTo = 3;
  options.volumes = [] {
    return std::vector<platform::Volume>{{"/", "/dev/sda1", "ROOT", "1"},
                                         {"/data", "/dev/sdb1", "DATA", "2"}};
  };
  auto r = importM3u(home.path("a.m3u"), options, ui);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.items.size(), 2u);
  EXPECT_EQ(r.items[0].volumeLabel, "");
  EXPECT_EQ(r.items[1].fileName, "B");
  EXPECT_EQ(r.items[1].folder, "/data/x");
  EXPECT_EQ(r.items[1].volumeLabel, "DATA");
  EXPECT_EQ(r.items[1].frames, -1);
  EXPECT_EQ(ui.lastStatus(), "Imported 2, total 5 items.");
}

TEST_F(TextListImportTest, UnknownTextCountsLinesAndStatus) {
  home.writeFile("l.txt", "Song one.mp3 3:00\r\n\r\nSong two.mp3 128 kbps\nlast");
  auto r = readUnknownTextList(home.path("l.txt"), {}, ui);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.items.size(), 3u);
  EXPECT_EQ(r.items[2].fileName, "last");
  EXPECT_EQ(ui.lastStatus(), "Read 4 lines. Imported 3 items.");
  EXPECT_EQ(ui.statuses.front(), "Importing unknown type text list...");
}

TEST_F(TextListImportTest, CharacterModeRereadTakesEachLineOnce) {
  std::string text = "First.mp3 1:00\r\nSecond.mp3 2:00\r\n" + std::string(3000, 'x') + "\r\nThird.mp3\r\n";
  home.writeFile("l.txt", text);
  ui.answers.push_back(Answer::Yes);
  auto r = readUnknownTextList(home.path("l.txt"), {}, ui);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "error");
  std::vector<std::string> names;
  for (const auto& it : r.items) names.push_back(it.fileName);
  // The long line is one skipped piece of 2048 and a rest of 952 characters read as a title.
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "First");
  EXPECT_EQ(names[1], "Second");
  EXPECT_EQ(names[2], std::string(255, 'x'));  // titles keep 255 bytes
  EXPECT_EQ(names[3], "Third");
}

TEST_F(TextListImportTest, LongLineRefusedFailsAndUnreadableFileWarns) {
  home.writeFile("l.txt", "A.mp3\r\n" + std::string(2048, 'y'));
  auto r = readUnknownTextList(home.path("l.txt"), {}, ui);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.items.empty());
  EXPECT_EQ(ui.lastStatus(), "Read 2 lines. Imported 1 items.");

  FakeUi ui2;
  auto missing = readUnknownTextList(home.path("none.txt"), {}, ui2);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(ui2.texts(), std::vector<std::string>{"Unable to open the external text file."});
}

}  // namespace
}  // namespace sonalog

namespace sonalog {
namespace {

TEST_F(TextListImportTest, CommandAppliesPlaylistsAndLeavesTheListOnFailure) {
  InternalList list;
  ListItem old;
  old.fileName = "old";
  list.items.push_back(old);
  list.sortCode = 0;
  ImportSettings settings;
  settings.fileType = ImportFileType::M3u;
  home.writeFile("a.m3u", "#EXTM3U\r\nC:\\A\\One.mp3\r\nC:\\A\\Two.mp3\r\n");
  ImportCommand cmd(list, settings, ui);
  ASSERT_TRUE(cmd.importFile(home.path("a.m3u")));
  ASSERT_EQ(list.items.size(), 2u);  // replaced
  EXPECT_EQ(list.items[1].fileName, "Two");
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(settings.lastImportFolder, home.path());

  settings.ImapCheck = true;
  ASSERT_TRUE(cmd.importFile(home.path("a.m3u")));
  EXPECT_EQ(list.items.size(), 4u);
  EXPECT_EQ(ui.lastStatus(), "Imported 2, total 4 items.");

  home.writeFile("b.m3u", "no header\r\nC:\\A\\One.mp3\r\n");
  EXPECT_FALSE(cmd.importFile(home.path("b.m3u")));
  EXPECT_EQ(list.items.size(), 4u);
  EXPECT_EQ(ui.lastStatus(), "Import failed.");

  // CANCEL while reading another text list: a failure, nothing applied.
  settings.fileType = ImportFileType::OtherText;
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "Song " + std::to_string(i) + ".mp3 3:00\r\n";
  home.writeFile("c.txt", text);
  ui.cancelAfterEvents = ui.eventCalls + 1;
  EXPECT_FALSE(cmd.importFile(home.path("c.txt")));
  EXPECT_EQ(list.items.size(), 4u);
  EXPECT_EQ(ui.lastStatus(), "Import failed.");
}

}  // namespace
}  // namespace sonalog
