#include <gtest/gtest.h>

#include "compare/ExternalList.h"
#include "tests/compare/CompareFixture.h"

namespace sonalog::testing {
namespace {

class ExternalListTest : public ::testing::Test {
 protected:
  TempHome home;
  RecordingChannel channel;
  ExternalList list;
};

TEST_F(ExternalListTest, ShortLengthFilesAndTheOldestLayoutQuestion) {
  home.writeFile("a.snlg", kShortMagic + "\x07" + shortItem("One", "LBL", 9000, false, 16) +
                               shortItem("Two", std::string(40, 'L'), 9100, false));
  // A label of 40 bytes in the first pass: the question; No ends the loading.
  ASSERT_FALSE(loadExternalListFile(home.path("a.snlg"), list, channel));
  ASSERT_EQ(channel.questions.size(), 1u);
  EXPECT_EQ(channel.questions[0],
            "invalid data found: External file doesn't seem to be a SNLG file.\r\nTry to process as "
            "mp3SNLG v4.0 - v4.12 file?");
  EXPECT_TRUE(list.items.empty());
  EXPECT_TRUE(channel.warnings.empty());

  // A plain 8-bit-length file: the average of a VBR item is not computed.
  home.writeFile("b.snlg", kShortMagic + "\x07" + shortItem("One", "LBL", 9000, false, 16));
  ASSERT_TRUE(loadExternalListFile(home.path("b.snlg"), list, channel));
  ASSERT_EQ(list.items.size(), 1u);
  EXPECT_EQ(list.sortByte, 7);
  EXPECT_EQ(list.items[0].fileName, "One");
  EXPECT_EQ(list.items[0].frames, 9000);
  EXPECT_EQ(list.items[0].frequencyCode, 2);
  EXPECT_EQ(list.items[0].averageKbps, 0);
  EXPECT_EQ(channel.statuses.back(), "Loading the second list...");

  // Yes reads the oldest layout: seconds become frames at 44.1 kHz, labels keep 32 bytes.
  home.writeFile("c.snlg", kShortMagic + "\x01" + shortItem("Old", std::string(40, 'L'), 215, true));
  channel.answers = {true};
  ASSERT_TRUE(loadExternalListFile(home.path("c.snlg"), list, channel));
  ASSERT_EQ(list.items.size(), 1u);
  EXPECT_EQ(list.items[0].frames, 8230);
  EXPECT_EQ(list.items[0].frequencyCode, 0);
  EXPECT_EQ(list.items[0].volumeLabel, std::string(32, 'L'));
  EXPECT_EQ(list.items[0].fileDate, 40000);
}

TEST_F(ExternalListTest, BrokenListFilesGiveTheirMessages) {
  home.writeFile("old.snlg", std::string("\xFD\xFD\x05\x22\x00", 5) + shortItem("x", "", 1, false));
  EXPECT_FALSE(loadExternalListFile(home.path("old.snlg"), list, channel));
  home.writeFile("header.snlg", std::string("\x6C\x33\x5A\xF7\x00", 5));
  EXPECT_FALSE(loadExternalListFile(home.path("header.snlg"), list, channel));
  home.writeFile("cut.snlg", kShortMagic + "\x00" + shortItem("One", "", 1, false).substr(0, 12));
  EXPECT_FALSE(loadExternalListFile(home.path("cut.snlg"), list, channel));
  EXPECT_FALSE(loadExternalListFile(home.path("missing.snlg"), list, channel));
  EXPECT_EQ(channel.warnings,
            (std::vector<std::string>{"External file is not a proper SNLG list.",
                                      "Invalid SNLG file or disk error (reading external file).",
                                      "Invalid SNLG file or disk error (reading external file).",
                                      "Not able to open external file."}));
  // "&ABORT" while loading ends it without a message.
  home.writeFile("b.snlg", kShortMagic + "\x07" + shortItem("One", "", 9000, false));
  channel.warnings.clear();
  channel.stop = true;
  EXPECT_FALSE(loadExternalListFile(home.path("b.snlg"), list, channel));
  EXPECT_TRUE(channel.warnings.empty());
}

TEST_F(ExternalListTest, TextLinesBecomeItemsWithTheirLineAsFolder) {
  ListItem item;
  ASSERT_TRUE(externalTextItem("01 Song.mp3 3:45 128kbps 44.1kHz 3.4MB", false, item));
  EXPECT_EQ(item.fileName, "01 Song");
  EXPECT_EQ(item.folder, "01 Song.mp3 3:45 128kbps 44.1kHz 3.4MB");
  EXPECT_EQ(item.volumeLabel, "?");
  EXPECT_EQ(item.bitrateCode, 9);
  EXPECT_EQ(item.sizeKB, 3482);
  EXPECT_EQ(item.frequencyCode, 0);
  EXPECT_EQ(item.stereoMode, 4);
  EXPECT_EQ(item.frames, 8613);  // 225 s

  // A bare "K" is kilobytes here; a short line is only a title and keeps 44.1 kHz.
  ASSERT_TRUE(externalTextItem("Tune.mp3 4100 K", false, item));
  EXPECT_EQ(item.sizeKB, 4100);
  ASSERT_TRUE(externalTextItem("Song", false, item));
  EXPECT_EQ(item.fileName, "Song");
  EXPECT_EQ(item.frequencyCode, 0);
  EXPECT_EQ(item.frames, -1);

  // Chat lines: only "!... .mp3" lines, which lose their trigger word.
  EXPECT_FALSE(externalTextItem("Song.mp3 4.1MB", true, item));
  EXPECT_FALSE(externalTextItem("!nick Song 4.1MB", true, item));
  ASSERT_TRUE(externalTextItem("!nick Song.MP3 4.1MB", true, item));
  EXPECT_EQ(item.fileName, "Song");
  EXPECT_EQ(item.sizeKB, 4198);
  EXPECT_EQ(item.folder, "!nick Song.MP3 4.1MB");
  EXPECT_FALSE(externalTextItem("", false, item));
  ASSERT_TRUE(externalTextItem(std::string(300, 'x'), false, item));
  EXPECT_EQ(item.folder.size(), 255u);
}

TEST_F(ExternalListTest, TextListsCountLinesAndOfferUnixText) {
  std::string text;
  for (int k = 0; k < 300; ++k) text += "Song " + std::to_string(k) + ".mp3\r\n";
  text += "\r\n";
  home.writeFile("list.txt", text);
  ASSERT_TRUE(loadExternalTextList(home.path("list.txt"), false, list, channel));
  EXPECT_EQ(list.items.size(), 300u);
  EXPECT_EQ(channel.statuses, (std::vector<std::string>{"Importing unknown type text list...",
                                                         "Read 254 lines.",
                                                         "Read 301 lines. Imported 300 items."}));
  EXPECT_EQ(channel.widths, (std::vector<int>{178, 458}));

  // A line of 2048 bytes: the question; Yes reads the file again with line feeds alone, taking
  // no line twice.
  home.writeFile("long.txt", "First.mp3\r\n" + std::string(2048, 'x') + "\nLast.mp3\n");
  channel.answers = {true};
  ASSERT_TRUE(loadExternalTextList(home.path("long.txt"), false, list, channel));
  EXPECT_EQ(channel.questions.back(),
            "error: Too large string. Could be a binary file or unix text file.\r\nTry to process as "
            "unix text?");
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.items[0].fileName, "First");
  EXPECT_EQ(list.items[1].fileName, "Last");
  channel.answers = {false};
  EXPECT_FALSE(loadExternalTextList(home.path("long.txt"), false, list, channel));
  EXPECT_TRUE(list.items.empty());
}

}  // namespace
}  // namespace sonalog::testing
